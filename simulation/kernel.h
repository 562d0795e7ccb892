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
// Inline: the electron track deposition calls it for every step.
inline int depthBinOf(const Phantom& phantom, float z) {
  // The edges are 0.1 cm apart: start from the bin the width suggests and settle
  // on the first bin whose accumulated upper edge is at or above z, which is the
  // bin a walk over the edges from bin 1 finds.
  if (!(z > phantom.upperEdge[1])) return 1;
  if (z > phantom.upperEdge[kDepthBins]) return kDepthBins + 1;
  int n = static_cast<int>(z * 10.0f);
  if (n < 1) n = 1;
  if (n > kDepthBins) n = kDepthBins;
  while (n > 1 && phantom.upperEdge[n - 1] >= z) --n;
  while (phantom.upperEdge[n] < z) ++n;
  return n;
}

// Adds e [keV] to the kernel cell of point p in `layer`, if p lies inside the
// scoring cylinder r < 25 cm, 0 <= z <= 30 cm; otherwise nothing is scored.
void depositPoint(DoseKernel& kernel, const Phantom& phantom, int layer, float e, const Point& p);

}  // namespace dravik
