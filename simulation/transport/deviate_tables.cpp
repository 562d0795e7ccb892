#include "simulation/transport/deviate_tables.h"

#include <cmath>

#include "simulation/state.h"

namespace dravik {

namespace {

DeviateFunctions build() {
  DeviateFunctions t;
  for (std::int32_t v = 0; v < DeviateFunctions::kValues; ++v) {
    // The same expressions, in the same single-precision steps, as the sampling code had.
    const float r = LaggedAdditiveGenerator::positiveDeviateOf(v);
    const float phi = r * PI * 2.0f;
    const float opposite = PI + phi;
    t.logPositive[v] = std::log(r);
    t.sinAzimuth[v] = std::sin(phi);
    t.cosAzimuth[v] = std::cos(phi);
    t.sinOpposite[v] = std::sin(opposite);
    t.cosOpposite[v] = std::cos(opposite);
  }
  return t;
}

}  // namespace

const DeviateFunctions& deviateFunctions() {
  static const DeviateFunctions tables = build();
  return tables;
}

}  // namespace dravik
