// Loops of a history that a table can keep from ending stop at their caps with a
// RunawayHistory instead of holding the run for ever.
#include "simulation/transport/runaway.h"

#include <gtest/gtest.h>

#include <functional>

#include "simulation/kernel.h"
#include "simulation/transport/photon.h"
#include "simulation/transport/scatter.h"
#include "transport_setup.h"

namespace dravik {
namespace {

using testing::makeSimulation;

void expectRunaway(const std::function<void()>& loop, const std::string& expected) {
  try {
    loop();
    FAIL() << "the loop ended";
  } catch (const RunawayHistory& e) {
    EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
  }
}

TEST(RunawayHistory, ComptonSamplingWithANegativeIncoherentFunctionMaxStops) {
  // S/S45 is then negative and below every deviate: no attempt is ever accepted.
  auto sim = makeSimulation({});
  sim->tables.incoherentFunctionMax = -1.0f;
  expectRunaway([&] { sampleCompton(sim->run.rng, sim->tables, 25.0f, Direction{}); },
                "Transport error: the Compton sampling at 25.0 keV did not end within 1000000 "
                "attempts; the tables of water20.dat cannot be those of water");
}

TEST(RunawayHistory, CoherentSamplingWithNoWeightAtReachableAnglesStops) {
  // All of C's weight beyond x = 10.75: at 20 keV sin(theta/2) = x 12.4/20 > 1 always.
  auto sim = makeSimulation({});
  for (int k = 1; k < kScatterRows; ++k) sim->tables.scatter.C[k] = 0.0f;
  sim->tables.scatter.C[kScatterRows] = 1.0f;
  sim->tables.coherentCumulativeMax = 1.0f;
  expectRunaway([&] { sampleCoherent(sim->run.rng, sim->tables, 20.0f, Direction{}); },
                "the coherent sampling at 20.0 keV did not end within 1000000 attempts");
}

TEST(RunawayHistory, APhotonThatOnlyScattersInPlaceStops) {
  // Coherent scattering at the largest admitted coefficient and nothing else: a
  // 20 keV photon random-walks in steps of about 1 um and would need some 1E+10
  // steps to leave the phantom.
  auto sim = makeSimulation({1.0e4f, 1.0e-12f, 1.0e-12f, 0.0f});
  startSourcePhoton(sim->run.rng, sim->run.photon, sim->run.history, 20.0f);
  sim->run.photon.position.z = 15.0f;
  expectRunaway([&] { trackHistory(*sim); },
                "Transport error: a photon at 20.0 keV did not end within 1000000 steps");
}

}  // namespace
}  // namespace dravik
