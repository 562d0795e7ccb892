// The whole run sequence of Dravik: set-up, console dialogue, histories, result.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>

#include "simulation/options.h"

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
// A batched run (options.batched) keeps the same dialogue but prints progress by
// percent of histories instead of by bin, writes NAME.unc (the 1 sigma of every
// value) beside the result NAME.tmr, and ends with TPR20,10 and its 1 sigma and
// each field's depth of maximum.
int runSimulation(std::istream& in, std::ostream& out, const Clock& clock,
                  const std::filesystem::path& folder = ".", const RunOptions& options = {});

}  // namespace dravik
