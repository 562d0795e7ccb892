// Statistical uncertainty of the normalised square-field curves and of
// TPR20,10 from the independent batches of a batched run.
#pragma once

#include <array>
#include <vector>

#include "simulation/state.h"

namespace dravik {

// Field of TPR20,10 (10 cm x 10 cm) and its two depth bins (the bins ending at
// 20 cm and 10 cm), as the results window takes them from a result file.
constexpr int kTprField = 4;
constexpr int kTprDepth20 = 200;
constexpr int kTprDepth10 = 100;

struct TmrUncertainty {
  bool defined = false;   // false when some leave-one-out estimate has no maximum
  TmrTable sigma;         // 1 sigma of each normalised value T(k, depth), absolute
  double tprSigma = 0.0;  // 1 sigma of TPR20,10
};

// Jackknife over the batches: `fieldSums` holds each batch's unnormalised
// field energies (accumulateSquareFields of its kernel), at least two batches.
TmrUncertainty jackknifeUncertainty(const std::vector<TmrTable>& fieldSums);

// TPR20,10 of a normalised table: T(4, 200) / T(4, 100); 0 when T(4, 100) is 0.
double tprOf(const TmrTable& tmr);

// Depth bin of each field's maximum (the first bin holding the largest value).
std::array<int, kFields + 1> depthOfMaximum(const TmrTable& tmr);

}  // namespace dravik
