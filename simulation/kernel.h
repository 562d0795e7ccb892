// The pencil-beam source and point scoring into the cylindrical dose kernel.
#pragma once

#include "simulation/state.h"

namespace dravik {

// Source photon of `energy` [keV] on the entrance disc of radius 0.2 cm about the
// axis at z = 0, travelling along +z; two positive deviates per attempt.
void startSourcePhoton(LaggedAdditiveGenerator& rng, PhotonState& photon, HistoryState& history,
                       float energy);

// Depth bin of depth z: the first bin whose upper edge is at or above z (z = 0 in
// bin 1, z = 30 in bin 300); kDepthBins + 1 when z lies beyond the last edge.
int depthBinOf(const Phantom& phantom, float z);

// Adds e [keV] to the kernel cell of point p in `layer`, if p lies inside the
// scoring cylinder r < 25 cm, 0 <= z <= 30 cm; otherwise nothing is scored.
void depositPoint(DoseKernel& kernel, const Phantom& phantom, int layer, float e, const Point& p);

}  // namespace dravik
