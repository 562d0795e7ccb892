#pragma once
// What the results window shows beyond its tables and curves: the statistical uncertainty of a
// loaded result (NAME.unc beside NAME.tmr, the 1 sigma of every TMR value in the result layout),
// TPR20,10 ± sigma and its distance from the reference's, ±1 sigma bands under the calculated
// curves, a legend of the curves drawn, the "自動調整…" button, and the plot's right-button menu
// (picture as PNG or SVG, the loaded tables as CSV).
//
// Without a .unc file nothing of the uncertainty is shown and the plot is drawn exactly as
// before: the bands are the only drawing added to the plot surface.
#include <QObject>
#include <QString>
#include <optional>

#include "workbench/spectrum/results.h"

class Form1;
class QLabel;
class QWidget;
class PictureBox;
class Workbench;
class CurveLegend;

// TPR20,10 = T(4, 200 mm) / T(4, 100 mm) and its 1 sigma from the two values' sigmas, taken as
// independent. (They share the run's histories, so they are positively correlated and the
// independent sum somewhat overstates the sigma of the ratio: a conservative figure.)
struct TprWithSigma {
  double tpr = 0.0;
  double sigma = 0.0;
};
std::optional<TprWithSigma> tprWithSigma(const corvane::CalculatedTmrTable& tmr,
                                         const corvane::CalculatedTmrTable& sigma);

// The comparison text: "差 = +0.012（2.1 σ, +1.7 %）" (sigma of the calculated TPR only; the
// reference's own uncertainty is not known).
QString tprMatchText(double calculated, double sigma, double reference);

// Whether NAME.unc beside a result is that run's: not older than the result, with the
// same five header lines. A later run without uncertainties rewrites only NAME.tmr.
bool uncertaintyBelongsToResult(const QString& resultFile, const QString& uncertaintyFile);

// A table as CSV: "depth_mm" and the ten fields (then their sigmas when given), rows in CR LF.
QByteArray calculatedCsv(const corvane::CalculatedTmrTable& tmr,
                         const corvane::CalculatedTmrTable* sigma);
QByteArray referenceCsv(const corvane::ReferenceTmrData& reference);

class ResultsAnnotations : public QObject {
 public:
  ResultsAnnotations(Form1& form, Workbench& workbench);

  // Hooks of the results window's handlers.
  void resultLoaded(const QString& resultFile, double tpr);  // after a successful load
  void referenceLoaded(double tpr);                          // after a successful load
  void drawBands();                   // before the calculated curves are drawn
  void curvesDrawn(bool calculated);  // after a Graph draw
  void frameReset();                  // after drawTmrFrame

  bool hasSigma() const { return sigmaLoaded_; }
  const corvane::CalculatedTmrTable& sigma() const { return sigma_; }

 private:
  void refresh();

  Form1& form_;
  Workbench& workbench_;
  corvane::CalculatedTmrTable sigma_;
  bool sigmaLoaded_ = false;
  std::optional<double> calculatedTpr_, referenceTpr_;
  std::optional<TprWithSigma> tprSigma_;
  QLabel* sigmaLabel_ = nullptr;
  QLabel* matchLabel_ = nullptr;
  CurveLegend* legend_ = nullptr;
};
