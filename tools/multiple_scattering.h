// Angular deflection of an electron after a path s in water: Goudsmit-Saunderson
// multiple-scattering theory for screened Rutherford single scattering.
//
// Single scattering on an atom of atomic number Z (electron scattering included
// through Z(Z+1) instead of Z^2), with mu the cosine of the deflection:
//   dsigma/dOmega = Z(Z+1) (r_e m c^2 / (p v))^2 / (1 - mu + 2 eta)^2,
//   sigma = pi Z(Z+1) (r_e m c^2 / (p v))^2 / (eta (1 + eta)).
// Moliere's screening parameter (G. Moliere, Z. Naturforsch. 2a (1947) 133; in
// the form of H. A. Bethe, Phys. Rev. 89 (1953) 1256):
//   eta = chi_a^2 / 4,  chi_a^2 = (hbar / (p a))^2 (1.13 + 3.76 (alpha Z / beta)^2),
//   a = 0.885 a_0 Z^(-1/3) (Thomas-Fermi radius),
// so eta = alpha^2 Z^(2/3) / (4 * 0.885^2 * tau (tau + 2)) * (1.13 + 3.76 (alpha Z)^2 / beta^2).
// The Legendre moments of the normalised single-scattering distribution are
//   T_l = <P_l(mu)> = l (Q_{l-1}(xi) - xi Q_l(xi)),  xi = 1 + 2 eta,
// with Q_l the Legendre functions of the second kind (from
// integral P_l(mu) / (xi - mu)^2 dmu = -2 Q_l'(xi)); in particular
//   1 - T_1 = 2 eta ((1 + eta) ln(1 + 1/eta) - 1).
// Water is H2O: two hydrogen atoms and one oxygen atom per molecule. After a
// path s the transport coefficients add up, s G_l = sum over atoms of
// Lambda_Z (1 - T_l,Z), Lambda_Z = n_Z sigma_Z s the mean number of collisions,
// and the distribution of mu (S. Goudsmit and J. L. Saunderson, Phys. Rev. 57
// (1940) 24) is
//   f(mu) = sum_l (2l + 1)/2 exp(-s G_l) P_l(mu),
// whose term exp(-Omega_0), Omega_0 = sum Lambda_Z, is the unscattered fraction
// (a delta at mu = 1). It is split off, and the remaining coefficients
// B_l = exp(-s G_l) - exp(-Omega_0) fall to zero, so the series is summed until
// B_l < 1e-16. Energy loss along the path is not included: s is one step of the
// walk, and the table is used for the energy at the step's start.
#pragma once

#include <vector>

namespace eldat {

// Physical constants (CODATA 2018) and water.
constexpr double ELECTRON_MASS = 510.99895;             // m c^2 [keV]
constexpr double CLASSICAL_RADIUS = 2.8179403262e-13;   // r_e [cm]
constexpr double FINE_STRUCTURE = 1.0 / 137.035999084;  // alpha
constexpr double AVOGADRO = 6.02214076e23;              // [1/mol]
constexpr double WATER_MOLAR_MASS = 18.01528;           // [g/mol], H2O
constexpr double WATER_RADIATION_LENGTH = 36.08;        // X_0 [cm] at unit density

// Screened Rutherford scattering on one kind of atom along a path.
struct AtomScattering {
  int Z = 0;
  double eta = 0.0;     // Moliere screening parameter
  double lambda = 0.0;  // mean number of collisions on the path, Lambda_Z
};

// Moliere's screening parameter for atomic number Z at kinetic energy T [keV].
double screeningParameter(int Z, double T);

// Mean number of collisions with atoms of atomic number Z (atomsPerMolecule per
// water molecule) along a path s [cm] at kinetic energy T [keV].
double collisionCount(int Z, int atomsPerMolecule, double T, double s);

// 1 - T_1 for screened Rutherford scattering with screening parameter eta.
double firstMomentDefect(double eta);

// The GS distribution of the deflection cosine after a path s [cm] at kinetic
// energy T [keV] in water.
class GoudsmitSaunderson {
 public:
  GoudsmitSaunderson(double T, double s);

  double unscattered() const { return unscattered_; }  // exp(-Omega_0)
  double collisions() const { return omega0_; }        // Omega_0
  int terms() const { return static_cast<int>(B_.size()) - 1; }
  // <cos theta> = exp(-s G_1) from the closed form of 1 - T_1 (no series).
  double analyticMeanCosine() const { return analyticMean_; }
  // <cos theta> from the series: B_1 + exp(-Omega_0) (checks the moments T_l).
  double seriesMeanCosine() const { return (B_.size() > 1 ? B_[1] : 0.0) + unscattered_; }
  // P(cos theta <= mu) without the unscattered delta at mu = 1.
  double cumulative(double mu) const;
  // integral of mu' dF(mu') over [-1, mu], delta at 1 excluded.
  double partialMean(double mu) const;
  // Both at once (one Legendre sweep).
  void evaluate(double mu, double& F, double& I) const;
  // cos theta at which P(deflection angle <= theta) = p, 0 <= p <= 1.
  double quantileCosine(double p) const;
  // Mean cosine over the probability interval [p1, p2] of the deflection angle,
  // p1 < p2 (the unscattered delta counts as the smallest angles).
  double intervalMeanCosine(double p1, double p2) const;

 private:
  std::vector<double> B_;  // B_l, l = 0 ... L
  double unscattered_ = 0.0;
  double omega0_ = 0.0;
  double analyticMean_ = 0.0;
};

// Highland's width theta_0 [rad] of the central part of the projected angular
// distribution (V. L. Highland, NIM 129 (1975) 497, in the form of G. R. Lynch
// and O. I. Dahl, NIM B58 (1991) 6): 13.6 MeV / (beta c p) sqrt(x/X_0)
// (1 + 0.038 ln(x / (X_0 beta^2))), stated accurate to 11 % for
// 1e-3 < x/X_0 < 100.
double highlandWidth(double T, double s);

}  // namespace eldat
