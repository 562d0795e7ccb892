// Photon scattering in water: incoherent (Compton) and coherent, and the one
// rule by which the transport turns a flight direction.
#pragma once

#include <cmath>

#include "simulation/random.h"
#include "simulation/state.h"

namespace dravik {

// Turns `old` by the deflection angle theta (measured from the old direction)
// and the azimuth phi about it, given as sines and cosines. The new polar cosine
// is cut to [-1, 1] (an excess from rounding would leave the sine undefined);
// a new direction on the z axis gets sinPhi 0, cosPhi 1. From an old direction
// on the z axis the new azimuth is pi - phi. Never renormalised.
// Inline: every deflection of every particle goes through it.
inline Direction rotateDirection(const Direction& old, float sinTheta, float cosTheta, float sinPhi,
                                 float cosPhi) {
  Direction d;
  float c = cosPhi * sinTheta * old.sinTheta + cosTheta * old.cosTheta;
  if (c > 1.0f) c = 1.0f;
  if (c < -1.0f) c = -1.0f;
  const float s = std::sqrt(1.0f - c * c);
  d.cosTheta = c;
  d.sinTheta = s;
  if (s == 0.0f) {
    d.sinPhi = 0.0f;
    d.cosPhi = 1.0f;
    return d;
  }
  const float sinDelta = sinPhi * sinTheta / s;
  if (old.sinTheta == 0.0f) {
    d.sinPhi = sinPhi;
    d.cosPhi = -cosPhi;
    return d;
  }
  const float cosDelta = (cosTheta - old.cosTheta * c) / (old.sinTheta * s);
  d.sinPhi = old.sinPhi * cosDelta + old.cosPhi * sinDelta;
  d.cosPhi = old.cosPhi * cosDelta - old.sinPhi * sinDelta;
  return d;
}

// One incoherent scattering of photon energy E [keV].
struct ComptonSample {
  float scatteredEnergy = 0.0f;  // E' [keV]
  float recoilEnergy = 0.0f;     // T = E - E' [keV]
  Direction photonDirection;
  Direction electronDirection;  // set only when T >= CUTOFF_ENERGY
};

// Klein-Nishina by Kahn's rejection method, corrected by the incoherent
// scattering function of water below 10 1/Angstrom. Draws per attempt three
// positive deviates and, when Kahn's test passed with q < 10, one zero-based
// deviate; after acceptance one positive deviate for the azimuth. `before` is
// the direction at the start of the photon step; the recoil electron leaves
// opposite in azimuth to the photon.
ComptonSample sampleCompton(LaggedAdditiveGenerator& rng, const PhysicsTables& tables, float E,
                            const Direction& before);

// One coherent scattering of photon energy E [keV]: the momentum transfer from
// the cumulative form factor, the angle accepted by the Thomson factor
// (1 + cos^2)/2. Zero-based deviates: one per attempt, a second only when
// sin(theta/2) <= 1, one for the azimuth. Returns the new direction.
Direction sampleCoherent(LaggedAdditiveGenerator& rng, const PhysicsTables& tables, float E,
                         const Direction& before);

}  // namespace dravik
