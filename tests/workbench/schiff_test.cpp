// Schiff spectrum: worked values, bin counts, reference mode and the refused inputs.
#include "workbench/spectrum/schiff.h"

#include <gtest/gtest.h>

#include <cmath>

#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

// Agreement to six significant digits: half a unit of the sixth digit (slightly widened for the
// rounding of the tabulated value itself).
void expectSixDigits(double actual, double expected, const char* what) {
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(expected))) - 5.0);
  EXPECT_NEAR(actual, expected, 0.5001 * unit) << what;
}

SpectrumEntries entries(const char* energy, const char* z, const char* thickness,
                        bool reference = false) {
  return SpectrumEntries{energy, z, thickness, reference};
}

// One press of the compute button: count, then compute.
Result<SchiffOutcome> press(SpectrumState& state, const SpectrumEntries& e) {
  state.spectrumCount = state.spectrumCount + 1;
  return computeSchiffSpectrum(state, e);
}

double maximum(const SpectrumState& state) {
  double m = 0.0;
  for (int i = 1; i <= kSpectrumBins; ++i) m = std::max(m, state.relativeFluence[i]);
  return m;
}

struct WorkedRow {
  int bin;
  double M, b, F, value, relative;
};

// The worked-values table for T0 = 10 MeV, Z = 29, no filter (six significant digits).
const WorkedRow kWorked[] = {
    {1, 1305.33, 477.596, 11.0818, 544277, 1.0},
    {21, 1293.69, 10.5378, 9.65329, 11563.8, 0.0212462},
    {100, 804.331, 1.26705, 5.79678, 1430.68, 0.00262859},
    {200, 4.86841, 0.0611847, 0.566879, 69.7793, 0.000128206},
};

TEST(SchiffSpectrum, WorkedValuesForTenMeVOnCopper) {
  for (const WorkedRow& row : kWorked) {
    SCOPED_TRACE("bin " + std::to_string(row.bin));
    SchiffTerms terms = schiffTerms(10.0, 29.0, binEnergy(row.bin));
    expectSixDigits(terms.M, row.M, "M");
    expectSixDigits(terms.b, row.b, "b");
    expectSixDigits(terms.F, row.F, "F");
    expectSixDigits(terms.value, row.value, "value");
  }
  SpectrumState state;
  auto outcome = press(state, entries("10.0", "29", "0"));
  ASSERT_TRUE(outcome.ok()) << outcome.failure().message;
  expectSixDigits(outcome.value().maximum, 544277, "maximum (bin 1)");
  for (const WorkedRow& row : kWorked)
    expectSixDigits(state.relativeFluence[row.bin], row.relative, "relative");
  EXPECT_EQ(state.relativeFluence[1], 1.0);
  EXPECT_EQ(outcome.value().filledBins, 200);
  for (int i = 201; i <= kSpectrumBins + 1; ++i) EXPECT_EQ(state.relativeFluence[i], 0.0) << i;
}

TEST(SchiffSpectrum, BinCountIsARealComparedWithTheBinNumber) {
  struct Case {
    const char* energy;
    double binCount;
    int filled;
  };
  for (const Case& c : {Case{"20", 400.0, 400}, Case{"10.51", 210.2, 210}, Case{"0.05", 1.0, 1},
                        Case{"4.0", 80.0, 80}}) {
    SCOPED_TRACE(c.energy);
    SpectrumState state;
    auto outcome = press(state, entries(c.energy, "74", "0"));
    ASSERT_TRUE(outcome.ok());
    EXPECT_DOUBLE_EQ(outcome.value().binCount, c.binCount);
    EXPECT_EQ(outcome.value().filledBins, c.filled);
    EXPECT_GT(state.relativeFluence[c.filled], 0.0);
    EXPECT_TRUE(std::isfinite(state.relativeFluence[c.filled]));
    if (c.filled < kSpectrumBins) {
      EXPECT_EQ(state.relativeFluence[c.filled + 1], 0.0);
    }
  }
  // At 20 MeV the last bin leaves the electron 20511 - 19975 = 536 keV of total energy.
  SchiffTerms last = schiffTerms(20.0, 74.0, binEnergy(400));
  EXPECT_GT(last.value, 0.0);
}

// A filter whose coefficient falls with energy, strong enough at 25 keV (30 cm^-1) that 1 cm of
// it leaves the lowest bin below 1e-10 of the maximum.
LeadCoefficients fallingCoefficients() {
  LeadCoefficients mu{};
  for (int i = 1; i <= kSpectrumBins; ++i) mu[i] = 30.0 / i;  // [cm^-1]
  return mu;
}

TEST(SchiffSpectrum, ThickFilterClearsTinyBinsOnlyWithoutTheReferenceBox) {
  SpectrumState plain;
  plain.leadAttenuation = fallingCoefficients();
  ASSERT_TRUE(press(plain, entries("10.0", "29", "10")).ok());
  EXPECT_EQ(plain.relativeFluence[1], 0.0);
  EXPECT_EQ(maximum(plain), 1.0);

  SpectrumState reference;
  reference.leadAttenuation = fallingCoefficients();
  ASSERT_TRUE(press(reference, entries("10.0", "29", "10", true)).ok());
  EXPECT_GT(reference.relativeFluence[1], 0.0);
  EXPECT_LT(reference.relativeFluence[1], 1e-10);
  EXPECT_EQ(maximum(reference), 1.0);
}

TEST(SchiffSpectrum, ReferenceModeAcrossClear) {
  SpectrumState state;
  state.leadAttenuation = fallingCoefficients();
  // Tick, Clear, compute A: A becomes the reference and peaks at exactly 1.
  state.spectrumCount = 0;
  auto a = press(state, entries("10.0", "29", "10.8", true));
  ASSERT_TRUE(a.ok());
  EXPECT_TRUE(a.value().referenceCaptured);
  EXPECT_EQ(maximum(state), 1.0);
  ASSERT_TRUE(state.referenceMaximum.has_value());
  const double referenceOfA = *state.referenceMaximum;
  // B with a thinner filter, box still ticked: scaled by A's maximum, so it rises above 1.
  auto b = press(state, entries("10.0", "29", "5", true));
  ASSERT_TRUE(b.ok());
  EXPECT_FALSE(b.value().referenceCaptured);
  EXPECT_GT(maximum(state), 1.0);
  EXPECT_EQ(state.relativeFluence[50], schiffTerms(10.0, 29.0, binEnergy(50)).value *
                                           std::exp(-0.5 * state.leadAttenuation[50]) /
                                           referenceOfA);
  const auto spectrumB = state.relativeFluence;
  // Clear, compute once without the tick, then B again with it: the reference kept from before
  // the Clear still scales it.
  state.spectrumCount = 0;
  ASSERT_TRUE(press(state, entries("10.0", "29", "10.8", false)).ok());
  EXPECT_EQ(*state.referenceMaximum, referenceOfA);
  ASSERT_TRUE(press(state, entries("10.0", "29", "5", true)).ok());
  EXPECT_EQ(state.relativeFluence, spectrumB);
}

TEST(SchiffSpectrum, ReferenceModeWithNothingCapturedCapturesNow) {
  SpectrumState state;
  state.spectrumCount = 1;  // a computation without the tick came first ...
  ASSERT_TRUE(computeSchiffSpectrum(state, entries("6.0", "74", "6.5")).ok());
  EXPECT_FALSE(state.referenceMaximum.has_value());
  state.spectrumCount = 2;  // ... so the first ticked one is the second: it becomes the reference
  auto outcome = computeSchiffSpectrum(state, entries("6.0", "74", "6.5", true));
  ASSERT_TRUE(outcome.ok());
  EXPECT_TRUE(outcome.value().referenceCaptured);
  EXPECT_EQ(*state.referenceMaximum, outcome.value().maximum);
  EXPECT_EQ(maximum(state), 1.0);
}

TEST(SchiffSpectrum, NonIntegerZAndTextAfterTheNumberUseTheLeadingNumber) {
  SpectrumState a, b;
  ASSERT_TRUE(press(a, entries("10.0abc", "29.0 (Cu)", "0")).ok());
  ASSERT_TRUE(press(b, entries("10.0", "29", "0")).ok());
  EXPECT_EQ(a.relativeFluence, b.relativeFluence);
}

TEST(SpectrumEntriesCheck, RefusesWhatCannotBeComputed) {
  struct Case {
    const char* name;
    SpectrumEntries e;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {"EmptyThickness", entries("10.0", "29", ""), messages::kConditionsMissing},
      {"EmptyEnergy", entries("", "29", "10.5"), messages::kConditionsMissing},
      {"EmptyZ", entries("10.0", "", "10.5"), messages::kConditionsMissing},
      {"BlankCountsAsText", entries("10.0", "29", " "), nullptr},
      {"TwentyAccepted", entries("20", "29", "10.5"), nullptr},
      {"AboveTwenty", entries("20.01", "29", "10.5"), messages::kEnergyAboveLimit},
      {"BelowOneBin", entries("0.049", "29", "10.5"), messages::kEnergyBelowLimit},
      {"EnergyNotANumber", entries("abc", "29", "10.5"), messages::kEnergyBelowLimit},
      {"ZeroZ", entries("10.0", "0", "10.5"), messages::kTargetZNotPositive},
      {"NegativeZ", entries("10.0", "-3", "10.5"), messages::kTargetZNotPositive},
      {"ZNotANumber", entries("10.0", "Cu", "10.5"), messages::kTargetZNotPositive},
      {"NegativeThickness", entries("10.0", "29", "-0.5"), messages::kThicknessNegative},
      {"NegativeThicknessWithBlank", entries("10.0", "29", " -3"), messages::kThicknessNegative},
      {"ZeroThickness", entries("10.0", "29", "0"), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Status status = checkSpectrumEntries(c.e);
    if (!c.message) {
      EXPECT_TRUE(status.ok());
      continue;
    }
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.failure().message, c.message);
    // The computation refuses the same entries and leaves the window's state as it was.
    SpectrumState state;
    state.relativeFluence[7] = 0.25;
    state.spectrumCount = 1;
    auto outcome = computeSchiffSpectrum(state, c.e);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.failure().message, c.message);
    EXPECT_EQ(state.relativeFluence[7], 0.25);
    EXPECT_FALSE(state.referenceMaximum.has_value());
  }
}

TEST(SchiffSpectrum, FilterAbsorbingEverythingIsRefusedAndChangesNothing) {
  SpectrumState state;
  state.leadAttenuation.fill(1e6);  // exp(-1e5) is 0 in every bin
  state.relativeFluence[3] = 0.5;
  state.spectrumCount = 1;
  auto outcome = computeSchiffSpectrum(state, entries("10.0", "29", "1", true));
  ASSERT_FALSE(outcome.ok());
  EXPECT_FALSE(outcome.failure().message.empty());
  EXPECT_EQ(state.relativeFluence[3], 0.5);
  EXPECT_FALSE(state.referenceMaximum.has_value());
}

}  // namespace
}  // namespace corvane
