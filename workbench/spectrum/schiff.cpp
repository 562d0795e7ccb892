#include "workbench/spectrum/schiff.h"

namespace corvane {

Status checkSpectrumEntries(const SpectrumEntries&) { return {}; }
Result<SchiffOutcome> computeSchiffSpectrum(SpectrumState&, const SpectrumEntries&) {
  return SchiffOutcome{};
}

}  // namespace corvane
