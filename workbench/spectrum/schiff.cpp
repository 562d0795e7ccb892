#include "workbench/spectrum/schiff.h"

#include <cmath>

#include "workbench/spectrum/format.h"
#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

Failure entryFailure(const char* message) { return Failure{"", message, message}; }

// binCount = T0 x 1000 / 50, formed in this order and kept as a real.
double binCountOf(double T0) { return T0 * 1000.0 / 50.0; }

}  // namespace

SchiffTerms schiffTerms(double T0, double Z, double k) {
  const double E0 = T0 * 1000.0 + 511.0;      // total electron energy before the emission [keV]
  const double E = E0 - k;                    // total electron energy after the emission [keV]
  const double Zcube = std::pow(Z, 0.33333);  // the decimal exponent as written, in q and in b
  const double screening = 511.0 * k / (2.0 * E0 * E);
  const double atomic = Zcube / 111.0;
  const double q = screening * screening + atomic * atomic;
  SchiffTerms terms;
  terms.M = 1.0 / q;
  const double b = 2.0 * E0 * E * Zcube / (56721.0 * k);  // 56721 = 111 x 511
  terms.b = b;
  terms.F = ((E0 * E0 + E * E) / (E0 * E0) - 0.66666 * E / E0) *
                ((std::log(terms.M) + 1.0) - (2.0 / b) * std::atan(b)) +
            (E / E0) * ((2.0 / (b * b)) * std::log(1.0 + b * b) +
                        1.33333 * (2.0 - b * b) / (b * b * b) * std::atan(b) - 2.66666 / (b * b) +
                        0.22222);
  terms.value = (100000.0 * terms.F / k) * 0.0146 * Z * Z;
  return terms;
}

Status checkSpectrumEntries(const SpectrumEntries& entries) {
  if (entries.thicknessText.empty() || entries.energyText.empty() || entries.targetZText.empty())
    return entryFailure(messages::kConditionsMissing);
  double T0 = leadingNumber(entries.energyText);
  if (T0 > 20.0) return entryFailure(messages::kEnergyAboveLimit);
  if (!(binCountOf(T0) >= 1.0)) return entryFailure(messages::kEnergyBelowLimit);
  if (!(leadingNumber(entries.targetZText) > 0.0))
    return entryFailure(messages::kTargetZNotPositive);
  // exp(-t mu) with t < 0 would amplify the beam in the lead instead of attenuating it.
  if (leadingNumber(entries.thicknessText) < 0.0) return entryFailure(messages::kThicknessNegative);
  return {};
}

Result<SchiffOutcome> computeSchiffSpectrum(SpectrumState& state, const SpectrumEntries& entries) {
  if (Status checked = checkSpectrumEntries(entries); !checked) return checked.failure();

  // Computed into a copy, so that a failure leaves the window's spectrum as it was.
  std::array<double, kSpectrumBins + 2> fluence{};      // step 1: bins 1 ... 401 are 0
  const double T0 = leadingNumber(entries.energyText);  // [MeV]
  const double Z = leadingNumber(entries.targetZText);
  const double t = leadingNumber(entries.thicknessText) * 0.1;  // [cm]; the box holds mm
  const double binCount = binCountOf(T0);
  double m = 0.0;
  int filled = 0;
  for (int i = 1; i <= kSpectrumBins && static_cast<double>(i) <= binCount; ++i) {
    const double k = 50.0 * i - 25.0;  // photon energy, the bin centre [keV]
    double value = schiffTerms(T0, Z, k).value * std::exp(-t * state.leadAttenuation[i]);
    if (value < 0.0) value = 0.0;
    fluence[i] = value;
    if (value >= m) m = value;
    filled = i;
  }
  for (int i = 1; i <= filled; ++i)
    if (!std::isfinite(fluence[i]))
      return Failure{"", "スペクトルの値が有限になりません",
                     "ビン " + std::to_string(i) +
                         " のスペクトルの値が計算できません（入力値が大きすぎます）"};
  if (!(m > 0.0))
    return Failure{"", "スペクトルがすべてのビンで 0 です",
                   "フィルタが厚すぎるため、スペクトルがすべてのビンで 0 になり、正規化できません"};

  SchiffOutcome outcome;
  outcome.binCount = binCount;
  outcome.filledBins = filled;
  outcome.targetZ = Z;
  outcome.maximum = m;

  // Reference capture: the first computation after load or Clear with the box ticked, or, when
  // no reference has been captured since the program started, the first one with the box ticked.
  std::optional<double> reference = state.referenceMaximum;
  if (entries.referenceTicked && (state.spectrumCount == 1 || !reference)) {
    reference = m;
    outcome.referenceCaptured = true;
  }

  if (entries.referenceTicked) {
    for (int i = 1; i <= kSpectrumBins; ++i) fluence[i] = fluence[i] / *reference;
    for (int i = 1; i <= filled; ++i)
      if (!std::isfinite(fluence[i]))
        return Failure{
            "", "基準スペクトルに対する比が大きすぎます",
            "基準スペクトルに対する比が大きすぎて表せません（基準スペクトルを計算し直して下さい）"};
  } else {
    for (int i = 1; i <= kSpectrumBins; ++i) {
      fluence[i] = fluence[i] / m;
      if (fluence[i] <= 0.0000000001) fluence[i] = 0.0;
    }
  }
  fluence[kSpectrumBins + 1] = 0.0;

  state.relativeFluence = fluence;
  state.referenceMaximum = reference;
  return outcome;
}

}  // namespace corvane
