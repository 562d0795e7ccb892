// TMR tables predicted from the kernel library: a run's field curves are the sum over the
// spectrum bins of the bin's history count times the bin's mean per-history curve, each field
// then normalised to its maximum over depth, exactly as the run normalises its own sums.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "simulation/state.h"
#include "tuning/kernel_library.h"
#include "workbench/spectrum/lead.h"

namespace tuning {

// Weight of each spectrum bin (index 1 ... 400, slot 0 unused): a run's history count, or any
// multiple of the normalised fluence (the normalisation removes the scale).
using BinWeights = std::array<double, kBins + 1>;

struct Prediction {
  // TMR of field f (1 ... 10) in depth bin d (1 ... 300) at index (f - 1) * 300 + (d - 1), and its
  // 1 sigma from the library's statistics.
  std::array<double, kCurveValues> tmr{};
  std::array<double, kCurveValues> sigma{};
  std::array<int, kFields + 1> depthOfMaximum{};  // depth bin of each field's maximum (= its mm)
  double tpr = 0.0;                               // TMR(10 x 10, 200 mm) / TMR(10 x 10, 100 mm)
  double tprSigma = 0.0;

  double T(int f, int d) const { return tmr[(f - 1) * kDepths + (d - 1)]; }
  double sigmaT(int f, int d) const { return sigma[(f - 1) * kDepths + (d - 1)]; }
};

struct PredictOutcome {
  std::optional<Prediction> prediction;
  std::string error;
};

// The prediction for `weights`. The uncertainty is the jackknife over the library's batches:
// replica j leaves batch j of every bin out (the batches of different bins are independent, so
// the replicas are too), and each replica is normalised like the estimate itself; this carries
// the correlation between a depth and the depth of maximum, and between 10 and 20 cm, into the
// TMR and TPR20,10 uncertainties. With `withSigma` false only the values are computed (the fit's
// coarse search). A weight on a bin the library holds no histories for is an error.
// With `leaveOut` = j >= 0 the prediction of jackknife replica j alone (batch j of every bin
// left out), without sigma: the fit refits each replica to carry the library's own noise, which
// is coherent over depth, into the parameters' uncertainty.
PredictOutcome predict(const KernelLibrary& library, const BinWeights& weights,
                       bool withSigma = true, int leaveOut = -1);

// The history counts of a run of `input` (binHistoryCounts), as weights.
BinWeights runWeights(const dravik::RunInput& input);

// The normalised spectrum of the workbench's own Schiff and lead code for electrons of
// `energy` [MeV] on a target of atomic number Z through `filter` [mm] of lead, with the input
// a run would read from it: S_SPCTL.dat and B2F.dat are written by the workbench's writers into a
// scratch folder and read back by the simulation's reader, so fluences and history counts are
// those of a real run (four significant digits of each fluence and of the history total).
struct SpectrumCase {
  std::array<double, kBins + 2> relativeFluence{};  // the workbench's spectrum, maximum 1
  dravik::RunInput input;                           // what a run reads from the written files
  std::string energyText, zText, filterText;        // the entries as given to the workbench
};
struct SpectrumOutcome {
  std::optional<SpectrumCase> spectrum;
  std::string error;
};
SpectrumOutcome spectrumFromParameters(const corvane::LeadCoefficients& lead, double energy,
                                       double Z, double filter, double histories = 30000000.0);

// Only the workbench's spectrum, without the file round trip (the fit evaluates it often):
// weights proportional to the normalised fluences. Empty error on success.
std::string spectrumWeights(const corvane::LeadCoefficients& lead, double energy, double Z,
                            double filter, BinWeights& weights);

// A spectrum file read as a run reads it, with `histories` as the history total.
SpectrumOutcome spectrumFromFile(const std::filesystem::path& file, double histories = 30000000.0);

// Reads Lead.dat of `folder` into per-bin coefficients; empty error on success.
std::string readLead(const std::filesystem::path& folder, corvane::LeadCoefficients& lead);

// Writes the prediction in the result layout: NAME.tmr with the TMR values and NAME.unc with
// their 1 sigma, both by the simulation's result writer with the run's header. Empty on success.
std::string writePrediction(const std::filesystem::path& folder, const std::string& name,
                            const Prediction& prediction, const dravik::RunInput& input);

// Writes the spectrum of `spectrum` as an S_SPCTL.dat by the workbench's writer to `file`.
std::string writeSpectrum(const SpectrumCase& spectrum, const std::filesystem::path& file);

}  // namespace tuning
