// Reader of the two run hand-over files S_SPCTL.dat and B2F.dat.
#pragma once

#include <filesystem>
#include <string>

#include "simulation/input_error.h"
#include "simulation/state.h"

namespace dravik {

// Reads S_SPCTL.dat and B2F.dat from `folder`, finds lastBin and normalises the
// fluences to sum 1. An all-zero spectrum is an input error.
InputResult readRunInput(RunInput& input, const std::filesystem::path& folder = ".");

// The result file name as written: the 20 bytes with trailing blanks dropped.
std::string resultFileName(const RunParameters& parameters);

}  // namespace dravik
