#include "transport_setup.h"

#include <cmath>
#include <stdexcept>

#include "simulation/kernel.h"

namespace dravik::testing {

void fillPhotonTable(PhotonCoefficientTable& table, const Coefficients& mu) {
  const float energies[] = {1.0f, 10.0f, 100.0f, 1000.0f, 1022.0f, 2000.0f, 10000.0f, 30000.0f};
  table.rowCount = 8;
  for (int i = 1; i <= table.rowCount; ++i) {
    table.energy[i] = energies[i - 1];
    table.coherent[i] = mu.coherent;
    table.incoherent[i] = mu.incoherent;
    table.photoelectric[i] = mu.photoelectric;
    table.pair[i] = energies[i - 1] > 1022.0f ? mu.pair : 0.0f;
  }
  deriveLogarithms(table);
}

std::unique_ptr<Simulation> makeSimulation(const Coefficients& mu) {
  auto sim = std::make_unique<Simulation>();
  setUpPhantom(sim->shared.phantom);
  PhysicsTables& t = sim->shared.tables;
  fillPhotonTable(t.photon, mu);
  for (int k = 1; k <= kScatterRows; ++k) {
    const float x = 0.25f * static_cast<float>(k - 1);
    t.scatter.x[k] = x;
    t.scatter.C[k] = 1.0f - std::exp(-x);         // rises steeply, like a form factor
    t.scatter.S[k] = 1.0f - std::exp(-2.0f * x);  // 0 at x = 0, near 1 by x = 2
  }
  t.incoherentFunctionMax = t.scatter.S[kScatterRows];
  t.coherentCumulativeMax = t.scatter.C[kScatterRows];
  t.electronLossFraction = 0.08299595f;
  for (int k = 1; k <= kDeflectionEnergies; ++k) {
    t.deflection.energies[k] = 20000.0f * std::pow(0.75f, static_cast<float>(k - 1));
    for (int c = 1; c <= kDeflectionNodes; ++c) {
      // Wider deflections at lower energies; cosines fall from 1 with the quantile.
      const double q = (c - 1) / 64.0;
      const double spread = 0.002 * k;
      t.deflection.M(c, k) =
          static_cast<std::int32_t>(std::lround(16384.0 * (1.0 - spread * q * q)));
    }
  }
  return sim;
}

void scriptGenerator(LaggedAdditiveGenerator& rng, std::initializer_list<int> values) {
  if (values.size() > 24) throw std::invalid_argument("at most 24 scripted values");
  int j = rng.laggedIndex();
  int k = rng.currentIndex();
  for (int v : values) {
    const int m = LaggedAdditiveGenerator::kModulus;
    rng.setEntry(k, ((v - rng.entry(j)) % m + m) % m);
    if (--j == 0) j = LaggedAdditiveGenerator::kLength;
    if (--k == 0) k = LaggedAdditiveGenerator::kLength;
  }
}

int storedForPositive(double r) { return static_cast<int>(std::lround(r * 16384.1)) - 1; }
float positiveDeviate(int stored) { return static_cast<float>((stored + 1) / 16384.099609375); }
float zeroBasedDeviate(int stored) { return static_cast<float>(stored / 16384.099609375); }

double kernelTotal(const DoseKernel& kernel, int layer) {
  double sum = 0.0;
  for (int d = 1; d <= kDepthBins; ++d)
    for (int r = 1; r <= kRadialBins; ++r)
      for (int l = 1; l <= kLayers; ++l)
        if (layer == 0 || layer == l) sum += kernel.K(l, r, d);
  return sum;
}

}  // namespace dravik::testing
