// Dravik's command line. Without options it is the single-threaded run of the
// fixed-seed generator; --threads, --seed or --batches select a batched run.
#pragma once

#include <string>
#include <vector>

#include "simulation/engine.h"

namespace dravik {

inline constexpr const char* kUsage = "usage: Dravik [--threads N|auto] [--seed S] [--batches B]";
constexpr int kMaxBatches = 4096;  // per-batch field sums take 12 kB each

struct RunOptions {
  bool batched = false;  // false: the default single-threaded run
  BatchOptions batch;
};

struct CommandLine {
  enum class Action { run, help, usageError };
  Action action = Action::run;
  RunOptions options;
  std::string error;  // for usageError: one line naming the option at fault
};

// Parses the arguments after the program name. "auto" threads means
// `hardwareThreads` (at least 1). Options: --threads N (N >= 1) or auto, --seed S
// (a whole number 0 ... 2^64 - 1), --batches B (2 ... 4096), each also as
// --name=value; --help.
CommandLine parseCommandLine(const std::vector<std::string>& args, unsigned hardwareThreads);

}  // namespace dravik
