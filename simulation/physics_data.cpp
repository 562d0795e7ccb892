#include "simulation/physics_data.h"

#include <cmath>
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
    }
    photon.energy[i] = f[0] * 1000.0f;  // MeV -> keV
    photon.coherent[i] = f[1];
    photon.incoherent[i] = f[2];
    photon.photoelectric[i] = f[3];
    photon.pair[i] = f[4] + f[5];  // nuclear plus electron field
  }
  deriveLogarithms(photon);

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
      table.M(c, k) = value;
    }
  }
  // Six lines of four energies [keV] in exponent form.
  for (int k = 1; k <= kDeflectionEnergies; ++k) {
    const int line = 9 * kDeflectionEnergies + 1 + (k - 1) / 4;
    const int first = 2 + ((k - 1) % 4) * 15;
    if (auto e = in.fixedReal(line, first, first + 14, table.energies[k])) return e;
  }
  return std::nullopt;
}

InputResult readPhysicsData(PhysicsTables& tables, const std::filesystem::path& folder) {
  if (auto e = readWaterData(tables, folder / "water20.dat")) return e;
  return readDeflectionData(tables.deflection, folder / "ELDAT.dat");
}

}  // namespace dravik
