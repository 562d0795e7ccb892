// Numbers to text by a digit pattern, and text to a number by its leading numeric part.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Formats `number` by `pattern`: 0 is a digit always written, # a digit written only when
// significant, at most one decimal point; "E+00" / "E-00" (or e) after the digits asks for a
// scientific exponent (E+ always shows the sign, E- only a minus), with at least as many
// exponent digits as zeros follow the sign. Literal characters before and after the digits are
// copied as they stand. The integer part grows as far as the number needs (never cut).
//
// Rounding is to the pattern's decimals from the exact binary value of `number`; a value exactly
// half-way rounds away from zero (0.125 with "0.00" -> "0.13", 2.5 with "000" -> "003"), while
// 1.005, whose binary value lies just below the half, gives "1.00". A value that rounds to zero is
// written without a minus sign. Infinities and NaN are written "Infinity", "-Infinity", "NaN".
//
// Patterns in use: "00.000", "0.000E+00", "00.0", "000", "00.00", "#0.000", "##0.000", "0.000",
// " #0.0", "00", "#0.00", "########0".
std::string formatByPattern(double number, std::string_view pattern);

// The longest numeric prefix of `text`: leading blanks (spaces, tabs) skipped, then an optional
// sign, digits with at most one decimal point, and an exponent (E or e, optional sign, digits)
// when digits follow the letter. 0 when the text does not begin with a number
// ("30,000,000" -> 30, "1e6" -> 1000000, "2.5E+07x" -> 25000000, "abc" -> 0).
// Read independently of the process locale. An exponent beyond the range of a double gives
// +-infinity (too large) or 0 (too small).
double leadingNumber(std::string_view text);

// `text` as a number when the whole of it is one number in the grammar of leadingNumber
// (no blanks around it); nothing otherwise. Used by the free-form readers.
std::optional<double> parseNumber(std::string_view text);

}  // namespace corvane
