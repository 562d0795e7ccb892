#include "simulation/text_input.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace dravik {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string columns(int first, int last) {
  return "columns " + std::to_string(first) + "-" + std::to_string(last);
}

// The characters of columns first ... last, shorter when the line is shorter.
std::string_view cut(std::string_view line, int first, int last) {
  const auto begin = static_cast<std::size_t>(first - 1);
  if (begin >= line.size()) return {};
  return line.substr(begin, static_cast<std::size_t>(last - first + 1));
}

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

const std::string kNotANumber = "which is not a number";

// Why a text that parseReal refused is no single-precision real: a finite
// number beyond the largest float is named as such.
std::string notARealBecause(std::string_view text) {
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  const bool whole = end == copy.c_str() + copy.size() && !copy.empty();
  const bool exponent = copy.find_first_of("eE") != std::string::npos;
  const bool word = copy.find_first_of("nN") != std::string::npos;  // "inf", "nan"
  if (whole && exponent && !word &&
      (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())) {
    return "a number too large for single precision";
  }
  return kNotANumber;
}

}  // namespace

std::string InputError::message() const {
  std::string text = "Input error: " + file;
  if (line > 0) text += ", line " + std::to_string(line);
  return text + ": " + what;
}

bool parseReal(std::string_view text, float& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return false;
  const char* end = text.data() + text.size();
  float value = 0.0f;
  auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
  if (ptr != end) return false;
  if (ec == std::errc::result_out_of_range) {
    // Too small for single precision reads as 0; too large is not a usable number.
    const bool negativeExponent =
        text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos;
    if (!negativeExponent) return false;
    out = 0.0f;
    return true;
  }
  if (ec != std::errc() || !std::isfinite(value))
    return false;  // "inf" and "nan" are no numbers here
  out = value;
  return true;
}

bool parseInteger(std::string_view text, int& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

InputResult TextInput::open(const std::filesystem::path& file, TextInput& out) {
  out.name_ = file.filename().string();
  out.lines_.clear();
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    const int code = errno;
    return InputError{out.name_, 0,
                      std::string("the file cannot be opened (") + std::strerror(code) + ")"};
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return InputError{out.name_, 0, "the file cannot be read"};
  const std::string text = buffer.str();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    out.lines_.emplace_back(text, start, stop - start);
    start = end + 1;
  }
  return std::nullopt;
}

InputResult TextInput::line(int n, std::string_view& out) const {
  if (n < 1 || n > lineCount()) {
    return error(n, "line missing (the file ends after line " + std::to_string(lineCount()) + ")");
  }
  out = lines_[static_cast<std::size_t>(n - 1)];
  return std::nullopt;
}

InputResult TextInput::fixedReal(int n, int first, int last, float& out) const {
  std::string_view text;
  if (auto e = line(n, text)) return e;
  const std::string_view field = trim(cut(text, first, last));
  if (field.empty()) {
    out = 0.0f;
    return std::nullopt;
  }
  if (!parseReal(field, out)) {
    return error(n,
                 columns(first, last) + " hold " + quoted(field) + ", " + notARealBecause(field));
  }
  if (field.find('.') == std::string_view::npos) {
    return error(n, columns(first, last) + " hold " + quoted(field) +
                        ", a number written without its decimal point");
  }
  return std::nullopt;
}

InputError TextInput::fieldError(int n, int first, int last, const std::string& what) const {
  std::string_view text;
  if (n >= 1 && n <= lineCount()) text = lines_[static_cast<std::size_t>(n - 1)];
  return error(
      n, columns(first, last) + " hold " + quoted(trim(cut(text, first, last))) + ", " + what);
}

InputResult TextInput::fixedInteger(int n, int first, int last, int& out) const {
  std::string_view text;
  if (auto e = line(n, text)) return e;
  const std::string_view field = trim(cut(text, first, last));
  if (field.empty()) {
    out = 0;
    return std::nullopt;
  }
  if (!parseInteger(field, out)) {
    return error(n, columns(first, last) + " hold " + quoted(field) + ", which is not an integer");
  }
  return std::nullopt;
}

namespace {

// The first value of a free-form line: blanks skipped, ended by a blank or comma.
std::string_view firstValue(std::string_view line) {
  std::size_t begin = 0;
  while (begin < line.size() && isBlank(line[begin])) ++begin;
  std::size_t end = begin;
  while (end < line.size() && !isBlank(line[end]) && line[end] != ',') ++end;
  return line.substr(begin, end - begin);
}

}  // namespace

InputResult TextInput::freeReal(int n, float& out) const {
  std::string_view text;
  if (auto e = line(n, text)) return e;
  const std::string_view value = firstValue(text);
  if (value.empty()) return error(n, "the line holds no number");
  if (!parseReal(value, out)) {
    const std::string why = notARealBecause(value);
    return error(n, quoted(value) + (why == kNotANumber ? " is not a number" : ", " + why));
  }
  return std::nullopt;
}

InputResult TextInput::freeInteger(int n, int& out) const {
  std::string_view text;
  if (auto e = line(n, text)) return e;
  const std::string_view value = firstValue(text);
  if (value.empty()) return error(n, "the line holds no number");
  if (!parseInteger(value, out)) return error(n, quoted(value) + " is not an integer");
  return std::nullopt;
}

}  // namespace dravik
