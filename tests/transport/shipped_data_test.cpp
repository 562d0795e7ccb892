// Transport on the shipped water20.dat and ELDAT.dat: the attenuation of the
// primary layer, and the regression run whose result must not change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>

#include "simulation/engine.h"
#include "simulation/kernel.h"
#include "simulation/physics_data.h"
#include "simulation/run.h"
#include "simulation/run_input.h"
#include "simulation/transport/photon.h"
#include "transport_setup.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;

const fs::path kData = SHIPPED_DATA_DIR;
const fs::path kRegression = fs::path(FIXTURES_DIR) / "regression_10MV";

std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

// The references are rewritten only on purpose: DRAVIK_UPDATE_REFERENCE=1.
bool updatingReferences() {
  const char* v = std::getenv("DRAVIK_UPDATE_REFERENCE");
  return v != nullptr && std::strcmp(v, "1") == 0;
}

std::unique_ptr<Simulation> shippedSimulation() {
  auto sim = std::make_unique<Simulation>();
  if (auto e = readPhysicsData(sim->shared.tables, kData)) {
    ADD_FAILURE() << e->message();
    return nullptr;
  }
  setUpPhantom(sim->shared.phantom);
  return sim;
}

// ---------------------------------------------------------------- attenuation

struct BeamCase {
  const char* name;
  friend void PrintTo(const BeamCase& c, std::ostream* os) { *os << c.name; }
  float E;  // [keV]
  int histories;
  int firstA, firstB, width;  // two windows of depth bins, both beyond the electron range
                              // from the entrance and from the back face
};

class PrimaryAttenuation : public ::testing::TestWithParam<BeamCase> {};

TEST_P(PrimaryAttenuation, PrimaryLayerFallsAsExpOfMuTotTimesDepth) {
  // Layer 1 holds what the first interaction deposits directly. Beyond the
  // electron range the first interactions at depth z' are spread over depth by
  // the same electron tracks everywhere, so the layer falls as the uncollided
  // fluence exp(-mu_tot z). The ratio of two equal windows 'shift' apart is
  // exp(-mu_tot shift), mu_tot from the coefficient table at the beam energy.
  const BeamCase c = GetParam();
  auto sim = shippedSimulation();
  ASSERT_TRUE(sim);
  const double mu = lookupCoefficients(sim->shared.tables.photon, c.E).total;
  const double shift =
      sim->shared.phantom.upperEdge[c.firstB] - sim->shared.phantom.upperEdge[c.firstA];
  const double expected = std::exp(-mu * shift);

  // Batches give the statistical error of the two window sums and their covariance.
  const int batches = 20;
  double sumA = 0, sumB = 0, sAA = 0, sBB = 0, sAB = 0;
  auto window = [&](int first) {
    double s = 0;
    for (int d = first; d < first + c.width; ++d)
      for (int r = 1; r <= kRadialBins; ++r) s += sim->worker.kernel.K(1, r, d);
    return s;
  };
  for (int b = 0; b < batches; ++b) {
    sim->worker.kernel = DoseKernel{};
    for (int h = 0; h < c.histories / batches; ++h) {
      startSourcePhoton(sim->worker.rng, sim->worker.photon, sim->worker.history, c.E);
      trackHistory(sim->shared, sim->worker);
    }
    const double a = window(c.firstA), bb = window(c.firstB);
    sumA += a;
    sumB += bb;
    sAA += a * a;
    sBB += bb * bb;
    sAB += a * bb;
  }
  const double n = batches;
  const double varA = n * (sAA / n - (sumA / n) * (sumA / n)) * n / (n - 1);
  const double varB = n * (sBB / n - (sumB / n) * (sumB / n)) * n / (n - 1);
  const double cov = n * (sAB / n - (sumA / n) * (sumB / n)) * n / (n - 1);
  const double ratio = sumB / sumA;
  const double sigma =
      ratio * std::sqrt(varA / (sumA * sumA) + varB / (sumB * sumB) - 2 * cov / (sumA * sumB));
  // The test has power only if the error is small against the attenuation.
  ASSERT_LT(sigma, 0.1 * (1 - expected));
  // Four standard errors: a false alarm once in about 16000 seeds.
  EXPECT_NEAR(ratio, expected, 4 * sigma)
      << "mu_tot " << mu << " /cm over " << shift << " cm, sigma " << sigma;
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, PrimaryAttenuation,
    ::testing::Values(BeamCase{"at_2_MeV", 2000.0f, 100000, 31, 181, 50},     // range about 1 cm
                      BeamCase{"at_10_MeV", 10000.0f, 100000, 71, 171, 50}),  // range about 5 cm
    testing::CaseName());

// ---------------------------------------------------------------- regression

// A fingerprint of the whole kernel: both layers' totals in hexadecimal floating
// point and an FNV-1a hash of every cell's bits, with the generator's step count.
std::string kernelDigest(const Simulation& sim, std::int64_t histories) {
  std::uint64_t hash = 1469598103934665603ull;
  for (float v : sim.worker.kernel.cells) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 4; ++i) {
      hash ^= (bits >> (8 * i)) & 0xffu;
      hash *= 1099511628211ull;
    }
  }
  char text[256];
  std::snprintf(text, sizeof text,
                "histories %lld\r\ngenerator steps %llu\r\nlayer 1 %a\r\nlayer 2 %a\r\ncells fnv1a "
                "%016llx\r\n",
                static_cast<long long>(histories),
                static_cast<unsigned long long>(sim.worker.rng.steps()),
                testing::kernelTotal(sim.worker.kernel, 1),
                testing::kernelTotal(sim.worker.kernel, 2), static_cast<unsigned long long>(hash));
  return text;
}

TEST(Regression, TheHistoryLoopReproducesTheReferenceKernelBitForBit) {
  auto sim = shippedSimulation();
  ASSERT_TRUE(sim);
  ASSERT_FALSE(readRunInput(sim->input, kRegression).has_value());
  const BinCounts counts = binHistoryCounts(sim->input);
  std::int64_t histories = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    runBinHistories(sim->shared, sim->worker, i, counts[i]);
    histories += counts[i];
  }
  const std::string digest = kernelDigest(*sim, histories);
  const fs::path reference = kRegression / "expected_kernel.txt";
  if (updatingReferences()) writeBytes(reference, digest);
  EXPECT_EQ(digest, readBytes(reference));
}

// A folder with the shipped data files and the regression run's input files.
fs::path regressionFolder(const std::string& tag) {
  const fs::path dir =
      fs::temp_directory_path() / ("transport_" + tag + "_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const char* f : {"water20.dat", "ELDAT.dat"})
    fs::copy_file(kData / f, dir / f, fs::copy_options::overwrite_existing);
  for (const char* f : {"S_SPCTL.dat", "B2F.dat"})
    fs::copy_file(kRegression / f, dir / f, fs::copy_options::overwrite_existing);
  return dir;
}

TEST(Regression, DravikReproducesTheReferenceResultFileByteForByte) {
  const fs::path dir = regressionFolder("regression");
  std::istringstream in("\n\n");
  std::ostringstream out;
  const int status = runSimulation(
      in, out,
      [] {
        return ClockTime{10, 0, 0};
      },
      dir);
  ASSERT_EQ(status, 0) << out.str();
  const std::string result = readBytes(dir / "regression.tmr");
  fs::remove_all(dir);
  const fs::path reference = kRegression / "expected.tmr";
  if (updatingReferences()) writeBytes(reference, result);
  EXPECT_EQ(result.size(), readBytes(reference).size());
  EXPECT_TRUE(result == readBytes(reference)) << "the result differs from " << reference;
}

TEST(NoResult, AFieldWithNoEnergySaysWhatHappened) {
  // One history of bin 119 (5.925 MeV): its energy lands off the axis, outside
  // the smaller fields, while the kernel does hold energy.
  const fs::path dir = regressionFolder("one_history");
  std::string spectrum;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%06.3f, %s\r\n", 0.05 * i - 0.025,
                  i == 119 ? "1.000E+00" : "0.000E+00");
    spectrum += line;
  }
  writeBytes(dir / "S_SPCTL.dat", spectrum + "10.0\r\n029\r\n10.80\r\n");
  writeBytes(dir / "B2F.dat", "one.tmr\r\n1\r\n");
  std::istringstream in("\n\n");
  std::ostringstream out;
  const int status = runSimulation(
      in, out,
      [] {
        return ClockTime{10, 0, 0};
      },
      dir);
  const bool written = fs::exists(dir / "one.tmr");
  fs::remove_all(dir);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.str().find("\nNo energy was scored within the 4, 6, 8, 10, 12, 15, 20 cm square "
                           "fields (the 1 history run scored only outside them), so their curves "
                           "cannot be normalised: the result file one.tmr is not written\n"),
            std::string::npos)
      << out.str();
  EXPECT_FALSE(written);
}

}  // namespace
}  // namespace dravik
