// The whole run sequence of Dravik: set-up, console dialogue, histories, result.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>

namespace dravik {

struct ClockTime {
  int hour = 0, minute = 0, second = 0;
};
using Clock = std::function<ClockTime()>;

// Local wall-clock time of day.
ClockTime localClock();

// Runs the simulation in `folder` (data, run input and result files), talking on
// `in`/`out`. Returns the exit status: 0 after the final Enter, non-zero after an
// input or output error (one message line, no result file).
int runSimulation(std::istream& in, std::ostream& out, const Clock& clock,
                  const std::filesystem::path& folder = ".");

}  // namespace dravik
