// The one history loop of the simulation and the split of a run into
// statistically independent batches that worker threads can run.
//
// The default run goes through the bins in order with one worker whose
// generator is the fixed-seed one, exactly as it always has. A batched run
// gives batch j of B its share of every bin's history count and its own stream
// of the same generator, seeded from (seed, j); batches are handed to threads
// in any order but their kernels are added in batch order, so the result does
// not depend on the number of threads.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "simulation/state.h"

namespace dravik {

// Per-bin history counts: the product of the bin's normalised fluence and the
// history total, formed exactly in double precision and truncated toward zero.
// Index 1 ... kSpectrumBins; 0 for bins of zero fluence and beyond lastBin.
using BinCounts = std::array<std::int32_t, kSpectrumBins + 1>;
BinCounts binHistoryCounts(const RunInput& input);

// Source energy of spectrum bin `bin`: its centre 50 bin - 25 [keV].
inline float binEnergy(int bin) { return 50.0f * static_cast<float>(bin) - 25.0f; }

// The one history loop: `count` histories of source photons of `energy` [keV],
// each startSourcePhoton then trackHistory, scoring into worker.kernel and
// drawing from worker.rng.
void runHistories(const SharedTables& shared, Worker& worker, float energy, std::int64_t count);

// `count` histories of spectrum bin `bin` (at its centre energy).
inline void runBinHistories(const SharedTables& shared, Worker& worker, int bin,
                            std::int32_t count) {
  runHistories(shared, worker, binEnergy(bin), count);
}

// An independent stream of the same lagged additive generator, seeded from
// (seed, stream). How the table is filled and why streams do not overlap is
// written beside the definition.
LaggedAdditiveGenerator makeStream(std::uint64_t seed, std::uint64_t stream);

// Share of `count` given to batch `batch` (0-based) of `batches`: count / batches,
// one more for the first count % batches batches. The shares add up to count.
std::int32_t batchShare(std::int32_t count, int batch, int batches);

// ---------------------------------------------------------------- batched runs

constexpr std::uint64_t kDefaultSeed = 1;
constexpr int kDefaultBatches = 32;

struct BatchOptions {
  int threads = 1;  // worker threads, at least 1; more than `batches` are not started
  std::uint64_t seed = kDefaultSeed;
  int batches = kDefaultBatches;  // at least 2 for an uncertainty
};

// Runs batch `batch` of `batches` on `worker`: clears its kernel, gives it the
// stream makeStream(seed, batch), and runs its share of every bin's count in
// ascending bin order. `afterBin` (if set) gets the histories of each bin as
// they finish. Returns the histories run.
std::int64_t runBatch(const SharedTables& shared, const BinCounts& counts, std::uint64_t seed,
                      int batch, int batches, Worker& worker,
                      const std::function<void(std::int32_t)>& afterBin = {});

// What a batched run leaves: the kernel summed in batch order, and per batch the
// unnormalised square-field energies (accumulateSquareFields of its kernel),
// from which the statistical uncertainty is estimated.
struct BatchRun {
  DoseKernel kernel;
  std::vector<TmrTable> fieldSums;  // one per batch, in batch order
  std::int64_t histories = 0;
};

// Called on the calling thread now and then, and once at the end, with the
// histories finished so far.
using BatchProgress = std::function<void(std::int64_t finished)>;

// Runs all batches on options.threads threads (the calling thread only waits
// and reports progress). The result is the same bits for any thread count.
std::unique_ptr<BatchRun> runBatches(const SharedTables& shared, const BinCounts& counts,
                                     const BatchOptions& options,
                                     const BatchProgress& progress = {});

}  // namespace dravik
