// The shipped data files, read by the programs' own readers, against the
// requirements of the transport and of the spectrum and against their sources.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "multiple_scattering.h"
#include "simulation/physics_data.h"
#include "simulation/transport/electron.h"
#include "simulation/transport/photon.h"
#include "workbench/spectrum/bins.h"
#include "workbench/spectrum/lead.h"

namespace {

const std::filesystem::path kData = SHIPPED_DATA_DIR;

std::string bytesOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---------------------------------------------------------------- all files

class LineEndings : public ::testing::TestWithParam<const char*> {};

TEST_P(LineEndings, EveryLineEndsInCrLf) {
  const std::string text = bytesOf(kData / GetParam());
  ASSERT_FALSE(text.empty()) << GetParam();
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n") << GetParam();
  int line = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r')
          << GetParam() << ", line " << line << " ends in LF only";
      ++line;
    } else if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << GetParam() << ", line " << line;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ShippedFiles, LineEndings,
                         ::testing::Values("water20.dat", "ELDAT.dat", "Lead.dat"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           return name.substr(0, name.find('.'));
                         });

// ---------------------------------------------------------------- water20.dat

class Water : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto error = dravik::readWaterData(tables, kData / "water20.dat");
    ASSERT_FALSE(error) << error->message();
  }
  dravik::PhysicsTables tables;
};

TEST_F(Water, CoefficientRowsMeetTheTrackersNeeds) {
  const auto& t = tables.photon;
  ASSERT_GE(t.rowCount, 2);
  ASSERT_LE(t.rowCount, dravik::kMaxCoefficientRows);
  EXPECT_FLOAT_EQ(t.energy[1], 1.0f);         // 1 keV
  EXPECT_GE(t.energy[t.rowCount], 30000.0f);  // beyond the highest source energy, 19975 keV
  bool threshold = false;
  for (int i = 1; i <= t.rowCount; ++i) {
    SCOPED_TRACE("row " + std::to_string(i) + ", E = " + std::to_string(t.energy[i]) + " keV");
    if (i > 1) {
      EXPECT_GT(t.energy[i], t.energy[i - 1]);
    }
    EXPECT_GT(t.coherent[i], 0.0f);
    EXPECT_GT(t.incoherent[i], 0.0f);
    EXPECT_GT(t.photoelectric[i], 0.0f);
    if (t.energy[i] <= dravik::PAIR_THRESHOLD) {
      EXPECT_EQ(t.pair[i], 0.0f);
    } else {
      EXPECT_GT(t.pair[i], 0.0f);
    }
    // 1.022E+00 MeV times 1000 in single precision
    threshold = threshold || std::abs(t.energy[i] - dravik::PAIR_THRESHOLD) < 0.001f;
  }
  EXPECT_TRUE(threshold) << "no row at the pair threshold 1022 keV";
}

TEST_F(Water, NoPairProductionBelowThresholdNorJustAboveTheThresholdRow) {
  // The row after 1022 keV is the next XCOM energy, 1250 keV: the interval
  // between holds a zero and so gives no pair production at all.
  for (float E : {511.0f, 1000.0f, 1021.9f, 1022.0f, 1100.0f, 1249.0f}) {
    EXPECT_EQ(dravik::lookupCoefficients(tables.photon, E).pair, 0.0f) << E << " keV";
  }
  EXPECT_GT(dravik::lookupCoefficients(tables.photon, 1250.0f).pair, 0.0f);
}

// NIST XCOM, water by mass fractions H 0.111894, O 0.888106, at XCOM energies
// that are not rows of the file (from pymca-data's H.mat and O.mat) [cm^-1].
struct XcomWater {
  float E;  // [keV]
  double coherent, incoherent, photoelectric, pair;
};
constexpr XcomWater kXcomWater[] = {
    {40.0f, 2.8742e-02, 1.8275e-01, 5.6797e-02, 0.0},
    {250.0f, 8.9251e-04, 1.2577e-01, 1.4285e-04, 0.0},
    {450.0f, 2.7722e-04, 1.0090e-01, 2.5069e-05, 0.0},
    {600.0f, 1.5614e-04, 8.9392e-02, 1.1731e-05, 0.0},
    {800.0f, 8.7898e-05, 7.8563e-02, 5.9203e-06, 0.0},
    {1000.0f, 5.6268e-05, 7.0660e-02, 3.6805e-06, 0.0},
    {9000.0f, 6.9511e-07, 1.8456e-02, 1.5588e-07, 4.6725e-03},
    {11000.0f, 4.6520e-07, 1.5950e-02, 1.2476e-07, 5.4742e-03},
    {14000.0f, 2.8722e-07, 1.3330e-02, 9.5911e-08, 6.4662e-03},
    {18000.0f, 1.7374e-07, 1.1015e-02, 7.3311e-08, 7.5264e-03},
    {20000.0f, 1.4074e-07, 1.0158e-02, 6.5556e-08, 7.9743e-03},
    {26000.0f, 8.3292e-08, 8.2780e-03, 4.9777e-08, 9.0977e-03},
};

void expectRelative(double actual, double expected, double tolerance, const char* what) {
  if (expected == 0.0) {
    EXPECT_EQ(actual, 0.0) << what;
  } else {
    EXPECT_LE(std::abs(actual / expected - 1.0), tolerance)
        << what << ": " << actual << " against " << expected;
  }
}

TEST_F(Water, LogLogInterpolationReproducesXcomBetweenRows) {
  for (const XcomWater& x : kXcomWater) {
    SCOPED_TRACE("E = " + std::to_string(x.E) + " keV");
    const auto mu = dravik::lookupCoefficients(tables.photon, x.E);
    // 1 % for the incoherent and pair coefficients above 50 keV, 2 % otherwise.
    const double strict = x.E > 50.0f ? 0.01 : 0.02;
    expectRelative(mu.incoherent, x.incoherent, strict, "incoherent");
    expectRelative(mu.pair, x.pair, 0.01, "pair");
    expectRelative(mu.coherent, x.coherent, 0.02, "coherent");
    expectRelative(mu.photoelectric, x.photoelectric, 0.02, "photoelectric");
  }
}

TEST_F(Water, ScatterFactorRowsAscendBeyondTheComptonLimit) {
  const auto& s = tables.scatter;
  EXPECT_EQ(s.x[1], 0.0f);
  EXPECT_GE(s.x[dravik::kScatterRows], 10.0f);  // the Compton correction looks up every x < 10
  for (int k = 2; k <= dravik::kScatterRows; ++k) {
    SCOPED_TRACE("row " + std::to_string(k));
    EXPECT_GT(s.x[k], s.x[k - 1]);
    EXPECT_GT(s.C[k], s.C[k - 1]);
    EXPECT_GE(s.S[k], s.S[k - 1]);
  }
  EXPECT_EQ(tables.coherentCumulativeMax, s.C[dravik::kScatterRows]);
  EXPECT_EQ(tables.incoherentFunctionMax, s.S[dravik::kScatterRows]);
  // S saturates at the electron count of H2O, 10.
  EXPECT_NEAR(s.S[dravik::kScatterRows], 10.0f, 1e-4f);
  // Near x = 0, F^2 = 2 F_H^2 + F_O^2 -> 2 + 64, so C = 66 x^2 (F still within 0.2 % of Z at the
  // second row).
  EXPECT_NEAR(s.C[2] / (66.0f * s.x[2] * s.x[2]), 1.0f, 0.004f);
}

// C and S of water at momentum transfers between rows: Hubbell's form factors and
// incoherent functions (xraylib FF_Rayl, SF_Compt), C integrated by Simpson's
// rule with step 0.0005 1/Angstrom; C(12) = 10.93582.
struct ScatterReference {
  float x, C, S;
};
constexpr ScatterReference kScatterReference[] = {
    {0.005f, 1.64953e-03f, 5.20940e-03f}, {0.05f, 1.60684e-01f, 4.77620e-01f},
    {0.1f, 5.95856e-01f, 1.66212e+00f},   {0.2f, 1.84216e+00f, 4.33668e+00f},
    {0.3f, 3.00173e+00f, 6.16672e+00f},   {0.5f, 4.48689e+00f, 7.81804e+00f},
    {0.7f, 5.41144e+00f, 8.40982e+00f},   {1.0f, 6.58242e+00f, 8.90090e+00f},
    {1.5f, 8.30899e+00f, 9.46200e+00f},   {2.0f, 9.51205e+00f, 9.76420e+00f},
    {3.0f, 1.05081e+01f, 9.95700e+00f},   {5.0f, 1.08907e+01f, 9.99770e+00f},
    {8.0f, 1.09316e+01f, 1.00000e+01f},
};

TEST_F(Water, LinearInterpolationOfScatterFactorsFollowsTheirSources) {
  const auto& s = tables.scatter;
  for (const ScatterReference& r : kScatterReference) {
    SCOPED_TRACE("x = " + std::to_string(r.x));
    int k = 2;
    while (s.x[k] <= r.x) ++k;  // the samplers' search
    const float t = (r.x - s.x[k - 1]) / (s.x[k] - s.x[k - 1]);
    const float C = s.C[k - 1] + (s.C[k] - s.C[k - 1]) * t;
    const float S = s.S[k - 1] + (s.S[k] - s.S[k - 1]) * t;
    // Only the ratios to the last row enter the sampling; 1e-3 of them.
    EXPECT_NEAR(C / s.C[dravik::kScatterRows], r.C / 10.93582f, 1e-3f);
    EXPECT_NEAR(S / s.S[dravik::kScatterRows], r.S / 10.0f, 1e-3f);
  }
}

// ---------------------------------------------------------------- ELDAT.dat

class Deflection : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto error = dravik::readDeflectionData(table, kData / "ELDAT.dat");
    ASSERT_FALSE(error) << error->message();
  }
  dravik::DeflectionTable table;

  // Step length of the walk at energy T [keV], as the walk computes it.
  static float step(float T) { return 0.08299595f * T / dravik::stoppingPower(T); }

  // Mean of cos theta as the walk samples row k (p uniform, linear between
  // nodes, cosine cut at 1).
  double walkMeanCosine(int k) const {
    double sum = 0.0;
    for (int c = 1; c <= 64; ++c) {
      const double a = table.M(c, k) * 6.10352e-05, b = table.M(c + 1, k) * 6.10352e-05;
      if (a <= 1.0) {
        sum += 0.5 * (a + b);
      } else {  // a > 1 >= b or both above 1
        const double cut = b >= 1.0 ? 1.0 : (a - 1.0) / (a - b);
        sum += cut + (1.0 - cut) * 0.5 * (1.0 + b);
      }
    }
    return sum / 64.0;
  }
  // cos theta the walk samples in row k at probability p.
  double walkQuantile(int k, double p) const {
    const int c = static_cast<int>(64.0 * p) + 1;
    const double f = 64.0 * p - (c - 1);
    const double m = table.M(c, k) + (table.M(c + 1, k) - table.M(c, k)) * f;
    return std::min(1.0, m * 6.10352e-05);
  }
};

TEST_F(Deflection, EnergiesCoverEveryStepOfARunWithoutExtrapolation) {
  for (int k = 2; k <= dravik::kDeflectionEnergies; ++k) {
    EXPECT_LT(table.energies[k], table.energies[k - 1]) << "k = " << k;
  }
  EXPECT_GE(table.energies[3],
            20000.0f);                    // the highest electron energy of a run is below 19975 keV
  EXPECT_LE(table.energies[24], 305.0f);  // every step above 305 keV finds a row k in 4 ... 24
}

TEST_F(Deflection, NodeCosinesFallMonotonicallyFromOne) {
  for (int k = 1; k <= dravik::kDeflectionEnergies; ++k) {
    SCOPED_TRACE("k = " + std::to_string(k));
    EXPECT_EQ(table.M(1, k), 16384);  // zero deflection at probability 0
    for (int c = 2; c <= dravik::kDeflectionNodes; ++c) {
      EXPECT_LE(table.M(c, k), table.M(c - 1, k)) << "c = " << c;
    }
    EXPECT_GE(table.M(65, k), -16384);
  }
}

// The scattering strength 1 - <cos theta> implied by each row, exactly as the
// walk samples it, against the Goudsmit-Saunderson value 1 - exp(-s G_1), G_1
// from the closed form of the first transport cross section of screened
// Rutherford scattering (independent of the series behind the nodes).
TEST_F(Deflection, MeanCosineOfEachRowMatchesGoudsmitSaunderson) {
  for (int k = 1; k <= dravik::kDeflectionEnergies; ++k) {
    const double T = table.energies[k];
    const double s = step(table.energies[k]);
    double sG1 = 0.0;
    for (auto [Z, n] : {std::pair{1, 2}, std::pair{8, 1}}) {
      sG1 += eldat::collisionCount(Z, n, T, s) *
             eldat::firstMomentDefect(eldat::screeningParameter(Z, T));
    }
    const double expected = 1.0 - std::exp(-sG1);
    const double actual = 1.0 - walkMeanCosine(k);
    EXPECT_NEAR(actual / expected, 1.0, 0.05) << "T = " << T << " keV";
  }
}

// Width of the central part: for a Gaussian of projected width theta_0 the space
// angle exceeds sqrt(2) theta_0 with probability 1/e. Highland's formula claims
// 11 % for 1e-3 < x/X_0 < 100, which holds here from about 1 MeV up.
TEST_F(Deflection, CentralWidthMatchesHighlandWhereItApplies) {
  int compared = 0;
  for (int k = 1; k <= dravik::kDeflectionEnergies; ++k) {
    const double T = table.energies[k];
    const double s = step(table.energies[k]);
    if (s / eldat::WATER_RADIATION_LENGTH < 1e-3) continue;
    const double theta0 = std::acos(walkQuantile(k, 1.0 - std::exp(-1.0))) / std::sqrt(2.0);
    EXPECT_NEAR(theta0 / eldat::highlandWidth(T, s), 1.0, 0.11) << "T = " << T << " keV";
    ++compared;
  }
  EXPECT_GE(compared, 15);
}

// ---------------------------------------------------------------- Lead.dat

class Lead : public ::testing::Test {
 protected:
  void SetUp() override {
    const corvane::Status status = corvane::readLeadTable(kData / "Lead.dat", table, mu);
    ASSERT_TRUE(status.ok()) << status.failure().message;
  }
  corvane::LeadTable table;
  corvane::LeadCoefficients mu{};
};

TEST_F(Lead, RowsMeetTheSpectrumsNeeds) {
  ASSERT_LE(table.rowCount, corvane::kMaxLeadRows);
  EXPECT_LE(table.leadTableEnergy[2], corvane::binEnergy(1));  // no bin extrapolates below row 2
  EXPECT_GT(table.leadTableEnergy[3], corvane::binEnergy(1));
  EXPECT_GT(table.leadTableEnergy[table.rowCount], corvane::binEnergy(corvane::kSpectrumBins));
  int edge = 0;
  for (int j = 3; j <= table.rowCount; ++j) {
    EXPECT_GE(table.leadTableEnergy[j], table.leadTableEnergy[j - 1]) << "row " << j;
    if (table.leadTableEnergy[j] == table.leadTableEnergy[j - 1]) {
      edge = j - 1;
      EXPECT_NEAR(table.leadTableEnergy[j], 88.004,
                  1e-9);  // the K edge, the only edge above 20 keV
      EXPECT_GT(table.leadTableMu[j], 4.0 * table.leadTableMu[j - 1]);  // above-edge row second
    }
  }
  EXPECT_GE(edge, 3) << "the K edge must come as two rows at row 3 or later";
}

// NIST XCOM, lead (pymca-data's Pb.mat): sum of the five partials x 11.35 g/cm^3
// at the XCOM energies around a bin centre [cm^-1]. Each bin lies between them,
// on the correct side of the K edge.
struct LeadBracket {
  int bin;
  double muBelow, muAbove;  // at the XCOM energies just below and above the bin centre
};
constexpr LeadBracket kLeadBrackets[] = {
    {1, 9.8034e+02, 3.4410e+02},    // 25 keV: 20 and 30 keV
    {2, 5.6973e+01, 2.7460e+01},    // 75 keV: 60 and 80 keV, below the K edge
    {3, 6.2982e+01, 2.2865e+01},    // 125 keV: 100 and 150 keV, above the K edge
    {20, 8.4572e-01, 8.0606e-01},   // 975 keV: 950 keV and 1 MeV
    {400, 6.8111e-01, 7.0434e-01},  // 19975 keV: 18 and 20 MeV, where pair production makes mu rise
};

TEST_F(Lead, BinCoefficientsLieBetweenTheSurroundingXcomValues) {
  for (const LeadBracket& b : kLeadBrackets) {
    const double lo = std::min(b.muBelow, b.muAbove), hi = std::max(b.muBelow, b.muAbove);
    EXPECT_GT(mu[b.bin], lo) << "bin " << b.bin;
    EXPECT_LT(mu[b.bin], hi) << "bin " << b.bin;
  }
}

}  // namespace
