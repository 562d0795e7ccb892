// Square-field TMR curves from the pencil-beam kernel, and the result file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "simulation/state.h"

namespace dravik {

constexpr float fieldSides[kFields] = {4, 6, 8, 10, 12, 15, 20, 25, 30, 35};  // [cm]

// Weight of ring i (mid-radius 0.2 i - 0.1 cm) in the square of half side a [cm]:
// the fraction of the ring's circumference inside the square.
float ringWeight(int ring, float halfSide);

// Ring count of field k: whole 0.2 cm rings within the half diagonal.
int ringCount(int field);

// Energy of each square field per depth bin from both kernel layers, before
// normalisation: adds to what `sums` holds (zero for a fresh table). Sums are
// formed ring by ring from the axis outwards in single precision.
void accumulateSquareFields(const DoseKernel& kernel, TmrTable& sums);

// Fills tmr from both kernel layers (accumulateSquareFields) and normalises each
// field to its maximum. Returns false when a field has no energy at all; that
// field is left unnormalised (all zero), the others are normalised.
bool synthesizeSquareFields(const DoseKernel& kernel, TmrTable& tmr);

// Writes the 305-line result file through a temporary file renamed over the
// target. Returns an error message, or nothing on success.
std::optional<std::string> writeResultFile(const std::filesystem::path& file, const TmrTable& tmr,
                                           const RunInput& input);

}  // namespace dravik
