// The launch dialog's entry checks: a history total is read as exactly the count typed or
// refused, and a result name that would not come back as NAME.tmr is refused.
#include "workbench/spectrum/launch_checks.h"

#include <gtest/gtest.h>

#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

struct HistoryCase {
  const char* name;
  const char* text;
  std::int64_t count;   // when accepted
  const char* message;  // nullptr: accepted
};

void PrintTo(const HistoryCase& c, std::ostream* os) { *os << c.name; }

class HistoryTotal : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(HistoryTotal, IsTheCountTypedOrRefused) {
  const HistoryCase& c = GetParam();
  const auto parsed = parseHistoryTotal(c.text);
  if (!c.message) {
    ASSERT_TRUE(parsed.ok()) << parsed.failure().message;
    EXPECT_EQ(parsed.value(), c.count);
  } else {
    ASSERT_FALSE(parsed.ok()) << parsed.value();
    EXPECT_STREQ(parsed.failure().message.c_str(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryTotal,
    ::testing::Values(
        HistoryCase{"Plain", "30000000", 30000000, nullptr},
        HistoryCase{"BlanksAround", "  30000000 ", 30000000, nullptr},
        HistoryCase{"CommaGroups", "30,000,000", 30000000, nullptr},
        HistoryCase{"BlankGroups", "30 000 000", 30000000, nullptr},
        HistoryCase{"Exponent", "3e7", 30000000, nullptr},
        HistoryCase{"ExponentWithPointAndSign", "3.0E+07", 30000000, nullptr},
        HistoryCase{"DecimalZeros", "50000.00", 50000, nullptr},
        HistoryCase{"PlusSign", "+1000", 1000, nullptr}, HistoryCase{"One", "1", 1, nullptr},
        HistoryCase{"LargestCount", "2147483647", 2147483647, nullptr},
        HistoryCase{"LargestCountGrouped", "2,147,483,647", 2147483647, nullptr},
        HistoryCase{"ManyDigitsExponent", "1.23456789e8", 123456789, nullptr},
        HistoryCase{"TwoToThe31", "2147483648", 0, messages::kHistoryTotalOutOfRange},
        HistoryCase{"HugeExponent", "1e999999999999", 0, messages::kHistoryTotalOutOfRange},
        HistoryCase{"Zero", "0", 0, messages::kHistoryTotalOutOfRange},
        HistoryCase{"ZeroExponent", "0e5", 0, messages::kHistoryTotalOutOfRange},
        HistoryCase{"Negative", "-5", 0, messages::kHistoryTotalOutOfRange},
        HistoryCase{"Fraction", "2.5", 0, messages::kHistoryTotalNotWhole},
        HistoryCase{"BelowOne", "1e-3", 0, messages::kHistoryTotalNotWhole},
        HistoryCase{"FractionAfterExponent", "1.23456789e7", 0, messages::kHistoryTotalNotWhole},
        HistoryCase{"Empty", "", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"Blank", "   ", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"Letters", "abc", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"TrailingLetter", "2.5E+07x", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"DecimalComma", "3,5", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"GroupOfFour", "30,0000", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"LeadingGroupOfFour", "3000,000", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"TrailingComma", "30,", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"ExponentWithoutDigits", "3e", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"TwoNumbers", "30 5", 0, messages::kHistoryTotalNotANumber},
        HistoryCase{"FullWidthDigits", "３０００", 0, messages::kHistoryTotalNotANumber}),
    [](const ::testing::TestParamInfo<HistoryCase>& info) { return info.param.name; });

// B2F.dat holds the count by "0.000E+00": four significant digits reach the simulation.
TEST(HistoryTotalHandedOver, IsRoundedToFourSignificantDigits) {
  EXPECT_EQ(handedOverHistoryTotal(30000000), 30000000);
  EXPECT_EQ(handedOverHistoryTotal(1234567), 1235000);
  EXPECT_EQ(handedOverHistoryTotal(1), 1);
  EXPECT_EQ(handedOverHistoryTotal(9999), 9999);
  EXPECT_EQ(handedOverHistoryTotal(2147483647), 2147000000);
}

TEST(ResultName, RefusesNamesThatWouldNotComeBackAsNameTmr) {
  struct Case {
    const char* name;
    std::string text;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {"Simple", "run1", nullptr},
      {"SingleBlank", " ", nullptr},
      {"SixteenBytes", "abcdefghijklmnop", nullptr},
      {"ExtensionTyped", "run1.tmr", nullptr},
      {"FiveKanjiAre15Bytes", "計算結果あ", nullptr},
      {"Empty", "", messages::kEnterResultName},
      {"SeventeenBytes", "abcdefghijklmnopq", messages::kResultNameTooLong},
      {"SixKanjiAre18Bytes", "計算結果ああ", messages::kResultNameTooLong},
      {"Slash", "a/b", messages::kResultNameNotAFileName},
      {"Tab", "a\tb", messages::kResultNameNotAFileName},
      {"LineEnd", "a\r\nb", messages::kResultNameNotAFileName},
      {"Delete", "a\x7f", messages::kResultNameNotAFileName},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Status status = checkResultName(c.text);
    if (!c.message) {
      EXPECT_TRUE(status.ok()) << status.failure().message;
    } else {
      ASSERT_FALSE(status.ok());
      EXPECT_EQ(status.failure().message, c.message);
    }
  }
}

}  // namespace
}  // namespace corvane
