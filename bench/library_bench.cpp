// Engine speed per spectrum bin, the figure the kernel library's history plan is costed by:
// microseconds per history of monoenergetic pencil beams at the centres of a few bins.
//   library_bench [histories per bin]   (default 20000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "simulation/engine.h"
#include "simulation/physics_data.h"

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 20000;
  if (n <= 0) {
    std::fprintf(stderr, "usage: library_bench [histories per bin > 0]\n");
    return 2;
  }
  auto shared = std::make_unique<dravik::SharedTables>();
  if (auto e = dravik::readPhysicsData(shared->tables, SHIPPED_DATA)) {
    std::fprintf(stderr, "%s\n", e->message().c_str());
    return 1;
  }
  dravik::setUpPhantom(shared->phantom);
  auto worker = std::make_unique<dravik::Worker>();
  for (int bin : {1, 5, 10, 20, 40, 80, 120, 160, 200, 300, 400}) {
    *worker = dravik::Worker{};
    worker->rng = dravik::makeStream(7, static_cast<std::uint64_t>(bin));
    const auto start = std::chrono::steady_clock::now();
    dravik::runBinHistories(*shared, *worker, bin, static_cast<std::int32_t>(n));
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("bin %3d (%6.3f MeV): %8.3f us/history\n", bin, dravik::binEnergy(bin) / 1000.0,
                1e6 * s / static_cast<double>(n));
  }
  return 0;
}
