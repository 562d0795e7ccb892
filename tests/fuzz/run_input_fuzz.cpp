// S_SPCTL.dat and B2F.dat, read by the simulation's run input reader. One fuzz
// input holds both files: S_SPCTL.dat, then a form feed (\f), then B2F.dat;
// without a form feed the whole input is S_SPCTL.dat and B2F.dat is a fixed
// valid one. Whatever is accepted then gets its per-bin history counts formed
// as the run forms them (32-bit integers from fluence x history total), so a
// value that cannot give a count shows up as a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "simulation/run_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find('\f');
  fuzz::writeScratchFile("S_SPCTL.dat", bytes.substr(0, split));
  fuzz::writeScratchFile("B2F.dat", split == std::string_view::npos
                                        ? std::string_view("fuzz.tmr\r\n1.000E+06\r\n")
                                        : bytes.substr(split + 1));
  dravik::RunInput input;
  if (dravik::readRunInput(input, fuzz::scratchFolder())) return 0;  // refused, with a message

  if (input.lastBin < 1 || input.lastBin > dravik::kSpectrumBins)
    fuzz::fail("lastBin outside 1 ... 400");
  const double historyTotal = input.parameters.historyTotal;
  double histories = 0.0;
  for (int i = 1; i <= input.lastBin; ++i) {
    const float fluence = input.spectrum.fluence[i];
    if (fluence == 0.0f) continue;
    const auto inBin = static_cast<std::int32_t>(static_cast<double>(fluence) * historyTotal);
    histories += inBin;
  }
  volatile double sink = histories;  // keeps the counts from being optimised away
  (void)sink;
  (void)dravik::resultFileName(input.parameters);
  return 0;
}
