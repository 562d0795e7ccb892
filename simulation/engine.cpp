#include "simulation/engine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

#include "simulation/kernel.h"
#include "simulation/square_fields.h"
#include "simulation/transport/photon.h"

namespace dravik {

BinCounts binHistoryCounts(const RunInput& input) {
  BinCounts counts{};
  const double historyTotal = input.parameters.historyTotal;
  for (int i = 1; i <= input.lastBin && i <= kSpectrumBins; ++i) {
    const float fluence = input.spectrum.fluence[i];
    if (fluence == 0.0f) continue;
    // The product of the two single-precision values is exact in double precision.
    counts[i] = static_cast<std::int32_t>(static_cast<double>(fluence) * historyTotal);
  }
  return counts;
}

void runHistories(const SharedTables& shared, Worker& worker, float energy, std::int64_t count) {
  for (std::int64_t h = 0; h < count; ++h) {
    startSourcePhoton(worker.rng, worker.photon, worker.history, energy);
    trackHistory(shared, worker);
  }
}

namespace {

// SplitMix64's finaliser: a bijection of 64-bit words in which every input bit
// changes each output bit with probability close to 1/2.
std::uint64_t mix64(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ull;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  return x ^ (x >> 31);
}

}  // namespace

// Seeding of a stream. The key mix64(mix64(seed) + stream) is a different 64-bit
// word for every (seed, stream) of practical size, and it starts a SplitMix64
// sequence whose 55 outputs, cut to their top 14 bits, fill the table: 770
// effectively independent random bits per stream. Lagged additive generators
// x(n) = x(n-55) + x(n-24) mod 2^14 have the period 2^13 (2^55 - 1), about
// 3e20 steps, for every table that holds an odd entry; one is forced odd if
// none is. The state space holds about 2^757 such tables, spread over a vast
// number of disjoint cycles, so two streams usually lie on different cycles and
// cannot meet at all; if they share one, their random starting points are
// about 3e20 steps apart on average. A run of 30 million histories draws about
// 2e9 numbers in all, so the chance that any two of 32 batches overlap is below
// 32^2 x 2 x 2e9 / 3e20, about 1e-8. The 1000 warm-up steps of the fixed set-up
// are kept; they cost nothing and make every stream start the same way.
LaggedAdditiveGenerator makeStream(std::uint64_t seed, std::uint64_t stream) {
  std::array<std::int32_t, LaggedAdditiveGenerator::kLength> values{};
  std::uint64_t state = mix64(mix64(seed) + stream);
  bool anyOdd = false;
  for (auto& v : values) {
    state = mix64(state);
    v = static_cast<std::int32_t>(state >> 50);  // top 14 bits: 0 ... 16383
    anyOdd = anyOdd || (v & 1) != 0;
  }
  if (!anyOdd) values[0] |= 1;
  LaggedAdditiveGenerator g;
  g.setUp(values);
  return g;
}

std::int32_t batchShare(std::int32_t count, int batch, int batches) {
  if (count <= 0 || batches <= 0) return 0;
  const std::int32_t base = count / batches;
  const std::int32_t extra = count % batches;
  return base + (batch < extra ? 1 : 0);
}

std::int64_t runBatch(const SharedTables& shared, const BinCounts& counts, std::uint64_t seed,
                      int batch, int batches, Worker& worker,
                      const std::function<void(std::int32_t)>& afterBin) {
  worker.kernel = DoseKernel{};
  worker.rng = makeStream(seed, static_cast<std::uint64_t>(batch));
  std::int64_t histories = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const std::int32_t share = batchShare(counts[i], batch, batches);
    if (share <= 0) continue;
    runBinHistories(shared, worker, i, share);
    histories += share;
    if (afterBin) afterBin(share);
  }
  return histories;
}

std::unique_ptr<BatchRun> runBatches(const SharedTables& shared, const BinCounts& counts,
                                     const BatchOptions& options, const BatchProgress& progress) {
  const int batches = std::max(options.batches, 1);
  auto run = std::make_unique<BatchRun>();
  run->fieldSums.assign(static_cast<std::size_t>(batches), TmrTable{});

  std::atomic<int> nextBatch{0};
  std::atomic<std::int64_t> finished{0};
  std::mutex mutex;  // guards everything below it, and run->kernel
  std::condition_variable changed;
  int nextToAdd = 0;  // the batch whose kernel goes into the sum next
  std::map<int, std::unique_ptr<DoseKernel>> waiting;
  int running = 0;

  // Kernels are added in batch order whatever order the batches finish in; a
  // kernel that finishes early waits (at most about one per thread).
  auto batchLoop = [&] {
    auto worker = std::make_unique<Worker>();
    for (;;) {
      const int j = nextBatch.fetch_add(1);
      if (j >= batches) break;
      runBatch(shared, counts, options.seed, j, batches, *worker,
               [&](std::int32_t n) { finished.fetch_add(n); });
      accumulateSquareFields(worker->kernel, run->fieldSums[static_cast<std::size_t>(j)]);
      auto done = std::make_unique<DoseKernel>(worker->kernel);
      std::lock_guard<std::mutex> lock(mutex);
      waiting.emplace(j, std::move(done));
      for (auto it = waiting.find(nextToAdd); it != waiting.end(); it = waiting.find(nextToAdd)) {
        for (std::size_t c = 0; c < run->kernel.cells.size(); ++c)
          run->kernel.cells[c] += it->second->cells[c];
        waiting.erase(it);
        ++nextToAdd;
      }
    }
  };

  // A history that stops the run (a runaway loop on unusable tables) throws on
  // its worker thread; the first such exception ends the other workers after
  // their current batch and is rethrown on the calling thread.
  std::exception_ptr failure;
  auto work = [&] {
    try {
      batchLoop();
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
      nextBatch.store(batches);
    }
    std::lock_guard<std::mutex> lock(mutex);
    --running;
    changed.notify_all();
  };

  const int threads = std::clamp(options.threads, 1, batches);
  std::vector<std::thread> pool;
  running = threads;
  for (int t = 0; t < threads; ++t) pool.emplace_back(work);
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (running > 0) {
      changed.wait_for(lock, std::chrono::milliseconds(200), [&] { return running == 0; });
      if (progress && running > 0) {
        lock.unlock();
        progress(finished.load());
        lock.lock();
      }
    }
  }
  for (auto& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
  run->histories = finished.load();
  if (progress) progress(run->histories);
  return run;
}

}  // namespace dravik
