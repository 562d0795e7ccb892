// A result file (*.tmr), read by the results window's header reader and table
// loader, as a click on the file and OK do.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "workbench/spectrum/results.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzz::writeScratchFile("fuzz.tmr", data, size);
  (void)corvane::readResultHeader(file);
  static corvane::CalculatedTmrTable table;  // lives as long as the window's
  (void)corvane::loadCalculatedTable(file, table);
  return 0;
}
