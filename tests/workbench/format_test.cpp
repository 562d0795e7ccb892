// formatByPattern, leadingNumber and parseNumber.
#include "workbench/spectrum/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace corvane {
namespace {

struct PatternCase {
  const char* name;
  double value;
  const char* pattern;
  const char* text;
};

// Expected texts follow from the pattern rules (0 always written, # only when significant,
// rounding of the exact binary value, exact halves away from zero); the hand-over examples
// (00.025, 1.000E+00, 4.321E-01, 10.0, 04.0, 029, 074, 10.50, 04.50, 3.000E+07, 1.235E+06) are
// those of the file layouts the simulation reads.
const PatternCase kPatternCases[] = {
    {"BinCentreFirst", 0.025, "00.000", "00.025"},
    {"BinCentreLast", 19.975, "00.000", "19.975"},
    {"BinCentreOfBin21", 0.001 * (50 * 21 - 25), "00.000", "01.025"},
    {"FluenceOne", 1.0, "0.000E+00", "1.000E+00"},
    {"FluenceSmall", 0.4321, "0.000E+00", "4.321E-01"},
    {"FluenceZero", 0.0, "0.000E+00", "0.000E+00"},
    {"FluenceRoundsUpToNextDecade", 9.9996e-3, "0.000E+00", "1.000E-02"},
    {"FluenceWorkedBin21", 0.0212462, "0.000E+00", "2.125E-02"},
    {"FluenceThreeDigitExponent", 1.5e-100, "0.000E+00", "1.500E-100"},
    {"FluenceNegative", -0.00125, "0.000E+00", "-1.250E-03"},
    {"HistoriesThirtyMillion", 30000000.0, "0.000E+00", "3.000E+07"},
    {"HistoriesFourDigits", 1234567.0, "0.000E+00", "1.235E+06"},
    {"BinaryBelowHalfInMantissa", 1.2345, "0.000E+00", "1.234E+00"},  // 1.2344999... in binary
    {"ExactHalfMantissa", 1.0625, "0.000E+00", "1.063E+00"},          // 1.0625 is exact in binary
    {"EnergyTen", 10.0, "00.0", "10.0"},
    {"EnergyPadded", 4.0, "00.0", "04.0"},
    {"EnergyOverflowsIntegerPart", 123.45, "00.0",
     "123.5"},  // 123.45 lies above the half in binary
    {"ZCopper", 29.0, "000", "029"},
    {"ZTungsten", 74.0, "000", "074"},
    {"ZExactHalfRoundsAway", 2.5, "000", "003"},
    {"ZFourDigits", 1234.0, "000", "1234"},
    {"ThicknessTwoDecimals", 10.5, "00.00", "10.50"},
    {"ThicknessPadded", 4.5, "00.00", "04.50"},
    {"ThicknessNegative", -1.5, "00.00", "-01.50"},
    {"TmrOptionalDigit", 0.5, "#0.000", "0.500"},
    {"TmrTwoIntegerDigits", 12.3456, "#0.000", "12.346"},
    {"ThreeHashes", 5.0, "##0.000", "5.000"},
    {"TprWorked", 0.5456 / 0.8123, "0.000", "0.672"},
    {"BinaryHalfBelowStaysDown", 1.0005, "0.000", "1.000"},  // 1.0005 is 1.000499999... in binary
    {"ExactHalfRoundsAway", 0.125, "0.00", "0.13"},
    {"NegativeExactHalfRoundsAway", -0.125, "0.00", "-0.13"},
    {"NegativeRoundingToZeroHasNoSign", -0.0004, "0.000", "0.000"},
    {"RoundingCarriesIntoIntegerPart", 9.9996, "0.000", "10.000"},
    {"HeaderEnergyLeadingBlank", 6.0, " #0.0", " 6.0"},
    {"HeaderEnergyTwoDigits", 10.0, " #0.0", " 10.0"},
    {"HeaderZPadded", 6.0, "00", "06"},
    {"HeaderZ", 74.0, "00", "74"},
    {"HeaderThickness", 1.5, "#0.00", "1.50"},
    {"HeaderHistories", 30000000.0, "########0", "30000000"},
    {"HeaderHistoriesRounded", 1234567.6, "########0", "1234568"},
    {"HeaderHistoriesOverflowPlaces", 12345678901.0, "########0", "12345678901"},
    {"HeaderHistoriesZero", 0.0, "########0", "0"},
    {"LiteralsCopied", 7.25, "d=0.0 mm", "d=7.3 mm"},
};

class FormatByPattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FormatByPattern, WritesTheExpectedText) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(formatByPattern(c.value, c.pattern), c.text)
      << c.value << " by \"" << c.pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatByPattern, ::testing::ValuesIn(kPatternCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(FormatByPatternSpecial, NonFiniteValuesAreNamed) {
  EXPECT_EQ(formatByPattern(std::numeric_limits<double>::infinity(), "0.000E+00"), "Infinity");
  EXPECT_EQ(formatByPattern(-std::numeric_limits<double>::infinity(), "00.0"), "-Infinity");
  EXPECT_EQ(formatByPattern(std::nan(""), "000"), "NaN");
}

TEST(FormatByPatternSpecial, LargestAndSmallestDoublesAreWrittenInFull) {
  EXPECT_EQ(formatByPattern(std::numeric_limits<double>::max(), "0.000E+00"), "1.798E+308");
  EXPECT_EQ(formatByPattern(std::numeric_limits<double>::denorm_min(), "0.000E+00"), "4.941E-324");
  EXPECT_EQ(formatByPattern(1e300, "0").size(), 301u);
}

struct LeadingCase {
  const char* name;
  const char* text;
  double value;
};

// From the texts the dialogs accept: separators end the number, an exponent is taken only
// with digits after its letter.
const LeadingCase kLeadingCases[] = {
    {"Plain", "30000000", 30000000.0},
    {"ThousandsSeparatorsEndTheNumber", "30,000,000", 30.0},
    {"LowerCaseExponent", "1e6", 1e6},
    {"ExponentWithTrailingLetter", "2.5E+07x", 2.5e7},
    {"LettersOnly", "abc", 0.0},
    {"Empty", "", 0.0},
    {"LeadingBlanks", "   4.5", 4.5},
    {"LeadingTab", "\t10.8", 10.8},
    {"TrailingText", "10.0abc", 10.0},
    {"Negative", "-3.25", -3.25},
    {"PlusSign", "+7", 7.0},
    {"PointFirst", ".5", 0.5},
    {"PointLast", "5.", 5.0},
    {"SecondPointEnds", "1.2.3", 1.2},
    {"ExponentWithoutDigits", "2e", 2.0},
    {"ExponentSignWithoutDigits", "2e+x", 2.0},
    {"SignOnly", "-", 0.0},
    {"PointOnly", ".", 0.0},
    {"BlankInsideEnds", "1 000", 1.0},
    {"Overflow", "1e999", std::numeric_limits<double>::infinity()},
    {"Underflow", "1e-999", 0.0},
};

class LeadingNumber : public ::testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumber, TakesTheNumericPrefix) {
  const LeadingCase& c = GetParam();
  EXPECT_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, LeadingNumber, ::testing::ValuesIn(kLeadingCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(LeadingNumberLocale, DoesNotDependOnTheProcessLocale) {
  // A windowed program sets the user's locale; a decimal comma there must not change reading.
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale here";
  EXPECT_EQ(leadingNumber("10.5"), 10.5);
  EXPECT_EQ(formatByPattern(10.5, "00.00"), "10.50");
  std::setlocale(LC_NUMERIC, "C");
}

TEST(ParseNumber, AcceptsOnlyAWholeNumber) {
  EXPECT_EQ(parseNumber("1000000."), 1000000.0);
  EXPECT_EQ(parseNumber("-0.4123"), -0.4123);
  EXPECT_EQ(parseNumber("1.5E-3"), 1.5e-3);
  EXPECT_FALSE(parseNumber("1.5x"));
  EXPECT_FALSE(parseNumber(" 1"));
  EXPECT_FALSE(parseNumber(""));
  EXPECT_FALSE(parseNumber("cm"));
}

}  // namespace
}  // namespace corvane
