// Right-aligned numbers in fixed columns, as the console and the result file show
// them; a number too wide for its columns is written as that many asterisks.
#pragma once

#include <string>

namespace dravik {

// Fixed point with `decimals` decimals in `width` columns; with no decimals the
// decimal point is still written (1000000 in 11 columns: "   1000000.").
std::string fixedReal(double value, int width, int decimals);

// An integer in `width` columns.
std::string fixedInteger(long long value, int width);

}  // namespace dravik
