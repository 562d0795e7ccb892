// The batch split, the generator streams and the command line of batched runs.
#include "simulation/engine.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "simulation/options.h"

namespace dravik {
namespace {

TEST(BatchShare, SharesAddUpExactlyAndDifferByAtMostOne) {
  for (std::int32_t count : {0, 1, 7, 31, 32, 33, 1000, 2147483647}) {
    for (int batches : {2, 3, 32, 4096}) {
      std::int64_t sum = 0;
      std::int32_t low = count, high = 0;
      for (int j = 0; j < batches; ++j) {
        const std::int32_t s = batchShare(count, j, batches);
        sum += s;
        low = std::min(low, s);
        high = std::max(high, s);
      }
      EXPECT_EQ(sum, count) << count << " in " << batches;
      EXPECT_LE(high - low, 1) << count << " in " << batches;
    }
  }
}

TEST(BinHistoryCounts, TruncatesEachBinsShareAndSkipsEmptyBins) {
  RunInput input;
  input.parameters.historyTotal = 1000.0f;
  input.spectrum.fluence[1] = 0.0015f;  // 1.5 histories: 1
  input.spectrum.fluence[3] = 0.0005f;  // below one history: 0
  input.spectrum.fluence[4] = 0.998f;
  input.spectrum.fluence[5] = 0.5f;  // beyond lastBin: never run
  input.lastBin = 4;
  const BinCounts c = binHistoryCounts(input);
  EXPECT_EQ(c[1], 1);
  EXPECT_EQ(c[2], 0);
  EXPECT_EQ(c[3], 0);
  EXPECT_EQ(c[4], 998);
  EXPECT_EQ(c[5], 0);
}

std::vector<std::int32_t> draws(LaggedAdditiveGenerator g, int n) {
  std::vector<std::int32_t> v;
  for (int i = 0; i < n; ++i) v.push_back(g.step());
  return v;
}

TEST(MakeStream, StreamsAreReproducibleAndDistinct) {
  EXPECT_EQ(draws(makeStream(1, 0), 200), draws(makeStream(1, 0), 200));
  std::set<std::vector<std::int32_t>> seen;
  seen.insert(draws(LaggedAdditiveGenerator{}, 200));  // the fixed-seed generator
  for (std::uint64_t seed : {0ull, 1ull, 2ull, 18446744073709551615ull})
    for (std::uint64_t stream : {0ull, 1ull, 31ull})
      seen.insert(draws(makeStream(seed, stream), 200));
  EXPECT_EQ(seen.size(), 13u);
  // A stream has had the same 1000 warm-up steps as the fixed set-up.
  EXPECT_EQ(makeStream(9, 4).steps(), 1000u);
}

TEST(MakeStream, AnAllEvenTableWouldOnlyEverGiveEvenValues) {
  // Why a stream's table must hold an odd entry: sums of even numbers stay even,
  // so the lowest bit would be lost for the whole run.
  std::array<std::int32_t, LaggedAdditiveGenerator::kLength> even{};
  for (int i = 0; i < LaggedAdditiveGenerator::kLength; ++i) even[i] = 2 * i + 2;
  LaggedAdditiveGenerator g;
  g.setUp(even);
  for (std::int32_t v : draws(g, 1000)) ASSERT_EQ(v % 2, 0);
  even[10] += 1;
  g.setUp(even);
  int odd = 0;
  for (std::int32_t v : draws(g, 1000)) odd += v % 2;
  EXPECT_GT(odd, 0);  // one odd entry is enough: the low bit is then a full-period shift register
}

// ---------------------------------------------------------------- command line

TEST(CommandLineOptions, AcceptedForms) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    CommandLine::Action action;
    bool batched;
    int threads;
    std::uint64_t seed;
    int batches;
  } cases[] = {
      {"none", {}, CommandLine::Action::run, false, 1, kDefaultSeed, kDefaultBatches},
      {"threads", {"--threads", "2"}, CommandLine::Action::run, true, 2, kDefaultSeed, 32},
      {"threads auto", {"--threads=auto"}, CommandLine::Action::run, true, 6, kDefaultSeed, 32},
      {"seed and batches",
       {"--seed", "18446744073709551615", "--batches=2"},
       CommandLine::Action::run,
       true,
       1,
       18446744073709551615ull,
       2},
      {"more threads than batches",
       {"--threads", "64", "--batches", "4"},
       CommandLine::Action::run,
       true,
       64,
       kDefaultSeed,
       4},
      {"help", {"--help"}, CommandLine::Action::help, false, 1, kDefaultSeed, 32},
  };
  for (const auto& c : cases) {
    const CommandLine line = parseCommandLine(c.args, 6);
    EXPECT_EQ(line.action, c.action) << c.name;
    EXPECT_EQ(line.options.batched, c.batched) << c.name;
    EXPECT_EQ(line.options.batch.threads, c.threads) << c.name;
    EXPECT_EQ(line.options.batch.seed, c.seed) << c.name;
    EXPECT_EQ(line.options.batch.batches, c.batches) << c.name;
  }
}

TEST(CommandLineOptions, ErrorsNameTheOptionAtFault) {
  struct Case {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{"--thread", "2"}, "Dravik: unknown option '--thread'"},
      {{"result.tmr"}, "Dravik: unknown option 'result.tmr'"},
      {{"--threads", "0"},
       "Dravik: --threads '0' is not a thread count (a whole number of 1 or more, or auto)"},
      {{"--threads=-1"},
       "Dravik: --threads '-1' is not a thread count (a whole number of 1 or more, or auto)"},
      {{"--threads", "2x"},
       "Dravik: --threads '2x' is not a thread count (a whole number of 1 or more, or auto)"},
      {{"--batches", "1"},
       "Dravik: --batches '1' is not a batch count (a whole number from 2 to 4096)"},
      {{"--batches", "4097"},
       "Dravik: --batches '4097' is not a batch count (a whole number from 2 to 4096)"},
      {{"--seed", "12a"},
       "Dravik: --seed '12a' is not a seed (a whole number from 0 to 18446744073709551615)"},
      {{"--seed", "18446744073709551616"},
       "Dravik: --seed '18446744073709551616' is not a seed (a whole number from 0 to "
       "18446744073709551615)"},
      {{"--seed", ""},
       "Dravik: --seed '' is not a seed (a whole number from 0 to "
       "18446744073709551615)"},
      {{"--threads", "2", "--seed"}, "Dravik: option --seed needs a value"},
  };
  for (const auto& c : cases) {
    const CommandLine line = parseCommandLine(c.args, 2);
    EXPECT_EQ(line.action, CommandLine::Action::usageError) << c.error;
    EXPECT_EQ(line.error, c.error);
  }
}

}  // namespace
}  // namespace dravik
