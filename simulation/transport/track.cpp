#include "simulation/transport/track.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "simulation/kernel.h"

namespace dravik {

namespace {

constexpr float AXIS = 25.0f;            // [cm] beam axis at x = y = 25
constexpr float SCORING_RADIUS = 25.0f;  // [cm]
constexpr float RING_WIDTH = 0.2f;       // [cm]

int ringOf(float r) { return static_cast<int>(5.0f * r) + 1; }

// The first depth bin from `from` on whose accumulated upper edge is at or above
// z, capped at the last bin; z lies at or above the lower edge of `from`.
int depthBinFrom(const Phantom& phantom, int from, float z) {
  int j = from;
  while (j < kDepthBins && phantom.upperEdge[j] < z) ++j;
  return j;
}

}  // namespace

void depositTrack(DoseKernel& kernel, const Phantom& phantom, int layer, float dE, Point p0,
                  Point p1) {
  float r0 = std::sqrt((AXIS - p0.y) * (AXIS - p0.y) + (AXIS - p0.x) * (AXIS - p0.x));
  float r1 = std::sqrt((AXIS - p1.y) * (AXIS - p1.y) + (AXIS - p1.x) * (AXIS - p1.x));
  if (r1 == r0) return;
  if (r0 >= SCORING_RADIUS && r1 >= SCORING_RADIUS) return;
  float z0 = p0.z;
  float z1 = p1.z;
  if (z1 == z0) return;  // no depth to divide by
  if (z1 < z0) {
    std::swap(z0, z1);
    std::swap(r0, r1);
  }
  const bool outwards = r1 > r0;  // mode 1: the radius grows with depth

  // Depth bins of the two ends: the first bins whose accumulated upper edges
  // reach z0 and z1 (the same bins a walk of running sums from bin 1 finds).
  const auto& U = phantom.upperEdge;
  // Both ends lie in the phantom (z <= 30 < upperEdge[300]); the cap only keeps
  // a caller's stray point from reaching past the last bin.
  const int j0 = std::min(depthBinOf(phantom, z0), kDepthBins);
  const int j1 = depthBinFrom(phantom, j0, z1);  // a step spans only a few bins

  // Line of the step in the (r, z) plane: z = a r + b.
  const float a = (z0 - z1) / (r0 - r1);
  const float b = z0 - a * r0;

  float lower = z0;
  float rLow = r0;
  int iLow = ringOf(r0);
  for (int j = j0; j <= j1; ++j) {
    const float upper = (j == j1) ? z1 : U[j];
    const float share = (upper - lower) * dE / (z1 - z0);
    // Radius where the step's line crosses this bin's upper edge, held at the step's end.
    float rHigh = (U[j] - b) / a;
    if (outwards ? rHigh > r1 : rHigh < r1) rHigh = r1;
    const int iHigh = ringOf(rHigh);
    const float span = rHigh - rLow;
    float prev = rLow;
    if (outwards) {
      for (int i = iLow; i <= iHigh; ++i) {
        const float boundary = (i == iHigh) ? rHigh : RING_WIDTH * static_cast<float>(i);
        if (span != 0.0f && i <= kRadialBins)
          kernel.K(layer, i, j) += (boundary - prev) * share / span;
        prev = boundary;
      }
    } else {
      for (int i = iLow; i >= iHigh; --i) {
        const float boundary = (i == iHigh) ? rHigh : RING_WIDTH * static_cast<float>(i - 1);
        if (span != 0.0f && i <= kRadialBins)
          kernel.K(layer, i, j) += (boundary - prev) * share / span;
        prev = boundary;
      }
    }
    lower = upper;
    rLow = rHigh;
    iLow = iHigh;
  }
}

}  // namespace dravik
