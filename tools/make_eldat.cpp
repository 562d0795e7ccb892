// Writes ELDAT.dat: the distributions of the deflection cosine of one step of
// the electron walk in water, at 24 energies.
//
// Energies EL_1 ... EL_24, descending and log-spaced (four significant digits):
// EL_3 = 20 MeV, so that no electron of a run (at most 19975 keV) needs the
// extrapolation above EL_3, and EL_24 = 300 keV, below the 305 keV at which the
// walk stops stepping, so every stepped-walk step finds a bracketing row. EL_1
// and EL_2 continue the spacing upwards.
//
// Step: the walk's own, s = 0.08299595 T / stoppingPower(T) with the program's
// stopping power, evaluated in single precision exactly as the walk does.
//
// Distribution: Goudsmit-Saunderson theory for screened Rutherford scattering
// with Moliere's screening parameter, H2O as two H and one O atoms (formulas and
// references in multiple_scattering.h).
//
// Nodes: M(c, k), c = 1 ... 65, is cos theta at cumulative probability (c-1)/64
// of the deflection angle (so M(1, k) = 16384 for theta = 0 and the cosines
// descend), scaled by 16384 and rounded. The walk draws p uniformly and
// interpolates linearly between nodes, so each interval of 1/64 is sampled with
// the mean of its two end nodes. For the last interval, the large-angle tail, the
// true quantile at p = 1 would be the extreme cosine -1 and its straight line
// would spread 1/64 of all steps uniformly over the tail's range, far more
// large-angle scattering than the tail holds. The end node is therefore set to
// 2 <cos>_tail - M(64), which keeps the true conditional mean cosine of the tail.
// The other intervals keep their true quantiles; their trapezoid mean against the
// true conditional mean is checked and reported (--report).
//
// Layout (lines end in CR LF): 24 blocks of 9 lines, one per energy; a blank in
// column 1, then eight integers of six columns (the ninth line holds one); then
// six lines of four energies [keV], a blank in column 1 and 15 columns each
// (exponent form, 7 decimals).
//
// Usage: make_eldat [--output PATH] [--report]

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "multiple_scattering.h"
#include "simulation/transport/electron.h"

namespace {

constexpr int ENERGIES = 24;
constexpr int NODES = 65;
constexpr double SCALE = 16384.0;           // cos theta -> node integer
constexpr float WALK_SCALE = 6.10352e-05f;  // the walk's node integer -> cos theta
constexpr float LOSS_FRACTION = 0.08299595f;

struct Row {
  double energy;  // EL_k [keV], four significant digits as written; the walk reads it as a float
  float s;        // step length [cm]
  int M[NODES];
};

double roundSignificant(double v, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*E", digits - 1, v);
  return std::strtod(text, nullptr);
}

std::vector<double> deflectionEnergies() {
  const double ratio = std::pow(20000.0 / 300.0, 1.0 / 21.0);
  std::vector<double> EL;
  for (int k = 1; k <= ENERGIES; ++k)
    EL.push_back(roundSignificant(20000.0 * std::pow(ratio, 3 - k), 4));
  EL[2] = 20000.0;
  EL[ENERGIES - 1] = 300.0;
  return EL;
}

float stepLength(float T) { return LOSS_FRACTION * T / dravik::stoppingPower(T); }

// Mean of min(1, m * WALK_SCALE) over f uniform in [0, 1], m = a + (b - a) f:
// one interval of the walk's sampling, with its cut at cos theta = 1.
double walkIntervalMean(int a, int b) {
  const double ca = a * static_cast<double>(WALK_SCALE), cb = b * static_cast<double>(WALK_SCALE);
  if (ca <= 1.0 && cb <= 1.0) return 0.5 * (ca + cb);
  if (ca > 1.0 && cb > 1.0) return 1.0;
  const double hi = std::max(ca, cb), lo = std::min(ca, cb);
  const double cut = (hi - 1.0) / (hi - lo);  // share of the interval above 1
  return cut + (1.0 - cut) * 0.5 * (1.0 + lo);
}

double walkMeanCosine(const int* M) {
  double sum = 0.0;
  for (int c = 0; c + 1 < NODES; ++c) sum += walkIntervalMean(M[c], M[c + 1]);
  return sum / (NODES - 1);
}

// cos theta the walk samples at probability p (one row, no energy interpolation).
double walkQuantileCosine(const int* M, double p) {
  const double u = 64.0 * p;
  const int c = static_cast<int>(u);
  const double f = u - c;
  const double m = M[c] + (M[c + 1] - M[c]) * f;
  return std::min(1.0, m * static_cast<double>(WALK_SCALE));
}

struct Validation {
  double gsDefect, seriesDefect, tableDefect, extremeDefect;  // 1 - <cos theta>
  double worstInterval;  // largest |interval error| / 64 / gsDefect, c <= 63
  int worstC;
  double theta0Gs, theta0Table, theta0Highland;  // [rad]
  double xOverX0, collisions;
  int terms;
};

Row makeRow(double energy, Validation& v) {
  Row row{};
  row.energy = energy;
  const float T = static_cast<float>(energy);  // as the walk holds it
  row.s = stepLength(T);
  const eldat::GoudsmitSaunderson gs(T, row.s);
  double mu[NODES];
  for (int c = 1; c < NODES; ++c) mu[c - 1] = gs.quantileCosine((c - 1) / 64.0);
  for (int c = 1; c < NODES; ++c) row.M[c - 1] = static_cast<int>(std::lround(SCALE * mu[c - 1]));
  const double tailMean = gs.intervalMeanCosine(63.0 / 64.0, 1.0);
  int last = static_cast<int>(std::lround(2.0 * SCALE * tailMean - row.M[NODES - 2]));
  if (last < -16384) last = -16384;
  row.M[NODES - 1] = last;

  v.gsDefect = 1.0 - gs.analyticMeanCosine();
  v.seriesDefect = 1.0 - gs.seriesMeanCosine();
  v.tableDefect = 1.0 - walkMeanCosine(row.M);
  int extreme[NODES];
  std::memcpy(extreme, row.M, sizeof extreme);
  extreme[NODES - 1] = -16384;
  v.extremeDefect = 1.0 - walkMeanCosine(extreme);
  v.worstInterval = 0.0;
  v.worstC = 0;
  for (int c = 1; c <= 63; ++c) {
    const double trueMean = gs.intervalMeanCosine((c - 1) / 64.0, c / 64.0);
    const double e = (walkIntervalMean(row.M[c - 1], row.M[c]) - trueMean) / 64.0 / v.gsDefect;
    if (std::abs(e) > std::abs(v.worstInterval)) {
      v.worstInterval = e;
      v.worstC = c;
    }
  }
  // Width of the central part: for a Gaussian of projected width theta_0, the
  // space angle exceeds sqrt(2) theta_0 with probability 1/e.
  const double p = 1.0 - std::exp(-1.0);
  v.theta0Gs = std::acos(gs.quantileCosine(p)) / std::sqrt(2.0);
  v.theta0Table = std::acos(walkQuantileCosine(row.M, p)) / std::sqrt(2.0);
  v.theta0Highland = eldat::highlandWidth(T, row.s);
  v.xOverX0 = row.s / eldat::WATER_RADIATION_LENGTH;
  v.collisions = gs.collisions();
  v.terms = gs.terms();
  return row;
}

std::string eldatText(const std::vector<Row>& rows) {
  std::string text;
  char field[32];
  for (const Row& r : rows) {
    for (int c = 0; c < NODES; ++c) {
      if (c % 8 == 0) text += ' ';
      std::snprintf(field, sizeof field, "%6d", r.M[c]);
      text += field;
      if (c % 8 == 7 || c == NODES - 1) text += "\r\n";
    }
  }
  for (size_t k = 0; k < rows.size(); ++k) {
    if (k % 4 == 0) text += ' ';
    std::snprintf(field, sizeof field, "%15.7E", rows[k].energy);
    text += field;
    if (k % 4 == 3) text += "\r\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output = "ELDAT.dat";
  bool report = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
      output = argv[++i];
    } else if (std::strcmp(argv[i], "--report") == 0) {
      report = true;
    } else {
      std::fprintf(stderr, "usage: make_eldat [--output PATH] [--report]\n");
      return 2;
    }
  }
  std::vector<Row> rows;
  std::vector<Validation> checks;
  try {
    for (double T : deflectionEnergies()) {
      Validation v{};
      rows.push_back(makeRow(T, v));
      checks.push_back(v);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_eldat: %s\n", e.what());
    return 1;
  }
  std::FILE* f = std::fopen(output.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "make_eldat: cannot write %s\n", output.c_str());
    return 1;
  }
  const std::string text = eldatText(rows);
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !written) {
    std::fprintf(stderr, "make_eldat: writing %s failed\n", output.c_str());
    return 1;
  }
  std::printf("make_eldat: %d energies written to %s\n", ENERGIES, output.c_str());
  if (report) {
    std::printf(
        "  k   T [keV]   s [cm]    x/X0   Omega0 terms  1-<cos> GS  series/GS  table/GS  "
        "extreme-end/GS"
        "  worst other interval   theta0 GS  table  Highland  GS/Highland\n");
    for (size_t k = 0; k < rows.size(); ++k) {
      const Validation& v = checks[k];
      std::printf(
          "%3zu %9.1f %8.5f %8.2e %7.1f %5d  %10.4e  %9.6f  %8.4f  %8.3f        c=%2d %+8.4f   "
          "%9.5f %7.5f %7.5f  %7.3f\n",
          k + 1, rows[k].energy, static_cast<double>(rows[k].s), v.xOverX0, v.collisions, v.terms,
          v.gsDefect, v.seriesDefect / v.gsDefect, v.tableDefect / v.gsDefect,
          v.extremeDefect / v.gsDefect, v.worstC, v.worstInterval, v.theta0Gs, v.theta0Table,
          v.theta0Highland, v.theta0Gs / v.theta0Highland);
    }
  }
  return 0;
}
