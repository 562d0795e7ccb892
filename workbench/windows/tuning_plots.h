#pragma once
// The pictures of the tuning window: the reference points with the fitted curves of chosen
// fields and a panel of the residuals below, and the 1 sigma confidence region of the fitted
// energy and filter thickness.
#include <array>
#include <optional>

#include "plot_export.h"
#include "tuning/fit.h"

class FitCurvesPlot : public ExportablePlot {
 public:
  FitCurvesPlot(QWidget* parent, MessageSink& messages);
  void setFit(const tuning::FitResult& fit, const tuning::Reference& reference);
  void clearFit();
  void setFieldShown(int field, bool shown);  // field 1 ... 10
  bool fieldShown(int field) const { return shown_[static_cast<std::size_t>(field)]; }
  bool hasFit() const { return fit_.has_value(); }
  void draw(QPainter& painter, const QSize& size) const override;

 private:
  std::optional<tuning::FitResult> fit_;
  std::optional<tuning::Reference> reference_;
  std::array<bool, tuning::kFields + 1> shown_{};
};

class ConfidencePlot : public ExportablePlot {
 public:
  ConfidencePlot(QWidget* parent, MessageSink& messages);
  void setFit(const tuning::FitResult& fit);
  void clearFit();
  void draw(QPainter& painter, const QSize& size) const override;

 private:
  std::optional<tuning::FitResult> fit_;
};
