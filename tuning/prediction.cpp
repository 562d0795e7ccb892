#include "tuning/prediction.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "simulation/engine.h"
#include "simulation/run_input.h"
#include "simulation/square_fields.h"
#include "workbench/spectrum/run_files.h"
#include "workbench/spectrum/schiff.h"

namespace tuning {

namespace {

constexpr int kTprField = 4;  // the 10 cm x 10 cm field

// Normalises each field of `sums` to its maximum over depth, in place; the depth bins of the
// maxima go to `dmax` when given. False when a field has no energy.
bool normalise(std::array<double, kCurveValues>& sums, std::array<int, kFields + 1>* dmax) {
  for (int f = 1; f <= kFields; ++f) {
    double* s = sums.data() + (f - 1) * kDepths;
    int at = 0;
    double m = 0.0;
    for (int d = 0; d < kDepths; ++d)
      if (s[d] > m) {
        m = s[d];
        at = d + 1;
      }
    if (!(m > 0.0)) return false;
    for (int d = 0; d < kDepths; ++d) s[d] /= m;
    if (dmax) (*dmax)[f] = at;
  }
  return true;
}

double tprOf(const std::array<double, kCurveValues>& t) {
  return t[(kTprField - 1) * kDepths + 199] / t[(kTprField - 1) * kDepths + 99];
}

// A fresh scratch folder for the hand-over files of one spectrum.
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    static std::atomic<int> serial{0};
    path = std::filesystem::temp_directory_path() /
           ("beamfit_" + std::to_string(::getpid()) + "_" + std::to_string(serial++));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

std::string numberText(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%.10g", v);
  return buffer;
}

// History total as the launch dialog writes it into B2F.dat.
std::string readRunBack(const std::filesystem::path& folder, double histories,
                        dravik::RunInput& input) {
  if (auto s = corvane::writeRunParameters("prediction", numberText(histories), folder); !s)
    return s.failure().message;
  if (auto e = dravik::readRunInput(input, folder)) return e->message();
  return {};
}

}  // namespace

PredictOutcome predict(const KernelLibrary& library, const BinWeights& weights, bool withSigma,
                       int leaveOut) {
  std::vector<int> bins;
  for (int bin = 1; bin <= kBins; ++bin) {
    if (weights[bin] == 0.0) continue;
    if (library.plan.histories[bin] <= 0)
      return {std::nullopt, "the kernel library holds no histories for spectrum bin " +
                                std::to_string(bin) + " (" + std::to_string(50 * bin - 25) +
                                " keV)"};
    bins.push_back(bin);
  }
  if (bins.empty()) return {std::nullopt, "the spectrum is empty"};

  std::array<double, kCurveValues> sums{};
  for (int bin : bins) {
    const double w = weights[bin];
    const double* m = library.mean(bin);
    for (int v = 0; v < kCurveValues; ++v) sums[v] += w * m[v];
    if (leaveOut >= 0) {  // the bin's mean without batch `leaveOut`
      const double n = library.plan.histories[bin];
      const double nj = library.batchHistories(bin, leaveOut);
      if (nj <= 0.0 || nj >= n) continue;
      const double c = w * nj / (n - nj);
      const float* x = library.batch(bin, leaveOut);
      for (int v = 0; v < kCurveValues; ++v) sums[v] += c * (m[v] - x[v]);
    }
  }
  if (leaveOut >= 0) withSigma = false;
  Prediction p;
  p.tmr = sums;
  if (!normalise(p.tmr, &p.depthOfMaximum))
    return {std::nullopt, "the predicted curves hold no energy"};
  p.tpr = tprOf(p.tmr);
  if (!withSigma) return {p, {}};

  // Jackknife: replica j removes batch j of every bin, S_j = S + sum_b w_b n_bj/(n_b - n_bj)
  // (m_b - x_bj); var = (B - 1)/B sum_j (T_j - mean T_j)^2.
  const int B = library.plan.batches;
  std::vector<std::array<double, kCurveValues>> replicas(B);
  std::vector<double> tprs(B);
  for (int j = 0; j < B; ++j) {
    auto& r = replicas[j];
    r = sums;
    for (int bin : bins) {
      const double n = library.plan.histories[bin];
      const double nj = library.batchHistories(bin, j);
      if (nj <= 0.0 || nj >= n) continue;
      const double c = weights[bin] * nj / (n - nj);
      const double* m = library.mean(bin);
      const float* x = library.batch(bin, j);
      for (int v = 0; v < kCurveValues; ++v) r[v] += c * (m[v] - x[v]);
    }
    if (!normalise(r, nullptr)) return {std::nullopt, "a jackknife replica holds no energy"};
    tprs[j] = tprOf(r);
  }
  const double scale = (B - 1.0) / B;
  for (int v = 0; v < kCurveValues; ++v) {
    double mean = 0.0;
    for (int j = 0; j < B; ++j) mean += replicas[j][v];
    mean /= B;
    double ss = 0.0;
    for (int j = 0; j < B; ++j) ss += (replicas[j][v] - mean) * (replicas[j][v] - mean);
    p.sigma[v] = std::sqrt(scale * ss);
  }
  double mean = 0.0;
  for (double t : tprs) mean += t;
  mean /= B;
  double ss = 0.0;
  for (double t : tprs) ss += (t - mean) * (t - mean);
  p.tprSigma = std::sqrt(scale * ss);
  return {p, {}};
}

BinWeights runWeights(const dravik::RunInput& input) {
  const auto counts = dravik::binHistoryCounts(input);
  BinWeights w{};
  for (int bin = 1; bin <= kBins; ++bin) w[bin] = counts[bin];
  return w;
}

std::string spectrumWeights(const corvane::LeadCoefficients& lead, double energy, double Z,
                            double filter, BinWeights& weights) {
  corvane::SpectrumState state;
  state.leadAttenuation = lead;
  state.spectrumCount = 1;
  corvane::SpectrumEntries entries{numberText(energy), numberText(Z), numberText(filter), false};
  auto computed = corvane::computeSchiffSpectrum(state, entries);
  if (!computed)
    return "no spectrum for " + numberText(energy) + " MeV, Z " + numberText(Z) + ", " +
           numberText(filter) + " mm of lead";
  weights = {};
  for (int bin = 1; bin <= kBins; ++bin) weights[bin] = state.relativeFluence[bin];
  return {};
}

SpectrumOutcome spectrumFromParameters(const corvane::LeadCoefficients& lead, double energy,
                                       double Z, double filter, double histories) {
  corvane::SpectrumState state;
  state.leadAttenuation = lead;
  state.spectrumCount = 1;
  SpectrumCase c;
  c.energyText = numberText(energy);
  c.zText = numberText(Z);
  c.filterText = numberText(filter);
  corvane::SpectrumEntries entries{c.energyText, c.zText, c.filterText, false};
  if (auto computed = corvane::computeSchiffSpectrum(state, entries); !computed)
    return {std::nullopt, "no spectrum for " + c.energyText + " MeV, Z " + c.zText + ", " +
                              c.filterText + " mm of lead: " + computed.failure().reason};
  c.relativeFluence = state.relativeFluence;
  ScratchFolder scratch;
  if (auto s = corvane::writeSpectrumFile(state, entries, scratch.path); !s)
    return {std::nullopt, s.failure().message};
  if (auto e = readRunBack(scratch.path, histories, c.input); !e.empty()) return {std::nullopt, e};
  return {c, {}};
}

SpectrumOutcome spectrumFromFile(const std::filesystem::path& file, double histories) {
  if (!std::filesystem::is_regular_file(file))
    return {std::nullopt, "the spectrum file " + file.string() + " does not exist"};
  ScratchFolder scratch;
  std::error_code ec;
  std::filesystem::copy_file(file, scratch.path / corvane::kSpectrumFileName,
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) return {std::nullopt, "cannot read the spectrum file " + file.string()};
  SpectrumCase c;
  if (auto e = readRunBack(scratch.path, histories, c.input); !e.empty())
    return {std::nullopt, file.string() + ": " + e};
  for (int bin = 1; bin <= kBins; ++bin) c.relativeFluence[bin] = c.input.spectrum.fluence[bin];
  c.energyText = numberText(c.input.spectrum.accelerationEnergy);
  c.zText = numberText(c.input.spectrum.targetZ);
  c.filterText = numberText(c.input.spectrum.filterThickness);
  return {c, {}};
}

std::string readLead(const std::filesystem::path& folder, corvane::LeadCoefficients& lead) {
  corvane::LeadTable table;
  if (auto s = corvane::readLeadTable(folder / "Lead.dat", table, lead); !s)
    return "cannot use " + (folder / "Lead.dat").string() + ": " + s.failure().reason;
  return {};
}

std::string writePrediction(const std::filesystem::path& folder, const std::string& name,
                            const Prediction& prediction, const dravik::RunInput& input) {
  auto values = std::make_unique<dravik::TmrTable>();
  auto sigmas = std::make_unique<dravik::TmrTable>();
  for (int f = 1; f <= kFields; ++f)
    for (int d = 1; d <= kDepths; ++d) {
      values->T(f, d) = static_cast<float>(prediction.T(f, d));
      sigmas->T(f, d) = static_cast<float>(prediction.sigmaT(f, d));
    }
  if (auto e = dravik::writeResultFile(folder / (name + ".tmr"), *values, input)) return *e;
  if (auto e = dravik::writeResultFile(folder / (name + ".unc"), *sigmas, input)) return *e;
  return {};
}

std::string writeSpectrum(const SpectrumCase& spectrum, const std::filesystem::path& file) {
  corvane::SpectrumState state;
  state.relativeFluence = spectrum.relativeFluence;
  corvane::SpectrumEntries entries{spectrum.energyText, spectrum.zText, spectrum.filterText, false};
  ScratchFolder scratch;
  if (auto s = corvane::writeSpectrumFile(state, entries, scratch.path); !s)
    return s.failure().message;
  std::error_code ec;
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  std::filesystem::copy_file(scratch.path / corvane::kSpectrumFileName, temporary,
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (!ec) std::filesystem::rename(temporary, file, ec);
  if (ec) return "cannot write the spectrum file " + file.string() + " (" + ec.message() + ")";
  return {};
}

}  // namespace tuning
