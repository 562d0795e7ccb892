#include "simulation/run.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <sstream>

#include "test_files.h"

namespace dravik {
namespace {

using testing::fixture;
using testing::readBytes;
using testing::readLines;
using testing::ScratchFolder;
using testing::spectrumLines;
using testing::writeLines;

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

class Dialogue : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"water20.dat", "ELDAT.dat"}) {
      std::filesystem::copy_file(fixture(f), dir / f,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
  void writeRun(const std::vector<double>& fluence, const std::string& histories,
                const std::string& name = "run1.tmr") {
    writeLines(dir / "S_SPCTL.dat", spectrumLines(fluence));
    writeLines(dir / "B2F.dat", {name, histories});
  }
  int run(const std::string& typed = "", const RunOptions& options = {}) {
    std::istringstream in(typed);
    std::ostringstream out;
    int tick = 0;
    const ClockTime times[] = {{9, 5, 3}, {14, 30, 59}};
    const int status = runSimulation(
        in, out, [&] { return times[tick++ % 2]; }, dir.path(), options);
    console = splitLines(out.str());
    return status;
  }
  ScratchFolder dir;
  std::vector<std::string> console;
};

const std::vector<std::string> kHead = {
    " ",
    "   *****     Monte Carlo simulation    *****",
    " ",
    "    Calculation of TMRs of High-energy X-ray",
    " ",
    "   Acceeleration energy =  10.00 [MeV]",
    "   Target Z number = 29",
    "   Filter thickness =  10.50 [mm]",
    "   File name to save result = run1.tmr            ",
    " ",
    "  ---   Push Enter key to Start   ---",
    "      * Start time = 9: 5: 3",
    " ",
    " ",
};

TEST_F(Dialogue, TinyRunPrintsTheWholeDialogueAndWritesTheResult) {
  std::vector<double> f(400, 0.0);
  f[0] = 0.5;      // bin 1: 500 histories
  f[2] = 0.00025;  // bin 3: 0.25 history, printed but not run
  f[3] = 0.49975;  // bin 4
  writeRun(f, "1.000E+03");
  ASSERT_EQ(run("any text typed\n\n"), 0);
  std::vector<std::string> expected = kHead;
  for (const char* l :
       {"  1 / 4", "  3 / 4", "  4 / 4", " ", "      * Start time = 9: 5: 3",
        "      * Finish time =14:30:59", " ", "   ---   Push Enter key to exit   ---", " ",
        "Stop - Program terminated."}) {
    expected.push_back(l);
  }
  EXPECT_EQ(console, expected);
  EXPECT_EQ(readLines(dir / "run1.tmr").size(), 305u);
}

TEST_F(Dialogue, EndOfInputCountsAsEnterAtBothWaits) {
  writeRun({1.0}, "1.000E+02");
  EXPECT_EQ(run(""), 0);
  EXPECT_EQ(console.back(), "Stop - Program terminated.");
}

TEST_F(Dialogue, NoHistoryRunStopsWithoutAResultFile) {
  writeRun({0.5, 0.5}, "1.000E+00");  // 0.5 history per bin: none run
  EXPECT_NE(run(), 0);
  EXPECT_EQ(console[console.size() - 2],
            "No energy was scored in the phantom (no history was run): the result file run1.tmr is "
            "not written");
  EXPECT_FALSE(std::filesystem::exists(dir / "run1.tmr"));
}

TEST_F(Dialogue, EchoShowsAsterisksForNumbersTooWide) {
  writeLines(dir / "S_SPCTL.dat", spectrumLines({1.0}, "1234.5", "100", "-99.99"));
  writeLines(dir / "B2F.dat", {"run1.tmr", "0"});
  run();
  ASSERT_GE(console.size(), 8u);
  EXPECT_EQ(console[5], "   Acceeleration energy = ****** [MeV]");
  EXPECT_EQ(console[6], "   Target Z number = **");
  EXPECT_EQ(console[7], "   Filter thickness = -99.99 [mm]");
}

TEST_F(Dialogue, InputErrorsEndTheRunBeforeTheStartPrompt) {
  struct Case {
    const char* name;
    std::function<void()> breakIt;
    std::string message;
  } cases[] = {
      {"missing ELDAT.dat", [&] { std::filesystem::remove(dir / "ELDAT.dat"); },
       "Input error: ELDAT.dat: the file cannot be opened (No such file or directory)"},
      {"missing S_SPCTL.dat", [&] { std::filesystem::remove(dir / "S_SPCTL.dat"); },
       "Input error: S_SPCTL.dat: the file cannot be opened (No such file or directory)"},
      {"table too short for the spectrum",
       [&] {
         auto lines = readLines(fixture("water20.dat"));
         lines[4].replace(0, 9, "1.000E+01");  // last energy 10 MeV
         writeLines(dir / "water20.dat", lines);
         std::vector<double> f(400, 0.0);
         f[199] = 1.0;  // bin 200, 9975 keV: still below 10 MeV, accepted
         writeRun(f, "1.000E+00");
         std::vector<double> g(400, 0.0);
         g[200] = 1.0;  // bin 201, 10025 keV: beyond the table
         writeRun(g, "1.000E+00");
       },
       "Input error: water20.dat: the last coefficient energy (10000.000000 keV) does not exceed "
       "the highest source energy of the run (10025.000000 keV)"},
      {"empty result name", [&] { writeRun({1.0}, "1.000E+00", "   "); },
       "Input error: B2F.dat, line 1: the result file name is empty"},
  };
  for (const auto& c : cases) {
    SetUp();
    writeRun({1.0}, "1.000E+02");
    c.breakIt();
    EXPECT_NE(run(), 0) << c.name;
    ASSERT_GE(console.size(), 2u) << c.name;
    EXPECT_EQ(console[console.size() - 2], c.message) << c.name;
    EXPECT_EQ(console.back(), "   ---   Push Enter key to exit   ---") << c.name;
    for (const auto& l : console) EXPECT_NE(l, "  ---   Push Enter key to Start   ---") << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "run1.tmr")) << c.name;
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
  }
}

RunOptions batched(int threads, int batches = 8) {
  RunOptions o;
  o.batched = true;
  o.batch.threads = threads;
  o.batch.seed = 5;
  o.batch.batches = batches;
  return o;
}

TEST_F(Dialogue, BatchedRunKeepsTheDialogueAndWritesTheSameFilesForAnyThreadCount) {
  std::vector<double> f(400, 0.0);
  f[39] = 0.5;   // bin 40, 1975 keV
  f[199] = 0.5;  // bin 200, 9975 keV
  writeRun(f, "2000");
  std::string tmr, unc;
  for (int threads : {1, 2, 3, 8}) {
    ASSERT_EQ(run("\n\n", batched(threads)), 0) << threads << " threads";
    ASSERT_GT(console.size(), kHead.size() + 9);
    EXPECT_EQ(std::vector<std::string>(console.begin(), console.begin() + kHead.size()), kHead);
    // Progress lines by percent of the 2000 histories, the last one at 100 %.
    const std::regex progress(
        R"(  [ \d]{3} % of 2000 histories   elapsed \d+:\d\d:\d\d   remaining about \d+:\d\d:\d\d)");
    std::size_t n = kHead.size();
    while (n < console.size() && std::regex_match(console[n], progress)) ++n;
    ASSERT_GT(n, kHead.size()) << console[kHead.size()];
    EXPECT_EQ(console[n - 1].substr(0, 7), "  100 %");
    const std::vector<std::string> tail(console.begin() + static_cast<std::ptrdiff_t>(n),
                                        console.end());
    ASSERT_EQ(tail.size(), 10u);
    EXPECT_EQ(tail[0], " ");
    EXPECT_EQ(tail[1], "      * Start time = 9: 5: 3");
    EXPECT_EQ(tail[2], "      * Finish time =14:30:59");
    EXPECT_EQ(tail[3], " ");
    EXPECT_TRUE(std::regex_match(
        tail[4],
        std::regex(
            R"(   TPR20,10 = [ \d]\.\d{4} \+- [ \d]\.\d{4} \(1 sigma, 10 x 10 cm field, 8 batches\))")))
        << tail[4];
    EXPECT_TRUE(
        std::regex_match(tail[5], std::regex(R"(   dmax \[cm\] 4\.\.35:( [ \d]\d\.\d\d){10})")))
        << tail[5];
    EXPECT_LE(tail[4].size(), 80u);
    EXPECT_LE(tail[5].size(), 80u);
    EXPECT_EQ(tail[7], "   ---   Push Enter key to exit   ---");
    EXPECT_EQ(tail[9], "Stop - Program terminated.");

    const auto result = readLines(dir / "run1.tmr");
    const auto sigma = readLines(dir / "run1.unc");
    ASSERT_EQ(result.size(), 305u);
    ASSERT_EQ(sigma.size(), 305u);
    for (int l = 0; l < 5; ++l) EXPECT_EQ(sigma[l], result[l]) << "header line " << l + 1;
    EXPECT_EQ(sigma[5].size(), result[5].size());
    if (threads == 1) {
      tmr = readBytes(dir / "run1.tmr");
      unc = readBytes(dir / "run1.unc");
    } else {
      EXPECT_TRUE(readBytes(dir / "run1.tmr") == tmr) << threads << " threads";
      EXPECT_TRUE(readBytes(dir / "run1.unc") == unc) << threads << " threads";
    }
  }
}

TEST_F(Dialogue, UncertaintyFileNameFollowsTheResultName) {
  struct Case {
    const char* result;
    const char* uncertainty;
  } cases[] = {
      {"a.tmr", "a.unc"}, {"b.TMR", "b.unc"}, {"plain", "plain.unc"}, {"c.txt", "c.txt.unc"}};
  std::vector<double> f(400, 0.0);
  f[199] = 1.0;
  for (const auto& c : cases) {
    writeRun(f, "200", c.result);
    ASSERT_EQ(run("", batched(2, 2)), 0) << c.result;
    EXPECT_TRUE(std::filesystem::exists(dir / c.result)) << c.result;
    EXPECT_TRUE(std::filesystem::exists(dir / c.uncertainty)) << c.result;
  }
}

}  // namespace
}  // namespace dravik
