// Free-form value reading: separators, line ends, whole-line reads and the end of a file.
#include "workbench/spectrum/free_form.h"

#include <gtest/gtest.h>

#include "test_folder.h"

namespace corvane {
namespace {

TEST(FreeFormReader, CommasBlanksAndLineEndsSeparateValues) {
  for (const char* lineEnd : {"\r\n", "\n"}) {
    std::string text =
        std::string("Lead data, 40  ,11.35") + lineEnd + "  1.0E-03 5.2\t6" + lineEnd;
    FreeFormReader in(text, "Lead.dat");
    EXPECT_EQ(in.readText().value(), "Lead data");  // a text value keeps its inner blanks
    EXPECT_EQ(in.readNumber().value(), 40.0);
    EXPECT_EQ(in.readNumber().value(), 11.35);
    EXPECT_EQ(in.readNumber().value(), 1.0e-3);
    EXPECT_EQ(in.readNumber().value(), 5.2);
    EXPECT_EQ(in.readNumber().value(), 6.0);
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.readNumber().ok());
  }
}

TEST(FreeFormReader, QuotedTextMayHoldCommas) {
  FreeFormReader in("\"lead, NIST\", 3\r\n", "Lead.dat");
  EXPECT_EQ(in.readText().value(), "lead, NIST");
  EXPECT_EQ(in.readNumber().value(), 3.0);
}

TEST(FreeFormReader, WholeLineReadTakesTheRestOfTheCurrentLine) {
  // A number ended by its line end leaves the reader at the next line ...
  FreeFormReader alone("0.737\r\nd, 4, 6\r\n10, 1\r\n", "a.std");
  EXPECT_EQ(alone.readNumber().value(), 0.737);
  EXPECT_EQ(alone.readLine().value(), "d, 4, 6");
  EXPECT_EQ(alone.readNumber().value(), 10.0);
  // ... while one ended by a comma leaves the rest of its own line for the whole-line read.
  FreeFormReader comma("0.737, 0.8\nd, 4, 6\n", "a.std");
  EXPECT_EQ(comma.readNumber().value(), 0.737);
  EXPECT_EQ(comma.readLine().value(), " 0.8");
  EXPECT_EQ(comma.readLine().value(), "d, 4, 6");
  EXPECT_FALSE(comma.readLine().ok());
}

TEST(FreeFormReader, TrailingBlankLinesCountAsTheEnd) {
  FreeFormReader in("1, 2\r\n\r\n  \r\n", "x.std");
  EXPECT_EQ(in.readNumber().value(), 1.0);
  EXPECT_FALSE(in.atEnd());
  EXPECT_EQ(in.readNumber().value(), 2.0);
  EXPECT_TRUE(in.atEnd());
}

TEST(FreeFormReader, FailuresNameTheFileTheLineAndTheValue) {
  FreeFormReader in("1, 2\r\n3, abc\r\n4,,5", "Lead.dat");
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(in.readNumber().ok());
  auto bad = in.readNumber();
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.failure().file, "Lead.dat");
  EXPECT_NE(bad.failure().reason.find("2 行目"), std::string::npos) << bad.failure().reason;
  EXPECT_NE(bad.failure().reason.find("\"abc\""), std::string::npos);
  EXPECT_NE(bad.failure().message.find("Lead.dat"), std::string::npos);
  EXPECT_EQ(in.readNumber().value(), 4.0);
  auto empty = in.readNumber();  // two commas in a row: an empty value is not a number
  ASSERT_FALSE(empty.ok());
  EXPECT_NE(empty.failure().reason.find("3 行目"), std::string::npos);
}

TEST(FreeFormReader, OpeningAMissingFileFails) {
  testing::TestFolder folder;
  auto opened = FreeFormReader::open(folder / "missing.std");
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.failure().file, "missing.std");
}

}  // namespace
}  // namespace corvane
