#include "simulation/square_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "simulation/fixed_format.h"
#include "test_files.h"

namespace dravik {
namespace {

using testing::readBytes;
using testing::ScratchFolder;

TEST(SquareFields, RingCountsWithinTheHalfDiagonal) {
  const int expected[kFields] = {14, 21, 28, 35, 42, 53, 70, 88, 106, 123};
  for (int k = 1; k <= kFields; ++k) EXPECT_EQ(ringCount(k), expected[k - 1]) << fieldSides[k - 1];
}

TEST(SquareFields, RingWeightsOfThe4And35cmFields) {
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ringWeight(i, 2.0f), 1.0f) << i;
  EXPECT_NEAR(ringWeight(11, 2.0f), 0.6055f, 5e-5f);
  EXPECT_NEAR(ringWeight(14, 2.0f), 0.0621f, 5e-5f);
  EXPECT_EQ(ringWeight(88, 17.5f), 1.0f);
  EXPECT_LT(ringWeight(89, 17.5f), 1.0f);
  EXPECT_GT(ringWeight(123, 17.5f), 0.0f);
}

// A synthetic kernel: a depth curve rising to bin 25 and falling after, spread
// over rings with a radial fall-off.
void fillSynthetic(DoseKernel& K, int layer) {
  for (int d = 1; d <= kDepthBins; ++d) {
    const auto fd = static_cast<float>(d);
    const float depthShape = d <= 25 ? 0.4f + 0.024f * fd : std::exp(-0.005f * (fd - 25.0f));
    for (int r = 1; r <= kRadialBins; ++r) {
      K.K(layer, r, d) = depthShape * 100.0f / static_cast<float>(r * r);
    }
  }
}

TEST(SquareFields, EveryFieldPeaksAtExactlyOne) {
  auto K = std::make_unique<DoseKernel>();
  fillSynthetic(*K, 1);
  auto T = std::make_unique<TmrTable>();
  ASSERT_TRUE(synthesizeSquareFields(*K, *T));
  for (int k = 1; k <= kFields; ++k) {
    float m = 0.0f;
    for (int d = 1; d <= kDepthBins; ++d) m = std::max(m, T->T(k, d));
    EXPECT_EQ(m, 1.0f) << k;
    EXPECT_EQ(T->T(k, 25), 1.0f) << k;
  }
}

TEST(SquareFields, EmptyKernelIsReportedNotDividedByZero) {
  auto K = std::make_unique<DoseKernel>();
  auto T = std::make_unique<TmrTable>();
  EXPECT_FALSE(synthesizeSquareFields(*K, *T));
  for (float v : T->values) ASSERT_EQ(v, 0.0f);
}

class ResultFile : public ::testing::Test {
 protected:
  void SetUp() override {
    input.parameters.historyTotal = 1235000.0f;
    input.spectrum.accelerationEnergy = 10.0f;
    input.spectrum.targetZ = 6;
    input.spectrum.filterThickness = 1.5f;
  }
  std::string resultFor(int layer) {
    auto K = std::make_unique<DoseKernel>();
    fillSynthetic(*K, layer);
    auto T = std::make_unique<TmrTable>();
    EXPECT_TRUE(synthesizeSquareFields(*K, *T));
    const auto file = dir / ("layer" + std::to_string(layer) + ".tmr");
    EXPECT_FALSE(writeResultFile(file, *T, input));
    return readBytes(file);
  }
  ScratchFolder dir;
  RunInput input;
};

TEST_F(ResultFile, LayoutOf305Lines) {
  const std::string text = resultFor(1);
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 305u);
  EXPECT_EQ(lines[0], "   1235000.");
  EXPECT_EQ(lines[1], "   10.0000");
  EXPECT_EQ(lines[2], "    6.0000");
  EXPECT_EQ(lines[3], "    1.5000");
  EXPECT_EQ(lines[4], " d   4, 6, 8, 10, 12, 15, 20, 25, 30, 35cm sq");
  EXPECT_EQ(lines[4].size(), 45u);
  for (int n = 1; n <= 300; ++n) {
    const std::string& row = lines[4 + n];
    ASSERT_EQ(row.size(), 4u + 10u * 7u) << n;
    EXPECT_EQ(row.substr(0, 4), fixedInteger(n, 4));
  }
  std::string peakRow = "  25";  // the synthetic curve peaks in depth bin 25 for every field
  for (int k = 0; k < 10; ++k) peakRow += " 1.0000";
  EXPECT_EQ(lines[29], peakRow);
}

TEST_F(ResultFile, PrimaryAndScatterLayersGiveIdenticalFiles) {
  EXPECT_EQ(resultFor(1), resultFor(2));
}

TEST_F(ResultFile, ReplacesAnExistingFileAndLeavesNoTemporary) {
  testing::writeBytes(dir / "layer1.tmr", "old contents");
  const std::string text = resultFor(1);
  EXPECT_EQ(text.substr(0, 11), "   1235000.");
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(ResultFile, UnwritableTargetIsAnOutputError) {
  auto T = std::make_unique<TmrTable>();
  const auto target = dir / "no-such-folder" / "run1.tmr";
  const auto e = writeResultFile(target, *T, input);
  ASSERT_TRUE(e);
  // The whole path, so the user can tell which folder was at fault.
  EXPECT_EQ(e->rfind("Output error: the result file " + target.string() + " cannot be created", 0),
            0u)
      << *e;
}

TEST(FixedFormat, ColumnsAndAsterisks) {
  struct Case {
    double value;
    int width, decimals;
    const char* text;
  } cases[] = {
      {10.0, 6, 2, " 10.00"},      {100.0, 6, 2, "100.00"},    {1000.0, 6, 2, "******"},
      {1e6, 11, 0, "   1000000."}, {0.41234, 7, 4, " 0.4123"}, {1.0, 7, 4, " 1.0000"},
      {-1.5, 6, 2, " -1.50"},
  };
  for (const auto& c : cases) EXPECT_EQ(fixedReal(c.value, c.width, c.decimals), c.text) << c.value;
  EXPECT_EQ(fixedInteger(29, 2), "29");
  EXPECT_EQ(fixedInteger(6, 2), " 6");
  EXPECT_EQ(fixedInteger(100, 2), "**");
}

}  // namespace
}  // namespace dravik
