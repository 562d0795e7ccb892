// Independent check of the Goudsmit-Saunderson distributions behind ELDAT.dat:
// follows N electrons through one walk step as a chain of single screened
// Rutherford collisions (Poisson number with mean Omega_0, each on H or O in
// proportion to their collision counts, full 3-D rotation) and compares the
// mean, a few quantiles and the large-angle tail mean with the GS values.
// Not part of the tests (it takes tens of seconds at 20 MeV).
//
// Usage: check_eldat_mc T_keV N [seed]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "multiple_scattering.h"
#include "simulation/transport/electron.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: check_eldat_mc T_keV N [seed]\n");
    return 2;
  }
  const float T = std::strtof(argv[1], nullptr);
  const int N = std::atoi(argv[2]);
  const unsigned long seed = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 12345UL;
  if (!(T > 0.0f) || N < 64) {
    std::fprintf(stderr, "check_eldat_mc: T must be positive and N at least 64\n");
    return 2;
  }
  const float s = 0.08299595f * T / dravik::stoppingPower(T);
  const double etaH = eldat::screeningParameter(1, T), etaO = eldat::screeningParameter(8, T);
  const double lambdaH = eldat::collisionCount(1, 2, T, s),
               lambdaO = eldat::collisionCount(8, 1, T, s);
  std::mt19937_64 engine(seed);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::poisson_distribution<int> collisions(lambdaH + lambdaO);
  std::vector<double> mu(static_cast<size_t>(N));
  for (double& out : mu) {
    double ux = 0.0, uy = 0.0, uz = 1.0;
    const int n = collisions(engine);
    for (int i = 0; i < n; ++i) {
      const double eta = uniform(engine) * (lambdaH + lambdaO) < lambdaH ? etaH : etaO;
      // inverse of the single-scattering distribution 2 eta (1 + eta) / (1 - mu + 2 eta)^2
      const double r = uniform(engine);
      const double w = 2.0 * eta * (1.0 - r) / (r + eta);  // 1 - cos
      const double c = 1.0 - w, st = std::sqrt(std::max(0.0, w * (2.0 - w)));
      const double phi = 2.0 * M_PI * uniform(engine), cp = std::cos(phi), sp = std::sin(phi);
      const double d = std::sqrt(std::max(0.0, 1.0 - uz * uz));
      if (d < 1e-12) {
        ux = st * cp;
        uy = st * sp;
        uz = uz > 0.0 ? c : -c;
        continue;
      }
      const double nx = c * ux + st * (ux * uz * cp - uy * sp) / d;
      const double ny = c * uy + st * (uy * uz * cp + ux * sp) / d;
      const double nz = c * uz - st * cp * d;
      const double norm = std::sqrt(nx * nx + ny * ny + nz * nz);
      ux = nx / norm;
      uy = ny / norm;
      uz = nz / norm;
    }
    out = uz;
  }
  std::sort(mu.begin(), mu.end(), std::greater<double>());
  double mean = 0.0;
  for (double v : mu) mean += v;
  mean /= N;
  const eldat::GoudsmitSaunderson gs(T, s);
  std::printf("T = %g keV, s = %.5f cm, %d electrons\n", static_cast<double>(T),
              static_cast<double>(s), N);
  std::printf("  1 - <cos>       MC %.5e   GS %.5e\n", 1.0 - mean, 1.0 - gs.analyticMeanCosine());
  for (double p : {0.25, 0.5, 1.0 - std::exp(-1.0), 0.9, 63.0 / 64.0}) {
    const double q = mu[static_cast<size_t>(p * N)];
    std::printf("  p = %.4f  1 - cos  MC %.5e   GS %.5e\n", p, 1.0 - q, 1.0 - gs.quantileCosine(p));
  }
  const size_t first = static_cast<size_t>(63.0 / 64.0 * N);
  double tail = 0.0;
  for (size_t k = first; k < mu.size(); ++k) tail += mu[k];
  tail /= static_cast<double>(mu.size() - first);
  std::printf("  tail mean cos   MC %.5f     GS %.5f\n", tail,
              gs.intervalMeanCosine(63.0 / 64.0, 1.0));
  return 0;
}
