#include "simulation/fixed_format.h"

#include <cmath>
#include <cstdio>

namespace dravik {

namespace {

std::string rightAligned(std::string text, int width) {
  const auto w = static_cast<std::size_t>(width);
  if (text.size() > w) return std::string(w, '*');
  return std::string(w - text.size(), ' ') + text;
}

}  // namespace

std::string fixedReal(double value, int width, int decimals) {
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(width), '*');
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text(buffer);
  if (decimals == 0) text += '.';
  return rightAligned(std::move(text), width);
}

std::string fixedInteger(long long value, int width) {
  return rightAligned(std::to_string(value), width);
}

}  // namespace dravik
