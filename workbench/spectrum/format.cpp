#include "workbench/spectrum/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace corvane {
namespace {

// The parts of a digit pattern: literal prefix, digit placeholders, optional exponent, suffix.
struct Pattern {
  std::string prefix;
  std::string suffix;
  int integerPlaces = 0;  // 0 and # before the point
  int integerZeros = 0;   // 0 before the point: the least number of integer digits
  bool hasPoint = false;
  int decimals = 0;      // placeholders after the point: the decimals rounded to
  int decimalZeros = 0;  // decimals always written (up to the last 0 after the point)
  bool scientific = false;
  char exponentLetter = 'E';
  bool exponentPlus = false;  // E+ shows the sign always, E- only a minus
  int exponentDigits = 0;     // the least number of exponent digits
};

bool isPlaceholder(char c) { return c == '0' || c == '#'; }

Pattern parsePattern(std::string_view text) {
  Pattern p;
  std::size_t i = 0;
  while (i < text.size() && !isPlaceholder(text[i]) && text[i] != '.') p.prefix += text[i++];
  for (; i < text.size() && isPlaceholder(text[i]); ++i) {
    ++p.integerPlaces;
    if (text[i] == '0') ++p.integerZeros;
  }
  if (i < text.size() && text[i] == '.') {
    p.hasPoint = true;
    for (++i; i < text.size() && isPlaceholder(text[i]); ++i) {
      ++p.decimals;
      if (text[i] == '0') p.decimalZeros = p.decimals;
    }
  }
  if (i + 2 < text.size() && (text[i] == 'E' || text[i] == 'e') &&
      (text[i + 1] == '+' || text[i + 1] == '-') && text[i + 2] == '0') {
    p.scientific = true;
    p.exponentLetter = text[i];
    p.exponentPlus = text[i + 1] == '+';
    for (i += 2; i < text.size() && text[i] == '0'; ++i) ++p.exponentDigits;
  }
  p.suffix = std::string(text.substr(i));
  return p;
}

// Adds one unit in the last place of a string of decimal digits; returns true on a carry out
// of the first digit ("999" becomes "000" and true).
bool incrementDigits(std::string& digits) {
  for (std::size_t k = digits.size(); k-- > 0;) {
    if (digits[k] != '9') {
      ++digits[k];
      return false;
    }
    digits[k] = '0';
  }
  return true;
}

// Rounds `digits` to its first `keep` digits, half away from zero: the exact expansion is cut
// after `keep` digits and rounded up when the first digit cut is 5 or more. Returns true when
// the rounding carried out of the first digit (the result then is "1" followed by zeros, one
// digit longer in value; the caller shifts its exponent).
bool roundDigits(std::string& digits, std::size_t keep) {
  bool up = keep < digits.size() && digits[keep] >= '5';
  digits.resize(keep, '0');
  if (!up) return false;
  if (incrementDigits(digits)) {
    digits.insert(digits.begin(), '1');
    return true;
  }
  return false;
}

bool allZeros(const std::string& s) { return s.find_first_not_of('0') == std::string::npos; }

// Drops zeros after the decimals that the pattern always writes.
void trimDecimals(std::string& decimals, int keepAtLeast) {
  while (static_cast<int>(decimals.size()) > keepAtLeast && decimals.back() == '0')
    decimals.pop_back();
}

std::string assemble(const Pattern& p, bool negative, std::string integer, std::string decimals,
                     const std::string& exponent) {
  // Integer digits: no leading zeros, then padded to the pattern's zeros.
  std::size_t first = integer.find_first_not_of('0');
  integer = first == std::string::npos ? std::string() : integer.substr(first);
  if (static_cast<int>(integer.size()) < p.integerZeros)
    integer.insert(0, static_cast<std::size_t>(p.integerZeros) - integer.size(), '0');
  trimDecimals(decimals, p.decimalZeros);
  bool zero = allZeros(integer) && allZeros(decimals);
  std::string out = p.prefix;
  if (negative && !zero) out += '-';  // the minus stands directly before the digits
  out += integer;
  if (p.hasPoint) out += '.' + decimals;
  out += exponent;
  out += p.suffix;
  return out;
}

std::string formatFixed(const Pattern& p, double magnitude, bool negative) {
  // The exact decimal expansion of the double: 1074 decimals hold every binary fraction.
  char buffer[1500];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 1080);
  std::string text(buffer, r.ptr);
  std::size_t point = text.find('.');
  std::string digits = text.substr(0, point) + text.substr(point + 1);
  std::size_t integerLength = point;
  if (roundDigits(digits, integerLength + static_cast<std::size_t>(p.decimals))) ++integerLength;
  return assemble(p, negative, digits.substr(0, integerLength), digits.substr(integerLength), "");
}

std::string formatScientific(const Pattern& p, double magnitude, bool negative) {
  int mantissaIntegers = p.integerPlaces > 0 ? p.integerPlaces : 1;
  std::size_t keep = static_cast<std::size_t>(mantissaIntegers + p.decimals);
  std::string digits(keep, '0');
  int exponent = 0;
  if (magnitude != 0.0) {
    // Exact significant digits: a double has at most 767 of them.
    char buffer[900];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific,
                           800);
    std::string text(buffer, r.ptr);
    std::size_t e = text.find('e');
    int decimalExponent =
        std::atoi(text.c_str() + e + 1);  // magnitude = d.ddd x 10^decimalExponent
    digits = text.substr(0, 1) + text.substr(2, e - 2);
    if (roundDigits(digits, keep)) {
      ++decimalExponent;
      digits.pop_back();
    }
    exponent = decimalExponent - (mantissaIntegers - 1);
  }
  std::string exponentText(1, p.exponentLetter);
  if (exponent < 0)
    exponentText += '-';
  else if (p.exponentPlus)
    exponentText += '+';
  std::string exponentDigits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(exponentDigits.size()) < p.exponentDigits)
    exponentDigits.insert(0, static_cast<std::size_t>(p.exponentDigits) - exponentDigits.size(),
                          '0');
  exponentText += exponentDigits;
  // The mantissa's integer digits are all written (they are significant by construction).
  Pattern mantissa = p;
  mantissa.integerZeros = std::max(p.integerZeros, magnitude != 0.0 ? mantissaIntegers : 0);
  return assemble(mantissa, negative, digits.substr(0, static_cast<std::size_t>(mantissaIntegers)),
                  digits.substr(static_cast<std::size_t>(mantissaIntegers)), exponentText);
}

// Length of the longest numeric prefix of `text` from `start` (sign, digits with one point,
// exponent); 0 when there is none. `exponentNegative` tells whether an exponent with a minus
// was taken.
std::size_t scanNumber(std::string_view text, std::size_t start, bool& exponentNegative) {
  std::size_t i = start;
  exponentNegative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissaDigits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++mantissaDigits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    bool minus = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) minus = text[j++] == '-';
    std::size_t exponentStart = j;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
    if (j > exponentStart) {
      i = j;
      exponentNegative = minus;
    }
  }
  return i - start;
}

// The value of a numeric prefix found by scanNumber, independent of the locale.
double numberValue(std::string_view number, bool exponentNegative) {
  bool negative = !number.empty() && number[0] == '-';
  if (!number.empty() && (number[0] == '+' || number[0] == '-')) number.remove_prefix(1);
  double value = 0.0;
  auto r = std::from_chars(number.data(), number.data() + number.size(), value,
                           std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) value = exponentNegative ? 0.0 : HUGE_VAL;
  return negative ? -value : value;
}

}  // namespace

std::string formatByPattern(double number, std::string_view pattern) {
  if (std::isnan(number)) return "NaN";
  if (std::isinf(number)) return number < 0 ? "-Infinity" : "Infinity";
  Pattern p = parsePattern(pattern);
  bool negative = std::signbit(number);
  double magnitude = std::fabs(number);
  return p.scientific ? formatScientific(p, magnitude, negative)
                      : formatFixed(p, magnitude, negative);
}

double leadingNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  bool exponentNegative = false;
  std::size_t length = scanNumber(text, start, exponentNegative);
  if (length == 0) return 0.0;
  return numberValue(text.substr(start, length), exponentNegative);
}

std::optional<double> parseNumber(std::string_view text) {
  bool exponentNegative = false;
  std::size_t length = scanNumber(text, 0, exponentNegative);
  if (length == 0 || length != text.size()) return std::nullopt;
  return numberValue(text, exponentNegative);
}

}  // namespace corvane
