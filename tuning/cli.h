// The beamfit console program: subcommands library, predict and fit, working in a folder
// (the current one for the program) that holds the data files like the simulation's run folder.
#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace tuning {

// Runs beamfit with `args` (without the program name) in `folder`; results and the summary go to
// `out`, progress and errors to `err`. Returns the exit status: 0 success, 1 failure (one line
// naming the cause), 2 usage error (one line, then the usage). `cancel`, when given, stops a
// library build after the bins in progress (the program sets it on an interrupt).
int runBeamfit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::filesystem::path& folder = ".",
               const std::atomic<bool>* cancel = nullptr);

}  // namespace tuning
