#include "simulation/square_fields.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <system_error>

#include "simulation/fixed_format.h"
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

void accumulateSquareFields(const DoseKernel& kernel, TmrTable& sums) {
  for (int k = 1; k <= kFields; ++k) {
    const float a = fieldSides[k - 1] / 2.0f;
    const int n = ringCount(k);
    // The weights do not depend on depth: computing them once per field gives
    // the same numbers as recomputing them at every depth.
    float w[kRadialBins + 1];
    for (int i = 1; i <= n; ++i) w[i] = ringWeight(i, a);
    for (int depth = 1; depth <= kDepthBins; ++depth) {
      float sum = sums.T(k, depth);
      for (int i = 1; i <= n; ++i)
        sum = sum + (kernel.K(1, i, depth) + kernel.K(2, i, depth)) * w[i];
      sums.T(k, depth) = sum;
    }
  }
}

bool synthesizeSquareFields(const DoseKernel& kernel, TmrTable& tmr) {
  accumulateSquareFields(kernel, tmr);
  bool everyFieldScored = true;
  for (int k = 1; k <= kFields; ++k) {
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

  // Written beside the target and renamed over it when complete, so a reader
  // never sees a half-written result.
  const std::string shown = file.string();
  std::filesystem::path temporary = file;
  temporary += ".partial";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      const int code = errno;
      return "Output error: the result file " + shown + " cannot be created (" +
             std::strerror(code) + ")";
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return "Output error: the result file " + shown + " cannot be written";
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return "Output error: the result file " + shown + " cannot be written (" + ec.message() + ")";
  }
  return std::nullopt;
}

}  // namespace dravik
