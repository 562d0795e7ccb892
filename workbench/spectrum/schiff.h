// Schiff's thin-target bremsstrahlung spectrum (integrated over angle, with screening),
// filtered by the lead slab and normalised, in 400 bins of 50 keV. Double precision throughout.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "workbench/spectrum/bins.h"
#include "workbench/spectrum/failure.h"
#include "workbench/spectrum/lead.h"

namespace corvane {

// The spectrum window's entries, as typed.
struct SpectrumEntries {
  std::string energyText;        // Text2: electron acceleration energy T0 [MeV]
  std::string targetZText;       // Text5: atomic number Z of the target
  std::string thicknessText;     // Text1: mean lead filter thickness [mm]
  bool referenceTicked = false;  // Check1: "これを基準スペクトルとする"
};

// The spectrum window's spectrum state; the window owns it for its whole life.
struct SpectrumState {
  std::array<double, kSpectrumBins + 2>
      relativeFluence{};                   // bins 1 ... 400; 0 unused, 401 always 0
  LeadCoefficients leadAttenuation{};      // [cm^-1], filled at load by readLeadTable
  int spectrumCount = 0;                   // computations started since load or Clear (the window
                                           // adds 1 just before each computation)
  std::optional<double> referenceMaximum;  // maximum of the reference spectrum; none until captured
};

// What a computation did, beyond filling relativeFluence.
struct SchiffOutcome {
  double binCount = 0.0;           // T0 x 1000 / 50, not rounded
  int filledBins = 0;              // the largest whole i <= binCount
  double targetZ = 0.0;            // Z as read (written on line 402 of S_SPCTL.dat)
  double maximum = 0.0;            // the running maximum m of the unnormalised values
  bool referenceCaptured = false;  // referenceMaximum was set by this computation
};

// The terms of Schiff's formula for one photon energy, without the filter.
struct SchiffTerms {
  double M = 0.0;      // 1 / q, the screening term
  double b = 0.0;      // 2 E0 E Z^0.33333 / (111 x 511 k)
  double F = 0.0;      // the bracket of the formula
  double value = 0.0;  // (100000 F / k) x 0.0146 x Z x Z, before the filter and the clamp at 0
};

// Schiff's formula at photon energy k [keV] for electrons of kinetic energy T0 [MeV] on a target
// of atomic number Z; k must lie below T0 x 1000.
SchiffTerms schiffTerms(double T0, double Z, double k);

// The checks of the compute button, in order: an empty entry (a blank counts as text) gives
// messages::kConditionsMissing; T0 above 20 gives messages::kEnergyAboveLimit; T0 below 0.05 MeV
// (no bin to fill, also text that does not begin with a number) gives messages::kEnergyBelowLimit;
// Z <= 0 gives messages::kTargetZNotPositive; a negative filter thickness (which would amplify
// the beam) gives messages::kThicknessNegative. The window runs this before counting the
// computation.
Status checkSpectrumEntries(const SpectrumEntries& entries);

// Fills relativeFluence from the entries and state.leadAttenuation, captures referenceMaximum
// (reference ticked and spectrumCount == 1, or reference ticked and none captured yet since the
// program started: that computation becomes the reference) and normalises: by referenceMaximum
// when ticked, otherwise by its own maximum with every value <= 1e-10 then set to 0.
// Fails without changing `state` when checkSpectrumEntries fails or when the spectrum has no
// positive finite maximum (for instance a filter so thick that every bin underflows to 0).
Result<SchiffOutcome> computeSchiffSpectrum(SpectrumState& state, const SpectrumEntries& entries);

}  // namespace corvane
