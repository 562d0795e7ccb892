#include "simulation/transport/scatter.h"

#include <algorithm>
#include <cmath>

#include "simulation/transport/deviate_tables.h"

namespace dravik {

namespace {

// The first row k in 2 ... 45 whose value exceeds v (45 at most): bisection of
// the ascending column finds the row the linear search "k = 2; while col(k) <= v"
// stops at.
int firstRowAbove(const std::array<float, kScatterRows + 1>& column, float v) {
  const float* first = column.data() + 2;
  const float* last = column.data() + kScatterRows;
  return static_cast<int>(std::upper_bound(first, last, v) - column.data());
}

constexpr float HC = 12.4f;                           // [keV Angstrom]: wavelength = HC / E
constexpr float INCOHERENT_CORRECTION_LIMIT = 10.0f;  // [1/Angstrom]

}  // namespace

ComptonSample sampleCompton(LaggedAdditiveGenerator& rng, const PhysicsTables& tables, float E,
                            const Direction& before) {
  const ScatterFactorTable& f = tables.scatter;
  const float lambda = ELECTRON_REST_ENERGY / E;  // wavelength in Compton wavelengths
  const float branch = (lambda + 2.0f) / (9.0f * lambda + 2.0f);
  float theta = 0.0f;  // scattering angle [rad]
  for (;;) {
    const float r1 = rng.nextPositiveDeviate();
    const float r2 = rng.nextPositiveDeviate();
    const float r3 = rng.nextPositiveDeviate();
    float x;  // scattered / incident wavelength
    if (r1 <= branch) {
      x = 1.0f + 2.0f * r2 / lambda;
      if (!(4.0f * (1.0f / x - 1.0f / (x * x)) > r3)) continue;
    } else {
      x = (lambda + 2.0f) / (lambda + 2.0f * (1.0f - r2));
      const float c = 1.0f - lambda * (x - 1.0f);
      if (!(0.5f * (c * c + 1.0f / x) > r3)) continue;
    }
    float cosTheta = 1.0f - lambda * (x - 1.0f);
    if (cosTheta > 1.0f) cosTheta = 1.0f;
    if (cosTheta < -1.0f) cosTheta = -1.0f;  // rounding below -1 would make the angle undefined
    theta = std::acos(cosTheta);
    const float q = E * std::sin(theta / 2.0f) / HC;  // momentum transfer [1/Angstrom]
    if (q < INCOHERENT_CORRECTION_LIMIT) {
      const int k = firstRowAbove(f.x, q);
      const float S = f.S[k - 1] + (q - f.x[k - 1]) * (f.S[k] - f.S[k - 1]) / (f.x[k] - f.x[k - 1]);
      const float r4 = rng.nextZeroBasedDeviate();
      if (S / tables.incoherentFunctionMax < r4) continue;
    }
    break;
  }
  ComptonSample out;
  const float cosTheta = std::cos(theta);
  const float sinTheta = std::sin(theta);
  out.scatteredEnergy = E / (1.0f + E / ELECTRON_REST_ENERGY * (1.0f - cosTheta));
  out.recoilEnergy = E - out.scatteredEnergy;
  // Azimuth phi = r5 * PI * 2 of the photon, PI + phi of the electron.
  const std::int32_t v5 = rng.step();  // the stored value of the positive deviate r5
  const DeviateFunctions& fn = deviateFunctions();
  out.photonDirection =
      rotateDirection(before, sinTheta, cosTheta, fn.sinAzimuth[v5], fn.cosAzimuth[v5]);
  if (out.recoilEnergy >= CUTOFF_ENERGY) {
    const float thetaE = std::atan(1.0f / ((1.0f + 1.0f / lambda) * std::tan(theta / 2.0f)));
    out.electronDirection = rotateDirection(before, std::sin(thetaE), std::cos(thetaE),
                                            fn.sinOpposite[v5], fn.cosOpposite[v5]);
  }
  return out;
}

Direction sampleCoherent(LaggedAdditiveGenerator& rng, const PhysicsTables& tables, float E,
                         const Direction& before) {
  const ScatterFactorTable& f = tables.scatter;
  float cosTheta = 1.0f;
  for (;;) {
    const float c = rng.nextZeroBasedDeviate() * tables.coherentCumulativeMax;
    const int k = firstRowAbove(f.C, c);
    const float x = f.x[k - 1] + (f.x[k] - f.x[k - 1]) * (c - f.C[k - 1]) / (f.C[k] - f.C[k - 1]);
    const float s = x * HC / E;  // sin(theta/2)
    if (s > 1.0f) continue;
    cosTheta = 1.0f - 2.0f * s * s;
    const float r = rng.nextZeroBasedDeviate();
    if (2.0f * r > 1.0f + cosTheta * cosTheta) continue;
    break;
  }
  if (cosTheta > 1.0f) cosTheta = 1.0f;
  const float sinTheta = std::sqrt(1.0f - cosTheta * cosTheta);
  const float phi = 2.0f * PI * rng.nextZeroBasedDeviate();
  return rotateDirection(before, sinTheta, cosTheta, std::sin(phi), std::cos(phi));
}

}  // namespace dravik
