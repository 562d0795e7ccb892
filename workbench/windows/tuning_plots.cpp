#include "tuning_plots.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "fonts.h"

namespace {
const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);
const QColor grey(128, 128, 128);
const QColor lightGrey(224, 224, 224);

// A linear map of a value range onto a pixel range (y ranges run downwards on the screen).
struct Axis {
  double v0, v1;  // values at the two ends
  double p0, p1;  // pixels of the two ends
  double operator()(double v) const { return p0 + (v - v0) * (p1 - p0) / (v1 - v0); }
};

QString number(double v, int decimals) { return QString::number(v, 'f', decimals); }

// Decimals that show a value to about a tenth of `step`.
int decimalsFor(double step) {
  if (!(step > 0) || !std::isfinite(step)) return 2;
  return std::clamp(static_cast<int>(std::ceil(-std::log10(step))) + 1, 0, 4);
}

// A tick step of 1, 2 or 5 times a power of ten giving about `count` intervals over `span`.
double niceStep(double span, int count) {
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (raw <= m * power) return m * power;
  return 10.0 * power;
}

void drawEmpty(QPainter& p, const QSize& size, const QString& text) {
  p.setPen(grey);
  p.setFont(fonts::font(fonts::meiryo, 11.25));
  p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
}
}  // namespace

FitCurvesPlot::FitCurvesPlot(QWidget* parent, MessageSink& messages)
    : ExportablePlot(parent, messages) {
  shown_[1] = shown_[tuning::kFields] = true;
  shown_[4] = true;  // the 10 x 10 field of TPR20,10
}

void FitCurvesPlot::setFit(const tuning::FitResult& fit, const tuning::Reference& reference) {
  fit_ = fit;
  reference_ = reference;
  update();
}

void FitCurvesPlot::clearFit() {
  fit_.reset();
  reference_.reset();
  update();
}

void FitCurvesPlot::setFieldShown(int field, bool shown) {
  shown_[static_cast<std::size_t>(field)] = shown;
  update();
}

void FitCurvesPlot::draw(QPainter& p, const QSize& size) const {
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  if (!fit_ || !reference_) {
    drawEmpty(p, size, QStringLiteral("フィットの結果がここに描かれます"));
    return;
  }
  const QFont font = fonts::font(fonts::timesNewRoman, 10.5);
  const QFont japanese = fonts::font(fonts::meiryo, 9.75);
  p.setFont(font);
  const double left = 52, right = size.width() - 34.0, top = 12;
  const double mainBottom = top + (size.height() - 60.0) * 0.70;
  const double resTop = mainBottom + 22, resBottom = size.height() - 34.0;
  const Axis x{0, 300, left, right};
  const Axis y{0, 1.05, mainBottom, top};

  // Residual range: symmetric, at least ±1 %, wide enough for every point shown.
  double worst = 1.0;
  for (const auto& pt : fit_->points)
    if (shown_[static_cast<std::size_t>(pt.field)])
      worst = std::max(worst, std::abs(100.0 * (pt.predicted - pt.reference) / pt.reference));
  const double resStep = niceStep(worst, 2);
  const double resMax = std::ceil(worst / resStep) * resStep;
  const Axis yr{-resMax, resMax, resBottom, resTop};

  // Grids and frames.
  p.setPen(QPen(lightGrey, 1));
  for (int d = 50; d < 300; d += 50) {
    p.drawLine(QPointF(x(d), y(0)), QPointF(x(d), y(1.05)));
    p.drawLine(QPointF(x(d), yr(-resMax)), QPointF(x(d), yr(resMax)));
  }
  for (int k = 1; k <= 10; ++k) p.drawLine(QPointF(x(0), y(0.1 * k)), QPointF(x(300), y(0.1 * k)));
  for (double v = -resMax + resStep; v < resMax - 1e-9; v += resStep)
    p.drawLine(QPointF(x(0), yr(v)), QPointF(x(300), yr(v)));
  p.setPen(QPen(Qt::black, 1));
  p.drawRect(QRectF(QPointF(x(0), y(1.05)), QPointF(x(300), y(0))));
  p.drawRect(QRectF(QPointF(x(0), yr(resMax)), QPointF(x(300), yr(-resMax))));
  p.setPen(QPen(grey, 1, Qt::DashLine));
  p.drawLine(QPointF(x(0), yr(0)), QPointF(x(300), yr(0)));

  // Axis labels.
  p.setPen(Qt::black);
  for (int k = 0; k <= 10; k += 5) {
    const QString t = number(0.1 * k, 1);
    p.drawText(QRectF(0, y(0.1 * k) - 8, left - 4, 16), Qt::AlignRight | Qt::AlignVCenter, t);
  }
  for (double v = -resMax; v <= resMax + 1e-9; v += resStep)
    p.drawText(QRectF(0, yr(v) - 8, left - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
               number(v, decimalsFor(resStep) > 1 ? 1 : 0));
  for (int d = 0; d <= 300; d += 50)
    p.drawText(QRectF(x(d) - 20, resBottom + 2, 40, 16), Qt::AlignCenter, QString::number(d));
  p.setFont(japanese);
  p.drawText(QRectF(x(300) - 120, resBottom + 16, 120, 18), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("深さ (mm)"));
  p.save();
  p.translate(12, (top + mainBottom) / 2);
  p.rotate(-90);
  p.drawText(QRectF(-40, -8, 80, 16), Qt::AlignCenter, QStringLiteral("TMR"));
  p.restore();
  p.save();
  p.translate(12, (resTop + resBottom) / 2);
  p.rotate(-90);
  p.drawText(QRectF(-40, -8, 80, 16), Qt::AlignCenter, QStringLiteral("偏差 (%)"));
  p.restore();

  // Fitted curves (blue) with the field side at their deep end, reference points (red).
  p.setFont(font);
  p.setClipRect(QRectF(QPointF(x(0), y(1.05)), QPointF(size.width(), y(0))));
  for (int f = 1; f <= tuning::kFields; ++f) {
    if (!shown_[static_cast<std::size_t>(f)]) continue;
    QPainterPath path;
    for (int r = 1; r <= tuning::kDepths; ++r) {
      const QPointF at(x(r - 0.5), y(fit_->prediction.T(f, r)));
      if (r == 1)
        path.moveTo(at);
      else
        path.lineTo(at);
    }
    p.setPen(QPen(blue, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(blue);
    p.drawText(QPointF(x(300) + 3, y(fit_->prediction.T(f, tuning::kDepths)) + 4),
               QString::number(corvane::fieldSides[static_cast<std::size_t>(f)]));
  }
  p.setClipping(false);
  p.setPen(QPen(red, 1.2));
  for (int f = 1; f <= tuning::kFields; ++f) {
    if (!shown_[static_cast<std::size_t>(f)]) continue;
    for (int k = 1; k <= reference_->rows; ++k) {
      const double v = reference_->tmr[static_cast<std::size_t>(f)][static_cast<std::size_t>(k)];
      p.drawEllipse(QPointF(x(reference_->depth[static_cast<std::size_t>(k)]), y(v)), 3, 3);
    }
  }
  // Residuals of the points the fit used.
  p.setBrush(red);
  for (const auto& pt : fit_->points) {
    if (!shown_[static_cast<std::size_t>(pt.field)]) continue;
    const double dev = 100.0 * (pt.predicted - pt.reference) / pt.reference;
    p.drawEllipse(QPointF(x(pt.depth), yr(dev)), 2.5, 2.5);
  }
  p.setBrush(Qt::NoBrush);

  // Legend in the upper right of the panel, where the curves have fallen well below 1.
  p.setFont(japanese);
  const QRectF box(x(300) - 168, y(1.02), 164, 58);
  p.setPen(Qt::black);
  p.fillRect(box, Qt::white);
  p.drawRect(box);
  p.setPen(QPen(blue, 1.5));
  p.drawLine(QPointF(box.left() + 8, box.top() + 13), QPointF(box.left() + 30, box.top() + 13));
  p.setPen(QPen(red, 1.2));
  p.drawEllipse(QPointF(box.left() + 19, box.top() + 30), 3, 3);
  p.setPen(Qt::black);
  p.drawText(QPointF(box.left() + 36, box.top() + 17), QStringLiteral("計算（フィット）"));
  p.drawText(QPointF(box.left() + 36, box.top() + 34), QStringLiteral("基準データ"));
  p.drawText(QPointF(box.left() + 8, box.top() + 51), QStringLiteral("右端の数字: 照射野 (cm)"));
}

ConfidencePlot::ConfidencePlot(QWidget* parent, MessageSink& messages)
    : ExportablePlot(parent, messages) {}

void ConfidencePlot::setFit(const tuning::FitResult& fit) {
  fit_ = fit;
  update();
}

void ConfidencePlot::clearFit() {
  fit_.reset();
  update();
}

void ConfidencePlot::draw(QPainter& p, const QSize& size) const {
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  const QFont font = fonts::font(fonts::timesNewRoman, 9.75);
  const QFont japanese = fonts::font(fonts::meiryo, 9);
  p.setFont(japanese);
  p.setPen(Qt::black);
  p.drawText(QRectF(0, 2, size.width(), 18), Qt::AlignCenter, QStringLiteral("1σ 信頼領域"));
  if (!fit_) {
    drawEmpty(p, size, QStringLiteral("（フィット後に表示）"));
    return;
  }
  const double left = 50, right = size.width() - 12.0, top = 24, bottom = size.height() - 40.0;
  const double sE = fit_->energyHeld ? 0.0 : fit_->energySigma;
  const double sT = fit_->filterHeld ? 0.0 : fit_->filterSigma;
  if (!std::isfinite(sE) || !std::isfinite(sT)) {
    drawEmpty(p, size, QStringLiteral("（不確かさが求まりません）"));
    return;
  }
  // Each axis spans ±2.5 sigma around the best value (a fixed small span for a held parameter).
  const double halfE = sE > 0 ? 2.5 * sE : 0.05, halfT = sT > 0 ? 2.5 * sT : 0.1;
  const Axis x{fit_->energy - halfE, fit_->energy + halfE, left, right};
  const Axis y{fit_->filter - halfT, fit_->filter + halfT, bottom, top};
  p.setPen(Qt::black);
  p.drawRect(QRectF(QPointF(left, top), QPointF(right, bottom)));

  // Ticks at the best value and ±2 sigma.
  p.setFont(font);
  const int dE = decimalsFor(std::max(sE, 0.01)), dT = decimalsFor(std::max(sT, 0.01));
  for (int k = -2; k <= 2; k += 2) {
    const double e = fit_->energy + k * halfE / 2.5, t = fit_->filter + k * halfT / 2.5;
    p.setPen(lightGrey);
    p.drawLine(QPointF(x(e), top), QPointF(x(e), bottom));
    p.drawLine(QPointF(left, y(t)), QPointF(right, y(t)));
    p.setPen(Qt::black);
    p.drawText(QRectF(x(e) - 30, bottom + 2, 60, 14), Qt::AlignCenter, number(e, dE));
    p.drawText(QRectF(0, y(t) - 7, left - 3, 14), Qt::AlignRight | Qt::AlignVCenter, number(t, dT));
  }
  p.setFont(japanese);
  p.drawText(QRectF(left, bottom + 16, right - left, 16), Qt::AlignCenter,
             QStringLiteral("エネルギー (MeV)"));
  p.save();
  p.translate(9, (top + bottom) / 2);
  p.rotate(-90);
  p.drawText(QRectF(-50, -8, 100, 16), Qt::AlignCenter, QStringLiteral("フィルタ厚 (mm)"));
  p.restore();

  // The region: the ellipse of the covariance (both free) or the interval (one held).
  p.setPen(QPen(blue, 1.5));
  p.setBrush(QColor(0, 0, 255, 40));
  if (sE > 0 && sT > 0) {
    const double rho = std::clamp(fit_->correlation, -1.0, 1.0);
    QPainterPath path;
    for (int i = 0; i <= 120; ++i) {
      const double a = 2.0 * M_PI * i / 120.0;
      const double e = fit_->energy + sE * std::cos(a);
      const double t =
          fit_->filter + sT * (rho * std::cos(a) + std::sqrt(1 - rho * rho) * std::sin(a));
      if (i == 0)
        path.moveTo(x(e), y(t));
      else
        path.lineTo(x(e), y(t));
    }
    p.drawPath(path);
  } else if (sE > 0) {
    p.drawLine(QPointF(x(fit_->energy - sE), y(fit_->filter)),
               QPointF(x(fit_->energy + sE), y(fit_->filter)));
  } else if (sT > 0) {
    p.drawLine(QPointF(x(fit_->energy), y(fit_->filter - sT)),
               QPointF(x(fit_->energy), y(fit_->filter + sT)));
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(red, 1.5));
  const QPointF best(x(fit_->energy), y(fit_->filter));
  p.drawLine(best - QPointF(5, 0), best + QPointF(5, 0));
  p.drawLine(best - QPointF(0, 5), best + QPointF(0, 5));
}
