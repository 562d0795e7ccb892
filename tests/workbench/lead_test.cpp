// Lead.dat: reading, checks, and the log-log interpolation to the bin centres.
#include "workbench/spectrum/lead.h"

#include <gtest/gtest.h>

#include <cmath>

#include "test_folder.h"

namespace corvane {
namespace {

const std::filesystem::path kFixtures = WORKBENCH_FIXTURES;

// The log-log line through rows (E1, mu1) and (E2, mu2) at k, as the interpolation forms it.
double logLog(double k, double E1, double mu1, double E2, double mu2) {
  double f = (std::log(k) - std::log(E1)) / (std::log(E2) - std::log(E1));
  return std::exp(std::log(mu1) + (std::log(mu2) - std::log(mu1)) * f);
}

// lead_edge.dat: rows at 1, 20, 60, 88, 88, 150, 175 and 25000 keV; an edge at 88 keV
// (7 below, 30 above) and a row exactly on the centre of bin 4 (175 keV).
TEST(LeadTable, EdgeRowsAreNeverInterpolatedAcross) {
  LeadTable table;
  LeadCoefficients mu{};
  Status status = readLeadTable(kFixtures / "lead_edge.dat", table, mu);
  ASSERT_TRUE(status.ok()) << status.failure().message;
  EXPECT_EQ(table.rowCount, 8);
  EXPECT_EQ(table.leadTableEnergy[4], 88.0);
  // Bin 1 (25 keV): the search starts at row 3, so rows 2 and 3 bracket it, never row 1.
  EXPECT_DOUBLE_EQ(mu[1], logLog(25, 20, 80, 60, 20));
  // Bin 2 (75 keV), below the edge: up to the first 88 keV row, the coefficient below the edge.
  EXPECT_DOUBLE_EQ(mu[2], logLog(75, 60, 20, 88, 7));
  // Bin 3 (125 keV), above the edge: from the second 88 keV row.
  EXPECT_DOUBLE_EQ(mu[3], logLog(125, 88, 30, 150, 9));
  // Bin 4 (175 keV) lies on row 7: the bracket is rows 7 and 8 with f = 0.
  EXPECT_DOUBLE_EQ(mu[4], 6.0);
  EXPECT_DOUBLE_EQ(mu[400], logLog(19975, 175, 6, 25000, 0.5));
}

TEST(LeadTable, BelowRowTwoTheLineThroughRowsTwoAndThreeIsExtended) {
  testing::TestFolder folder;
  auto file = folder.write(
      "Lead.dat", "t,4,1\n0.001,9,0,0,0,0\n0.030,40,0,0,0,0\n0.060,10,0,0,0,0\n21,0.4,0,0,0,0\n");
  LeadTable table;
  LeadCoefficients mu{};
  ASSERT_TRUE(readLeadTable(file, table, mu).ok());
  EXPECT_DOUBLE_EQ(mu[1], logLog(25, 30, 40, 60, 10));
  EXPECT_GT(mu[1], 40.0);
}

TEST(LeadTable, MultiplierAndColumnsMeetOnlyAsAProduct) {
  testing::TestFolder folder;
  // Mass coefficients [cm^2/g] with the density 11.35 as multiplier, and the same already
  // multiplied by the density with a multiplier of 1.
  auto mass = folder.write(
      "mass.dat",
      "Pb,3,11.35\n0.001,1,2,3,4,5\n0.01,0.1,0.2,0.3,0.4,0.5\n30,0.01,0.02,0.03,0.01,0\n");
  auto linear =
      folder.write("linear.dat",
                   "Pb,3,1\n0.001,11.35,22.7,34.05,45.4,56.75\n0.01,1.135,2.27,3.405,4.54,5.675\n"
                   "30,0.1135,0.227,0.3405,0.1135,0\n");
  LeadTable a, b;
  LeadCoefficients muA{}, muB{};
  ASSERT_TRUE(readLeadTable(mass, a, muA).ok());
  ASSERT_TRUE(readLeadTable(linear, b, muB).ok());
  for (int i = 1; i <= kSpectrumBins; ++i) EXPECT_NEAR(muA[i], muB[i], 1e-12 * muA[i]) << i;
}

struct BadLead {
  const char* name;
  const char* content;  // nullptr: no file at all
  const char* reason;   // a fragment of the reason
};

const char* const kGoodRows = "0.001,1,0,0,0,0\n0.01,1,0,0,0,0\n0.1,1,0,0,0,0\n";

const BadLead kBadLeads[] = {
    {"Missing", nullptr, "ファイルがない"},
    {"TooFewRows", "t,2,1\n0.01,1,0,0,0,0\n30,1,0,0,0,0\n", "3 から 70"},
    {"TooManyRows", "t,71,1\n", "3 から 70"},
    {"RowCountNotWhole", "t,3.5,1\n", "3 から 70"},
    {"RowCountNotANumber", "t,many,1\n", "データ行数"},
    {"ValueNotANumber", "t,3,1\n0.001,1,0,0,0,0\n0.01,1,x,0,0,0\n30,1,0,0,0,0\n",
     "2 行目のデータの係数 2"},
    {"FileEndsEarly", "t,3,1\n0.001,1,0,0,0,0\n0.01,1,0,0,0,0\n30,1,0\n", "3 行目のデータの係数 3"},
    {"EnergiesDoNotReachBin400", "t,3,1\n0.001,1,0,0,0,0\n0.01,1,0,0,0,0\n19.975,1,0,0,0,0\n",
     "19.975"},
    {"ZeroEnergy", "t,3,1\n0.001,1,0,0,0,0\n0,1,0,0,0,0\n30,1,0,0,0,0\n",
     "2 行目のデータのエネルギー"},
    {"ZeroRowSum", "t,3,1\n0.001,1,0,0,0,0\n0.01,1,0,0,0,0\n30,1,-1,0,0,0\n",
     "3 行目のデータの減弱係数"},
    {"NegativeMultiplier", "t,3,-11.35\n0.001,1,0,0,0,0\n0.01,1,0,0,0,0\n30,1,0,0,0,0\n",
     "減弱係数"},
    {"FallingEnergy", "t,4,1\n0.001,1,0,0,0,0\n0.01,1,0,0,0,0\n0.1,1,0,0,0,0\n0.05,1,0,0,0,0\n",
     "前の行より小さく"},
    {"RowsTwoAndThreeEqual", "t,3,1\n0.001,1,0,0,0,0\n0.01,1,0,0,0,0\n0.01,2,0,0,0,0\n",
     "2 行目と 3 行目"},
};

class LeadTableFailure : public ::testing::TestWithParam<BadLead> {};

TEST_P(LeadTableFailure, NamesTheFileAndLeavesTheTablesUnchanged) {
  const BadLead& c = GetParam();
  testing::TestFolder folder;
  std::filesystem::path file = folder / "Lead.dat";
  if (c.content) folder.write("Lead.dat", c.content);
  LeadTable table;
  table.rowCount = 5;
  LeadCoefficients mu{};
  mu[1] = 0.75;
  Status status = readLeadTable(file, table, mu);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.failure().file, "Lead.dat");
  EXPECT_NE(status.failure().message.find("Lead.dat"), std::string::npos);
  EXPECT_NE(status.failure().reason.find(c.reason), std::string::npos) << status.failure().reason;
  EXPECT_EQ(table.rowCount, 5);
  EXPECT_EQ(mu[1], 0.75);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeadTableFailure, ::testing::ValuesIn(kBadLeads),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(LeadTable, GoodRowsFixtureOfTheFailureTableIsAccepted) {
  // The failure cases differ from this accepted table by one fault each.
  testing::TestFolder folder;
  auto file = folder.write("Lead.dat", std::string("t,4,1\n") + kGoodRows + "30,1,0,0,0,0\n");
  LeadTable table;
  EXPECT_TRUE(readLeadTable(file, table).ok());
}

TEST(LeadTable, ShippedLeadDat) {
  const std::filesystem::path file = std::filesystem::path(SHIPPED_DATA) / "Lead.dat";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "data/Lead.dat not there yet";
  LeadTable table;
  LeadCoefficients mu{};
  Status status = readLeadTable(file, table, mu);
  ASSERT_TRUE(status.ok()) << status.failure().message;
  for (int i = 1; i <= kSpectrumBins; ++i) ASSERT_GT(mu[i], 0.0) << i;
  // NIST XCOM, lead: mu/rho with coherent scattering 0.0710 cm^2/g at 1 MeV and 0.0427 cm^2/g
  // at 5 MeV; times 11.35 g/cm^3. Bins 20 (975 keV) and 100 (4975 keV) lie within 3 %.
  EXPECT_NEAR(mu[20], 0.0710 * 11.35 * 1.025, 0.03 * 0.0710 * 11.35);
  EXPECT_NEAR(mu[100], 0.0427 * 11.35, 0.03 * 0.0427 * 11.35);
}

}  // namespace
}  // namespace corvane
