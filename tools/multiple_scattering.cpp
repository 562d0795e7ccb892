#include "multiple_scattering.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace eldat {

namespace {

constexpr double SERIES_END = 1e-16;  // B_l below which the GS series is cut

double beta2Of(double T) {
  const double tau = T / ELECTRON_MASS;
  return tau * (tau + 2.0) / ((tau + 1.0) * (tau + 1.0));
}

// 1 - T_l, l = 0 ... L, for screening parameter eta. Q_l(xi) is the minimal
// solution of l Q_{l-1} = (2l + 1) xi Q_l - (l + 1) Q_{l+1} for xi > 1, so it is
// found by backward recurrence from far above L (Miller's method) and scaled to
// Q_0 = ln((xi + 1)/(xi - 1))/2 = ln(1 + 1/eta)/2. Q_l falls roughly as
// exp(-l a), a = acosh(xi); starting 50/a rows above L leaves a relative error
// of about exp(-50). xi Q_l is formed as Q_l + 2 eta Q_l so that the tiny eta
// is never lost in xi.
std::vector<double> momentDefects(double eta, int L) {
  const double a = std::acosh(1.0 + 2.0 * eta);
  const long start = L + static_cast<long>(std::ceil(50.0 / a)) + 20;
  std::vector<double> Q(static_cast<size_t>(L) + 2, 0.0);
  double above = 0.0, here = 1e-30;  // Q_{l+1}, Q_l for l = start
  for (long l = start; l >= 1; --l) {
    const double n = static_cast<double>(l);
    const double below = ((2.0 * n + 1.0) * (here + 2.0 * eta * here) - (n + 1.0) * above) / n;
    above = here;
    here = below;  // now Q_{l-1}
    if (l - 1 <= L + 1) Q[static_cast<size_t>(l - 1)] = here;
    if (std::abs(here) > 1e200) {
      above *= 1e-200;
      here *= 1e-200;
      for (long m = l - 1; m <= L + 1 && m <= start; ++m) Q[static_cast<size_t>(m)] *= 1e-200;
    }
  }
  const double scale = 0.5 * std::log1p(1.0 / eta) / Q[0];
  for (double& q : Q) q *= scale;
  std::vector<double> defect(static_cast<size_t>(L) + 1);
  defect[0] = 0.0;
  for (int l = 1; l <= L; ++l) {
    const double Tl = l * ((Q[l - 1] - Q[l]) - 2.0 * eta * Q[l]);
    defect[l] = 1.0 - Tl;
  }
  return defect;
}

}  // namespace

double screeningParameter(int Z, double T) {
  const double tau = T / ELECTRON_MASS;
  const double aZ = FINE_STRUCTURE * Z;
  return FINE_STRUCTURE * FINE_STRUCTURE * std::cbrt(double(Z) * Z) /
         (4.0 * 0.885 * 0.885 * tau * (tau + 2.0)) * (1.13 + 3.76 * aZ * aZ / beta2Of(T));
}

double collisionCount(int Z, int atomsPerMolecule, double T, double s) {
  const double pv = T * (T + 2.0 * ELECTRON_MASS) / (T + ELECTRON_MASS);  // [keV]
  const double k = CLASSICAL_RADIUS * ELECTRON_MASS / pv;                 // [cm]
  const double eta = screeningParameter(Z, T);
  const double sigma = M_PI * Z * (Z + 1.0) * k * k / (eta * (1.0 + eta));  // [cm^2]
  const double atoms = atomsPerMolecule * AVOGADRO / WATER_MOLAR_MASS;  // [1/cm^3], unit density
  return atoms * sigma * s;
}

double firstMomentDefect(double eta) {
  return 2.0 * eta * ((1.0 + eta) * std::log1p(1.0 / eta) - 1.0);
}

GoudsmitSaunderson::GoudsmitSaunderson(double T, double s) {
  const AtomScattering atoms[2] = {
      {1, screeningParameter(1, T), collisionCount(1, 2, T, s)},
      {8, screeningParameter(8, T), collisionCount(8, 1, T, s)},
  };
  omega0_ = atoms[0].lambda + atoms[1].lambda;
  unscattered_ = std::exp(-omega0_);
  analyticMean_ = std::exp(-(atoms[0].lambda * firstMomentDefect(atoms[0].eta) +
                             atoms[1].lambda * firstMomentDefect(atoms[1].eta)));
  // The series needs terms until B_l is negligible; B_l decays once l a >> 1 for
  // the atom with the smaller screening angle a.
  const double aMin = std::acosh(1.0 + 2.0 * std::min(atoms[0].eta, atoms[1].eta));
  const int L = static_cast<int>(std::ceil(45.0 / aMin)) + 50;
  const std::vector<double> dH = momentDefects(atoms[0].eta, L);
  const std::vector<double> dO = momentDefects(atoms[1].eta, L);
  B_.push_back(1.0 - unscattered_);
  for (int l = 1; l <= L; ++l) {
    const double b = std::exp(-(atoms[0].lambda * dH[l] + atoms[1].lambda * dO[l])) - unscattered_;
    if (b < SERIES_END) break;
    B_.push_back(b);
  }
  if (static_cast<int>(B_.size()) > L)
    throw std::runtime_error("GS series not converged at T = " + std::to_string(T) + " keV");
}

void GoudsmitSaunderson::evaluate(double mu, double& F, double& I) const {
  const int L = terms();
  // P_0 ... P_{L+2}(mu)
  std::vector<double> P(static_cast<size_t>(L) + 3);
  P[0] = 1.0;
  P[1] = mu;
  for (int n = 1; n + 1 <= L + 2; ++n)
    P[n + 1] = ((2.0 * n + 1.0) * mu * P[n] - n * P[n - 1]) / (n + 1.0);
  // J_n = integral of P_n over [-1, mu]
  auto J = [&](int n) { return n == 0 ? mu + 1.0 : (P[n + 1] - P[n - 1]) / (2.0 * n + 1.0); };
  F = B_[0] * (mu + 1.0) * 0.5;
  I = B_[0] * 0.5 * J(1);
  for (int l = 1; l <= L; ++l) {
    F += B_[l] * (P[l + 1] - P[l - 1]) * 0.5;
    I += B_[l] * 0.5 * ((l + 1.0) * J(l + 1) + l * J(l - 1));
  }
}

double GoudsmitSaunderson::cumulative(double mu) const {
  double F, I;
  evaluate(mu, F, I);
  return F;
}

double GoudsmitSaunderson::partialMean(double mu) const {
  double F, I;
  evaluate(mu, F, I);
  return I;
}

double GoudsmitSaunderson::quantileCosine(double p) const {
  if (p <= unscattered_) return 1.0;
  if (p >= 1.0) return -1.0;
  // P(angle <= theta) = 1 - F(cos theta); bisection in theta
  double lo = 0.0, hi = M_PI;
  for (int i = 0; i < 80; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (1.0 - cumulative(std::cos(mid)) < p)
      lo = mid;
    else
      hi = mid;
  }
  return std::cos(0.5 * (lo + hi));
}

double GoudsmitSaunderson::intervalMeanCosine(double p1, double p2) const {
  const double delta = std::max(0.0, std::min(p2, unscattered_) - p1);  // unscattered mass, cos = 1
  const double upper = quantileCosine(std::max(p1, unscattered_));
  const double lower = quantileCosine(p2);
  double Fu, Iu, Fl, Il;
  evaluate(upper, Fu, Iu);
  evaluate(lower, Fl, Il);
  return (delta + Iu - Il) / (delta + Fu - Fl);
}

double highlandWidth(double T, double s) {
  const double pv = T * (T + 2.0 * ELECTRON_MASS) / (T + ELECTRON_MASS) / 1000.0;  // beta c p [MeV]
  const double x = s / WATER_RADIATION_LENGTH;
  return 13.6 / pv * std::sqrt(x) * (1.0 + 0.038 * std::log(x / beta2Of(T)));
}

}  // namespace eldat
