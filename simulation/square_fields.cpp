#include "simulation/square_fields.h"

#include <cmath>

#include "simulation/fixed_format.h"
#include "simulation/result_output.h"
#include "simulation/run_input.h"

namespace dravik {

float ringWeight(int ring, float halfSide) {
  const float r = 0.2f * static_cast<float>(ring) - 0.1f;  // mid-radius [cm]
  if (r <= halfSide) return 1.0f;                          // wholly inside the square
  const float quarter = PI / 4.0f;
  return (quarter - std::atan(std::sqrt(r * r - halfSide * halfSide) / halfSide)) / quarter;
}

int ringCount(int field) {
  return static_cast<int>(static_cast<double>(fieldSides[field - 1]) * std::sqrt(2.0) * 2.5);
}

bool synthesizeSquareFields(const DoseKernel& kernel, TmrTable& tmr) {
  bool everyFieldScored = true;
  for (int k = 1; k <= kFields; ++k) {
    const float a = fieldSides[k - 1] / 2.0f;
    const int n = ringCount(k);
    // The weights do not depend on depth: computing them once per field gives
    // the same numbers as recomputing them at every depth.
    float w[kRadialBins + 1];
    for (int i = 1; i <= n; ++i) w[i] = ringWeight(i, a);
    for (int depth = 1; depth <= kDepthBins; ++depth) {
      float sum = tmr.T(k, depth);
      for (int i = 1; i <= n; ++i)
        sum = sum + (kernel.K(1, i, depth) + kernel.K(2, i, depth)) * w[i];
      tmr.T(k, depth) = sum;
    }
    float m = 0.0f;
    for (int depth = 1; depth <= kDepthBins; ++depth) {
      if (tmr.T(k, depth) > m) m = tmr.T(k, depth);
    }
    if (m == 0.0f) {
      everyFieldScored = false;  // no maximum to normalise by
      continue;
    }
    for (int depth = 1; depth <= kDepthBins; ++depth) tmr.T(k, depth) = tmr.T(k, depth) / m;
  }
  return everyFieldScored;
}

std::optional<std::string> writeResultFile(const std::filesystem::path& file, const TmrTable& tmr,
                                           const RunInput& input) {
  const std::string shown = file.filename().string();
  // A value that is not finite, or does not fit its columns, would reach the
  // results window as asterisks: the run stops instead and an earlier result of
  // that name stays.
  if (auto e = checkResultHeader(input)) {
    return "Output error: the result file " + shown + " is not written: " + e->message();
  }
  for (int k = 1; k <= kFields; ++k) {
    for (int n = 1; n <= kDepthBins; ++n) {
      const float v = tmr.T(k, n);
      if (!std::isfinite(v) || fixedReal(v, 7, 4).find('*') != std::string::npos) {
        return "Output error: the result file " + shown + " is not written: the TMR of the " +
               std::to_string(static_cast<int>(fieldSides[k - 1])) + " cm field at depth bin " +
               std::to_string(n) + " is " + std::to_string(v) + ", not a ratio that fits the table";
      }
    }
  }

  const char* eol = "\r\n";
  std::string text;
  text.reserve(305 * 80);
  text += fixedReal(input.parameters.historyTotal, 11, 0) + eol;
  text += fixedReal(input.spectrum.accelerationEnergy, 10, 4) + eol;
  text += fixedReal(static_cast<float>(input.spectrum.targetZ), 10, 4) + eol;
  text += fixedReal(input.spectrum.filterThickness, 10, 4) + eol;
  text += std::string(" d   4, 6, 8, 10, 12, 15, 20, 25, 30, 35cm sq") + eol;
  for (int n = 1; n <= kDepthBins; ++n) {
    text += fixedInteger(n, 4);
    for (int k = 1; k <= kFields; ++k) text += fixedReal(tmr.T(k, n), 7, 4);
    text += eol;
  }

  // Written beside the target, synced to the disk and renamed over it when
  // complete, so a reader never sees a half-written result.
  if (auto reason = replaceFileDurably(file, text)) {
    return "Output error: the result file " + shown + " " + *reason;
  }
  return std::nullopt;
}

}  // namespace dravik
