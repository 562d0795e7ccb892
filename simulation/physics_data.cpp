#include "simulation/physics_data.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "simulation/text_input.h"

namespace dravik {

namespace {

constexpr float kElectronLossFraction = 0.08299595f;  // close to 1 - 2^(-1/8)

// Column ranges of the fields of a coefficient row and of a scatter-factor row.
constexpr int kCoefficientColumns[6][2] = {{1, 9},   {10, 19}, {20, 29},
                                           {30, 39}, {40, 49}, {50, 59}};
constexpr int kScatterColumns[3][2] = {{1, 10}, {11, 22}, {23, 34}};

}  // namespace

void deriveLogarithms(PhotonCoefficientTable& table) {
  for (int i = 1; i <= table.rowCount; ++i) {
    table.lnEnergy[i] = std::log(table.energy[i]);
    table.lnCoherent[i] = std::log(table.coherent[i]);
    table.lnIncoherent[i] = std::log(table.incoherent[i]);
    table.lnPhotoelectric[i] = std::log(table.photoelectric[i]);
    table.lnPair[i] = table.pair[i] == 0.0f ? 0.0f : std::log(table.pair[i]);
  }
}

namespace {

std::string shown(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4g", v);
  return buffer;
}

const char* const kCoefficientNames[6] = {"the energy",
                                          "the coherent coefficient",
                                          "the incoherent coefficient",
                                          "the photoelectric coefficient",
                                          "the nuclear-field pair coefficient",
                                          "the electron-field pair coefficient"};

// A coefficient [cm^-1] as it stands in its field: positive and within the bounds,
// or exactly 0 where `zeroAllowed`.
InputResult checkCoefficient(const TextInput& in, int line, int column, float v, bool zeroAllowed) {
  const int first = kCoefficientColumns[column][0];
  const int last = kCoefficientColumns[column][1];
  const std::string name = kCoefficientNames[column];
  if (v == 0.0f && zeroAllowed) return std::nullopt;
  if (v < 0.0f) return in.fieldError(line, first, last, name + " is negative");
  if (v == 0.0f) {
    return in.fieldError(line, first, last,
                         name +
                             " reads as 0 (zero, or too small for single precision); it "
                             "must be positive");
  }
  if (v < kMinCoefficient) {
    return in.fieldError(line, first, last,
                         name + " is below " + shown(kMinCoefficient) +
                             " cm^-1, too small for single-precision interpolation");
  }
  if (v > kMaxCoefficient) {
    return in.fieldError(line, first, last,
                         name + " is above " + shown(kMaxCoefficient) +
                             " cm^-1, beyond any coefficient of water at unit density");
  }
  return std::nullopt;
}

// The coefficient rows as a whole: energies strictly ascending (also in the
// logarithms the interpolation divides by), starting at or below the cut-off,
// and no pair production at or below its threshold.
InputResult checkCoefficientRows(const TextInput& in, const PhotonCoefficientTable& t) {
  const int eFirst = kCoefficientColumns[0][0], eLast = kCoefficientColumns[0][1];
  for (int i = 1; i <= t.rowCount; ++i) {
    const int line = i + 2;
    if (!(t.energy[i] > 0.0f) || !std::isfinite(t.energy[i]))
      return in.fieldError(line, eFirst, eLast, "the energy must be positive and finite");
    if (i > 1 && !(t.lnEnergy[i] > t.lnEnergy[i - 1])) {
      return in.fieldError(line, eFirst, eLast,
                           "the energies must rise strictly from row to row (previous row " +
                               shown(t.energy[i - 1] / 1000.0f) + " MeV)");
    }
    if (t.pair[i] > 0.0f && t.energy[i] <= PAIR_THRESHOLD) {
      return in.fieldError(line, kCoefficientColumns[4][0], kCoefficientColumns[5][1],
                           "a pair coefficient at or below the 1.022 MeV threshold must be 0");
    }
    if (t.pair[i] > 0.0f && t.pair[i] < kMinCoefficient) {
      return in.fieldError(line, kCoefficientColumns[4][0], kCoefficientColumns[5][1],
                           "the pair coefficient is below " + shown(kMinCoefficient) +
                               " cm^-1, too small for single-precision interpolation");
    }
  }
  if (t.energy[1] > kMaxFirstEnergy) {
    return in.fieldError(3, eFirst, eLast,
                         "the first energy must not exceed " + shown(kMaxFirstEnergy / 1000.0f) +
                             " MeV, the photon cut-off, so that no photon is extrapolated below "
                             "the table");
  }
  return std::nullopt;
}

// Scatter factors: x strictly ascending from at least 0 to at least 10 (at most
// kMaxMomentumTransfer), C and S non-negative, non-decreasing, at most
// kMaxScatterFactor, with positive last values (their ratios to the last values
// are a cumulative distribution and an acceptance probability).
InputResult checkScatterFactors(const TextInput& in, int firstLine, const ScatterFactorTable& f) {
  const char* names[3] = {"x", "C", "S"};
  for (int k = 1; k <= kScatterRows; ++k) {
    const int line = firstLine + k - 1;
    const float values[3] = {f.x[k], f.C[k], f.S[k]};
    const float previous[3] = {f.x[k - 1], f.C[k - 1], f.S[k - 1]};
    const float limit[3] = {kMaxMomentumTransfer, kMaxScatterFactor, kMaxScatterFactor};
    for (int c = 0; c < 3; ++c) {
      const int first = kScatterColumns[c][0], last = kScatterColumns[c][1];
      const std::string name = names[c];
      if (values[c] < 0.0f) return in.fieldError(line, first, last, name + " is negative");
      if (values[c] > limit[c])
        return in.fieldError(line, first, last, name + " is above " + shown(limit[c]));
      if (k == 1) continue;
      if (c == 0 && !(values[c] > previous[c])) {
        return in.fieldError(
            line, first, last,
            "x must rise strictly from row to row (previous row " + shown(previous[c]) + ")");
      }
      if (c > 0 && values[c] < previous[c]) {
        return in.fieldError(
            line, first, last,
            name + " must not fall from row to row (previous row " + shown(previous[c]) + ")");
      }
    }
  }
  const int last = firstLine + kScatterRows - 1;
  if (f.x[kScatterRows] < kMinLastMomentumTransfer) {
    return in.fieldError(last, kScatterColumns[0][0], kScatterColumns[0][1],
                         "the last x must be at least 10 (the incoherent correction looks up "
                         "every x below 10)");
  }
  if (!(f.C[kScatterRows] > 0.0f))
    return in.fieldError(last, kScatterColumns[1][0], kScatterColumns[1][1],
                         "the last C must be positive");
  if (!(f.S[kScatterRows] > 0.0f))
    return in.fieldError(last, kScatterColumns[2][0], kScatterColumns[2][1],
                         "the last S must be positive");
  return std::nullopt;
}

}  // namespace

InputResult readWaterData(PhysicsTables& tables, const std::filesystem::path& file) {
  TextInput in;
  if (auto e = TextInput::open(file, in)) return e;

  int N = 0;
  if (auto e = in.fixedInteger(1, 1, 3, N)) return e;
  if (N < kMinCoefficientRows || N > kMaxCoefficientRows) {
    return in.error(1, "the coefficient row count is " + std::to_string(N) + "; it must lie in " +
                           std::to_string(kMinCoefficientRows) + " ... " +
                           std::to_string(kMaxCoefficientRows));
  }
  float unused = 0.0f;  // line 2: the density, read and not used
  if (auto e = in.fixedReal(2, 1, 9, unused)) return e;

  PhotonCoefficientTable& photon = tables.photon;
  photon.rowCount = N;
  for (int i = 1; i <= N; ++i) {
    float f[6];
    for (int c = 0; c < 6; ++c) {
      if (auto e =
              in.fixedReal(i + 2, kCoefficientColumns[c][0], kCoefficientColumns[c][1], f[c])) {
        return e;
      }
      if (c > 0) {
        if (auto e = checkCoefficient(in, i + 2, c, f[c], c >= 4)) return e;
      }
    }
    photon.energy[i] = f[0] * 1000.0f;  // MeV -> keV
    photon.coherent[i] = f[1];
    photon.incoherent[i] = f[2];
    photon.photoelectric[i] = f[3];
    photon.pair[i] = f[4] + f[5];  // nuclear plus electron field
  }
  deriveLogarithms(photon);
  if (auto e = checkCoefficientRows(in, photon)) return e;

  ScatterFactorTable& scatter = tables.scatter;
  for (int k = 1; k <= kScatterRows; ++k) {
    float* targets[3] = {&scatter.x[k], &scatter.C[k], &scatter.S[k]};
    for (int c = 0; c < 3; ++c) {
      if (auto e =
              in.fixedReal(N + 2 + k, kScatterColumns[c][0], kScatterColumns[c][1], *targets[c])) {
        return e;
      }
    }
  }
  if (auto e = checkScatterFactors(in, N + 3, scatter)) return e;

  tables.incoherentFunctionMax = scatter.S[kScatterRows];
  tables.coherentCumulativeMax = scatter.C[kScatterRows];
  tables.electronLossFraction = kElectronLossFraction;
  return std::nullopt;
}

InputResult readDeflectionData(DeflectionTable& table, const std::filesystem::path& file) {
  TextInput in;
  if (auto e = TextInput::open(file, in)) return e;

  // 24 blocks of nine lines: eight lines of eight integers and one of a single
  // integer, each after an ignored first column.
  for (int k = 1; k <= kDeflectionEnergies; ++k) {
    const int firstLine = (k - 1) * 9 + 1;
    for (int c = 1; c <= kDeflectionNodes; ++c) {
      const int line = firstLine + (c - 1) / 8;
      const int first = 2 + ((c - 1) % 8) * 6;
      int value = 0;
      if (auto e = in.fixedInteger(line, first, first + 5, value)) return e;
      if (value < -kMaxDeflectionCosine || value > kMaxDeflectionCosine) {
        return in.fieldError(line, first, first + 5,
                             "a deflection cosine (times 16384) must lie in -16384 ... 16384");
      }
      // A quantile of the deflection angle: the angle never shrinks, so the
      // cosine never rises, as the cumulative probability grows.
      if (c > 1 && value > table.M(c - 1, k)) {
        return in.fieldError(line, first, first + 5,
                             "the deflection cosine rises with the probability (previous value " +
                                 std::to_string(table.M(c - 1, k)) + "); it must not");
      }
      table.M(c, k) = value;
    }
  }
  // Six lines of four energies [keV] in exponent form.
  for (int k = 1; k <= kDeflectionEnergies; ++k) {
    const int line = 9 * kDeflectionEnergies + 1 + (k - 1) / 4;
    const int first = 2 + ((k - 1) % 4) * 15;
    if (auto e = in.fixedReal(line, first, first + 14, table.energies[k])) return e;
    if (!(table.energies[k] > 0.0f))
      return in.fieldError(line, first, first + 14, "a deflection energy must be positive");
    if (k > 1 && !(table.energies[k] < table.energies[k - 1])) {
      return in.fieldError(line, first, first + 14,
                           "the deflection energies must fall strictly (previous value " +
                               shown(table.energies[k - 1]) + " keV)");
    }
  }
  return std::nullopt;
}

InputResult readPhysicsData(PhysicsTables& tables, const std::filesystem::path& folder) {
  if (auto e = readWaterData(tables, folder / "water20.dat")) return e;
  return readDeflectionData(tables.deflection, folder / "ELDAT.dat");
}

}  // namespace dravik
