// Result-file header and table, reference files, and the shipped 10 MV reference table.
#include "workbench/spectrum/results.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "test_folder.h"
#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

using testing::TestFolder;

std::string printf1(const char* format, double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

// A result file in the simulation's layout: 11-column history total with a point, three
// 10-column values with 4 decimals, the caption, then `rows` rows of the index and ten 7.4 values.
std::string resultFile(double N, double E, double Z, double F,
                       const std::function<double(int, int)>& T, int rows = kDepthRows,
                       const char* lineEnd = "\r\n") {
  std::string s = printf1("%10.0f.", N) + lineEnd + printf1("%10.4f", E) + lineEnd +
                  printf1("%10.4f", Z) + lineEnd + printf1("%10.4f", F) + lineEnd +
                  " d   4, 6, 8, 10, 12, 15, 20, 25, 30, 35cm sq" + lineEnd;
  for (int r = 1; r <= rows; ++r) {
    char index[8];
    std::snprintf(index, sizeof index, "%4d", r);
    s += index;
    for (int f = 1; f <= kFields; ++f) s += printf1("%7.4f", T(f, r));
    s += lineEnd;
  }
  return s;
}

// A smooth table with the two TPR values of the worked example at rows 100 and 200 of field 4.
double worked(int f, int r) {
  if (f == kTprField && r == 100) return 0.8123;
  if (f == kTprField && r == 200) return 0.5456;
  return 1.0 - 0.001 * r - 0.01 * f;
}

TEST(ResultHeader, FiveLinesForSixMeVTungstenAndOneAndAHalfMillimetres) {
  TestFolder folder;
  auto file = folder.write("run1.tmr", resultFile(30000000, 6, 74, 1.5, worked));
  auto header = readResultHeader(file);
  ASSERT_TRUE(header.ok());
  EXPECT_EQ(header.value().historyTotal, 30000000.0);
  const std::array<std::string, 5> expected = {" Electron acceleration", "    energy =  6.0 MeV",
                                               " Target Z = 74", " Filter(Pb) = 1.50 mm",
                                               " History = 30000000"};
  EXPECT_EQ(header.value().lines, expected);
  EXPECT_EQ(resultHeaderLines(1235000, 10, 6, 10.5)[2], " Target Z = 06");
  EXPECT_EQ(resultHeaderLines(1235000, 10, 6, 10.5)[1], "    energy =  10.0 MeV");
}

TEST(ResultHeader, UnreadableFilesGiveTheWindowsText) {
  TestFolder folder;
  auto shortFile = folder.write("short.tmr", "   1000000.\r\n   10.0000\r\n");
  for (const auto& file : {folder / "missing.tmr", shortFile}) {
    auto header = readResultHeader(file);
    ASSERT_FALSE(header.ok());
    EXPECT_EQ(header.failure().message, messages::kCannotReadFile);
    EXPECT_EQ(header.failure().file, file.filename().string());
  }
}

TEST(CalculatedTable, LoadsAllRowsAndGivesTprTwentyTen) {
  for (const char* lineEnd : {"\r\n", "\n"}) {
    TestFolder folder;
    auto file =
        folder.write("run1.tmr", resultFile(30000000, 10, 29, 10.5, worked, kDepthRows, lineEnd));
    CalculatedTmrTable table;
    auto tpr = loadCalculatedTable(file, table);
    ASSERT_TRUE(tpr.ok()) << tpr.failure().reason;
    EXPECT_EQ(tpr.value().text, "0.672");  // 0.5456 / 0.8123 = 0.67167
    EXPECT_DOUBLE_EQ(tpr.value().tpr, 0.5456 / 0.8123);
    EXPECT_EQ(table.at(1, 1), 0.9890);
    EXPECT_EQ(table.at(10, 300), 0.6000);
    EXPECT_TRUE(table.hasData());
  }
}

TEST(CalculatedTable, FailuresKeepTheRowsReadBefore) {
  TestFolder folder;
  CalculatedTmrTable table;
  table.at(3, 250) = 0.125;  // from an earlier load
  auto truncated = folder.write("cut.tmr", resultFile(1e6, 10, 29, 10.5, worked, 150));
  auto cut = loadCalculatedTable(truncated, table);
  ASSERT_FALSE(cut.ok());
  EXPECT_EQ(cut.failure().message, messages::kCannotReadFile);
  EXPECT_EQ(table.at(10, 150), 0.75);
  EXPECT_EQ(table.at(3, 250), 0.125);

  auto zero = folder.write("zero.tmr", resultFile(1e6, 10, 29, 10.5, [](int f, int r) {
                             return f == kTprField && r == 100 ? 0.0 : 0.5;
                           }));
  auto division = loadCalculatedTable(zero, table);
  ASSERT_FALSE(division.ok());
  EXPECT_EQ(division.failure().message, messages::kCannotReadFile);
  EXPECT_EQ(table.at(3, 250), 0.5);  // the table was read in full before the division

  std::string text = resultFile(1e6, 10, 29, 10.5, worked);
  text.replace(text.find("0.9890"), 6, "0.98x0");
  auto bad = loadCalculatedTable(folder.write("bad.tmr", text), table);
  ASSERT_FALSE(bad.ok());
  EXPECT_NE(bad.failure().reason.find("6 行目"), std::string::npos) << bad.failure().reason;
  EXPECT_FALSE(loadCalculatedTable(folder / "missing.tmr", table).ok());
}

// A reference file: TPR alone on line 1, a caption, then `rows` rows of depth [mm] and ten values.
std::string referenceFile(int rows, const char* lineEnd = "\r\n") {
  std::string s =
      std::string("0.737") + lineEnd + "depth(mm), 4, 6, 8, 10, 12, 15, 20, 25, 30, 35cm" + lineEnd;
  for (int k = 1; k <= rows; ++k) {
    s += std::to_string(10 * k);
    for (int f = 1; f <= kFields; ++f) s += ", " + printf1("%.3f", 1.0 - 0.01 * k - 0.001 * f);
    s += lineEnd;
  }
  return s;
}

TEST(ReferenceFile, ThirtyRowsLoadAndAThirtyFirstIsAFailure) {
  struct Case {
    int rows;
    bool ok;
    int count;
  };
  for (const Case& c : {Case{1, true, 1}, Case{30, true, 30}, Case{31, false, 30}}) {
    SCOPED_TRACE(c.rows);
    TestFolder folder;
    ReferenceTmrData data;
    auto tpr = loadReferenceFile(folder.write("ref.std", referenceFile(c.rows)), data);
    ASSERT_EQ(tpr.ok(), c.ok);
    if (c.ok) {
      EXPECT_EQ(tpr.value().text, "0.737");
    } else {
      EXPECT_EQ(tpr.failure().message, messages::kCannotReadFile);
    }
    EXPECT_EQ(data.referenceRowCount, c.count);
    EXPECT_EQ(data.referenceDepths[c.count], 10.0 * c.count);
    EXPECT_EQ(data.table.at(10, c.count), std::stod(printf1("%.3f", 1.0 - 0.01 * c.count - 0.01)));
  }
}

TEST(ReferenceFile, LfOnlyLinesAndTrailingBlankLinesAreAccepted) {
  TestFolder folder;
  ReferenceTmrData data;
  auto tpr = loadReferenceFile(folder.write("ref.std", referenceFile(5, "\n") + "\n\n"), data);
  ASSERT_TRUE(tpr.ok()) << tpr.failure().reason;
  EXPECT_EQ(data.referenceRowCount, 5);
}

TEST(ReferenceFile, ACommaOnLineOneMakesLineTwoData) {
  TestFolder folder;
  ReferenceTmrData data;
  // The caption is then read as data: "depth(mm)" is not a number.
  std::string withCaption = referenceFile(3);
  withCaption.replace(0, 5, "0.737, 0.7367");
  auto misread = loadReferenceFile(folder.write("a.std", withCaption), data);
  ASSERT_FALSE(misread.ok());
  EXPECT_EQ(data.referenceRowCount, 0);
  EXPECT_NE(misread.failure().reason.find("2 行目"), std::string::npos) << misread.failure().reason;
  // Without a caption the rest of line 1 stands in for it and every line from 2 on is a row.
  std::string noCaption = referenceFile(3);
  noCaption.erase(noCaption.find("depth"), noCaption.find("\r\n10,") + 2 - noCaption.find("depth"));
  noCaption.replace(0, 5, "0.737, TPR20,10");
  auto read = loadReferenceFile(folder.write("b.std", noCaption), data);
  ASSERT_TRUE(read.ok()) << read.failure().reason;
  EXPECT_EQ(data.referenceRowCount, 3);
}

TEST(ReferenceFile, FailuresKeepCompleteRowsAndTheTpr) {
  TestFolder folder;
  ReferenceTmrData data;
  std::string partial = referenceFile(4) + "50, 0.5, 0.5\r\n";
  auto cut = loadReferenceFile(folder.write("cut.std", partial), data);
  ASSERT_FALSE(cut.ok());
  EXPECT_EQ(data.referenceRowCount, 4);
  EXPECT_EQ(data.referenceDepths[5], 50.0);  // values of the broken row stay where they were read
  for (const char* content : {"", "abc\r\n", "0.737"}) {
    data.referenceRowCount = 7;
    auto bad = loadReferenceFile(folder.write("bad.std", content), data);
    ASSERT_FALSE(bad.ok()) << '"' << content << '"';
    EXPECT_EQ(bad.failure().message, messages::kCannotReadFile);
    EXPECT_EQ(data.referenceRowCount, 7);  // nothing read past the TPR and the caption
  }
  EXPECT_FALSE(loadReferenceFile(folder / "missing.std", data).ok());
}

TEST(ShippedReference, TenMvStandardTmrLoads) {
  const std::filesystem::path file = std::filesystem::path(SHIPPED_DATA) / "10MV-standardTMR.std";
  ReferenceTmrData data;
  auto tpr = loadReferenceFile(file, data);
  ASSERT_TRUE(tpr.ok()) << tpr.failure().reason;
  // Source table: TPR20,10 = TMR(200 mm) / TMR(100 mm) of the 10 cm field = 0.621 / 0.843.
  EXPECT_EQ(tpr.value().text, "0.737");
  EXPECT_EQ(data.referenceRowCount, 29);
  int at100 = 0, at200 = 0;
  for (int k = 1; k <= data.referenceRowCount; ++k) {
    if (k > 1) {
      EXPECT_GT(data.referenceDepths[k], data.referenceDepths[k - 1]);
    }
    if (data.referenceDepths[k] == 100.0) at100 = k;
    if (data.referenceDepths[k] == 200.0) at200 = k;
    for (int f = 1; f <= kFields; ++f) {
      EXPECT_GT(data.table.at(f, k), 0.0);
      EXPECT_LE(data.table.at(f, k), 1.0);
    }
  }
  ASSERT_GT(at100, 0);
  ASSERT_GT(at200, 0);
  EXPECT_NEAR(data.table.at(kTprField, at200) / data.table.at(kTprField, at100), tpr.value().tpr,
              0.0005);
  // TMR rises with field size at depth (more scatter): the derived 35 cm column included.
  for (int f = 2; f <= kFields; ++f)
    EXPECT_GE(data.table.at(f, at200), data.table.at(f - 1, at200)) << f;
}

// Least-squares quadratic in field side through (x, y) pairs, evaluated at x0.
double quadraticAt(const std::vector<double>& x, const std::vector<double>& y, double x0) {
  double A[3][4] = {};
  for (std::size_t n = 0; n < x.size(); ++n)
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) A[i][j] += std::pow(x[n], i + j);
      A[i][3] += y[n] * std::pow(x[n], i);
    }
  for (int c = 0; c < 3;
       ++c)  // Gauss-Jordan elimination; the normal matrix is well conditioned here
    for (int r = 0; r < 3; ++r)
      if (r != c) {
        double f = A[r][c] / A[c][c];
        for (int k = 0; k < 4; ++k) A[r][k] -= f * A[c][k];
      }
  return A[0][3] / A[0][0] + A[1][3] / A[1][1] * x0 + A[2][3] / A[2][2] * x0 * x0;
}

TEST(ShippedReference, ThirtyFiveCentimetreColumnFollowsTheRecordedMethod) {
  // data/README.md: the 35 cm column is, depth by depth, the least-squares quadratic in field
  // side through the 12, 15, 20, 25 and 30 cm values at 35 cm, divided by that column's maximum
  // and rounded to three decimals.
  ReferenceTmrData data;
  ASSERT_TRUE(
      loadReferenceFile(std::filesystem::path(SHIPPED_DATA) / "10MV-standardTMR.std", data).ok());
  std::vector<double> derived(static_cast<std::size_t>(data.referenceRowCount) + 1);
  double maximum = 0.0;
  for (int k = 1; k <= data.referenceRowCount; ++k) {
    std::vector<double> sides, values;
    for (int f = 5; f <= 9; ++f) {
      sides.push_back(fieldSides[f]);
      values.push_back(data.table.at(f, k));
    }
    derived[k] = quadraticAt(sides, values, 35.0);
    maximum = std::max(maximum, derived[k]);
  }
  for (int k = 1; k <= data.referenceRowCount; ++k)
    EXPECT_NEAR(data.table.at(10, k), derived[k] / maximum, 0.0005 + 1e-9) << "row " << k;
}

}  // namespace
}  // namespace corvane
