// rotateDirection and depositTrack: the geometry shared by all particles.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "simulation/kernel.h"
#include "simulation/transport/scatter.h"
#include "simulation/transport/track.h"
#include "transport_setup.h"

namespace dravik {
namespace {

using testing::kernelTotal;

struct Vec {
  double x, y, z;
};
Vec unit(const Direction& d) {
  return {double(d.sinTheta) * d.cosPhi, double(d.sinTheta) * d.sinPhi, double(d.cosTheta)};
}
double dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Direction fromAngles(float theta, float phi) {
  return {std::sin(theta), std::cos(theta), std::sin(phi), std::cos(phi)};
}

// ---------------------------------------------------------------- rotateDirection

TEST(Phantom, FacesAreInsideAndANaNCoordinateIsOutside) {
  Phantom p;
  setUpPhantom(p);
  EXPECT_TRUE(p.contains(0.0f, 50.0f, 30.0f));
  EXPECT_FALSE(p.contains(25.0f, 25.0f, std::nextafter(30.0f, 31.0f)));
  EXPECT_FALSE(p.contains(-0.001f, 25.0f, 15.0f));
  // A NaN position (a free path from a broken table) must not count as inside.
  for (int axis = 0; axis < 3; ++axis) {
    float c[3] = {25.0f, 25.0f, 15.0f};
    c[axis] = std::nanf("");
    EXPECT_FALSE(p.contains(c[0], c[1], c[2])) << axis;
  }
}

TEST(RotateDirection, FromTheBeamAxisTheNewAzimuthIsPiMinusPhi) {
  // Stated rule for the source direction (0, 1, 0, 1): cosTheta = cos theta,
  // sinTheta = sin theta, sinPhi = sin phi, cosPhi = -cos phi.
  const float theta = 0.7f, phi = 1.9f;
  const Direction d =
      rotateDirection(Direction{}, std::sin(theta), std::cos(theta), std::sin(phi), std::cos(phi));
  EXPECT_EQ(d.cosTheta, std::cos(theta));
  EXPECT_FLOAT_EQ(d.sinTheta, std::sin(theta));
  EXPECT_FLOAT_EQ(d.sinPhi, std::sin(phi));
  EXPECT_EQ(d.cosPhi, -std::cos(phi));
}

TEST(RotateDirection, ANewDirectionOnTheAxisHasAzimuthZero) {
  // Turning the direction of polar angle theta (sin 0.6, cos 0.8) by theta back
  // into the axis: 0.36 + 0.64 gives the new cosine 1.
  const Direction old{0.6f, 0.8f, 0.0f, 1.0f};
  const Direction d = rotateDirection(old, 0.6f, 0.8f, 0.0f, 1.0f);
  EXPECT_EQ(d.cosTheta, 1.0f);
  EXPECT_EQ(d.sinTheta, 0.0f);
  EXPECT_EQ(d.sinPhi, 0.0f);
  EXPECT_EQ(d.cosPhi, 1.0f);
}

struct CutCase {
  const char* name;
  friend void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }
  float oldCos, deflectionCos;
  float expectedCos;
};

class RotationCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(RotationCut, ACosineBeyondOneFromRoundingIsCutAndTheSineIsZero) {
  // Cosines a rounding step beyond 1 in magnitude (as a walk of unnormalised
  // values can produce) multiply to a new cosine beyond 1: cut to +1 or -1.
  const CutCase c = GetParam();
  const Direction d =
      rotateDirection({0.0f, c.oldCos, 0.0f, 1.0f}, 0.0f, c.deflectionCos, 0.0f, 1.0f);
  EXPECT_EQ(d.cosTheta, c.expectedCos);
  EXPECT_EQ(d.sinTheta, 0.0f);
  EXPECT_EQ(d.sinPhi, 0.0f);
  EXPECT_EQ(d.cosPhi, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(Cases, RotationCut,
                         ::testing::Values(CutCase{"above_plus_one", 1.0000001f, 1.0000001f, 1.0f},
                                           CutCase{"below_minus_one", -1.0000001f, 1.0000001f,
                                                   -1.0f}),
                         testing::CaseName());

struct RotationCase {
  const char* name;
  friend void PrintTo(const RotationCase& c, std::ostream* os) { *os << c.name; }
  float Theta, Phi;  // old direction
  float theta, phi;  // deflection
};

class Rotation : public ::testing::TestWithParam<RotationCase> {};

TEST_P(Rotation, TurnsByThetaAndOppositeAzimuthsMirrorAboutTheOldDirection) {
  // Geometric facts of a rotation by (theta, phi) about the old direction: the new
  // direction makes the angle theta with the old one, is a unit vector, and the
  // two deflections phi and phi + pi add up to 2 cos(theta) times the old one.
  const RotationCase c = GetParam();
  const Direction old = fromAngles(c.Theta, c.Phi);
  const float st = std::sin(c.theta), ct = std::cos(c.theta);
  const Direction a = rotateDirection(old, st, ct, std::sin(c.phi), std::cos(c.phi));
  const Direction b = rotateDirection(old, st, ct, std::sin(PI + c.phi), std::cos(PI + c.phi));
  const Vec u = unit(old), va = unit(a), vb = unit(b);
  EXPECT_NEAR(dot(va, va), 1.0, 1e-5);
  EXPECT_NEAR(dot(u, va), ct, 1e-5);
  EXPECT_NEAR(dot(u, vb), ct, 1e-5);
  EXPECT_NEAR(va.x + vb.x, 2 * ct * u.x, 1e-5);
  EXPECT_NEAR(va.y + vb.y, 2 * ct * u.y, 1e-5);
  EXPECT_NEAR(va.z + vb.z, 2 * ct * u.z, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Cases, Rotation,
                         ::testing::Values(RotationCase{"oblique", 0.9f, 0.3f, 0.5f, 2.0f},
                                           RotationCase{"backward_old", 2.6f, 4.0f, 0.2f, 0.7f},
                                           RotationCase{"large_deflection", 1.2f, 5.5f, 2.8f, 3.9f},
                                           RotationCase{"near_axis_old", 0.001f, 1.0f, 0.3f, 0.1f},
                                           RotationCase{"horizontal_old", 1.5707964f, 3.0f, 1.0f,
                                                        4.5f}),
                         testing::CaseName());

// ---------------------------------------------------------------- depositTrack

class DepositTrack : public ::testing::Test {
 protected:
  void SetUp() override { sim = testing::makeSimulation({}); }
  DoseKernel& kernel() { return sim->run.kernel; }
  double depthTotal(int depth) const {
    double s = 0;
    for (int l = 1; l <= kLayers; ++l)
      for (int r = 1; r <= kRadialBins; ++r) s += sim->run.kernel.K(l, r, depth);
    return s;
  }
  std::unique_ptr<Simulation> sim;
};

struct StepCase {
  const char* name;
  friend void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }
  Point p0, p1;
  float dE;
};

class TrackConservation : public ::testing::TestWithParam<StepCase> {};

TEST_P(TrackConservation, ScoresAllOfTheStepInsideTheCylinderAndTheSameReversed) {
  const StepCase c = GetParam();
  auto forward = testing::makeSimulation({});
  auto reversed = testing::makeSimulation({});
  depositTrack(forward->run.kernel, forward->phantom, 2, c.dE, c.p0, c.p1);
  depositTrack(reversed->run.kernel, reversed->phantom, 2, c.dE, c.p1, c.p0);
  EXPECT_NEAR(kernelTotal(forward->run.kernel, 2), c.dE, 2e-6 * c.dE);
  EXPECT_EQ(kernelTotal(forward->run.kernel, 1), 0.0);
  EXPECT_TRUE(forward->run.kernel.cells == reversed->run.kernel.cells);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrackConservation,
    ::testing::Values(
        StepCase{"outwards_across_depth_and_rings",
                 {25.9f, 25.3f, 4.93f},
                 {26.6f, 25.1f, 5.31f},
                 730.0f},
        StepCase{
            "inwards_towards_the_entrance", {27.0f, 23.9f, 12.04f}, {26.2f, 24.4f, 11.6f}, 88.5f},
        StepCase{"through_the_closest_approach", {26.0f, 25.2f, 7.0f}, {24.5f, 24.9f, 7.3f}, 41.0f},
        StepCase{"steep_and_short", {25.01f, 25.02f, 0.0f}, {25.03f, 25.01f, 0.79f}, 1500.0f},
        StepCase{"far_out_nearly_radial", {41.0f, 30.0f, 20.02f}, {41.7f, 30.2f, 20.05f}, 12.0f},
        StepCase{"ends_on_the_back_face", {26.0f, 25.0f, 29.85f}, {26.1f, 25.1f, 30.0f}, 64.0f}),
    testing::CaseName());

TEST_F(DepositTrack, AStepInsideOneCellPutsAllOfItThere) {
  // r from 0.304 to 0.355 cm (ring 2), z from 5.02 to 5.07 cm (depth bin 51).
  depositTrack(kernel(), sim->phantom, 1, 250.0f, {25.3f, 25.05f, 5.02f}, {25.35f, 25.06f, 5.07f});
  EXPECT_FLOAT_EQ(kernel().K(1, 2, 51), 250.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(kernelTotal(kernel())), 250.0f);
}

TEST_F(DepositTrack, DepthSharesFollowTheDepthSpentInEachBin) {
  // z 4.95 -> 5.15: 0.05, 0.10 and 0.05 cm in bins 50, 51, 52.
  depositTrack(kernel(), sim->phantom, 1, 100.0f, {26.0f, 25.0f, 4.95f}, {26.2f, 25.0f, 5.15f});
  // Against the accumulated single-precision edges of bins 50 and 51.
  const double U50 = sim->phantom.upperEdge[50], U51 = sim->phantom.upperEdge[51];
  const double z0 = 4.95f, z1 = 5.15f;
  EXPECT_NEAR(depthTotal(50), 100.0 * (U50 - z0) / (z1 - z0), 1e-4);
  EXPECT_NEAR(depthTotal(51), 100.0 * (U51 - U50) / (z1 - z0), 1e-4);
  EXPECT_NEAR(depthTotal(52), 100.0 * (z1 - U51) / (z1 - z0), 1e-4);
  // Radius 1.0 -> 1.2 cm lies in ring 6 only.
  EXPECT_NEAR(kernel().K(1, 6, 51), 50.0, 1e-3);
}

TEST_F(DepositTrack, TheDeepestShareOfAStepEndingAtThirtyCentimetresGoesToBin300) {
  depositTrack(kernel(), sim->phantom, 1, 90.0f, {26.0f, 25.0f, 29.85f}, {26.1f, 25.0f, 30.0f});
  // Bin 299 ends at 29.9 (accumulated edge), bin 300 reaches 30.0000782.
  const double edge = sim->phantom.upperEdge[299];
  EXPECT_NEAR(depthTotal(299), 90.0 * (edge - 29.85f) / (30.0 - 29.85f), 1e-3);
  EXPECT_NEAR(depthTotal(300), 90.0 * (30.0 - edge) / (30.0 - 29.85f), 1e-3);
}

TEST_F(DepositTrack, OnlyThePartInsideTwentyFiveCentimetresIsScored) {
  // Diagonal step from r = 24.8 to 25.2 cm: the scored part is linear in r.
  const float a0 = 24.8f / std::sqrt(2.0f), a1 = 25.2f / std::sqrt(2.0f);
  const Point p0{25.0f + a0, 25.0f + a0, 10.0f}, p1{25.0f + a1, 25.0f + a1, 10.05f};
  depositTrack(kernel(), sim->phantom, 2, 100.0f, p0, p1);
  const double r0 = std::hypot(25.0 - p0.x, 25.0 - p0.y), r1 = std::hypot(25.0 - p1.x, 25.0 - p1.y);
  EXPECT_NEAR(kernelTotal(kernel(), 2), 100.0 * (25.0 - r0) / (r1 - r0), 1e-3);
  EXPECT_GT(kernel().K(2, 125, 101), 0.0f);
}

TEST_F(DepositTrack, StepsThatScoreNothing) {
  // Parallel to the axis: the radius does not change.
  depositTrack(kernel(), sim->phantom, 1, 10.0f, {26.0f, 25.0f, 3.0f}, {26.0f, 25.0f, 3.5f});
  // Wholly outside the scoring cylinder, in a corner of the phantom.
  depositTrack(kernel(), sim->phantom, 1, 10.0f, {0.5f, 0.5f, 3.0f}, {0.6f, 0.7f, 3.2f});
  // No change of depth (the walk never hands one over; nothing to divide by).
  depositTrack(kernel(), sim->phantom, 1, 10.0f, {26.0f, 25.0f, 3.0f}, {26.5f, 25.0f, 3.0f});
  EXPECT_EQ(kernelTotal(kernel()), 0.0);
}

}  // namespace
}  // namespace dravik
