// Stopping power and the condensed-history walk of electrons and positrons.
#include "simulation/transport/electron.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "transport_setup.h"

namespace dravik {
namespace {

using testing::kernelTotal;

struct PowerCase {
  const char* name;
  friend void PrintTo(const PowerCase& c, std::ostream* os) { *os << c.name; }
  float T;         // [keV]
  float expected;  // [keV/cm], the values quoted with the Bethe-Moller-Sternheimer formula
};

class StoppingPower : public ::testing::TestWithParam<PowerCase> {};

TEST_P(StoppingPower, MatchesTheQuotedValues) {
  // Quoted to the nearest keV/cm, so within half a unit plus single-precision rounding.
  EXPECT_NEAR(stoppingPower(GetParam().T), GetParam().expected, 0.6f);
}

INSTANTIATE_TEST_SUITE_P(Quoted, StoppingPower,
                         ::testing::Values(PowerCase{"at_305_keV", 305.0f, 2382.0f},
                                           PowerCase{"at_1_MeV", 1000.0f, 1871.0f},
                                           PowerCase{"at_10_MeV", 10000.0f, 1996.0f}),
                         testing::CaseName());

// An oblique direction that changes all three coordinates.
const Direction kOblique{std::sin(0.6f), std::cos(0.6f), std::sin(0.4f), std::cos(0.4f)};

class ElectronWalk : public ::testing::Test {
 protected:
  void SetUp() override { sim = testing::makeSimulation({}); }
  ElectronState electron(float T, Point p = {25.2f, 25.1f, 10.0f}, Direction d = kOblique) {
    ElectronState e;
    e.T = T;
    e.position = p;
    e.direction = d;
    return e;
  }
  void walk(ElectronState& e, int layer = 1) {
    transportElectron(e, sim->shared.tables, sim->shared.phantom, sim->worker.rng,
                      sim->worker.kernel, layer);
  }
  std::uint64_t steps() const { return sim->worker.rng.steps(); }
  std::unique_ptr<Simulation> sim;
};

class FinalStepOnly : public ElectronWalk, public ::testing::WithParamInterface<float> {};

TEST_P(FinalStepOnly, OneStraightRangeStepDepositsAllAndDrawsNothing) {
  const float T = GetParam();
  ElectronState e = electron(T);
  const Point start = e.position;
  const std::uint64_t before = steps();
  walk(e, 2);
  EXPECT_EQ(steps(), before);
  EXPECT_NEAR(kernelTotal(sim->worker.kernel, 2), T, 2e-6 * T);
  // Range law R = 0.407 (T/1000)^1.38 cm along the initial direction.
  const double R = 0.407 * std::pow(T / 1000.0, 1.38);
  // Coordinates near 25 cm carry about 2e-6 cm of rounding.
  EXPECT_NEAR(e.position.z - start.z, R * kOblique.cosTheta, 5e-6);
  EXPECT_NEAR(std::hypot(e.position.x - start.x, e.position.y - start.y), R * kOblique.sinTheta,
              5e-6);
}

INSTANTIATE_TEST_SUITE_P(FiveTo305keV, FinalStepOnly, ::testing::Values(5.0f, 50.0f, 305.0f));

TEST_F(ElectronWalk, At306keVOneSteppedStepIsDeflectedThenTheRestGoesInOneStep) {
  ElectronState e = electron(306.0f);
  const Point start = e.position;
  const std::uint64_t before = steps();
  walk(e);
  EXPECT_EQ(steps(), before + 2);  // one deflection
  EXPECT_NEAR(kernelTotal(sim->worker.kernel, 1), 306.0, 306.0 * 2e-6);
  // First step: 0.08299595 x 306 = 25.4 keV over 25.4/S(306) = 0.0107 cm; then a
  // final step of 0.407 (0.2806)^1.38 = 0.0700 cm. The path bends, so the end lies
  // within the two lengths of the start.
  const double first = 0.08299595 * 306.0 / stoppingPower(306.0f);
  EXPECT_NEAR(first, 0.0107, 0.0001);
  const double dist =
      std::sqrt(std::pow(e.position.x - start.x, 2) + std::pow(e.position.y - start.y, 2) +
                std::pow(e.position.z - start.z, 2));
  EXPECT_LE(dist, first + 0.407 * std::pow(0.001 * (306.0 - 0.08299595 * 306.0), 1.38) + 1e-6);
}

TEST_F(ElectronWalk, TheHighestBinMakesFortyNineSteppedStepsOfTwoDeviatesEach) {
  // 19975 (1 - 0.08299595)^n <= 305 first at n = 49; every stepped step is
  // deflected (the table reaches down to 27 keV), then one final step.
  ElectronState e = electron(19975.0f, {25.2f, 25.1f, 5.0f});
  const std::uint64_t before = steps();
  walk(e);
  EXPECT_EQ(steps(), before + 98);
  EXPECT_NEAR(kernelTotal(sim->worker.kernel), 19975.0, 19975.0 * 1e-5);
}

TEST_F(ElectronWalk, NoDeflectionAndNoDeviatesAtOrBelowTheLowestTableEnergy) {
  for (int k = 1; k <= kDeflectionEnergies; ++k)
    sim->shared.tables.deflection.energies[k] =
        20000.0f - 800.0f * static_cast<float>(k - 1);  // down to 1600
  ElectronState e = electron(1600.0f);
  const std::uint64_t before = steps();
  walk(e);
  // 1600 keV is not above energies(24) = 1600 and nothing below is either.
  EXPECT_EQ(steps(), before);
  EXPECT_EQ(e.direction.cosTheta, kOblique.cosTheta);
  EXPECT_EQ(e.direction.sinPhi, kOblique.sinPhi);
  EXPECT_NEAR(kernelTotal(sim->worker.kernel), 1600.0, 1600.0 * 1e-5);
}

TEST_F(ElectronWalk, AStepEndingOutsideLosesTheParticleAndItsEnergy) {
  // Heading up out of the entrance face from just below it.
  Direction up{0.0f, -1.0f, 0.0f, 1.0f};
  ElectronState e = electron(2000.0f, {25.3f, 25.0f, 0.001f}, up);
  const std::uint64_t before = steps();
  walk(e);
  EXPECT_EQ(steps(), before);
  EXPECT_EQ(kernelTotal(sim->worker.kernel), 0.0);
  EXPECT_LT(e.position.z, 0.0f);  // the end point of the escaping step is kept
}

TEST_F(ElectronWalk, AStepEndingExactlyOnTheBackFaceStaysInside) {
  // A 200 keV electron makes one range step; start it where that step ends on
  // z = 30 exactly (searched among neighbouring floats of the same arithmetic).
  const Direction d{std::sin(0.1f), std::cos(0.1f), 0.6f, 0.8f};
  const float s = 0.407f * std::pow(0.001f * 200.0f, 1.38f);
  float z0 = 30.0f - d.cosTheta * s;
  for (int n = 0; n < 8 && z0 + d.cosTheta * s != 30.0f; ++n) {
    z0 = std::nextafter(z0, z0 + d.cosTheta * s > 30.0f ? 0.0f : 31.0f);
  }
  ASSERT_EQ(z0 + d.cosTheta * s, 30.0f);
  ElectronState e = electron(200.0f, {25.3f, 25.0f, z0}, d);
  walk(e);
  EXPECT_EQ(e.position.z, 30.0f);
  EXPECT_NEAR(kernelTotal(sim->worker.kernel), 200.0, 200.0 * 2e-6);
}

TEST_F(ElectronWalk, AnUnchangedCoordinateDepositsNothingButTheWalkGoesOn) {
  // sinPhi exactly 0: y never changes on the first step.
  const Direction inXz{std::sin(0.5f), std::cos(0.5f), 0.0f, 1.0f};
  ElectronState low = electron(100.0f, {25.5f, 25.0f, 10.0f}, inXz);
  walk(low);
  EXPECT_EQ(kernelTotal(sim->worker.kernel), 0.0);
  EXPECT_GT(low.position.x, 25.5f);  // it moved

  // A stepped electron: the first step scores nothing, the deflected rest does.
  ElectronState high = electron(2000.0f, {25.5f, 25.0f, 10.0f}, inXz);
  walk(high);
  EXPECT_GT(kernelTotal(sim->worker.kernel), 0.0);
  EXPECT_LT(kernelTotal(sim->worker.kernel), 2000.0 * (1.0 - 0.08299595) * (1 + 1e-5));
}

}  // namespace
}  // namespace dravik
