// Dravik: Monte Carlo simulation of a photon pencil beam in water, giving the
// TMR curves of ten square fields. Started without arguments in the folder that
// holds its data and run input files; --threads, --seed and --batches select a
// batched run on several threads that also writes the statistical uncertainty.
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "simulation/options.h"
#include "simulation/run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const dravik::CommandLine line =
      dravik::parseCommandLine(args, std::thread::hardware_concurrency());
  switch (line.action) {
    case dravik::CommandLine::Action::usageError:
      std::cerr << line.error << '\n' << dravik::kUsage << '\n';
      return 2;
    case dravik::CommandLine::Action::help:
      std::cout
          << dravik::kUsage << '\n'
          << "  Without options: the single-threaded run of the fixed-seed generator.\n"
          << "  --threads N|auto  run the histories in independent batches on N threads\n"
          << "                    (auto: every core); the result is the same for any N\n"
          << "  --seed S          seed of the batches' generator streams (default "
          << dravik::kDefaultSeed << ")\n"
          << "  --batches B       number of batches, 2 to " << dravik::kMaxBatches << " (default "
          << dravik::kDefaultBatches << ")\n"
          << "  A batched run also writes NAME.unc, the 1 sigma of every value of NAME.tmr.\n";
      return 0;
    case dravik::CommandLine::Action::run:
      break;
  }
  return dravik::runSimulation(std::cin, std::cout, dravik::localClock, ".", line.options);
}
