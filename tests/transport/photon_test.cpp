// Photon tracking, the two scatterings and the absorbing interactions, checked
// through the generator's step count and the kernel.
#include "simulation/transport/photon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "simulation/kernel.h"
#include "simulation/transport/absorption.h"
#include "simulation/transport/scatter.h"
#include "transport_setup.h"

namespace dravik {
namespace {

using testing::Coefficients;
using testing::kernelTotal;
using testing::makeSimulation;
using testing::scriptGenerator;
using testing::storedForPositive;

// Stored values for chosen deviates.
int P(double r) { return storedForPositive(r); }                        // positive form
int Z(double r) { return static_cast<int>(std::lround(r * 16384.1)); }  // zero-based form

// ---------------------------------------------------------------- coefficients

TEST(LookupCoefficients, TabulatedEnergiesGiveTheirRowAndLogLogBetweenRows) {
  PhotonCoefficientTable t;
  t.rowCount = 4;
  const float E[] = {10.0f, 100.0f, 1000.0f, 10000.0f};
  for (int i = 1; i <= 4; ++i) {
    t.energy[i] = E[i - 1];
    t.coherent[i] = 1.0f / static_cast<float>(i * i);
    t.incoherent[i] = 0.2f * static_cast<float>(i);
    t.photoelectric[i] = std::pow(10.0f, -static_cast<float>(i));
    t.pair[i] = i == 4 ? 0.01f : 0.0f;
  }
  deriveLogarithms(t);
  // E = E_2 brackets rows 2 and 3 with t = 0: row 2's values.
  const PhotonCoefficients at = lookupCoefficients(t, 100.0f);
  EXPECT_FLOAT_EQ(at.coherent, 0.25f);
  EXPECT_FLOAT_EQ(at.incoherent, 0.4f);
  EXPECT_FLOAT_EQ(at.photoelectric, 0.01f);
  EXPECT_EQ(at.pair, 0.0f);
  // Half way in log energy between rows 2 and 3: geometric means.
  const PhotonCoefficients mid = lookupCoefficients(t, std::sqrt(100.0f * 1000.0f));
  EXPECT_FLOAT_EQ(mid.coherent, std::sqrt(0.25f / 9.0f));
  EXPECT_FLOAT_EQ(mid.incoherent, std::sqrt(0.4f * 0.6f));
  // Pair is impossible where either bracketing row has 0; P3 is then exactly 1.
  const PhotonCoefficients noPair = lookupCoefficients(t, 5000.0f);
  EXPECT_EQ(noPair.pair, 0.0f);
  EXPECT_EQ(noPair.P3, 1.0f);
  // Below E_2 rows 1 and 2 serve; at or above the last row the last two rows
  // extrapolate, and the search never leaves the table.
  const PhotonCoefficients high = lookupCoefficients(t, 20000.0f);
  const double tHigh =
      std::log(20.0) / std::log(10.0);  // (ln 20000 - ln 1000)/(ln 10000 - ln 1000)
  EXPECT_NEAR(high.coherent,
              std::exp(std::log(1.0 / 9) + (std::log(1.0 / 16) - std::log(1.0 / 9)) * tHigh), 1e-6);
  EXPECT_EQ(high.pair, 0.0f);  // row 3 has none
  EXPECT_FLOAT_EQ(lookupCoefficients(t, 10.0f).coherent, 1.0f);
}

TEST(LookupCoefficients, TheFractionsAreCumulativeInTheOrderCoherentIncoherentPhotoPair) {
  PhotonCoefficientTable t;
  testing::fillPhotonTable(t, {1.0f, 2.0f, 3.0f, 4.0f});
  const PhotonCoefficients mu = lookupCoefficients(t, 5000.0f);
  EXPECT_NEAR(mu.total, 10.0f, 1e-5f);
  EXPECT_NEAR(mu.P1, 0.1f, 1e-6f);
  EXPECT_NEAR(mu.P2, 0.3f, 1e-6f);
  EXPECT_NEAR(mu.P3, 0.6f, 1e-6f);
}

// ---------------------------------------------------------------- draw accounting

class Tracking : public ::testing::Test {
 protected:
  void use(const Coefficients& mu) { sim = makeSimulation(mu); }
  std::uint64_t steps() const { return sim->worker.rng.steps(); }
  // A photon already in flight at p, as the source would hand it over.
  void place(float E, Point p, Direction d = Direction{}, int layer = 1) {
    sim->worker.photon.E = E;
    sim->worker.photon.position = p;
    sim->worker.photon.direction = d;
    sim->worker.history = HistoryState{};
    sim->worker.history.scoreLayer = layer;
  }
  std::unique_ptr<Simulation> sim;
};

TEST_F(Tracking, ASourcePhotonThatLeavesWithoutInteractingDrawsTwoDeviates) {
  use({});  // every coefficient 1e-12 /cm: the free path is far beyond the phantom
  startSourcePhoton(sim->worker.rng, sim->worker.photon, sim->worker.history, 2025.0f);
  const std::uint64_t afterSource = steps();
  trackHistory(sim->shared, sim->worker);
  EXPECT_EQ(steps(), afterSource + 2);
  EXPECT_EQ(kernelTotal(sim->worker.kernel), 0.0);
}

TEST_F(Tracking, AComptonSampleAtQAboveTenDrawsNoAcceptanceDeviate) {
  use({});
  // 20 MeV, Kahn's first branch (r1 below b), x = 1 + 2 r2/lambda = 40 (about 90
  // degrees, q = 1140 per Angstrom), accepted (0.0975 > r3); then the azimuth.
  scriptGenerator(sim->worker.rng, {P(0.01), P(0.5), P(0.05), P(0.3)});
  const std::uint64_t before = steps();
  const ComptonSample c = sampleCompton(sim->worker.rng, sim->shared.tables, 20000.0f, Direction{});
  EXPECT_EQ(steps(), before + 4);
  const double lambda = 511.0 / 20000.0, x = 1.0 + 2.0 * testing::positiveDeviate(P(0.5)) / lambda;
  EXPECT_NEAR(c.scatteredEnergy, 20000.0 / x, 20000.0 / x * 1e-4);  // E' = E / x
  EXPECT_NEAR(c.photonDirection.cosTheta, 1.0 - lambda * (x - 1.0), 1e-4);
  EXPECT_FLOAT_EQ(c.recoilEnergy, 20000.0f - c.scatteredEnergy);
}

TEST_F(Tracking, ComptonAttemptsDrawThreeAndTheIncoherentTestOneMoreOnlyAfterKahnPassed) {
  use({});
  // 100 keV (q < 10 always). Attempt 1 fails Kahn's test (r3 0.999): 3 draws.
  // Attempt 2 passes Kahn at a small angle (x = 1.0039, q = 0.8, S(q)/S45 = 0.8)
  // and is rejected by r4 = 0.9: 4 draws. Attempt 3 passes with r4 = 0: 4 draws.
  // Then the azimuth: 12 in all.
  scriptGenerator(sim->worker.rng, {P(0.1), P(0.5), P(0.999),           //
                                    P(0.1), P(0.01), P(0.001), Z(0.9),  //
                                    P(0.1), P(0.5), P(0.05), Z(0.0),    //
                                    P(0.25)});
  const std::uint64_t before = steps();
  const ComptonSample c = sampleCompton(sim->worker.rng, sim->shared.tables, 100.0f, Direction{});
  EXPECT_EQ(steps(), before + 12);
  const double lambda = 5.11, x = 1.0 + 2.0 * testing::positiveDeviate(P(0.5)) / lambda;
  EXPECT_NEAR(c.scatteredEnergy, 100.0 / x, 1e-3);
  // The recoil electron leaves opposite in azimuth, forward of 90 degrees.
  EXPECT_GE(c.electronDirection.cosTheta, 0.0f);
  EXPECT_NEAR(c.electronDirection.sinPhi, -c.photonDirection.sinPhi, 1e-5);
  EXPECT_NEAR(c.electronDirection.cosPhi, -c.photonDirection.cosPhi, 1e-5);
}

TEST_F(Tracking, ACoherentAttemptBeyondSinHalfThetaOneDrawsNoSecondDeviate) {
  use({});
  // 5 keV: r = 0.9 gives x = 2.3, sin(theta/2) = 5.7 > 1: 1 draw. r = 0.1 gives
  // x = 0.105, sin(theta/2) = 0.26, then r' = 0.99 fails the Thomson factor
  // (1.98 > 1.75): 2 draws. Again with r' = 0.5: accepted, 2 draws; azimuth 1.
  scriptGenerator(sim->worker.rng, {Z(0.9), Z(0.1), Z(0.99), Z(0.1), Z(0.5), Z(0.2)});
  const std::uint64_t before = steps();
  const Direction d = sampleCoherent(sim->worker.rng, sim->shared.tables, 5.0f, Direction{});
  EXPECT_EQ(steps(), before + 6);
  // x by linear inverse interpolation of C = 1 - exp(-x) between the first two
  // rows (x = 0 and 0.25), then cos = 1 - 2 s^2.
  const double c = testing::zeroBasedDeviate(Z(0.1)) * sim->shared.tables.coherentCumulativeMax;
  const double x = 0.25 * c / (1.0 - std::exp(-0.25));
  const double s = x * 12.4 / 5.0;
  EXPECT_NEAR(d.cosTheta, 1.0 - 2.0 * s * s, 1e-5);
}

TEST_F(Tracking, ThePairDeviatesComeBeforeTheElectronsAndFixTheAnnihilationPhoton) {
  use({testing::kAbsent, 1.0f, 1.0f, 1.0f});
  place(5000.0f, {25.0f, 25.0f, 15.0f});
  const int v1 = P(0.2), v2 = P(0.7), v3 = P(0.4);
  scriptGenerator(sim->worker.rng, {v1, v2, v3});
  const std::uint64_t before = steps();
  producePair(sim->shared, sim->worker, Direction{}, sim->worker.photon.position);
  const HistoryState& h = sim->worker.history;
  // The first three draws are the pair's, in the order electron azimuth,
  // annihilation polar angle, annihilation azimuth.
  EXPECT_EQ(h.pairAzimuth, testing::positiveDeviate(v1) * PI * 2.0f);
  EXPECT_EQ(h.annihilationTheta, testing::positiveDeviate(v2) * PI);
  EXPECT_EQ(h.annihilationPhi, testing::positiveDeviate(v3) * PI * 2.0f);
  EXPECT_GT(steps(), before + 3);  // the 1989 keV electron and positron are deflected
  // Electron and positron, 1989 keV each, stay in the phantom and in layer 1.
  EXPECT_NEAR(kernelTotal(sim->worker.kernel, 1), 2 * 1989.0, 2 * 1989.0 * 1e-5);
  // The first annihilation photon: 511 keV from the positron's end, its direction
  // set in phantom coordinates.
  const PhotonState& p = sim->worker.photon;
  EXPECT_EQ(p.E, 511.0f);
  EXPECT_EQ(p.direction.cosTheta, std::cos(h.annihilationTheta));
  EXPECT_EQ(p.direction.sinPhi, std::sin(h.annihilationPhi));
  EXPECT_EQ(p.position.z, h.annihilationPoint.z);
  EXPECT_NE(h.annihilationPoint.z, 15.0f);
  EXPECT_EQ(h.annihilationStage, 2);
  EXPECT_EQ(h.scoreLayer, 2);
}

TEST_F(Tracking, APairJustAboveThresholdDepositsBothParticlesAtThePairPoint) {
  use({testing::kAbsent, 1.0f, 1.0f, 1.0f});
  place(1025.0f, {25.05f, 25.05f, 3.05f});
  const std::uint64_t before = steps();
  producePair(sim->shared, sim->worker, Direction{}, sim->worker.photon.position);
  EXPECT_EQ(steps(), before + 3);
  EXPECT_FLOAT_EQ(sim->worker.kernel.K(1, 1, 31), 3.0f);  // 2 x 1.5 keV, ring 1, depth bin 31
  EXPECT_EQ(sim->worker.photon.position.z, 3.05f);
  startSecondAnnihilationPhoton(sim->worker.photon, sim->worker.history);
  EXPECT_EQ(sim->worker.photon.position.x, 25.05f);
  EXPECT_EQ(sim->worker.history.annihilationStage, 3);
  // Opposite to the first: polar angle pi - theta_a, azimuth pi + phi_a.
  EXPECT_EQ(sim->worker.photon.direction.cosTheta,
            std::cos(PI - sim->worker.history.annihilationTheta));
  EXPECT_EQ(sim->worker.photon.direction.cosPhi,
            std::cos(PI + sim->worker.history.annihilationPhi));
}

TEST_F(Tracking, WhenTheFirstAnnihilationPhotonLeavesTheSecondStillStarts) {
  use({testing::kAbsent, testing::kAbsent, 1.0f, 0.0f});  // photoelectric only
  // First photon straight up out of the entrance face from the annihilation point.
  place(511.0f, {25.0f, 25.0f, 0.0f}, {std::sin(PI), std::cos(PI), 0.0f, 1.0f}, 2);
  HistoryState& h = sim->worker.history;
  h.annihilationStage = 2;
  h.annihilationPoint = {25.0f, 25.0f, 0.0f};
  h.annihilationTheta = PI;
  h.annihilationPhi = 0.0f;
  const std::uint64_t before = steps();
  trackHistory(sim->shared, sim->worker);
  EXPECT_EQ(steps(), before + 4);  // two per photon step, one step each
  EXPECT_EQ(h.annihilationStage, 3);
  EXPECT_FLOAT_EQ(static_cast<float>(kernelTotal(sim->worker.kernel, 2)), 511.0f);
  EXPECT_EQ(kernelTotal(sim->worker.kernel, 1), 0.0);
}

TEST_F(Tracking, APhotonInteractingExactlyOnTheBackFaceStaysInside) {
  use({testing::kAbsent, testing::kAbsent, 1.0f, 0.0f});
  // Travelling along +x on the face z = 30: the interaction point has z1 = 30.
  place(80.0f, {25.5f, 25.0f, 30.0f}, {1.0f, 0.0f, 0.0f, 1.0f});
  scriptGenerator(sim->worker.rng, {P(0.8), P(0.5)});  // s = -ln 0.8 = 0.223 cm
  trackHistory(sim->shared, sim->worker);
  // r = 0.5 + 0.223 cm: ring 4; depth bin 300; the whole energy as primary.
  EXPECT_FLOAT_EQ(sim->worker.kernel.K(1, 4, 300), 80.0f);
}

TEST_F(Tracking, AComptonPhotonBelowTheCutOffEndsWithBothDepositsAddingUpToItsEnergy) {
  use({testing::kAbsent, 100.0f, testing::kAbsent, 0.0f});
  place(5.05f, {25.0f, 25.0f, 10.0f});
  // Step, choice, then a back-scattering sample: second branch with r2 near 1
  // (x = 1.0197, E' = 4.95 keV), accepted; q = 0.41 < 10 so r4 (0) is drawn.
  scriptGenerator(sim->worker.rng, {P(0.5), P(0.5), P(0.9), P(0.9999), P(0.5), Z(0.0), P(0.1)});
  const std::uint64_t before = steps();
  trackHistory(sim->shared, sim->worker);
  EXPECT_EQ(steps(), before + 7);
  const double recoil = kernelTotal(sim->worker.kernel, 1),
               scattered = kernelTotal(sim->worker.kernel, 2);
  EXPECT_GT(recoil, 0.0);     // the recoil electron of the first scattering is primary
  EXPECT_LT(scattered, 5.0);  // E' below the cut-off, deposited as scatter
  EXPECT_GT(scattered, 4.9);
  EXPECT_FLOAT_EQ(static_cast<float>(recoil + scattered), 5.05f);
}

TEST_F(Tracking, ACoherentScatteringMakesTheRestOfTheHistoryScatter) {
  use({1.0f, testing::kAbsent, 1.0f, 0.0f});
  place(100.0f, {25.0f, 25.0f, 10.0f});
  // Step, choice 0.25 <= P1 = 0.5: coherent (r 0.1, r' 0, azimuth); step, choice
  // 0.9: photoelectric.
  scriptGenerator(sim->worker.rng, {P(0.5), P(0.25), Z(0.1), Z(0.0), Z(0.3), P(0.5), P(0.9)});
  const std::uint64_t before = steps();
  trackHistory(sim->shared, sim->worker);
  EXPECT_EQ(steps(), before + 7);
  EXPECT_EQ(kernelTotal(sim->worker.kernel, 1), 0.0);
  EXPECT_FLOAT_EQ(static_cast<float>(kernelTotal(sim->worker.kernel, 2)), 100.0f);
}

TEST_F(Tracking, APhotoelectricFirstInteractionScoresTheWholeEnergyAsPrimary) {
  use({testing::kAbsent, testing::kAbsent, 0.5f, 0.0f});
  startSourcePhoton(sim->worker.rng, sim->worker.photon, sim->worker.history, 25.0f);
  trackHistory(sim->shared, sim->worker);
  // Unless the first step left the phantom (it cannot: the face z = 0 holds the
  // start and the path goes in along +z, ending before z = 30 for r1 > e^-15).
  EXPECT_FLOAT_EQ(static_cast<float>(kernelTotal(sim->worker.kernel, 1)), 25.0f);
}

// Energy balance of whole histories in a strongly absorbing medium: started at
// the phantom's centre, nothing reaches a face, so each history scores its
// source energy (annihilation photons carry the 1022 keV of the pair). Two
// stated rules lose a little on purpose: an electron step that leaves a
// coordinate exactly unchanged scores nothing, and a step whose two radii
// nearly coincide divides its share by a line of very steep slope, whose
// rounding can leave part of it unscored. So no history may score more than its
// energy, and together they must score all but a small part of it.
class EnergyBalance : public Tracking, public ::testing::WithParamInterface<float> {};

TEST_P(EnergyBalance, EveryHistoryScoresItsEnergy) {
  use({2.0f, 20.0f, 2.0f, 5.0f});
  const float E = GetParam();
  const int histories = 40;
  int exact = 0;
  for (int n = 0; n < histories; ++n) {
    const double before = kernelTotal(sim->worker.kernel);
    place(E, {25.0f, 25.0f, 15.0f});
    trackHistory(sim->shared, sim->worker);
    const double scored = kernelTotal(sim->worker.kernel) - before;
    ASSERT_LE(scored, E * (1 + 1e-5)) << "history " << n;
    if (std::fabs(scored - E) <= E * 1e-5) ++exact;
  }
  EXPECT_NEAR(kernelTotal(sim->worker.kernel), histories * E, histories * E * 2e-3);
  EXPECT_GE(exact, histories * 3 / 4);
}

INSTANTIATE_TEST_SUITE_P(Energies, EnergyBalance,
                         ::testing::Values(30.0f, 300.0f, 3000.0f, 12000.0f));

}  // namespace
}  // namespace dravik
