#include "simulation/kernel.h"

#include <cmath>

namespace dravik {

void setUpPhantom(Phantom& phantom) {
  phantom.xExtent = 50.0f;
  phantom.yExtent = 50.0f;
  phantom.zExtent = 30.0f;
  float edge = 0.0f;
  for (int n = 1; n <= kDepthBins; ++n) {
    phantom.depthBinWidth[n] = 0.1f;
    edge = edge + phantom.depthBinWidth[n];  // the running single-precision sum
    phantom.upperEdge[n] = edge;
  }
}

void startSourcePhoton(LaggedAdditiveGenerator& rng, PhotonState& photon, HistoryState& history,
                       float energy) {
  float dx, dy;
  do {  // uniform on the disc of radius 0.2 cm by rejection from the square
    const float r1 = rng.nextPositiveDeviate();
    const float r2 = rng.nextPositiveDeviate();
    dx = (0.5f - r1) * 0.4f;
    dy = (0.5f - r2) * 0.4f;
  } while (!(dx * dx + dy * dy <= 0.04f));
  photon.position = {dx + 25.0f, dy + 25.0f, 0.0f};
  photon.direction = Direction{};  // straight down the +z axis
  photon.E = energy;
  history.scoreLayer = 1;
  history.annihilationStage = 0;
}

void depositPoint(DoseKernel& kernel, const Phantom& phantom, int layer, float e, const Point& p) {
  const float dy = 25.0f - p.y;
  const float dx = 25.0f - p.x;
  const float r = std::sqrt(dy * dy + dx * dx);  // distance from the beam axis [cm]
  if (r > 25.0f || p.z < 0.0f || p.z > 30.0f) return;
  const int radial = static_cast<int>(5.0f * r) + 1;
  if (radial > kRadialBins) return;  // r = 25 exactly
  kernel.K(layer, radial, depthBinOf(phantom, p.z)) += e;
}

}  // namespace dravik
