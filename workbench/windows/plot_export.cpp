#include "plot_export.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QSvgGenerator>

#include "messages.h"
#include "picture_box.h"

namespace plot_export {
namespace {
NameChooser& chooser() {
  static NameChooser c;
  return c;
}

QString filterOf(const QString& suffix) {
  if (suffix == QLatin1String("png")) return QStringLiteral("PNG 画像 (*.png)");
  if (suffix == QLatin1String("svg")) return QStringLiteral("SVG 画像 (*.svg)");
  return QStringLiteral("CSV ファイル (*.csv)");
}
}  // namespace

void setNameChooser(NameChooser c) { chooser() = std::move(c); }

QString chooseName(QWidget* parent, const QString& suffix) {
  QString name =
      chooser() ? chooser()(parent, suffix)
                : QFileDialog::getSaveFileName(parent, programTitle, QString(), filterOf(suffix));
  if (name.isEmpty()) return name;
  if (QFileInfo(name).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
    name += QLatin1Char('.') + suffix;
  return name;
}

QString cannotWriteMessage(const QString& file) {
  return QStringLiteral("ファイル %1 に書き込めません").arg(QDir::toNativeSeparators(file));
}

bool savePng(const QImage& image, const QString& file) {
  return !image.isNull() && image.save(file, "PNG");
}

bool saveSvg(const QSize& size, const QString& title, const std::function<void(QPainter&)>& draw,
             const QString& file) {
  {
    QFile probe(file);
    if (!probe.open(QIODevice::WriteOnly)) return false;
  }
  QSvgGenerator svg;
  svg.setFileName(file);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(title);
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  draw(painter);
  return painter.end();
}

QMenu* attachSaveMenu(QWidget* plot, const std::function<QImage()>& raster,
                      const std::function<void(QPainter&, const QSize&)>& vector,
                      MessageSink& messages) {
  auto* menu = new QMenu(plot);
  menu->setObjectName(QStringLiteral("SaveMenu"));
  auto* png = menu->addAction(QStringLiteral("図を PNG で保存…"));
  png->setObjectName(QStringLiteral("SavePng"));
  auto* svg = menu->addAction(QStringLiteral("図を SVG で保存…"));
  svg->setObjectName(QStringLiteral("SaveSvg"));
  QObject::connect(png, &QAction::triggered, plot, [plot, raster, &messages] {
    const QString file = chooseName(plot, QStringLiteral("png"));
    if (!file.isEmpty() && !savePng(raster(), file))
      messages.show(cannotWriteMessage(file), MessageSink::Icon::Exclamation);
  });
  QObject::connect(svg, &QAction::triggered, plot, [plot, vector, &messages] {
    const QString file = chooseName(plot, QStringLiteral("svg"));
    if (file.isEmpty()) return;
    const QSize size = plot->size();
    if (!saveSvg(
            size, programTitle, [&](QPainter& p) { vector(p, size); }, file))
      messages.show(cannotWriteMessage(file), MessageSink::Icon::Exclamation);
  });
  plot->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(plot, &QWidget::customContextMenuRequested, menu,
                   [plot, menu](const QPoint& at) { menu->popup(plot->mapToGlobal(at)); });
  return menu;
}

QMenu* attachSaveMenu(PictureBox* box, MessageSink& messages) {
  return attachSaveMenu(
      box, [box] { return box->surface(); },
      [box](QPainter& p, const QSize&) { p.drawImage(box->clientOrigin(), box->surface()); },
      messages);
}

}  // namespace plot_export

ExportablePlot::ExportablePlot(QWidget* parent, MessageSink& messages) : QWidget(parent) {
  plot_export::attachSaveMenu(
      this, [this] { return image(); }, [this](QPainter& p, const QSize& size) { draw(p, size); },
      messages);
}

QImage ExportablePlot::image() const {
  QImage out(size(), QImage::Format_RGB32);
  out.fill(Qt::white);
  QPainter p(&out);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p, size());
  return out;
}

void ExportablePlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p, size());
}
