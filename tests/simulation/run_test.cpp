#include "simulation/run.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "test_files.h"

namespace dravik {
namespace {

using testing::fixture;
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
  int run(const std::string& typed = "") {
    std::istringstream in(typed);
    std::ostringstream out;
    int tick = 0;
    const ClockTime times[] = {{9, 5, 3}, {14, 30, 59}};
    const int status = runSimulation(
        in, out, [&] { return times[tick++ % 2]; }, dir.path());
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

// Snapshot of every file of the folder, to show that a refused run changed nothing.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    files[e.path().filename().string()] = testing::readBytes(e.path());
  return files;
}

TEST_F(Dialogue, ResultNamesThatReplaceOwnFilesOrLeaveTheFolderAreRefusedBeforeTheStart) {
  struct Case {
    std::string line;  // line 1 of B2F.dat
    std::string expected;
  } cases[] = {
      // A typed name whose 20-byte cut is exactly the physics data file.
      {"water20.dat         .tmr", "is that of the program's own file water20.dat"},
      {"ELDAT.DAT", "is that of the program's own file ELDAT.dat"},
      {"S_SPCTL.dat", "own file S_SPCTL.dat"},
      {"B2F.dat", "own file B2F.dat"},
      {"Lead.dat", "own file Lead.dat"},
      {"water20.dat.", "own file water20.dat"},
      {"10MV-standardTMR.std", "ends in .std"},
      {"../escaped.tmr", "holds a folder or drive separator"},
      {"/tmp/i10-abs.tmr", "holds a folder or drive separator"},
      {"sub/x.tmr", "holds a folder or drive separator"},
      {"a\\b.tmr", "holds a folder or drive separator"},
      {std::string("nul\0.tmr", 8), "holds a control character (byte 0)"},
      {"..", "names a folder"},
  };
  for (const auto& c : cases) {
    writeRun({1.0}, "1.000E+02", c.line);
    testing::writeBytes(dir / "Lead.dat", "lead data");
    testing::writeBytes(dir / "10MV-standardTMR.std", "reference");
    const auto before = folderContents(dir.path());
    EXPECT_EQ(run(), 1) << c.line;
    ASSERT_GE(console.size(), 2u) << c.line;
    const std::string& message = console[console.size() - 2];
    EXPECT_EQ(message.rfind("Input error: B2F.dat, line 1: the result file name", 0), 0u)
        << message;
    EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    for (const auto& l : console) EXPECT_NE(l, "  ---   Push Enter key to Start   ---") << c.line;
    EXPECT_EQ(folderContents(dir.path()), before) << c.line;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "escaped.tmr"));
  EXPECT_FALSE(std::filesystem::exists("/tmp/i10-abs.tmr"));
  std::filesystem::remove(dir.path().parent_path() / "escaped.tmr");
  std::filesystem::remove("/tmp/i10-abs.tmr");
}

TEST_F(Dialogue, HeaderValueTooWideForTheResultIsRefusedBeforeTheStart) {
  writeLines(dir / "S_SPCTL.dat", spectrumLines({1.0}, "123456.0"));
  writeLines(dir / "B2F.dat", {"run1.tmr", "1.000E+02"});
  testing::writeBytes(dir / "run1.tmr", "previous result");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(console[console.size() - 2],
            "Input error: S_SPCTL.dat, line 401: the acceleration energy 123456 does not fit its "
            "10 columns of the result file");
  EXPECT_EQ(testing::readBytes(dir / "run1.tmr"), "previous result");
}

TEST_F(Dialogue, StalePartialResultOfAKilledRunIsRemovedBeforeTheStart) {
  testing::writeBytes(dir / "run1.tmr.partial", "a fragment left by a killed run");
  writeRun({0.5, 0.5}, "1.000E+00");  // no history: the run stops before writing
  EXPECT_EQ(run(), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "run1.tmr.partial"));
}

TEST_F(Dialogue, UnwritableFolderIsFoundBeforeTheStart) {
  writeRun({1.0}, "1.000E+02");
  testing::ReadOnlyFolder readOnly(dir.path());
  if (!readOnly.skipReason().empty()) GTEST_SKIP() << readOnly.skipReason();
  std::istringstream in;
  std::ostringstream out;
  const int status = runSimulation(
      in, out, [] { return ClockTime{}; }, readOnly.path());
  console = splitLines(out.str());
  EXPECT_EQ(status, 1);
  ASSERT_GE(console.size(), 2u);
  EXPECT_EQ(console[console.size() - 2].rfind(
                "Output error: the result file run1.tmr cannot be created (", 0),
            0u)
      << console[console.size() - 2];
  for (const auto& l : console) EXPECT_NE(l, "  ---   Push Enter key to Start   ---");
}

TEST_F(Dialogue, RunawayHistoryStopsTheRunAndKeepsThePreviousResult) {
  // Every coherent sample at 25 keV needs x below 2; this table puts all of C's
  // weight at x = 10.75 and beyond, so no coherent scattering can be sampled.
  auto lines = readLines(fixture("water20.dat"));
  for (int line = 6; line < 50; ++line) lines[line - 1].replace(10, 12, " 0.00000E+00");
  writeLines(dir / "water20.dat", lines);
  writeRun({1.0}, "1.000E+02");
  testing::writeBytes(dir / "run1.tmr", "previous result");
  EXPECT_EQ(run(), 1);
  ASSERT_GE(console.size(), 2u);
  EXPECT_EQ(console[console.size() - 2],
            "Transport error: the coherent sampling at 25.0 keV did not end within 1000000 "
            "attempts; the tables of water20.dat cannot be those of water");
  EXPECT_EQ(console.back(), "   ---   Push Enter key to exit   ---");
  EXPECT_EQ(testing::readBytes(dir / "run1.tmr"), "previous result");
}

}  // namespace
}  // namespace dravik
