#include "simulation/run_input.h"

#include <cmath>

#include "simulation/text_input.h"

namespace dravik {

namespace {

// Length of the longest prefix of the first n bytes of a UTF-8 text that ends on
// a whole character, so a cut never leaves a broken multi-byte character.
std::size_t wholeCharacterPrefix(std::string_view text, std::size_t n) {
  if (n >= text.size()) return text.size();
  std::size_t start = n;  // walk back to the lead byte of the character at position n
  while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  return start;  // the character starting at `start` does not fit entirely
}

InputResult readSpectrum(SpectrumInput& spectrum, int& lastBin, float& sum,
                         const std::filesystem::path& file) {
  TextInput in;
  if (auto e = TextInput::open(file, in)) return e;
  sum = 0.0f;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    float energy = 0.0f;  // read and not used, but it must be a number
    if (auto e = in.fixedReal(i, 1, 6, energy)) return e;
    if (auto e = in.fixedReal(i, 9, 17, spectrum.fluence[i])) return e;
    if (spectrum.fluence[i] < 0.0f)
      return in.fieldError(i, 9, 17, "a negative fluence; fluences must be non-negative");
    sum = spectrum.fluence[i] + sum;
  }
  if (auto e = in.freeReal(401, spectrum.accelerationEnergy)) return e;
  if (auto e = in.freeInteger(402, spectrum.targetZ)) return e;
  if (auto e = in.freeReal(403, spectrum.filterThickness)) return e;

  lastBin = kSpectrumBins;
  while (lastBin > 0 && spectrum.fluence[lastBin] == 0.0f) --lastBin;
  if (lastBin == 0)
    return InputError{in.fileName(), 0, "every fluence is zero: there is nothing to simulate"};
  if (!(sum > 0.0f) || !std::isfinite(sum)) {
    return InputError{
        in.fileName(), 0,
        "the fluences sum to " + std::to_string(sum) + "; their sum must be positive and finite"};
  }
  return std::nullopt;
}

InputResult readParameters(RunParameters& parameters, const std::filesystem::path& file) {
  TextInput in;
  if (auto e = TextInput::open(file, in)) return e;
  std::string_view name;
  if (auto e = in.line(1, name)) return e;
  const std::size_t kept = wholeCharacterPrefix(name, kResultNameBytes);
  parameters.resultFileName.fill(' ');
  for (std::size_t b = 0; b < kept; ++b) parameters.resultFileName[b] = name[b];

  if (auto e = in.freeReal(2, parameters.historyTotal)) return e;
  // Each bin's history count is a 32-bit integer.
  if (!(parameters.historyTotal < 2147483648.0f)) {
    return in.error(2, "the history total " + std::to_string(parameters.historyTotal) +
                           " exceeds the largest count of 2147483647");
  }
  return std::nullopt;
}

}  // namespace

InputResult readRunInput(RunInput& input, const std::filesystem::path& folder) {
  float sum = 0.0f;
  if (auto e = readSpectrum(input.spectrum, input.lastBin, sum, folder / "S_SPCTL.dat")) return e;
  if (auto e = readParameters(input.parameters, folder / "B2F.dat")) return e;
  for (int i = 1; i <= kSpectrumBins; ++i)
    input.spectrum.fluence[i] = input.spectrum.fluence[i] / sum;
  return std::nullopt;
}

std::string resultFileName(const RunParameters& parameters) {
  std::string name(parameters.resultFileName.begin(), parameters.resultFileName.end());
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace dravik
