#include "simulation/uncertainty.h"

#include <cmath>

namespace dravik {

namespace {

constexpr int kCells = kFields * kDepthBins;

// Leave-one-out estimate without batch `left`: each field's sums over the other
// batches divided by their maximum over depth, and the TPR20,10 ratio. Returns
// false when a field has no energy without that batch.
bool leaveOneOut(const std::vector<double>& total, const TmrTable& left, std::vector<double>& tmr,
                 double& tpr) {
  for (int k = 1; k <= kFields; ++k) {
    const int row = (k - 1) * kDepthBins;
    double m = 0.0;
    for (int d = 0; d < kDepthBins; ++d) {
      const double v = total[row + d] - static_cast<double>(left.values[row + d]);
      tmr[row + d] = v;
      if (v > m) m = v;
    }
    if (!(m > 0.0)) return false;
    for (int d = 0; d < kDepthBins; ++d) tmr[row + d] /= m;
  }
  const int row = (kTprField - 1) * kDepthBins;
  const double at10 = tmr[row + kTprDepth10 - 1];
  if (!(at10 > 0.0)) return false;
  tpr = tmr[row + kTprDepth20 - 1] / at10;
  return true;
}

}  // namespace

// Estimator: the delete-one-batch jackknife. Every TMR value is a ratio (the
// energy of a depth bin over the largest of the field's 300 bins) and TPR20,10
// is a ratio of two such values, so their errors are not those of the depth
// bins alone: the maximum and the two depths are correlated through the same
// histories. Batch means of per-batch normalised curves would measure the
// spread of a different quantity (each batch divided by its own, noisier
// maximum), and error propagation would need every covariance with the bin of
// the maximum. The jackknife recomputes the whole estimator, normalisation and
// ratio included, on each of the B sets that leave one batch out, and
//   var = (B - 1)/B * sum_j (theta_j - mean theta)^2,
// which carries the correlations automatically. Assumptions: the batches are
// independent and alike (own generator streams, equal shares of every bin to
// within one history), and the estimator is smooth in the batch sums; ratios
// are. The maximum has a kink where two depth bins nearly tie; there the
// replicates switch bins and the estimate errs on the large side. At the depth
// of the maximum itself every replicate gives 1, so the stated uncertainty is 0.
TmrUncertainty jackknifeUncertainty(const std::vector<TmrTable>& fieldSums) {
  TmrUncertainty out;
  const int B = static_cast<int>(fieldSums.size());
  if (B < 2) return out;
  std::vector<double> total(kCells, 0.0);
  for (const TmrTable& f : fieldSums)
    for (int c = 0; c < kCells; ++c) total[c] += static_cast<double>(f.values[c]);

  std::vector<double> replicate(kCells), mean(kCells, 0.0), squares(kCells, 0.0);
  double tpr = 0.0, tprMean = 0.0, tprSquares = 0.0;
  for (const TmrTable& f : fieldSums) {
    if (!leaveOneOut(total, f, replicate, tpr)) return out;
    for (int c = 0; c < kCells; ++c) mean[c] += replicate[c];
    tprMean += tpr;
  }
  for (int c = 0; c < kCells; ++c) mean[c] /= B;
  tprMean /= B;
  // Second pass: deviations from the mean (no cancellation of large sums).
  for (const TmrTable& f : fieldSums) {
    leaveOneOut(total, f, replicate, tpr);
    for (int c = 0; c < kCells; ++c) {
      const double d = replicate[c] - mean[c];
      squares[c] += d * d;
    }
    tprSquares += (tpr - tprMean) * (tpr - tprMean);
  }
  const double factor = static_cast<double>(B - 1) / B;
  for (int c = 0; c < kCells; ++c)
    out.sigma.values[c] = static_cast<float>(std::sqrt(factor * squares[c]));
  out.tprSigma = std::sqrt(factor * tprSquares);
  out.defined = true;
  return out;
}

double tprOf(const TmrTable& tmr) {
  const double at10 = tmr.T(kTprField, kTprDepth10);
  if (at10 == 0.0) return 0.0;
  return static_cast<double>(tmr.T(kTprField, kTprDepth20)) / at10;
}

std::array<int, kFields + 1> depthOfMaximum(const TmrTable& tmr) {
  std::array<int, kFields + 1> at{};
  for (int k = 1; k <= kFields; ++k) {
    int best = 1;
    for (int d = 2; d <= kDepthBins; ++d)
      if (tmr.T(k, d) > tmr.T(k, best)) best = d;
    at[k] = best;
  }
  return at;
}

}  // namespace dravik
