#include "simulation/transport/electron.h"

#include <cmath>

#include "simulation/transport/deviate_tables.h"
#include "simulation/transport/scatter.h"
#include "simulation/transport/track.h"

namespace dravik {

namespace {

constexpr float BRANCH_ENERGY = 305.0f;  // [keV]: stepped walk above, final range step at or below
constexpr float COSINE_SCALE = 6.10352e-05f;  // integer table cosine -> cosine (about 1/16384)
constexpr int kFirstDeflectionRow = 4;        // rows searched for the bracketing energy: 4 ... 24

}  // namespace

float stoppingPower(float T) {
  const float tau = T / 511.0f;
  const float beta2 = tau * (tau + 2.0f) / ((tau + 1.0f) * (tau + 1.0f));
  const float X = std::log(beta2 / (1.0f - beta2)) / 4.606f;  // log10 of beta*gamma
  float delta;                                                // Sternheimer density effect
  if (X < 0.2f) {
    delta = 0.0f;
  } else if (X > 2.0f) {
    delta = 4.606f * X - 3.22f;
  } else {
    const float d = 2.0f - X;
    delta = 4.606f * X - 3.22f + 0.39417f * (d * d * d);
  }
  const float F = (1.0f - beta2) + (tau * tau / 8.0f - (2.0f * tau + 1.0f) * 0.693147f) /
                                       ((tau + 1.0f) * (tau + 1.0f));
  return (153.6f / beta2) * (std::log(30807000.0f * (tau * tau) * (tau + 2.0f)) + F - delta) *
         0.5551f;
}

void transportElectron(ElectronState& e, const PhysicsTables& tables, const Phantom& phantom,
                       LaggedAdditiveGenerator& rng, DoseKernel& kernel, int layer) {
  const DeflectionTable& D = tables.deflection;
  const DeviateFunctions& fn = deviateFunctions();
  // Row search of the deflection: the first row from 4 on whose energy lies below
  // T. T only falls along the walk, so the rows passed for one step stay passed
  // for the next and the search goes on from where it stopped.
  int row = kFirstDeflectionRow;
  for (;;) {
    const float T = e.T;
    float dE;  // energy lost on this step [keV]
    float s;   // step length [cm]
    if (T > BRANCH_ENERGY) {
      dE = tables.electronLossFraction * T;
      s = dE / stoppingPower(T);
    } else {
      dE = T;
      s = 0.407f * std::pow(0.001f * T, 1.38f);
    }
    const Point p0 = e.position;
    const Direction& d = e.direction;
    const Point p1{p0.x + d.cosPhi * s * d.sinTheta, p0.y + d.sinPhi * s * d.sinTheta,
                   p0.z + d.cosTheta * s};
    e.position = p1;
    if (!phantom.contains(p1.x, p1.y, p1.z)) return;  // left the phantom with its energy
    // A step that leaves a coordinate exactly unchanged deposits nothing.
    if (!(p1.x == p0.x || p1.y == p0.y || p1.z == p0.z)) {
      depositTrack(kernel, phantom, layer, dE, p0, p1);
    }
    if (dE == T) return;  // final range step

    // Multiple-scattering deflection at the energy of the step's start.
    while (row <= kDeflectionEnergies && !(D.energies[row] < T)) ++row;
    e.T = T - dE;
    if (row > kDeflectionEnergies) continue;  // below the table: no deflection, no deviates
    const int k = row - 1;  // energies[k] >= T > energies[k + 1], or k = 3 extrapolating
    const float r1 = rng.nextPositiveDeviate();
    const std::int32_t v2 = rng.step();  // the positive deviate r2 of this stored value
    const float u = 64.0f * r1;
    const int c = static_cast<int>(u) + 1;
    const float f = u - static_cast<float>(c - 1);
    const float mk =
        static_cast<float>(D.M(c, k)) + static_cast<float>(D.M(c + 1, k) - D.M(c, k)) * f;
    const float mk1 = static_cast<float>(D.M(c, k + 1)) +
                      static_cast<float>(D.M(c + 1, k + 1) - D.M(c, k + 1)) * f;
    const float g = (T - D.energies[k]) / (D.energies[k + 1] - D.energies[k]);
    float cosTheta = (mk + (mk1 - mk) * g) * COSINE_SCALE;
    if (cosTheta > 1.0f) cosTheta = 1.0f;
    // A table cosine of -16384 scales to just below -1; cut it so the sine is defined.
    if (cosTheta < -1.0f) cosTheta = -1.0f;
    const float sinTheta = std::sqrt(1.0f - cosTheta * cosTheta);
    // Azimuth phi = r2 * PI * 2.
    e.direction =
        rotateDirection(e.direction, sinTheta, cosTheta, fn.sinAzimuth[v2], fn.cosAzimuth[v2]);
  }
}

}  // namespace dravik
