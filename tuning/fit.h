// Automatic fit of the acceleration energy and the lead filter thickness to a reference TMR
// table: weighted least squares between the reference rows beyond the build-up region and the
// library's prediction read at the reference depths, minimised by Levenberg-Marquardt on
// finite differences after a coarse grid search.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tuning/kernel_library.h"
#include "tuning/prediction.h"
#include "workbench/spectrum/lead.h"

namespace tuning {

constexpr int kMaxReferenceRows = 30;

// A reference TMR file as read by the workbench's reader (depths in mm, ten fields).
struct Reference {
  std::filesystem::path file;
  double tpr = 0.0;  // TPR20,10 stated on its first line
  int rows = 0;
  std::array<double, kMaxReferenceRows + 1> depth{};                         // [mm], 1-based
  std::array<std::array<double, kMaxReferenceRows + 1>, kFields + 1> tmr{};  // tmr[f][k]
};
struct ReferenceOutcome {
  std::optional<Reference> reference;
  std::string error;  // names the file and the row at fault
};
// Reads a reference file with loadReferenceFile; a row that is incomplete or not numbers, more
// than 30 rows, a depth outside 0 ... 300 mm, or a TMR value that is not positive is refused.
ReferenceOutcome readReference(const std::filesystem::path& file);

struct FitOptions {
  double Z = 29.0;
  std::optional<double> fixedEnergy;  // [MeV], held when given
  std::optional<double> fixedFilter;  // [mm], held when given
  // Rows used: deeper than this depth [mm] in every field when given, otherwise deeper than
  // each field's own depth of maximum in the reference.
  std::optional<double> depthMin;
  // Rows deeper than this [mm] are left out: the simulated phantom ends at 300 mm, and its last
  // few millimetres lack the backscatter of the deeper water a measurement has.
  double depthMax = 295.0;
  double tolerance = 0.005;  // measurement tolerance, a fraction of the reference value
  double energyLow = 0.5, energyHigh = 20.0;  // [MeV]
  double filterLow = 0.0, filterHigh = 30.0;  // [mm]
};

// One reference value used by the objective.
struct FitPoint {
  int field = 0;
  int row = 0;
  double depth = 0.0;      // [mm]
  double reference = 0.0;  // measured TMR
  double predicted = 0.0;  // prediction at the depth
  double sigma = 0.0;      // combined 1 sigma of the weight
};

struct FieldDeviation {
  int points = 0;
  double rmsPercent = 0.0;  // root mean square of 100 (predicted - reference) / reference
  double maxPercent = 0.0;  // the largest |deviation| [%]
};

struct FitResult {
  double energy = 0.0, energySigma = 0.0;  // [MeV]
  double filter = 0.0, filterSigma = 0.0;  // [mm]
  double correlation = 0.0;                // of energy and filter; 0 when one is held
  bool energyHeld = false, filterHeld = false;
  // The optimum lies on the edge of the allowed range (the valley goes on beyond it): the
  // region is then that of the constrained optimum.
  bool energyAtBound = false, filterAtBound = false;
  double chi2 = 0.0, chi2Reduced = 0.0;
  int degreesOfFreedom = 0;
  // The covariance is (J^T W J)^-1, scaled by the reduced chi-square when that exceeds 1 (the
  // reference then scatters more than its stated tolerance, and the region widens with it), plus
  // the library part below.
  bool covarianceScaled = false;
  // The part of the covariance from the library's statistics: the spread of the refits with each
  // jackknife replica of the library (added to the part above).
  double libraryEnergyVariance = 0.0, libraryFilterVariance = 0.0, libraryCovariance = 0.0;
  Prediction prediction;  // at the best parameters (continuous spectrum weights)
  double tprReference = 0.0;
  std::array<FieldDeviation, kFields + 1> fields{};
  std::vector<FitPoint> points;
  int evaluations = 0;
};
struct FitOutcome {
  std::optional<FitResult> result;
  std::string error;
};

// The prediction's TMR of field f at `depth` [mm]: linear between the 1 mm rows, row r centred at
// r - 0.5 mm (held at the end rows' values outside 0.5 ... 299.5 mm). Also for the sigma.
double tmrAtDepth(const Prediction& p, int f, double depth);
double sigmaAtDepth(const Prediction& p, int f, double depth);

FitOutcome fitReference(const KernelLibrary& library, const corvane::LeadCoefficients& lead,
                        const Reference& reference, const FitOptions& options);

// The fit summary as JSON (energy_MeV, energy_sigma_MeV, filter_mm, filter_sigma_mm, correlation,
// chi2_reduced, tpr_predicted, tpr_sigma, tpr_reference, fields, ...).
std::string fitJson(const FitResult& fit, const Reference& reference, const FitOptions& options,
                    double seconds);

// An SVG picture: reference points and fitted curves of the ten fields, with a panel of the
// residuals in percent below.
std::string fitSvg(const FitResult& fit, const Reference& reference);

}  // namespace tuning
