#include "workbench/spectrum/results.h"

namespace corvane {

std::array<std::string, 5> resultHeaderLines(double, double, double, double) { return {}; }
Result<ResultHeader> readResultHeader(const std::filesystem::path&) { return ResultHeader{}; }
Result<TprReading> loadCalculatedTable(const std::filesystem::path&, CalculatedTmrTable&) {
  return TprReading{};
}
Result<TprReading> loadReferenceFile(const std::filesystem::path&, ReferenceTmrData&) {
  return TprReading{};
}

}  // namespace corvane
