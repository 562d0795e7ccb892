#include "picture_box.h"

#include <qdrawutil.h>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

UserCoordinates::UserCoordinates(double left, double top, double right, double bottom, QSize pixels)
    : left_(left), top_(top), right_(right), bottom_(bottom), pixels_(pixels) {}

QPointF UserCoordinates::map(double x, double y) const {
  return {(x - left_) / (right_ - left_) * pixels_.width(),
          (y - top_) / (bottom_ - top_) * pixels_.height()};
}

QPointF UserCoordinates::inverseMap(QPointF pixel) const {
  return {left_ + pixel.x() / pixels_.width() * (right_ - left_),
          top_ + pixel.y() / pixels_.height() * (bottom_ - top_)};
}

PictureBox::PictureBox(QWidget* parent, bool border) : QWidget(parent), border_(border ? 2 : 0) {
  setAttribute(Qt::WA_StaticContents);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setContentsMargins(border_, border_, border_, border_);
  resizeSurface();
}

void PictureBox::setScale(double left, double top, double right, double bottom) {
  resizeSurface();
  coords_ = UserCoordinates(left, top, right, bottom, surface_.size());
}

void PictureBox::setBackgroundColour(const QColor& colour) { background_ = colour; }

void PictureBox::clear() {
  resizeSurface();
  surface_.fill(background_);
  currentX_ = 0;
  currentY_ = 0;
  update();
}

QPen PictureBox::pen(const QColor& colour) const {
  QPen p(colour);
  p.setWidth(lineWidth_);
  p.setCapStyle(Qt::SquareCap);
  p.setJoinStyle(Qt::MiterJoin);
  return p;
}

void PictureBox::pset(double x, double y, const QColor& colour) {
  resizeSurface();
  QPainter painter(&surface_);
  const QPointF p = coords_.map(x, y);
  const int w = lineWidth_;
  painter.fillRect(QRectF(std::floor(p.x()) - (w - 1) / 2, std::floor(p.y()) - (w - 1) / 2, w, w),
                   colour);
  currentX_ = x;
  currentY_ = y;
  update();
}

void PictureBox::lineTo(double x, double y, const QColor& colour) {
  line(currentX_, currentY_, x, y, colour);
}

void PictureBox::line(double x1, double y1, double x2, double y2, const QColor& colour) {
  resizeSurface();
  QPainter painter(&surface_);
  painter.setPen(pen(colour));
  painter.drawLine(coords_.map(x1, y1), coords_.map(x2, y2));
  currentX_ = x2;
  currentY_ = y2;
  update();
}

void PictureBox::rectangle(double x1, double y1, double x2, double y2, const QColor& colour) {
  resizeSurface();
  QPainter painter(&surface_);
  painter.setPen(pen(colour));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(coords_.map(x1, y1), coords_.map(x2, y2)).normalized());
  currentX_ = x2;
  currentY_ = y2;
  update();
}

void PictureBox::text(double x, double y, const QString& text) {
  resizeSurface();
  QPainter painter(&surface_);
  painter.setPen(fore_);
  painter.setFont(drawFont_);
  const QPointF topLeft = coords_.map(x, y);
  painter.drawText(QRectF(topLeft, QSizeF(surface_.width() * 2.0, surface_.height() * 2.0)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
  update();
}

QColor PictureBox::pixelAt(double x, double y) const {
  resizeSurface();
  const QPointF p = coords_.map(x, y);
  const int i = static_cast<int>(std::floor(p.x()));
  const int j = static_cast<int>(std::floor(p.y()));
  if (!surface_.valid(i, j)) return {};
  return surface_.pixelColor(i, j);
}

void PictureBox::paintEvent(QPaintEvent* event) {
  resizeSurface();
  QPainter painter(this);
  if (border_ > 0) qDrawWinPanel(&painter, rect(), palette(), true);  // sunken, 2 pixels
  const QRect client = contentsRect();
  const QRect dirty = event->rect() & client;
  painter.drawImage(dirty, surface_, dirty.translated(-client.topLeft()));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  resizeSurface();
}

void PictureBox::resizeSurface() const {
  const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
  if (surface_.size() == size) return;
  QImage grown(size, QImage::Format_RGB32);
  grown.fill(background_);
  QPainter painter(&grown);
  painter.drawImage(0, 0, surface_);
  painter.end();
  surface_ = grown;
  coords_ = UserCoordinates(coords_.left(), coords_.top(), coords_.right(), coords_.bottom(), size);
  for (QObject* child : children())
    if (auto* line = dynamic_cast<LineControl*>(child))
      line->setEnds(line->x1(), line->y1(), line->x2(), line->y2());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  resizeSurface();
  const QPointF p = event->position() - QPointF(clientOrigin());
  const QPointF user = coords_.inverseMap(p);
  emit mouseMoved(user.x(), user.y());
  QWidget::mouseMoveEvent(event);
}

LineControl::LineControl(PictureBox* box, const QString& name) : QWidget(box), box_(box) {
  setObjectName(name);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void LineControl::setEnds(double x1, double y1, double x2, double y2) {
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  place();
}

void LineControl::setColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void LineControl::place() {
  const QPointF origin(box_->clientOrigin());
  const QPointF a = box_->coordinates().map(x1_, y1_) + origin;
  const QPointF b = box_->coordinates().map(x2_, y2_) + origin;
  const int left = static_cast<int>(std::floor(std::min(a.x(), b.x())));
  const int top = static_cast<int>(std::floor(std::min(a.y(), b.y())));
  const int right = static_cast<int>(std::floor(std::max(a.x(), b.x())));
  const int bottom = static_cast<int>(std::floor(std::max(a.y(), b.y())));
  setGeometry(left, top, right - left + 1, bottom - top + 1);
  p1_ = QPointF(std::floor(a.x()) - left, std::floor(a.y()) - top);
  p2_ = QPointF(std::floor(b.x()) - left, std::floor(b.y()) - top);
  update();
}

void LineControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (p1_.x() == p2_.x() || p1_.y() == p2_.y()) {
    painter.fillRect(rect(), colour_);  // horizontal or vertical: the widget is the line
    return;
  }
  painter.setPen(colour_);
  painter.drawLine(p1_, p2_);
}
