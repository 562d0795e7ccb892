// beamfit: kernel library, TMR prediction and beam-parameter fit, in the current folder.
#include <csignal>
#include <iostream>

#include "tuning/cli.h"

namespace {
std::atomic<bool> interrupted{false};
extern "C" void onInterrupt(int) { interrupted = true; }
}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, onInterrupt);
  std::signal(SIGTERM, onInterrupt);
  std::vector<std::string> args(argv + 1, argv + argc);
  return tuning::runBeamfit(args, std::cout, std::cerr, ".", &interrupted);
}
