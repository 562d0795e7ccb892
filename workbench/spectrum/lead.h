// Lead filter attenuation: Lead.dat and the linear attenuation coefficient per spectrum bin.
#pragma once

#include <array>
#include <filesystem>

#include "workbench/spectrum/bins.h"
#include "workbench/spectrum/failure.h"

namespace corvane {

constexpr int kMaxLeadRows = 70;

// Lead.dat in memory; rows 1 ... rowCount, slot 0 unused.
struct LeadTable {
  int rowCount = 0;
  std::array<double, kMaxLeadRows + 1> leadTableEnergy{};  // [keV] (the file holds MeV)
  std::array<double, kMaxLeadRows + 1> leadTableMu{};      // [cm^-1] (c1 + ... + c5) x multiplier
};

// Linear attenuation coefficient of lead at the centre of bin i [cm^-1], i = 1 ... 400; slot 0
// unused.
using LeadCoefficients = std::array<double, kSpectrumBins + 1>;

// Reads Lead.dat (free form: title, n, multiplier, then n rows of energy [MeV] and five partial
// coefficients) and checks it: 3 <= n <= 70, every value present and a number, energies and row
// sums from row 2 on positive, energies non-decreasing from row 2 on with rows 2 and 3 different,
// the last energy above 19975 keV. On failure `table` is left unchanged and the message names the
// file and what is wrong.
Status readLeadTable(const std::filesystem::path& file, LeadTable& table);

// Log-log interpolation of `table` at every bin centre: the bracket is the first row j >= 3 whose
// energy is above the bin centre and the row before it (below row 2 the line through rows 2 and 3
// is extended). An edge written as two rows of one energy is never interpolated across. Expects a
// table that readLeadTable accepted.
LeadCoefficients leadAttenuation(const LeadTable& table);

// Both steps, as the spectrum window does at load: reads `file` and fills `coefficients`;
// on failure both are left unchanged.
Status readLeadTable(const std::filesystem::path& file, LeadTable& table,
                     LeadCoefficients& coefficients);

}  // namespace corvane
