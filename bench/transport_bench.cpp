// Transport benchmark: histories per second of the particle transport on the
// 10 MV preset spectrum and on monoenergetic 2 MeV and 10 MeV pencil beams.
//   transport_bench [histories per case [case]] [--threads N]
//   case: spectrum, 2MeV or 10MeV, to time (or profile) one case alone
//   --threads N: also time the 10 MV spectrum as a batched run on N threads
//                (32 batches, seed 1), the way `Dravik --threads N` runs it
// The data files and the spectrum are taken from the source tree. The single-
// thread cases use the simulation's one history loop (runBinHistories, bin by
// bin with the truncated share of the history total, from a freshly set-up
// generator and an empty kernel) and print the kernel's energy total, which must
// not change when the code is made faster.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "simulation/engine.h"
#include "simulation/kernel.h"
#include "simulation/physics_data.h"
#include "simulation/run_input.h"
#include "simulation/state.h"

namespace {

using dravik::Simulation;

struct Outcome {
  std::int64_t histories = 0;
  double seconds = 0.0;
  double scored = 0.0;  // kernel total [keV]
};

double kernelTotal(const dravik::DoseKernel& kernel) {
  double sum = 0.0;
  for (float v : kernel.cells) sum += v;
  return sum;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const std::string& name, const Outcome& o) {
  std::printf(
      "%-28s %8lld histories %8.3f s %10.0f histories/s %8.2f us/history  scored %.6e keV\n",
      name.c_str(), static_cast<long long>(o.histories), o.seconds,
      static_cast<double>(o.histories) / o.seconds,
      1e6 * o.seconds / static_cast<double>(o.histories), o.scored);
}

int usage() {
  std::fprintf(stderr,
               "usage: transport_bench [histories per case > 0 [spectrum|2MeV|10MeV]] "
               "[--threads N]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  long perCase = 20000;
  const char* only = nullptr;
  int threads = 0;  // 0: no batched case
  int positional = 0;
  for (int a = 1; a < argc; ++a) {
    if (std::strcmp(argv[a], "--threads") == 0) {
      if (a + 1 >= argc) return usage();
      threads = std::atoi(argv[++a]);
      if (threads < 1) return usage();
    } else if (positional == 0) {
      perCase = std::atol(argv[a]);
      ++positional;
    } else if (positional == 1) {
      only = argv[a];
      ++positional;
    } else {
      return usage();
    }
  }
  auto wanted = [only](const char* name) {
    return only == nullptr || std::strcmp(only, name) == 0;
  };
  if (perCase <= 0 || (only && !wanted("spectrum") && !wanted("2MeV") && !wanted("10MeV"))) {
    return usage();
  }

  // Tables and the spectrum, read once and copied into each case.
  auto base = std::make_unique<Simulation>();
  if (auto e = dravik::readPhysicsData(base->shared.tables, SHIPPED_DATA)) {
    std::fprintf(stderr, "%s\n", e->message().c_str());
    return 1;
  }
  dravik::setUpPhantom(base->shared.phantom);
  if (auto e = dravik::readRunInput(base->input, SPECTRUM_FOLDER)) {
    std::fprintf(stderr, "%s\n", e->message().c_str());
    return 1;
  }
  base->input.parameters.historyTotal = static_cast<float>(perCase);
  const dravik::BinCounts counts = dravik::binHistoryCounts(base->input);

  if (wanted("spectrum")) {
    auto worker = std::make_unique<dravik::Worker>();
    const auto start = std::chrono::steady_clock::now();
    std::int64_t n = 0;
    for (int i = 1; i <= dravik::kSpectrumBins; ++i) {
      dravik::runBinHistories(base->shared, *worker, i, counts[i]);
      n += counts[i];
    }
    report("10 MV preset spectrum", {n, secondsSince(start), kernelTotal(worker->kernel)});
  }
  for (float energy : {2000.0f, 10000.0f}) {
    if (!wanted(energy == 2000.0f ? "2MeV" : "10MeV")) continue;
    auto worker = std::make_unique<dravik::Worker>();
    const auto start = std::chrono::steady_clock::now();
    dravik::runHistories(base->shared, *worker, energy, perCase);
    report(energy == 2000.0f ? "2 MeV pencil beam" : "10 MeV pencil beam",
           {perCase, secondsSince(start), kernelTotal(worker->kernel)});
  }
  if (threads > 0) {
    dravik::BatchOptions options;
    options.threads = threads;
    const auto start = std::chrono::steady_clock::now();
    const auto run = dravik::runBatches(base->shared, counts, options);
    report("10 MV spectrum, " + std::to_string(threads) + " thread(s)",
           {run->histories, secondsSince(start), kernelTotal(run->kernel)});
  }
  return 0;
}
