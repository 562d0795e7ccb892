// Transport benchmark: histories per second of the particle transport on the
// 10 MV preset spectrum and on monoenergetic 2 MeV and 10 MeV pencil beams.
//   transport_bench [histories per case [case]]   (default 20000, all cases)
//   case: spectrum, 2MeV or 10MeV, to time (or profile) one case alone
// The data files and the spectrum are taken from the source tree. The same
// history loop as the run sequence: startSourcePhoton then trackHistory, bin by
// bin with the truncated share of the history total. Each case starts from a
// freshly set-up generator and an empty kernel and prints the kernel's energy
// total, which must not change when the code is made faster.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "simulation/kernel.h"
#include "simulation/physics_data.h"
#include "simulation/run_input.h"
#include "simulation/state.h"
#include "simulation/transport/photon.h"

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

template <class Loop>
Outcome timeRun(Simulation& sim, Loop loop) {
  const auto start = std::chrono::steady_clock::now();
  const std::int64_t n = loop(sim);
  const auto stop = std::chrono::steady_clock::now();
  return {n, std::chrono::duration<double>(stop - start).count(), kernelTotal(sim.run.kernel)};
}

void report(const char* name, const Outcome& o) {
  std::printf(
      "%-28s %8lld histories %8.3f s %10.0f histories/s %8.2f us/history  scored %.6e keV\n", name,
      static_cast<long long>(o.histories), o.seconds, static_cast<double>(o.histories) / o.seconds,
      1e6 * o.seconds / static_cast<double>(o.histories), o.scored);
}

}  // namespace

int main(int argc, char** argv) {
  const long perCase = argc > 1 ? std::atol(argv[1]) : 20000;
  const char* only = argc > 2 ? argv[2] : nullptr;
  auto wanted = [only](const char* name) {
    return only == nullptr || std::strcmp(only, name) == 0;
  };
  if (perCase <= 0 || (only && !wanted("spectrum") && !wanted("2MeV") && !wanted("10MeV"))) {
    std::fprintf(stderr, "usage: transport_bench [histories per case > 0 [spectrum|2MeV|10MeV]]\n");
    return 2;
  }

  // Tables and the spectrum, read once and copied into each case.
  auto base = std::make_unique<Simulation>();
  if (auto e = dravik::readPhysicsData(base->tables, SHIPPED_DATA)) {
    std::fprintf(stderr, "%s\n", e->message().c_str());
    return 1;
  }
  dravik::setUpPhantom(base->phantom);
  if (auto e = dravik::readRunInput(base->input, SPECTRUM_FOLDER)) {
    std::fprintf(stderr, "%s\n", e->message().c_str());
    return 1;
  }
  auto fresh = [&] {
    auto sim = std::make_unique<Simulation>();
    sim->tables = base->tables;
    sim->phantom = base->phantom;
    sim->input = base->input;
    return sim;
  };

  if (wanted("spectrum")) {
    auto sim = fresh();
    const Outcome o = timeRun(*sim, [perCase](Simulation& s) {
      std::int64_t n = 0;
      const double total = static_cast<double>(perCase);
      for (int i = 1; i <= s.input.lastBin; ++i) {
        const float fluence = s.input.spectrum.fluence[i];
        if (fluence == 0.0f) continue;
        const auto inBin = static_cast<std::int32_t>(static_cast<double>(fluence) * total);
        const float energy = 50.0f * static_cast<float>(i) - 25.0f;
        for (std::int32_t h = 0; h < inBin; ++h) {
          dravik::startSourcePhoton(s.run.rng, s.run.photon, s.run.history, energy);
          dravik::trackHistory(s);
        }
        n += inBin;
      }
      return n;
    });
    report("10 MV preset spectrum", o);
  }
  for (float energy : {2000.0f, 10000.0f}) {
    if (!wanted(energy == 2000.0f ? "2MeV" : "10MeV")) continue;
    auto sim = fresh();
    const Outcome o = timeRun(*sim, [perCase, energy](Simulation& s) {
      for (long h = 0; h < perCase; ++h) {
        dravik::startSourcePhoton(s.run.rng, s.run.photon, s.run.history, energy);
        dravik::trackHistory(s);
      }
      return static_cast<std::int64_t>(perCase);
    });
    report(energy == 2000.0f ? "2 MeV pencil beam" : "10 MeV pencil beam", o);
  }
  return 0;
}
