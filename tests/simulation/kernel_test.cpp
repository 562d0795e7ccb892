#include "simulation/kernel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dravik {
namespace {

class Scoring : public ::testing::Test {
 protected:
  void SetUp() override { setUpPhantom(phantom); }
  // The single cell that received energy, or (0, 0, 0) when nothing was scored.
  std::array<int, 3> scoredCell() const {
    for (int d = 1; d <= kDepthBins; ++d)
      for (int r = 1; r <= kRadialBins; ++r)
        for (int l = 1; l <= kLayers; ++l)
          if (kernel.K(l, r, d) != 0.0f) return {l, r, d};
    return {0, 0, 0};
  }
  Phantom phantom;
  DoseKernel kernel;
};

TEST_F(Scoring, DepthEdgesAreRunningSingleSums) {
  EXPECT_EQ(phantom.upperEdge[1], 0.1f);
  EXPECT_EQ(phantom.upperEdge[300], 30.0000782f);  // slightly above 30
  float walk = 0.0f;
  for (int n = 1; n <= kDepthBins; ++n) {
    walk += 0.1f;
    ASSERT_EQ(phantom.upperEdge[n], walk);
  }
}

TEST_F(Scoring, DepthBinIsTheFirstWithUpperEdgeAtOrAboveZ) {
  // Against the plain walk from bin 1, at every edge and just either side of it.
  auto walk = [&](float z) {
    float edge = phantom.depthBinWidth[1];
    int depth = 1;
    while (edge < z) edge = edge + phantom.depthBinWidth[++depth];
    return depth;
  };
  for (int n = 1; n <= kDepthBins; ++n) {
    const float e = phantom.upperEdge[n];
    for (float z : {std::nextafter(e, 0.0f), e, std::nextafter(e, 100.0f)}) {
      if (z > 30.0f) continue;
      ASSERT_EQ(depthBinOf(phantom, z), walk(z)) << z;
    }
  }
  EXPECT_EQ(depthBinOf(phantom, 0.0f), 1);
  EXPECT_EQ(depthBinOf(phantom, 0.1f), 1);
  EXPECT_EQ(depthBinOf(phantom, 30.0f), 300);
}

TEST_F(Scoring, DepositPointBinRules) {
  struct Case {
    const char* what;
    Point p;
    std::array<int, 3> cell;  // layer, radial, depth; zeros = dropped
  } cases[] = {
      {"axis at the surface", {25, 25, 0}, {2, 1, 1}},
      {"z = 0.1 upper edge inclusive", {25, 25, 0.1f}, {2, 1, 1}},
      {"r = 0.2 lower ring edge inclusive", {25.2f, 25, 1.05f}, {2, 2, 11}},
      {"z = 30", {25, 25, 30}, {2, 1, 300}},
      {"z above 30", {25, 25, std::nextafter(30.0f, 31.0f)}, {0, 0, 0}},
      {"z below 0", {25, 25, -1e-6f}, {0, 0, 0}},
      {"r = 25 exactly", {0, 25, 5}, {0, 0, 0}},
      {"r = 24.99", {0.01f, 25, 5.05f}, {2, 125, 51}},
      {"phantom corner, outside the cylinder", {0, 0, 5}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    kernel = DoseKernel{};
    depositPoint(kernel, phantom, 2, 3.5f, c.p);
    EXPECT_EQ(scoredCell(), c.cell) << c.what;
    if (c.cell[0]) {
      EXPECT_EQ(kernel.K(c.cell[0], c.cell[1], c.cell[2]), 3.5f) << c.what;
    }
  }
}

TEST(Source, FirstHistoryOfARunAcceptsItsFirstAttempt) {
  LaggedAdditiveGenerator rng;
  PhotonState photon;
  HistoryState history;
  history.scoreLayer = 2;
  history.annihilationStage = 3;
  const auto before = rng.steps();
  startSourcePhoton(rng, photon, history, 9975.0f);
  EXPECT_EQ(rng.steps() - before, 2u);  // rho^2 ~ 0.0359784 <= 0.04 at once
  EXPECT_NEAR(photon.position.x, 24.923756f, 2e-6f);
  EXPECT_NEAR(photon.position.y, 25.173681f, 2e-6f);
  EXPECT_EQ(photon.position.z, 0.0f);
  EXPECT_EQ(photon.E, 9975.0f);
  EXPECT_EQ(photon.direction.sinTheta, 0.0f);
  EXPECT_EQ(photon.direction.cosTheta, 1.0f);
  EXPECT_EQ(photon.direction.sinPhi, 0.0f);
  EXPECT_EQ(photon.direction.cosPhi, 1.0f);
  EXPECT_EQ(history.scoreLayer, 1);
  EXPECT_EQ(history.annihilationStage, 0);
}

TEST(Source, PointsLieOnTheDiscAndRejectionCostsAbout4OverPiAttempts) {
  LaggedAdditiveGenerator rng;
  PhotonState photon;
  HistoryState history;
  const int n = 20000;
  const auto before = rng.steps();
  for (int h = 0; h < n; ++h) {
    startSourcePhoton(rng, photon, history, 25.0f);
    const float dx = photon.position.x - 25.0f, dy = photon.position.y - 25.0f;
    ASSERT_LE(dx * dx + dy * dy, 0.04f + 1e-6f);
  }
  // Attempts per photon are geometric with p = pi/4: mean 4/pi, sd of the mean
  // sqrt((1-p)/p^2 / n) ~ 0.0042; allow four of them.
  const double attempts = static_cast<double>(rng.steps() - before) / 2.0 / n;
  EXPECT_NEAR(attempts, 4.0 / M_PI, 4 * 0.0042);
}

}  // namespace
}  // namespace dravik
