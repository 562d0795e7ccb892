// The kernel library file: the same bytes for any thread count and after an interrupted build
// resumed, and a library that is missing, incomplete or built from other inputs is refused with
// a message saying how to rebuild it.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "tests/tuning/tuning_folder.h"
#include "tuning/kernel_library.h"

namespace tuning {
namespace {

using testing::WorkFolder;

// A few bins across the energy range, few histories: enough to exercise every path.
LibraryPlan smallPlan() {
  LibraryPlan plan;
  plan.batches = 3;
  for (int bin : {1, 40, 200, 400}) plan.histories[bin] = 40;
  plan.histories[41] = 2;  // fewer histories than batches: one batch runs none
  return plan;
}

std::string build(const WorkFolder& folder, int threads) {
  BuildOptions options;
  options.threads = threads;
  const auto outcome = buildLibrary(folder.path(), folder / kLibraryFileName, smallPlan(), options);
  EXPECT_EQ(outcome.status, BuildStatus::complete) << outcome.message;
  EXPECT_FALSE(std::filesystem::exists(folder / (std::string(kLibraryFileName) + ".partial")));
  return folder.read(kLibraryFileName);
}

TEST(KernelLibraryBuild, SameBytesForAnyThreadCountAndAfterAResumedInterruption) {
  WorkFolder one, two, interrupted;
  const std::string bytes = build(one, 1);
  ASSERT_EQ(bytes.size(), kHeadBytes + 5u * 3 * kCurveValues * 4 + 8);  // only the 5 bins run
  EXPECT_EQ(build(two, 2), bytes);

  // Interrupted after the first completed bin: the partial file keeps it.
  std::atomic<bool> cancel{false};
  BuildOptions options;
  options.threads = 1;
  options.cancel = &cancel;
  int reports = 0;
  options.progress = [&](const BuildProgress& p) {
    ++reports;
    EXPECT_EQ(p.binsTotal, 5);
    EXPECT_GE(p.secondsLeft, 0.0);
    cancel = true;
  };
  const std::filesystem::path file = interrupted / kLibraryFileName;
  auto outcome = buildLibrary(interrupted.path(), file, smallPlan(), options);
  EXPECT_EQ(outcome.status, BuildStatus::cancelled);
  EXPECT_EQ(reports, 1);
  EXPECT_FALSE(std::filesystem::exists(file));
  const auto partial = interrupted / (std::string(kLibraryFileName) + ".partial");
  ASSERT_TRUE(std::filesystem::exists(partial));
  // A record torn by the interruption is dropped on resumption.
  {
    std::ofstream torn(partial, std::ios::binary | std::ios::app);
    torn << "a record cut short";
  }
  cancel = false;
  options.progress = nullptr;
  outcome = buildLibrary(interrupted.path(), file, smallPlan(), options);
  EXPECT_EQ(outcome.status, BuildStatus::complete) << outcome.message;
  EXPECT_EQ(outcome.binsResumed, 1);
  EXPECT_EQ(interrupted.read(kLibraryFileName), bytes);

  // The library reads back with its plan; its bins hold energy, its empty bins none.
  auto loaded = loadLibrary(one.path());
  ASSERT_TRUE(loaded.library) << loaded.error;
  EXPECT_EQ(loaded.library->plan.histories, smallPlan().histories);
  EXPECT_EQ(loaded.library->filledBins, (std::vector<int>{1, 40, 41, 200, 400}));
  double deposited = 0.0;
  for (int v = 0; v < kCurveValues; ++v) deposited += loaded.library->mean(200)[v];
  EXPECT_GT(deposited, 0.0);
}

TEST(KernelLibraryLoad, MissingIncompleteOrMismatchedLibrariesAreRefused) {
  WorkFolder folder;
  const std::string bytes = build(folder, 2);
  const auto file = folder / kLibraryFileName;
  const std::string rebuild = "; run `beamfit library` to build it";
  auto refused = [&](const std::string& says) {
    auto loaded = loadLibrary(folder.path());
    EXPECT_FALSE(loaded.library);
    EXPECT_NE(loaded.error.find(says), std::string::npos) << loaded.error;
    EXPECT_NE(loaded.error.find(rebuild), std::string::npos) << loaded.error;
  };
  ASSERT_TRUE(loadLibrary(folder.path()).library);

  folder.write(kLibraryFileName, bytes.substr(0, bytes.size() - 1000));
  refused("is truncated or incomplete (" + std::to_string(bytes.size() - 1000) + " of " +
          std::to_string(bytes.size()) + " bytes)");
  std::string damaged = bytes;
  damaged[kHeadBytes + 5000] ^= 0x10;
  folder.write(kLibraryFileName, damaged);
  refused("is damaged");
  folder.write(kLibraryFileName, "not a library at all");
  refused("is not a kernel library");

  folder.write(kLibraryFileName, bytes);
  const std::string water = folder.read("water20.dat");
  folder.write("water20.dat", water + " ");
  refused("was built from another water20.dat");
  folder.write("water20.dat", water);
  const std::string eldat = folder.read("ELDAT.dat");
  folder.write("ELDAT.dat", eldat.substr(1));
  refused("was built from another ELDAT.dat");
  folder.write("ELDAT.dat", eldat);
  EXPECT_TRUE(loadLibrary(folder.path()).library);

  LibraryIdentity other = *currentIdentity(folder.path()).identity;
  other.engineVersion = "another transport";
  auto loaded = loadLibrary(file, other);
  EXPECT_FALSE(loaded.library);
  EXPECT_NE(loaded.error.find("was built by the engine"), std::string::npos);

  std::filesystem::remove(file);
  refused("does not exist");
}

}  // namespace
}  // namespace tuning
