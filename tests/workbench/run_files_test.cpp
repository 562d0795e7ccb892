// S_SPCTL.dat, B2F.dat, the spectrum copy and the save dialog's preview.
#include "workbench/spectrum/run_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "test_folder.h"
#include "workbench/spectrum/format.h"
#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

using testing::readBytes;
using testing::TestFolder;

// Splits a file's bytes at CR LF; fails the test on a line end that is not CR LF.
std::vector<std::string> crlfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    std::string line = bytes.substr(pos, end - pos);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos)
        << "bare line end in line " << lines.size() + 1;
    lines.push_back(line);
    pos = end + 2;
  }
  return lines;
}

SpectrumState computed(const SpectrumEntries& entries) {
  SpectrumState state;
  for (int i = 1; i <= kSpectrumBins; ++i) state.leadAttenuation[i] = 30.0 / i;  // [cm^-1]
  state.spectrumCount = 1;
  auto outcome = computeSchiffSpectrum(state, entries);
  EXPECT_TRUE(outcome.ok());
  return state;
}

TEST(SpectrumFile, LayoutForTenMeVCopperAndTenAndAHalfMillimetres) {
  TestFolder folder;
  SpectrumEntries entries{"10.0", "29", "10.5", false};
  SpectrumState state = computed(entries);
  ASSERT_TRUE(writeSpectrumFile(state, entries, folder.path()).ok());
  auto lines = crlfLines(readBytes(folder / "S_SPCTL.dat"));
  ASSERT_EQ(lines.size(), 403u);
  int maximumLines = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const std::string& line = lines[i - 1];
    SCOPED_TRACE("line " + std::to_string(i));
    ASSERT_EQ(line.size(), 17u);
    EXPECT_EQ(line.substr(0, 6), formatByPattern(0.001 * (50 * i - 25), "00.000"));
    EXPECT_EQ(line.substr(6, 2), ", ");
    if (i > 200) {
      EXPECT_EQ(line.substr(8), "0.000E+00");
    }
    if (line.substr(8) == "1.000E+00") ++maximumLines;
  }
  EXPECT_EQ(lines[0], "00.025, 0.000E+00");  // 1 cm of 30 cm^-1 at 25 keV: cleared below 1e-10
  EXPECT_EQ(lines[399].substr(0, 6), "19.975");
  EXPECT_GE(maximumLines, 1);
  EXPECT_NE(lines[199].substr(8), "0.000E+00");
  EXPECT_EQ(lines[400], "10.0");
  EXPECT_EQ(lines[401], "029");
  EXPECT_EQ(lines[402], "10.50");
}

TEST(SpectrumFile, ParameterLinesStartWithTheLeadingNumberOfTheText) {
  struct Case {
    const char* energy;
    const char* z;
    const char* thickness;
    const char* lines[3];
  };
  const Case cases[] = {
      {"4.0", "74", " 4.5", {"04.0", "074", "04.50"}},
      {"10.0abc", "29.4", "1.5mm", {"10.0", "029", "01.50"}},
      {"4", "6", "0", {"04.0", "006", "00.00"}},
      {"20", "78", "17.5", {"20.0", "078", "17.50"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.energy);
    TestFolder folder;
    SpectrumEntries entries{c.energy, c.z, c.thickness, false};
    ASSERT_TRUE(writeSpectrumFile(SpectrumState{}, entries, folder.path()).ok());
    auto lines = crlfLines(readBytes(folder / "S_SPCTL.dat"));
    ASSERT_EQ(lines.size(), 403u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(lines[400 + k], c.lines[k]);
  }
}

TEST(SpectrumFile, EveryFluenceFitsNineColumns) {
  struct Case {
    double fluence;
    const char* text;
  };
  const Case cases[] = {
      {2.5e-50, "2.500E-50"},     {1.0e-99, "1.000E-99"},
      {9.9996e-100, "1.000E-99"},  // rounds up into two exponent digits
      {5.0e-100, "0.000E+00"},     // would need a three-digit exponent
      {1.0e-120, "0.000E+00"},    {3.0e-310, "0.000E+00"},
      {2.5, "2.500E+00"},  // reference mode can exceed 1
  };
  TestFolder folder;
  SpectrumState state;
  for (std::size_t k = 0; k < std::size(cases); ++k)
    state.relativeFluence[k + 1] = cases[k].fluence;
  SpectrumEntries entries{"10.0", "29", "0", true};
  ASSERT_TRUE(writeSpectrumFile(state, entries, folder.path()).ok());
  auto lines = crlfLines(readBytes(folder / "S_SPCTL.dat"));
  ASSERT_EQ(lines.size(), 403u);
  for (std::size_t k = 0; k < std::size(cases); ++k)
    EXPECT_EQ(lines[k].substr(8), cases[k].text) << cases[k].fluence;
}

TEST(SpectrumFile, FailuresAreReportedAndNameTheFile) {
  TestFolder folder;
  SpectrumEntries entries{"10.0", "29", "0", true};
  Status missingFolder = writeSpectrumFile(SpectrumState{}, entries, folder / "no such folder");
  ASSERT_FALSE(missingFolder.ok());
  EXPECT_EQ(missingFolder.failure().file, "S_SPCTL.dat");
  EXPECT_NE(missingFolder.failure().message.find("S_SPCTL.dat"), std::string::npos);

  SpectrumState huge;
  huge.relativeFluence[3] = 1e100;
  EXPECT_FALSE(writeSpectrumFile(huge, entries, folder.path()).ok());
  SpectrumState notFinite;
  notFinite.relativeFluence[3] = std::nan("");
  EXPECT_FALSE(writeSpectrumFile(notFinite, entries, folder.path()).ok());
}

TEST(RunParameters, NameRun1WithThirtyMillionHistories) {
  TestFolder folder;
  ASSERT_TRUE(writeRunParameters("run1", "30000000", folder.path()).ok());
  EXPECT_EQ(readBytes(folder / "B2F.dat"), "run1.tmr\r\n3.000E+07\r\n");
}

TEST(RunParameters, NamesAndHistoryTextsAsTyped) {
  struct Case {
    const char* name;
    const char* histories;
    const char* bytes;
  };
  const Case cases[] = {
      {"run1.tmr", "30000000", "run1.tmr.tmr\r\n3.000E+07\r\n"},
      {" ", "1e6", " .tmr\r\n1.000E+06\r\n"},
      {"a", "abc", "a.tmr\r\n0.000E+00\r\n"},
      {"a", "2.5E+07x", "a.tmr\r\n2.500E+07\r\n"},
      {"a", "1234567", "a.tmr\r\n1.235E+06\r\n"},
      {"a", "30,000,000", "a.tmr\r\n3.000E+01\r\n"},
      {"a_very_long_result_name", "1000", "a_very_long_result_name.tmr\r\n1.000E+03\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + std::string(" / ") + c.histories);
    TestFolder folder;
    ASSERT_TRUE(writeRunParameters(c.name, c.histories, folder.path()).ok());
    EXPECT_EQ(readBytes(folder / "B2F.dat"), c.bytes);
  }
}

TEST(RunParameters, RefusedTextsWriteNothing) {
  TestFolder folder;
  folder.write("B2F.dat", "old.tmr\r\n1.000E+06\r\n");
  Status empty = writeRunParameters("", "30000000", folder.path());
  ASSERT_FALSE(empty.ok());
  EXPECT_EQ(empty.failure().message, messages::kEnterResultName);
  EXPECT_FALSE(writeRunParameters("two\nlines", "1", folder.path()).ok());
  EXPECT_FALSE(writeRunParameters("big", "1e999", folder.path()).ok());
  EXPECT_EQ(readBytes(folder / "B2F.dat"), "old.tmr\r\n1.000E+06\r\n");
  Status noFolder = writeRunParameters("run1", "1", folder / "missing");
  ASSERT_FALSE(noFolder.ok());
  EXPECT_NE(noFolder.failure().message.find("B2F.dat"), std::string::npos);
}

std::string writtenSpectrum(const TestFolder& work) {
  SpectrumEntries entries{"6.0", "74", "6.5", false};
  SpectrumState state = computed(entries);
  EXPECT_TRUE(writeSpectrumFile(state, entries, work.path()).ok());
  return readBytes(work / "S_SPCTL.dat");
}

TEST(SpectrumCopy, IsAByteCopyUnderTheNameAsTypedPlusCsv) {
  TestFolder work;
  const std::string original = writtenSpectrum(work);
  std::filesystem::create_directory(work / "data");
  ASSERT_TRUE(saveSpectrumCopy(work / "data", "spec1", work.path()).ok());
  EXPECT_EQ(readBytes(work / "data" / "spec1.csv"), original);
  ASSERT_TRUE(saveSpectrumCopy(work / "data", "/spec3", work.path()).ok());
  EXPECT_EQ(readBytes(work / "data" / "spec3.csv"), original);  // stays inside the folder
  ASSERT_TRUE(saveSpectrumCopy(work / "data", "spec1.csv", work.path()).ok());
  EXPECT_TRUE(std::filesystem::exists(work / "data" / "spec1.csv.csv"));
  // Saving again under the same name replaces the first copy.
  work.write("data/spec1.csv", "an older, longer file that must go away entirely\r\n");
  ASSERT_TRUE(saveSpectrumCopy(work / "data", "spec1", work.path()).ok());
  EXPECT_EQ(readBytes(work / "data" / "spec1.csv"), original);
}

TEST(SpectrumCopy, FailuresAreNeverReportedAsSuccess) {
  TestFolder work;
  Status noSpectrum = saveSpectrumCopy(work.path(), "spec1", work.path());
  ASSERT_FALSE(noSpectrum.ok());
  EXPECT_NE(noSpectrum.failure().message.find("S_SPCTL.dat"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(work / "spec1.csv"));

  writtenSpectrum(work);
  Status empty = saveSpectrumCopy(work.path(), "", work.path());
  ASSERT_FALSE(empty.ok());
  EXPECT_EQ(empty.failure().message, messages::kEnterFileName);
  Status noFolder = saveSpectrumCopy(work / "missing", "spec1", work.path());
  ASSERT_FALSE(noFolder.ok());
  EXPECT_NE(noFolder.failure().message.find("spec1.csv"), std::string::npos);
  std::filesystem::create_directory(work / "spec2.csv");  // a folder where the file should go
  EXPECT_FALSE(saveSpectrumCopy(work.path(), "spec2", work.path()).ok());
}

TEST(SpectrumPreview, GivesThe403LinesWithoutLineEnds) {
  TestFolder work;
  const std::string original = writtenSpectrum(work);
  auto preview = readSpectrumPreview(work.path());
  ASSERT_TRUE(preview.ok());
  ASSERT_EQ(preview.value().size(), 403u);
  EXPECT_EQ(preview.value()[402], "06.50");
  // The same file with LF-only lines gives the same preview.
  std::string lf = original;
  for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
  work.write("S_SPCTL.dat", lf);
  auto fromLf = readSpectrumPreview(work.path());
  ASSERT_TRUE(fromLf.ok());
  EXPECT_EQ(fromLf.value(), preview.value());
  work.write("S_SPCTL.dat", original.substr(0, 1000));
  auto shortFile = readSpectrumPreview(work.path());
  ASSERT_FALSE(shortFile.ok());
  EXPECT_NE(shortFile.failure().message.find("S_SPCTL.dat"), std::string::npos);
}

}  // namespace
}  // namespace corvane
