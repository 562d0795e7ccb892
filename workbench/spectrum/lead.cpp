#include "workbench/spectrum/lead.h"

#include <charconv>
#include <cmath>
#include <string>

#include "workbench/spectrum/free_form.h"

namespace corvane {
namespace {

Failure leadFailure(const std::string& file, const std::string& reason) {
  return Failure{file, reason, file + " を読めません: " + reason};
}

// A number as written in a message: the shortest text that reads back to it.
std::string shortest(double x) {
  char buffer[32];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, x);
  return std::string(buffer, r.ptr);
}

std::string rowText(int j) { return std::to_string(j) + " 行目のデータ"; }

}  // namespace

Status readLeadTable(const std::filesystem::path& file, LeadTable& table) {
  std::string name = file.filename().string();
  auto opened = FreeFormReader::open(file);
  if (!opened) return leadFailure(name, opened.failure().reason);
  FreeFormReader& in = opened.value();

  auto title = in.readText();
  if (!title) return leadFailure(name, "表題: " + title.failure().reason);
  auto n = in.readNumber();
  if (!n) return leadFailure(name, "データ行数: " + n.failure().reason);
  if (n.value() != std::floor(n.value()) || n.value() < 3 || n.value() > kMaxLeadRows)
    return leadFailure(
        name, "データ行数 " + shortest(n.value()) + " は 3 から 70 までの整数でなければなりません");
  auto multiplier = in.readNumber();
  if (!multiplier) return leadFailure(name, "係数の倍率: " + multiplier.failure().reason);

  LeadTable read;
  read.rowCount = static_cast<int>(n.value());
  for (int j = 1; j <= read.rowCount; ++j) {
    auto energy = in.readNumber();
    if (!energy) return leadFailure(name, rowText(j) + "のエネルギー: " + energy.failure().reason);
    read.leadTableEnergy[j] = energy.value() * 1000.0;
    double sum = 0.0;
    for (int c = 1; c <= 5; ++c) {
      auto coefficient = in.readNumber();
      if (!coefficient)
        return leadFailure(
            name, rowText(j) + "の係数 " + std::to_string(c) + ": " + coefficient.failure().reason);
      sum = sum + coefficient.value();  // summed in column order
    }
    read.leadTableMu[j] = sum * multiplier.value();
  }

  // What the interpolation needs: logarithms of energies and coefficients from row 2 on, a
  // strictly rising pair of rows 2 and 3, no falling energy, and a last row above bin 400.
  for (int j = 2; j <= read.rowCount; ++j) {
    double E = read.leadTableEnergy[j];
    double mu = read.leadTableMu[j];
    if (!std::isfinite(E) || E <= 0.0)
      return leadFailure(name, rowText(j) + "のエネルギーが正の数ではありません");
    if (!std::isfinite(mu) || mu <= 0.0)
      return leadFailure(name,
                         rowText(j) + "の減弱係数（5 つの係数の和 × 倍率）が正の数ではありません");
    if (j >= 3 && E < read.leadTableEnergy[j - 1])
      return leadFailure(name, rowText(j) + "のエネルギーが前の行より小さくなっています");
  }
  if (read.leadTableEnergy[3] == read.leadTableEnergy[2])
    return leadFailure(name, "2 行目と 3 行目のデータのエネルギーが同じです");
  if (read.leadTableEnergy[read.rowCount] <= binEnergy(kSpectrumBins))
    return leadFailure(name, "最後のデータのエネルギーが 19.975 MeV を超えていません");

  table = read;
  return {};
}

LeadCoefficients leadAttenuation(const LeadTable& table) {
  LeadCoefficients mu{};
  const auto& E = table.leadTableEnergy;
  const auto& M = table.leadTableMu;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    double k = binEnergy(i);
    // The first row j >= 3 above k; rows 1 and 2 never end the search.
    int j = 3;
    while (j < table.rowCount && k >= E[j]) ++j;
    double f = (std::log(k) - std::log(E[j - 1])) / (std::log(E[j]) - std::log(E[j - 1]));
    mu[i] = std::exp(std::log(M[j - 1]) + (std::log(M[j]) - std::log(M[j - 1])) * f);
  }
  return mu;
}

Status readLeadTable(const std::filesystem::path& file, LeadTable& table,
                     LeadCoefficients& coefficients) {
  LeadTable read;
  Status status = readLeadTable(file, read);
  if (!status) return status;
  table = read;
  coefficients = leadAttenuation(read);
  return {};
}

}  // namespace corvane
