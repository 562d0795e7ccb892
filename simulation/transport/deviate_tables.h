// Functions of a positive deviate that the innermost loops of the transport
// need, tabulated once for every value the generator can store. A positive
// deviate r = (v + 1)/16384.1 takes only 16384 values (v = 0 ... 16383), so a
// table indexed by v holds exactly the single-precision numbers the library
// functions give for r: the run draws the same deviates and gets the same bits,
// with a load in place of a logarithm or a sine and cosine.
#pragma once

#include <array>
#include <cstdint>

#include "simulation/random.h"

namespace dravik {

struct DeviateFunctions {
  static constexpr int kValues = LaggedAdditiveGenerator::kModulus;
  std::array<float, kValues> logPositive{};  // std::log(r): -ln r / mu is a photon's free path
  std::array<float, kValues> sinAzimuth{};   // std::sin(phi), phi = r * PI * 2
  std::array<float, kValues> cosAzimuth{};   // std::cos(phi)
  std::array<float, kValues> sinOpposite{};  // std::sin(PI + phi), the recoil electron's azimuth
  std::array<float, kValues> cosOpposite{};  // std::cos(PI + phi)
};

// The tables, built on first use (thread-safe) and read-only afterwards.
const DeviateFunctions& deviateFunctions();

}  // namespace dravik
