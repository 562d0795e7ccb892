#include "workbench/spectrum/format.h"

namespace corvane {

std::string formatByPattern(double, std::string_view pattern) { return std::string(pattern); }
double leadingNumber(std::string_view) { return 0.0; }

}  // namespace corvane
