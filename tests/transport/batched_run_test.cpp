// Batched runs on the shipped data and the 10 MV preset spectrum: the same bits
// for any thread count, and a stated uncertainty that matches the spread of
// independent runs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "simulation/engine.h"
#include "simulation/kernel.h"
#include "simulation/physics_data.h"
#include "simulation/run_input.h"
#include "simulation/square_fields.h"
#include "simulation/uncertainty.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;

struct Setup {
  SharedTables shared;
  RunInput input;
};

// Shipped tables and the preset spectrum with `histories` as the history total.
std::unique_ptr<Setup> presetRun(float histories) {
  auto s = std::make_unique<Setup>();
  if (auto e = readPhysicsData(s->shared.tables, SHIPPED_DATA_DIR)) {
    ADD_FAILURE() << e->message();
    return nullptr;
  }
  setUpPhantom(s->shared.phantom);
  if (auto e = readRunInput(s->input, fs::path(FIXTURES_DIR) / "regression_10MV")) {
    ADD_FAILURE() << e->message();
    return nullptr;
  }
  s->input.parameters.historyTotal = histories;
  return s;
}

bool sameBits(const void* a, const void* b, std::size_t bytes) {
  return std::memcmp(a, b, bytes) == 0;
}

TEST(BatchedRun, GivesTheSameBitsForAnyThreadCount) {
  auto s = presetRun(3000.0f);
  ASSERT_TRUE(s);
  const BinCounts counts = binHistoryCounts(s->input);
  std::int64_t expected = 0;
  for (std::int32_t c : counts) expected += c;
  for (int batches : {5, 32}) {
    BatchOptions options;
    options.seed = 7;
    options.batches = batches;
    options.threads = 1;
    const auto reference = runBatches(s->shared, counts, options);
    ASSERT_EQ(reference->histories, expected);
    for (int threads : {2, 3, 8}) {  // 8 threads for 5 batches: more threads than batches
      options.threads = threads;
      const auto other = runBatches(s->shared, counts, options);
      EXPECT_EQ(other->histories, expected);
      EXPECT_TRUE(sameBits(other->kernel.cells.data(), reference->kernel.cells.data(),
                           sizeof reference->kernel.cells))
          << threads << " threads, " << batches << " batches";
      ASSERT_EQ(other->fieldSums.size(), static_cast<std::size_t>(batches));
      for (int j = 0; j < batches; ++j) {
        EXPECT_TRUE(sameBits(other->fieldSums[j].values.data(),
                             reference->fieldSums[j].values.data(),
                             sizeof reference->fieldSums[j].values))
            << "batch " << j;
      }
    }
  }
}

TEST(BatchedRun, TheBatchKernelsAddUpToTheRunsKernel) {
  // Batch j's kernel is what runBatch leaves; the run's kernel is their sum in
  // batch order, whatever thread finished first.
  auto s = presetRun(2000.0f);
  ASSERT_TRUE(s);
  const BinCounts counts = binHistoryCounts(s->input);
  BatchOptions options;
  options.seed = 3;
  options.batches = 4;
  options.threads = 2;
  const auto run = runBatches(s->shared, counts, options);
  auto sum = std::make_unique<DoseKernel>();
  auto worker = std::make_unique<Worker>();
  for (int j = 0; j < options.batches; ++j) {
    runBatch(s->shared, counts, options.seed, j, options.batches, *worker);
    for (std::size_t c = 0; c < sum->cells.size(); ++c) sum->cells[c] += worker->kernel.cells[c];
  }
  EXPECT_TRUE(sameBits(sum->cells.data(), run->kernel.cells.data(), sizeof sum->cells));
}

// ---------------------------------------------------------------- uncertainty

// K runs of the preset spectrum with seeds 1 ... K, each split into B batches.
// For each checked quantity x (TPR20,10 and the 10 cm x 10 cm TMR at 5, 10 and
// 20 cm) the observed spread s^2 of x over the K runs is compared with the
// stated variance, the mean of the K jackknife sigma^2 (itself averaged over
// K (B - 1) degrees of freedom, so its own noise is small beside that of s^2).
// If the stated sigma is right and x is close to normal, (K - 1) s^2 / sigma^2
// follows chi-square with K - 1 degrees of freedom. For K = 20 (19 degrees of
// freedom) the 0.05 % and 99.95 % quantiles are 4.912 and 45.973, so with 99.9 %
// probability per quantity
//     0.2585 <= s^2 / sigma^2 <= 2.4196.
// Quantiles from the regularised incomplete gamma function, P(19/2, x/2) =
// 0.0005 and 0.9995, solved by bisection. Four quantities: a false alarm in
// fewer than 0.4 % of seed sets; a sigma wrong by a factor of 1.6 or more is
// caught most of the time.
TEST(BatchedRun, StatedUncertaintyMatchesTheSpreadOfIndependentRuns) {
  constexpr int K = 20;
  constexpr int B = 16;
  constexpr double kLower = 0.2585, kUpper = 2.4196;
  auto s = presetRun(100000.0f);
  ASSERT_TRUE(s);
  const BinCounts counts = binHistoryCounts(s->input);

  struct Quantity {
    const char* name;
    int depth;  // 0: TPR20,10; else the depth bin of field 4
    double sum = 0, squares = 0, variance = 0;
  } quantities[] = {{"TPR20,10", 0}, {"TMR 5 cm", 50}, {"TMR 10 cm", 100}, {"TMR 20 cm", 200}};

  for (int seed = 1; seed <= K; ++seed) {
    BatchOptions options;
    options.seed = static_cast<std::uint64_t>(seed);
    options.batches = B;
    options.threads = 1;
    const auto run = runBatches(s->shared, counts, options);
    auto tmr = std::make_unique<TmrTable>();
    ASSERT_TRUE(synthesizeSquareFields(run->kernel, *tmr));
    const TmrUncertainty u = jackknifeUncertainty(run->fieldSums);
    ASSERT_TRUE(u.defined);
    for (auto& q : quantities) {
      const double x = q.depth == 0 ? tprOf(*tmr) : tmr->T(kTprField, q.depth);
      const double sigma = q.depth == 0 ? u.tprSigma : u.sigma.T(kTprField, q.depth);
      q.sum += x;
      q.squares += x * x;
      q.variance += sigma * sigma / K;
    }
  }
  for (const auto& q : quantities) {
    const double mean = q.sum / K;
    const double spread = (q.squares - K * mean * mean) / (K - 1);
    const double ratio = spread / q.variance;
    EXPECT_GE(ratio, kLower) << q.name << ": observed sigma " << std::sqrt(spread) << ", stated "
                             << std::sqrt(q.variance);
    EXPECT_LE(ratio, kUpper) << q.name << ": observed sigma " << std::sqrt(spread) << ", stated "
                             << std::sqrt(q.variance);
  }
}

}  // namespace
}  // namespace dravik
