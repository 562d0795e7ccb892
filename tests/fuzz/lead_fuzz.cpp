// Lead.dat, read by the workbench's lead table reader. An accepted table must
// give a finite positive attenuation coefficient in every bin; the 10 MV, 6 MV
// and 20 MeV presets are then computed with it, and a spectrum that computes is
// written as S_SPCTL.dat and must be accepted by the simulation's reader.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "simulation/run_input.h"
#include "workbench/spectrum/lead.h"
#include "workbench/spectrum/run_files.h"
#include "workbench/spectrum/schiff.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzz::writeScratchFile("Lead.dat", data, size);
  corvane::SpectrumState state;
  corvane::LeadTable table;
  if (!corvane::readLeadTable(file, table, state.leadAttenuation)) return 0;  // refused
  for (int i = 1; i <= corvane::kSpectrumBins; ++i) {
    const double mu = state.leadAttenuation[i];
    if (!(std::isfinite(mu) && mu > 0.0))
      fuzz::fail("an accepted Lead.dat gives a bad coefficient");
  }

  const corvane::SpectrumEntries presets[] = {
      {"10", "74", "1.5", false}, {"6", "74", "0.5", false}, {"20", "79", "30", false}};
  if (!corvane::writeRunParameters("fuzz", "1e6", fuzz::scratchFolder()))
    fuzz::fail("cannot write B2F.dat");
  for (const auto& entries : presets) {
    if (!corvane::computeSchiffSpectrum(state, entries)) continue;
    for (int i = 1; i <= corvane::kSpectrumBins; ++i) {
      const double f = state.relativeFluence[i];
      if (!(f >= 0.0 && f <= 1.0)) fuzz::fail("a normalised fluence outside 0 ... 1");
    }
    if (!corvane::writeSpectrumFile(state, entries, fuzz::scratchFolder())) continue;
    dravik::RunInput input;
    if (dravik::readRunInput(input, fuzz::scratchFolder()))
      fuzz::fail("the simulation refuses a spectrum file the workbench wrote");
  }
  return 0;
}
