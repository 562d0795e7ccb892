// Photon tracking: one history from the source photon to its last particle.
#pragma once

#include "simulation/state.h"

namespace dravik {

// Interaction coefficients of water at one photon energy [cm^-1] and the
// cumulative fractions that choose the interaction.
struct PhotonCoefficients {
  float coherent = 0.0f;
  float incoherent = 0.0f;
  float photoelectric = 0.0f;
  float pair = 0.0f;
  float total = 0.0f;  // ((pair + photoelectric) + incoherent) + coherent
  float P1 = 0.0f;     // coherent / total
  float P2 = 0.0f;     // (incoherent + coherent) / total
  float P3 = 0.0f;     // ((photoelectric + incoherent) + coherent) / total
};

// Log-log interpolation between the rows that bracket E [keV], found by a
// linear search from row 2 (rows 1 and 2 extrapolate below E_2). An energy at or
// above the last row extrapolates from the last two rows, so the search never
// leaves the table. The pair coefficient is 0 where either bracketing row has 0.
PhotonCoefficients lookupCoefficients(const PhotonCoefficientTable& table, float E);

// Follows the source photon set by startSourcePhoton (w.photon, with
// scoreLayer 1 and annihilationStage 0) and everything it sets in motion until
// every particle has ended; adds deposits to w.kernel, draws from w.rng. Per photon step two
// positive deviates (free path, interaction choice) are drawn, also for a step
// that leaves the phantom; photons below 5.0 keV are absorbed where they are.
void trackHistory(const SharedTables& shared, Worker& w);

}  // namespace dravik
