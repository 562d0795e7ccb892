#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "simulation/physics_data.h"
#include "simulation/run_input.h"
#include "test_files.h"

namespace dravik {
namespace {

using testing::fixture;
using testing::readLines;
using testing::ScratchFolder;
using testing::spectrumLines;
using testing::writeLines;

// ------------------------------------------------------------------ water20.dat

TEST(ReadWaterData, FillsTablesFromTheFixedColumns) {
  PhysicsTables t;
  ASSERT_FALSE(readWaterData(t, fixture("water20.dat")));
  EXPECT_EQ(t.photon.rowCount, 3);
  EXPECT_FLOAT_EQ(t.photon.energy[1], 1.0f);  // 1.000E-03 MeV -> 1 keV
  EXPECT_FLOAT_EQ(t.photon.energy[2], 1022.0f);
  EXPECT_FLOAT_EQ(t.photon.energy[3], 30000.0f);
  EXPECT_FLOAT_EQ(t.photon.coherent[1], 1.0f);
  EXPECT_FLOAT_EQ(t.photon.incoherent[1], 2.0f);
  EXPECT_FLOAT_EQ(t.photon.photoelectric[1], 3.0f);
  EXPECT_EQ(t.photon.pair[2], 0.0f);               // both pair fields zero: exactly 0
  EXPECT_EQ(t.photon.pair[3], 4.0e-2f + 5.0e-3f);  // nuclear plus electron field
  EXPECT_FLOAT_EQ(t.scatter.x[45], 11.0f);
  EXPECT_FLOAT_EQ(t.scatter.C[45], 450.0f);
  EXPECT_FLOAT_EQ(t.scatter.S[45], 4.5f);
  EXPECT_EQ(t.coherentCumulativeMax, t.scatter.C[45]);
  EXPECT_EQ(t.incoherentFunctionMax, t.scatter.S[45]);
  EXPECT_EQ(t.electronLossFraction, 0.08299595f);
}

TEST(ReadWaterData, AcceptsLfOnlyLinesAndIgnoresLine2AndTrailingLines) {
  ScratchFolder dir;
  auto lines = readLines(fixture("water20.dat"));
  lines[1] = " 7.777777";
  lines.push_back("anything after the table is not read");
  writeLines(dir / "water20.dat", lines, "\n");
  PhysicsTables a, b;
  ASSERT_FALSE(readWaterData(a, dir / "water20.dat"));
  ASSERT_FALSE(readWaterData(b, fixture("water20.dat")));
  EXPECT_EQ(a.photon.energy, b.photon.energy);
  EXPECT_EQ(a.scatter.S, b.scatter.S);
}

struct Malformed {
  const char* name;
  int line;  // 1-based line to replace; 0 = truncate the file to `keep` lines
  const char* replacement;
  int keep;
  const char* expected;  // part of the message
};

void PrintTo(const Malformed& m, std::ostream* os) { *os << m.name; }

class MalformedWater : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedWater, StopsWithAMessageNamingFileAndLine) {
  const Malformed& m = GetParam();
  ScratchFolder dir;
  auto lines = readLines(fixture("water20.dat"));
  if (m.line > 0)
    lines[m.line - 1] = m.replacement;
  else
    lines.resize(m.keep);
  writeLines(dir / "water20.dat", lines);
  PhysicsTables t;
  const auto e = readWaterData(t, dir / "water20.dat");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->file, "water20.dat");
  EXPECT_NE(e->message().find(m.expected), std::string::npos) << e->message();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedWater,
    ::testing::Values(
        Malformed{"RowCountAboveCapacity", 1, " 47", 0, "line 1: the coefficient row count is 47"},
        Malformed{"RowCountBelowTwo", 1, "  1", 0, "must lie in 2 ... 46"},
        Malformed{"RowCountNotANumber", 1, "abc", 0, "line 1: columns 1-3 hold \"abc\""},
        Malformed{"CoefficientNotANumber", 4, "1.022E+00 5.000E-01 x.xxxE-01", 0,
                  "line 4: columns 20-29 hold \"x.xxxE-01\", which is not a number"},
        Malformed{"RealWithoutDecimalPoint", 3, "1.000E-03         1", 0,
                  "line 3: columns 10-19 hold \"1\", a number written without its decimal point"},
        Malformed{"ScatterRowCut", 0, "", 30,
                  "line 31: line missing (the file ends after line 30)"}),
    [](const auto& p) { return std::string(p.param.name); });

// A value the transport cannot use: the field is replaced (right-aligned in its
// columns) and the reader must refuse it, naming file, line and columns.
struct Unphysical {
  const char* name;
  int line, first, last;  // the field to replace (fixture water20.dat: rows on lines 3-5
                          // at 1 keV, 1022 keV, 30 MeV; scatter rows on lines 6-50)
  const char* text;
  const char* expected;  // part of the message
};

void PrintTo(const Unphysical& u, std::ostream* os) { *os << u.name; }

std::string withField(std::string line, int first, int last, const std::string& text) {
  const auto width = static_cast<std::size_t>(last - first + 1);
  if (line.size() < static_cast<std::size_t>(last))
    line.resize(static_cast<std::size_t>(last), ' ');
  line.replace(static_cast<std::size_t>(first - 1), width,
               std::string(width - text.size(), ' ') + text);
  return line;
}

class UnphysicalWater : public ::testing::TestWithParam<Unphysical> {};

TEST_P(UnphysicalWater, IsRefusedNamingLineAndColumns) {
  const Unphysical& u = GetParam();
  ScratchFolder dir;
  auto lines = readLines(fixture("water20.dat"));
  lines[u.line - 1] = withField(lines[u.line - 1], u.first, u.last, u.text);
  writeLines(dir / "water20.dat", lines);
  PhysicsTables t;
  const auto e = readWaterData(t, dir / "water20.dat");
  ASSERT_TRUE(e) << "accepted " << u.text;
  EXPECT_NE(e->message().find(std::string("Input error: water20.dat, line ") +
                              std::to_string(u.line) + ": columns " + std::to_string(u.first)),
            std::string::npos)
      << e->message();
  EXPECT_NE(e->message().find(u.expected), std::string::npos) << e->message();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnphysicalWater,
    ::testing::Values(
        Unphysical{"CoherentZero", 3, 10, 19, "0.000E+00", "the coherent coefficient reads as 0"},
        Unphysical{"IncoherentNegative", 4, 20, 29, "-2.500E-01",
                   "the incoherent coefficient is negative"},
        Unphysical{"PhotoelectricBelowSinglePrecision", 5, 30, 39, "1.000E-50",
                   "too small for single precision"},
        Unphysical{"CoherentTooSmallToInterpolate", 5, 10, 19, "1.000E-35",
                   "the coherent coefficient is below 1e-30"},
        Unphysical{"CoherentHuge", 4, 10, 19, "3.400E+38",
                   "beyond any coefficient of water at unit density"},
        Unphysical{"CoherentBeyondSinglePrecision", 4, 10, 19, "1.000E+39",
                   "a number too large for single precision"},
        Unphysical{"IncoherentAboveBound", 3, 20, 29, "2.000E+04", "is above 1e+04"},
        Unphysical{"PairNegative", 5, 50, 59, "-5.000E-03",
                   "the electron-field pair coefficient is negative"},
        Unphysical{"PairBelowThreshold", 4, 40, 49, "1.000E-03", "at or below the 1.022 MeV"},
        Unphysical{"EnergyRepeated", 4, 1, 9, "1.000E-03", "the energies must rise strictly"},
        Unphysical{"EnergyFalling", 5, 1, 9, "1.000E+00", "the energies must rise strictly"},
        Unphysical{"EnergyZero", 3, 1, 9, "0.000E+00", "the energy must be positive"},
        Unphysical{"FirstEnergyAboveCutoff", 3, 1, 9, "1.000E-02",
                   "the first energy must not exceed"},
        Unphysical{"ScatterXNotRising", 7, 1, 10, "0.000E+00", "x must rise strictly"},
        Unphysical{"CoherentCumulativeFalling", 20, 11, 22, "1.00000E+00",
                   "C must not fall from row to row"},
        Unphysical{"CoherentCumulativeHuge", 50, 11, 22, "3.40000E+38", "C is above 1e+30"},
        Unphysical{"IncoherentFunctionNegative", 10, 23, 34, "-1.00000E-01", "S is negative"},
        Unphysical{"IncoherentFunctionFalling", 30, 23, 34, "1.00000E-01",
                   "S must not fall from row to row"},
        Unphysical{"LastIncoherentFunctionNegative", 50, 23, 34, "-4.50000E+00", "S is negative"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ReadWaterData, LastScatterRowMustReachTenAndHoldPositiveFactors) {
  {
    // x halved (0 ... 5.5): the incoherent correction would look up x beyond the table.
    ScratchFolder dir;
    auto lines = readLines(fixture("water20.dat"));
    for (int line = 6; line <= 50; ++line) {
      char x[16];
      std::snprintf(x, sizeof x, "%.3E", 0.125 * (line - 6));
      lines[line - 1] = withField(lines[line - 1], 1, 10, x);
    }
    writeLines(dir / "water20.dat", lines);
    PhysicsTables t;
    const auto e = readWaterData(t, dir / "water20.dat");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message(),
              "Input error: water20.dat, line 50: columns 1-10 hold \"5.500E+00\", the last x must "
              "be at least 10 (the incoherent correction looks up every x below 10)");
  }
  // All C (or all S) zero: the ratio to the last value has nothing to divide by.
  for (int column : {1, 2}) {
    ScratchFolder dir;
    auto lines = readLines(fixture("water20.dat"));
    for (int line = 6; line <= 50; ++line) {
      lines[line - 1] = column == 1 ? withField(lines[line - 1], 11, 22, "0.00000E+00")
                                    : withField(lines[line - 1], 23, 34, "0.00000E+00");
    }
    writeLines(dir / "water20.dat", lines);
    PhysicsTables t;
    const auto e = readWaterData(t, dir / "water20.dat");
    ASSERT_TRUE(e) << column;
    EXPECT_NE(e->message().find(column == 1 ? "line 50: columns 11-22 hold \"0.00000E+00\", the "
                                              "last C must be positive"
                                            : "line 50: columns 23-34 hold \"0.00000E+00\", the "
                                              "last S must be positive"),
              std::string::npos)
        << e->message();
  }
}

TEST(ReadWaterData, MissingFileIsNamed) {
  ScratchFolder dir;
  PhysicsTables t;
  const auto e = readPhysicsData(t, dir.path());
  ASSERT_TRUE(e);
  EXPECT_EQ(e->message(),
            "Input error: water20.dat: the file cannot be opened (No such file or directory)");
}

// ------------------------------------------------------------------ ELDAT.dat

TEST(ReadDeflectionData, BlocksOfNineLinesAndTheEnergies) {
  DeflectionTable d;
  ASSERT_FALSE(readDeflectionData(d, fixture("ELDAT.dat")));
  // Fixture: M(c, k) = 16384 - 100 k - c with a digit in the ignored column 1.
  for (int k : {1, 13, 24}) {
    for (int c : {1, 8, 9, 64, 65}) EXPECT_EQ(d.M(c, k), 16384 - 100 * k - c) << c << "," << k;
  }
  EXPECT_FLOAT_EQ(d.energies[1], 20000.0f);
  EXPECT_NEAR(d.energies[24], 20000.0 / std::pow(1.2, 23), 1e-3);
}

TEST(ReadDeflectionData, BlockSqueezedOntoEightLinesIsNotRead) {
  // All 65 integers squeezed onto fewer lines shift every later block: the
  // reader still takes its columns, and the block ends up wrong or incomplete.
  ScratchFolder dir;
  auto lines = readLines(fixture("ELDAT.dat"));
  lines[7] += "  9999";            // a 65th value appended to line 8 of block 1 ...
  lines.erase(lines.begin() + 8);  // ... and its own line 9 removed
  writeLines(dir / "ELDAT.dat", lines);
  DeflectionTable d;
  const auto e = readDeflectionData(d, dir / "ELDAT.dat");
  ASSERT_TRUE(e);  // the energies now start one line early and are integers: not a real there
  EXPECT_EQ(e->file, "ELDAT.dat");
}

TEST(ReadDeflectionData, TruncatedFileNamesTheMissingLine) {
  ScratchFolder dir;
  auto lines = readLines(fixture("ELDAT.dat"));
  lines.resize(220);
  writeLines(dir / "ELDAT.dat", lines);
  DeflectionTable d;
  const auto e = readDeflectionData(d, dir / "ELDAT.dat");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->message(),
            "Input error: ELDAT.dat, line 221: line missing (the file ends after line 220)");
}

TEST(ReadDeflectionData, RefusesCosinesAndEnergiesTheWalkCannotUse) {
  // Fixture line 1: columns 2-7 hold M(1, 1) = 16283, 8-13 M(2, 1) = 16282; the
  // energies (20000 keV falling by 1.2) fill lines 217-222 in 15-column fields.
  struct Case {
    const char* name;
    int line, first, last;
    const char* text;
    const char* expected;
  } cases[] = {
      {"cosine above 16384", 1, 2, 7, "16385", "must lie in -16384 ... 16384"},
      {"cosine below -16384", 9, 2, 7, "-16385", "must lie in -16384 ... 16384"},
      {"cosine rising with probability", 1, 8, 13, "16300",
       "the deflection cosine rises with the probability (previous value 16283)"},
      {"energy zero", 217, 2, 16, "0.0000000E+00", "a deflection energy must be positive"},
      {"energy negative", 222, 47, 61, "-3.0000000E+02", "a deflection energy must be positive"},
      {"energy rising", 218, 2, 16, "2.0000000E+04", "the deflection energies must fall strictly"},
  };
  for (const auto& c : cases) {
    ScratchFolder dir;
    auto lines = readLines(fixture("ELDAT.dat"));
    lines[c.line - 1] = withField(lines[c.line - 1], c.first, c.last, c.text);
    writeLines(dir / "ELDAT.dat", lines);
    DeflectionTable d;
    const auto e = readDeflectionData(d, dir / "ELDAT.dat");
    ASSERT_TRUE(e) << c.name;
    EXPECT_NE(e->message().find("Input error: ELDAT.dat, line " + std::to_string(c.line) +
                                ": columns " + std::to_string(c.first)),
              std::string::npos)
        << c.name << ": " << e->message();
    EXPECT_NE(e->message().find(c.expected), std::string::npos) << c.name << ": " << e->message();
  }
}

// ------------------------------------------------------------------ S_SPCTL.dat and B2F.dat

class RunInputFiles : public ::testing::Test {
 protected:
  void write(const std::vector<double>& fluence, const std::vector<std::string>& b2f,
             const std::string& eol = "\r\n") {
    writeLines(dir / "S_SPCTL.dat", spectrumLines(fluence), eol);
    writeLines(dir / "B2F.dat", b2f, eol);
  }
  InputResult read() { return readRunInput(input, dir.path()); }
  ScratchFolder dir;
  RunInput input;
};

TEST_F(RunInputFiles, NormalisesInBinOrderAndFindsLastBin) {
  std::vector<double> f(400, 0.0);
  f[0] = 1.0;
  f[9] = 0.5;
  f[398] = 0.25;  // bin 399; bin 400 is zero
  write(f, {"run1.tmr", "3.000E+07"});
  ASSERT_FALSE(read());
  EXPECT_EQ(input.lastBin, 399);
  EXPECT_EQ(input.spectrum.fluence[1], 1.0f / 1.75f);
  EXPECT_EQ(input.spectrum.fluence[399], 0.25f / 1.75f);
  EXPECT_EQ(input.spectrum.fluence[2], 0.0f);
  EXPECT_FLOAT_EQ(input.spectrum.accelerationEnergy, 10.0f);
  EXPECT_EQ(input.spectrum.targetZ, 29);
  EXPECT_FLOAT_EQ(input.spectrum.filterThickness, 10.5f);
  EXPECT_EQ(resultFileName(input.parameters), "run1.tmr");
  EXPECT_EQ(input.parameters.historyTotal, 3.0e7f);
}

TEST_F(RunInputFiles, LfOnlyFilesAndFreeFormLinesWithTrailingText) {
  auto lines = spectrumLines({1.0});
  lines[400] = "   6.5   MeV";
  lines[401] = " 074 ,";
  lines[402] = "01.50 mm";
  writeLines(dir / "S_SPCTL.dat", lines, "\n");
  writeLines(dir / "B2F.dat", {"a.tmr", "  1.235E+06  histories"}, "\n");
  ASSERT_FALSE(read());
  EXPECT_FLOAT_EQ(input.spectrum.accelerationEnergy, 6.5f);
  EXPECT_EQ(input.spectrum.targetZ, 74);
  EXPECT_FLOAT_EQ(input.spectrum.filterThickness, 1.5f);
  EXPECT_EQ(input.parameters.historyTotal, 1235000.0f);
  EXPECT_EQ(input.lastBin, 1);
}

TEST_F(RunInputFiles, ResultNameIsTheFirst20Bytes) {
  struct Case {
    std::string line, expected;
  } cases[] = {
      {"run1.tmr", "run1.tmr"},
      {"abcdefghijklmnopq.tmr", "abcdefghijklmnopq.tm"},  // 17 characters: ".tmr" cut
      {"abcdefghijklmnopqrst.tmr", "abcdefghijklmnopqrst"},
      // Six three-byte characters take 18 bytes; the seventh would need bytes 19-21
      // and is dropped whole rather than cut.
      {"実験データ確認.tmr", "実験データ確"},
      {" .tmr", " .tmr"},
  };
  for (const auto& c : cases) {
    write({1.0}, {c.line, "1.000E+03"});
    ASSERT_FALSE(read()) << c.line;
    EXPECT_EQ(resultFileName(input.parameters), c.expected) << c.line;
  }
}

TEST_F(RunInputFiles, EnergyColumnIsNotUsedButMustBeANumber) {
  auto lines = spectrumLines({0.3, 0.7});
  for (int i = 0; i < 400; ++i) lines[i].replace(0, 6, "00.000");
  writeLines(dir / "S_SPCTL.dat", lines);
  writeLines(dir / "B2F.dat", {"x.tmr", "1.000E+03"});
  ASSERT_FALSE(read());
  EXPECT_EQ(input.spectrum.fluence[2], 0.7f);

  lines[249].replace(0, 6, "ab.cde");
  writeLines(dir / "S_SPCTL.dat", lines);
  const auto e = read();
  ASSERT_TRUE(e);
  EXPECT_EQ(
      e->message(),
      "Input error: S_SPCTL.dat, line 250: columns 1-6 hold \"ab.cde\", which is not a number");
}

TEST_F(RunInputFiles, TinyFluencesReadAsZero) {
  auto lines = spectrumLines({1.0});
  lines[1] = "00.075, 1.000E-50";  // below single precision: exactly zero
  writeLines(dir / "S_SPCTL.dat", lines);
  writeLines(dir / "B2F.dat", {"x.tmr", "1.000E+03"});
  ASSERT_FALSE(read());
  EXPECT_EQ(input.spectrum.fluence[2], 0.0f);
  EXPECT_EQ(input.lastBin, 1);
}

TEST_F(RunInputFiles, Errors) {
  struct Case {
    const char* name;
    std::vector<std::string> spectrum;
    std::vector<std::string> b2f;
    std::string expected;
  };
  auto cut = spectrumLines({1.0});
  cut.resize(402);
  auto badZ = spectrumLines({1.0});
  badZ[401] = "Cu";
  const Case cases[] = {
      {"all-zero spectrum",
       spectrumLines({}),
       {"x.tmr", "1.0E+03"},
       "Input error: S_SPCTL.dat: every fluence is zero: there is nothing to simulate"},
      {"missing line 403",
       cut,
       {"x.tmr", "1.0E+03"},
       "Input error: S_SPCTL.dat, line 403: line missing (the file ends after line 402)"},
      {"target Z not a number",
       badZ,
       {"x.tmr", "1.0E+03"},
       "Input error: S_SPCTL.dat, line 402: \"Cu\" is not an integer"},
      {"history total missing",
       spectrumLines({1.0}),
       {"x.tmr"},
       "Input error: B2F.dat, line 2: line missing (the file ends after line 1)"},
      {"history total not a number",
       spectrumLines({1.0}),
       {"x.tmr", "many"},
       "Input error: B2F.dat, line 2: \"many\" is not a number"},
      {"one negative fluence among positive ones",
       spectrumLines({1.0, -0.1, 1.0}),
       {"x.tmr", "1.0E+03"},
       "Input error: S_SPCTL.dat, line 2: columns 9-17 hold \"-1.000E-0\", a negative fluence; "
       "fluences must be non-negative"},
      {"history total beyond 32 bits",
       spectrumLines({1.0}),
       {"x.tmr", "3.000E+09"},
       "Input error: B2F.dat, line 2: the history total"},
  };
  for (const auto& c : cases) {
    writeLines(dir / "S_SPCTL.dat", c.spectrum);
    writeLines(dir / "B2F.dat", c.b2f);
    const auto e = read();
    ASSERT_TRUE(e) << c.name;
    EXPECT_EQ(e->message().substr(0, c.expected.size()), c.expected) << c.name;
  }
}

TEST_F(RunInputFiles, MissingB2FIsNamed) {
  writeLines(dir / "S_SPCTL.dat", spectrumLines({1.0}));
  const auto e = read();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->file, "B2F.dat");
}

}  // namespace
}  // namespace dravik
