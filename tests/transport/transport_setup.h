// Hand-made water-like tables and generator scripting for the transport tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "simulation/state.h"

namespace dravik::testing {

// Interaction coefficients [cm^-1], the same at every table energy; the pair
// coefficient applies above 1022 keV only (0 in the rows at and below it). The
// other three must stay positive (log-log interpolation), so "absent" is 1e-12.
constexpr float kAbsent = 1e-12f;
struct Coefficients {
  float coherent = kAbsent;
  float incoherent = kAbsent;
  float photoelectric = kAbsent;
  float pair = 0.0f;
};

// A simulation with the phantom set up, a photon table of constant coefficients
// (rows from 1 keV to 30 MeV), a smooth momentum-transfer table (x up to 11) and
// a deflection table of small angles (24 energies from 20 MeV down to 27 keV).
std::unique_ptr<Simulation> makeSimulation(const Coefficients& mu);
void fillPhotonTable(PhotonCoefficientTable& table, const Coefficients& mu);

// Makes the next values the generator stores exactly `values` (at most 24, each
// 0 ... 16383), by setting the table entries those steps add to.
void scriptGenerator(LaggedAdditiveGenerator& rng, std::initializer_list<int> values);
// The stored value whose positive deviate is closest to r.
int storedForPositive(double r);
float positiveDeviate(int stored);
float zeroBasedDeviate(int stored);

// Sum of the kernel over one layer, or both (layer 0), in double precision.
double kernelTotal(const DoseKernel& kernel, int layer = 0);

// Names the cases of a TEST_P table by their `name` field.
struct CaseName {
  template <class T>
  std::string operator()(const ::testing::TestParamInfo<T>& p) const {
    return p.param.name;
  }
};

}  // namespace dravik::testing
