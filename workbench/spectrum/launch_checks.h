// The launch dialog's entries checked before a run is started: the history total must be read as
// exactly the count typed, and the result name must come back as NAME.tmr.
#pragma once

#include <cstdint>
#include <string>

#include "workbench/spectrum/failure.h"

namespace corvane {

// The largest history total the simulation can count (its counters are 32-bit integers).
constexpr std::int64_t kMaxHistoryTotal = 2147483647;  // 2^31 - 1
// The simulation keeps 20 bytes of line 1 of B2F.dat: NAME plus ".tmr".
constexpr std::size_t kMaxResultNameBytes = 16;

// The history total as typed: blanks around it, an optional sign, digits (optionally grouped in
// threes by commas or blanks: "30,000,000", "30 000 000"), an optional decimal part and an
// optional exponent ("3e7", "3.0E+07"). The value is worked out from the digits exactly (no
// rounding), must be a whole number and lie in 1 ... 2^31 - 1. Anything else fails with
// messages::kHistoryTotalNotANumber, kHistoryTotalNotWhole or kHistoryTotalOutOfRange.
Result<std::int64_t> parseHistoryTotal(const std::string& text);

// The count the simulation receives for `count`: B2F.dat holds it by the pattern "0.000E+00",
// that is, rounded to four significant digits (1234567 -> 1235000).
std::int64_t handedOverHistoryTotal(std::int64_t count);

// The result name as typed (without ".tmr"): empty gives messages::kEnterResultName; a "/" or a
// control character, which no file name in the working folder can hold, gives
// kResultNameNotAFileName; more than kMaxResultNameBytes bytes (UTF-8), which would lose
// ".tmr" in the simulation, gives kResultNameTooLong.
Status checkResultName(const std::string& name);

}  // namespace corvane
