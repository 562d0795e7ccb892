// The kernel library: for every 50 keV spectrum bin, the mean energy each of the ten square
// fields receives per source history in each of the 300 depth bins (the square-field synthesis
// of that bin's pencil-beam kernel, before normalisation). Every result of a run is linear in
// these per-bin curves, so the library predicts the TMR table of any spectrum without a run.
//
// Each bin is simulated in `batches` independent batches, each with its own generator stream
// (seed, stream id (bin - 1) * batches + batch); the batch means are kept, so the spread between
// batches gives the statistical uncertainty (jackknife over the batches, see prediction.h).
// The streams belong to the (bin, batch) units, never to threads, and the units are written in
// bin order: any thread count builds the same bytes.
//
// File layout (little-endian throughout), version 1:
//   offset  size  content
//        0     8  magic "DRVKLIB1"
//        8     4  uint32 layout version (1)
//       12     4  uint32 header size in bytes (128)
//       16    32  engine version, NUL-padded ASCII
//       48     8  uint64 FNV-1a 64 checksum of water20.dat
//       56     8  uint64 FNV-1a 64 checksum of ELDAT.dat
//       64     8  uint64 generator seed of the streams
//       72     4  uint32 spectrum bins (400)
//       76     4  uint32 batches per bin B
//       80     4  uint32 fields (10)
//       84     4  uint32 depth bins (300)
//       88    40  reserved, zero
//      128  1600  int32 histories of bin 1 ... 400 (a bin's batches share them by batchShare)
//     1728     …  per bin with histories (ascending), per batch 0 ... B-1: 10 x 300 float32,
//                 the batch's mean energy per history [keV] of field 1 ... 10 (outer) at depth
//                 bin 1 ... 300
//     end-8    8  uint64 FNV-1a 64 checksum of every byte before it
// The partial file of an interrupted build (NAME.partial) holds the same 1728-byte head, then
// one record per completed bin: uint32 bin, the bin's B x 3000 float32, uint64 FNV-1a 64 of the
// record before it. Records are appended and flushed to disk as bins complete.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tuning {

constexpr int kBins = 400;    // 50 keV spectrum bins
constexpr int kFields = 10;   // square fields
constexpr int kDepths = 300;  // 1 mm depth bins
constexpr int kCurveValues = kFields * kDepths;
constexpr std::uint32_t kLibraryLayoutVersion = 1;
constexpr const char* kLibraryFileName = "beam_kernels.lib";
// Names the transport whose histories the library holds; a library from another engine is
// refused. Raise it whenever a change of the transport changes what a history deposits.
constexpr const char* kEngineVersion = "dravik-transport 1";
constexpr std::uint64_t kLibrarySeed = 20261211;
constexpr int kHeaderBytes = 128;
constexpr int kHeadBytes = kHeaderBytes + 4 * kBins;

// Histories per bin (index 1 ... 400, slot 0 unused) and batches of a library.
struct LibraryPlan {
  std::array<std::int32_t, kBins + 1> histories{};
  int batches = 10;
  std::uint64_t seed = kLibrarySeed;
};

// The default plan: the histories of each bin chosen so that the bins the beams of 2 to 20 MV
// weight most get the most histories for their cost (see kernel_library.cpp). `scale`
// multiplies every count.
LibraryPlan defaultPlan(double scale = 1.0);

// What identifies the inputs a library was built from.
struct LibraryIdentity {
  std::string engineVersion = kEngineVersion;
  std::uint64_t waterChecksum = 0;  // water20.dat
  std::uint64_t eldatChecksum = 0;  // ELDAT.dat
};

// FNV-1a 64 over a file's bytes; nothing when the file cannot be read.
std::optional<std::uint64_t> fileChecksum(const std::filesystem::path& file);

// The identity of the data files in `folder`, or a message naming the one that cannot be read.
struct IdentityOutcome {
  std::optional<LibraryIdentity> identity;
  std::string error;
};
IdentityOutcome currentIdentity(const std::filesystem::path& folder);

struct KernelLibrary {
  LibraryIdentity identity;
  LibraryPlan plan;
  // Batch means [keV per history] of the bins with histories, in ascending bin order:
  // slot * B + batch blocks of kCurveValues floats.
  std::vector<float> batchMeans;
  // Derived when loaded (derive): the bins with histories, each bin's slot (-1 for none), and
  // per slot the history-weighted mean over the batches [keV per history], kCurveValues doubles.
  std::vector<int> filledBins;
  std::array<int, kBins + 1> slot{};
  std::vector<double> binMeans;

  // Only for bins with histories.
  const float* batch(int bin, int b) const {
    return batchMeans.data() +
           (static_cast<std::size_t>(slot[bin]) * plan.batches + b) * kCurveValues;
  }
  const double* mean(int bin) const {
    return binMeans.data() + static_cast<std::size_t>(slot[bin]) * kCurveValues;
  }
  // Histories of batch b of bin `bin`.
  std::int32_t batchHistories(int bin, int b) const;
  // Fills filledBins, slot and binMeans from plan and batchMeans.
  void derive();
};

struct BuildProgress {
  int binsDone = 0;   // bins complete, those resumed from the partial file included
  int binsTotal = 0;  // bins with histories
  double secondsElapsed = 0.0;
  double secondsLeft = -1.0;  // estimate from the histories still to run; negative when unknown
};

struct BuildOptions {
  int threads = 1;
  std::function<void(const BuildProgress&)> progress;  // called from the building threads
  const std::atomic<bool>* cancel = nullptr;           // set to stop after the bins in progress
};

enum class BuildStatus { complete, cancelled, failed };
struct BuildOutcome {
  BuildStatus status = BuildStatus::failed;
  std::string message;  // what went wrong, for failed
  int binsResumed = 0;  // bins taken from the partial file
};

// Builds the library `file` from the data files in `dataFolder` by `plan`, resuming from
// `file`.partial when that was left by an interrupted build with the same identity and plan
// (a partial file of other inputs is discarded). The completed file is written beside the target
// and renamed over it; the partial file is then removed.
BuildOutcome buildLibrary(const std::filesystem::path& dataFolder,
                          const std::filesystem::path& file, const LibraryPlan& plan,
                          const BuildOptions& options);

// Reads and checks a library: it must exist, be complete (size, checksum) and match `expected`
// (engine version and data checksums). The message says what is wrong and how to rebuild.
struct LoadOutcome {
  std::optional<KernelLibrary> library;
  std::string error;
};
LoadOutcome loadLibrary(const std::filesystem::path& file, const LibraryIdentity& expected);

// Reads the library of `folder` (kLibraryFileName) checked against the data files there.
LoadOutcome loadLibrary(const std::filesystem::path& folder);

}  // namespace tuning
