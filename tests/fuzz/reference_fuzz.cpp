// A reference TMR file (*.std), read by the results window's reference loader.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "workbench/spectrum/results.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzz::writeScratchFile("fuzz.std", data, size);
  static corvane::ReferenceTmrData reference;  // lives as long as the window's
  const auto tpr = corvane::loadReferenceFile(file, reference);
  if (reference.referenceRowCount < 0 || reference.referenceRowCount > corvane::kMaxReferenceRows)
    fuzz::fail("referenceRowCount outside 0 ... 30");
  (void)tpr;
  return 0;
}
