#include "workbench/spectrum/launch_checks.h"

#include <cctype>
#include <cmath>

#include "workbench/spectrum/format.h"
#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

Failure entryFailure(const char* message) { return Failure{"", message, message}; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

Result<std::int64_t> parseHistoryTotal(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  const std::string s = text.substr(begin, end - begin);
  const auto notANumber = [] { return entryFailure(messages::kHistoryTotalNotANumber); };

  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  // Integer part: digits, or groups of three after a first group of one to three digits.
  std::string digits;
  std::size_t group = 0;  // digits in the current group
  bool grouped = false;
  while (i < s.size()) {
    if (isDigit(s[i])) {
      digits += s[i++];
      ++group;
    } else if ((s[i] == ',' || s[i] == ' ') && i + 1 < s.size() && isDigit(s[i + 1])) {
      if (group == 0 || (grouped ? group != 3 : group > 3)) return notANumber();
      grouped = true;
      group = 0;
      ++i;
    } else {
      break;
    }
  }
  if (grouped && group != 3) return notANumber();
  std::size_t fractionDigits = 0;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) {
      digits += s[i++];
      ++fractionDigits;
    }
  }
  if (digits.empty()) return notANumber();
  long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
    if (i >= s.size() || !isDigit(s[i])) return notANumber();
    while (i < s.size() && isDigit(s[i])) {
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');  // beyond: far out of range
      ++i;
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (i != s.size()) return notANumber();

  // value = digits × 10^(exponent − fractionDigits), worked out on the digits.
  long shift = exponent - static_cast<long>(fractionDigits);
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return entryFailure(messages::kHistoryTotalOutOfRange);
  digits.erase(0, first);
  if (shift < 0) {
    // The digits below the units must all be zeros.
    const std::size_t drop = static_cast<std::size_t>(-shift);
    if (drop >= digits.size() ||
        digits.find_first_not_of('0', digits.size() - drop) != std::string::npos)
      return entryFailure(messages::kHistoryTotalNotWhole);
    digits.erase(digits.size() - drop);
    shift = 0;
  }
  if (negative) return entryFailure(messages::kHistoryTotalOutOfRange);
  if (digits.size() + static_cast<std::size_t>(shift) > 10)
    return entryFailure(messages::kHistoryTotalOutOfRange);
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  for (long k = 0; k < shift; ++k) value *= 10;
  if (value < 1 || value > kMaxHistoryTotal) return entryFailure(messages::kHistoryTotalOutOfRange);
  return value;
}

std::int64_t handedOverHistoryTotal(std::int64_t count) {
  return std::llround(leadingNumber(formatByPattern(static_cast<double>(count), "0.000E+00")));
}

Status checkResultName(const std::string& name) {
  if (name.empty()) return entryFailure(messages::kEnterResultName);
  for (unsigned char c : name)
    if (c == '/' || c < 0x20 || c == 0x7F) return entryFailure(messages::kResultNameNotAFileName);
  if (name.size() > kMaxResultNameBytes) return entryFailure(messages::kResultNameTooLong);
  return {};
}

}  // namespace corvane
