#pragma once
// A picture box with a user coordinate system, drawing into a persistent surface.
//
// The box owns a QImage of its client area; every primitive draws into it and
// paintEvent only copies the surface to the screen, so curves survive covering,
// hiding and uncovering without any redrawing by the window.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QWidget>

// Mapping between user coordinates and pixels of a drawing area, like a scale
// statement: `left`/`right` are the user x of the left and right edges, `top`/
// `bottom` the user y of the top and bottom edges (top > bottom for y upwards).
// Pixel coordinates run from 0 at the left/top edge to width/height at the
// right/bottom edge; pixel (i, j) covers [i, i+1) × [j, j+1).
class UserCoordinates {
 public:
  UserCoordinates() = default;
  UserCoordinates(double left, double top, double right, double bottom, QSize pixels);
  QPointF map(double x, double y) const;    // user → pixel
  QPointF inverseMap(QPointF pixel) const;  // pixel → user
  double left() const { return left_; }
  double top() const { return top_; }
  double right() const { return right_; }
  double bottom() const { return bottom_; }
  QSize pixels() const { return pixels_; }

 private:
  double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  QSize pixels_{1, 1};
};

// A plain widget, not a QFrame: the only line width a picture box has is the
// width its primitives draw with (setDrawWidth); its border is fixed.
class PictureBox : public QWidget {
  Q_OBJECT
 public:
  // `border`: the two-pixel sunken border of a classic picture box; the client
  // area (the surface) is then 4 pixels narrower and lower than the widget.
  explicit PictureBox(QWidget* parent = nullptr, bool border = true);

  // User coordinate system of the client area (see UserCoordinates).
  void setScale(double left, double top, double right, double bottom);
  const UserCoordinates& coordinates() const {
    resizeSurface();
    return coords_;
  }
  // Top-left corner of the client area in widget pixels (where child controls are placed from).
  QPoint clientOrigin() const { return contentsRect().topLeft(); }

  void setBackgroundColour(const QColor& colour);  // colour used by clear()
  void setForeColour(const QColor& colour) { fore_ = colour; }
  QColor foreColour() const { return fore_; }
  // Width of the lines the primitives draw [pixels], at least 1.
  void setDrawWidth(int pixels) { lineWidth_ = pixels < 1 ? 1 : pixels; }
  int drawWidth() const { return lineWidth_; }
  void setDrawFont(const QFont& font) { drawFont_ = font; }
  const QFont& drawFont() const { return drawFont_; }

  // Primitives. A colour argument overrides the fore colour for that call only.
  void clear();  // erase to the background; the current position returns to (0, 0)
  void pset(double x, double y,
            const QColor& colour);  // set a point; it becomes the current position
  void lineTo(double x, double y,
              const QColor& colour);  // from the current position; the end becomes current
  void line(double x1, double y1, double x2, double y2,
            const QColor& colour);  // the end becomes current
  void rectangle(double x1, double y1, double x2, double y2, const QColor& colour);  // outline
  void text(double x, double y,
            const QString& text);  // top-left corner at (x, y), fore colour, draw font
  double currentX() const { return currentX_; }
  double currentY() const { return currentY_; }

  // The persistent surface and a pixel of it at a user coordinate (tests read drawings this way).
  const QImage& surface() const {
    resizeSurface();
    return surface_;
  }
  QColor pixelAt(double x, double y) const;

 signals:
  // Pointer moves over the client area, in user coordinates.
  void mouseMoved(double x, double y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // Follows the client area's size. Resize events of hidden widgets are delivered
  // late (at show), so every primitive checks the size before drawing.
  void resizeSurface() const;
  QPen pen(const QColor& colour) const;

  int border_ = 0;  // width of the sunken border [pixels]
  mutable UserCoordinates coords_;
  mutable QImage surface_;
  QColor background_{Qt::white};
  QColor fore_{Qt::black};
  int lineWidth_ = 1;
  QFont drawFont_;
  double currentX_ = 0, currentY_ = 0;
};

// A line control placed over a picture box, whose end points move at run time
// (the cross-hair lines). It is a child widget, so moving or hiding it never
// touches the picture's surface; it lets pointer events through to the box.
class LineControl : public QWidget {
 public:
  LineControl(PictureBox* box, const QString& name);
  void setEnds(double x1, double y1, double x2, double y2);  // user coordinates of the box
  void setColour(const QColor& colour);
  QColor colour() const { return colour_; }
  double x1() const { return x1_; }
  double y1() const { return y1_; }
  double x2() const { return x2_; }
  double y2() const { return y2_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void place();
  PictureBox* box_;
  QColor colour_{Qt::red};
  double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  QPointF p1_, p2_;  // end points in this widget's pixels
};
