// The absorbing photon interactions: photoelectric absorption and pair
// production with the annihilation of the positron.
#pragma once

#include "simulation/state.h"

namespace dravik {

// Deposits the whole energy of w.photon at `point` in the current score layer.
void absorbPhotoelectric(const Phantom& phantom, Worker& w, const Point& point);

// Pair production by w.photon (E > 1022 keV) at `point`, `before` being
// the photon's direction at the start of its step. Draws three positive
// deviates (electron azimuth, annihilation polar angle, annihilation azimuth)
// before anything moves, then follows the electron and then the positron to
// their ends (or deposits each at the pair point below 5.0 keV), both in the
// photon's score layer. On return w.photon is the first annihilation
// photon (511 keV, from where the positron ended, in a direction fixed in
// phantom coordinates), annihilationStage 2 and scoreLayer 2.
void producePair(const SharedTables& shared, Worker& w, const Direction& before,
                 const Point& point);

// Sets `photon` to the second annihilation photon: 511 keV from the
// annihilation point, opposite to the first; annihilationStage 3, scoreLayer 2.
void startSecondAnnihilationPhoton(PhotonState& photon, HistoryState& history);

}  // namespace dravik
