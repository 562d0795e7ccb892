// The beamfit program's contract on the command line, and the refusal of unusable reference
// files: usage errors exit 2 with one line and the usage, failures exit 1 with one line naming
// the cause, --help exits 0.
#include "tuning/cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/tuning/tuning_folder.h"
#include "tuning/fit.h"

namespace tuning {
namespace {

using testing::WorkFolder;

struct Outcome {
  int status = -1;
  std::string out, err;
};

Outcome beamfit(const std::vector<std::string>& args, const std::filesystem::path& folder) {
  std::ostringstream out, err;
  Outcome r;
  r.status = runBeamfit(args, out, err, folder);
  r.out = out.str();
  r.err = err.str();
  return r;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(BeamfitCommandLine, UsageErrorsExitTwoWithOneLineAndTheUsage) {
  WorkFolder folder;
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no command"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"library", "--threads"}, "--threads needs a value"},
      {{"library", "--threads", "two"}, "'two' is not a number"},
      {{"library", "--check", "--threads", "2"}, "--check takes no other option"},
      {{"predict", "--energy", "10", "--output", "a"}, "give --energy, --z and --filter"},
      {{"predict", "--spectrum", "S_SPCTL.dat", "--energy", "10", "--output", "a"}, "not both"},
      {{"predict", "--energy", "10", "--z", "29", "--filter", "5"}, "--output NAME is needed"},
      {{"predict", "--energy", "25", "--z", "29", "--filter", "5", "--output", "a"}, "outside"},
      {{"fit", "--z", "29"}, "--reference FILE is needed"},
      {{"fit", "--reference", "r.std"}, "--z Z is needed"},
      {{"fit", "--reference", "r.std", "--z", "29", "--energy", "10", "--filter", "5"},
       "cannot both be held"},
      {{"fit", "--reference", "r.std", "--z", "29", "--plot"}, "--plot needs a value"},
      {{"fit", "--reference", "r.std", "--z", "29", "--bogus", "1"}, "unknown option '--bogus'"},
  };
  for (const auto& [args, says] : cases) {
    const Outcome r = beamfit(args, folder.path());
    const std::string line = firstLine(r.err);
    SCOPED_TRACE(line);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(line.rfind("beamfit: ", 0), 0u);
    EXPECT_NE(line.find(says), std::string::npos);
    EXPECT_NE(r.err.find("usage: beamfit"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(BeamfitCommandLine, HelpOnTheProgramAndEachCommandExitsZero) {
  WorkFolder folder;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"},
                                             {"library", "--help"},
                                             {"predict", "--help"},
                                             {"fit", "--help"},
                                             {"fit", "--z", "29", "--help"}}) {
    const Outcome r = beamfit(args, folder.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: beamfit"), std::string::npos);
    EXPECT_TRUE(r.err.empty());
  }
}

TEST(BeamfitCommandLine, AMissingLibraryIsAFailureSayingHowToBuildIt) {
  WorkFolder folder;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"library", "--check"},
           {"predict", "--energy", "10", "--z", "29", "--filter", "5", "--output", "p"},
           {"fit", "--reference", "10MV-standardTMR.std", "--z", "29"}}) {
    const Outcome r = beamfit(args, folder.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "beamfit: the kernel library " + (folder / kLibraryFileName).string() +
                         " does not exist; run `beamfit library` to build it\n");
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "p.tmr"));
}

// Ten comma-separated TMR values.
std::string row(double depth, double value = 0.9) {
  std::string s = std::to_string(depth);
  for (int f = 0; f < 10; ++f) s += ", " + std::to_string(value);
  return s + "\r\n";
}

TEST(ReferenceFile, UnusableFilesAreRefusedNamingTheFileAndTheRow) {
  WorkFolder folder;
  const std::string head = "0.737\r\ndepth, 4, 6, 8, 10, 12, 15, 20, 25, 30, 35\r\n";
  std::string many = head;
  for (int k = 0; k < 31; ++k) many += row(10.0 * k);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {head + row(0) + row(10) + "20, 0.9, 0.9, 0.9\r\n", ", row 3"},
      {head + row(0) + row(10) + "20, 0.9, abc, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9\r\n",
       ", row 3 (line 5)"},
      {many, " has more than 30 rows"},
      {head + row(0) + row(-5), ", row 2: the depth -5 mm lies outside 0 ... 300 mm"},
      {head + row(0) + row(10, 0.0), ", row 2: the TMR value of field 1 (0) is not positive"},
      {"abc\r\n" + row(0), ": line 1 must hold the TPR20,10"},
  };
  for (const auto& [content, says] : cases) {
    const auto file = folder.write("bad.std", content);
    const auto r = readReference(file);
    SCOPED_TRACE(says);
    ASSERT_FALSE(r.reference);
    EXPECT_NE(r.error.find("the reference file " + file.string() + says), std::string::npos)
        << r.error;
  }
  // Through the program: exit 1 with the one line.
  const Outcome r = beamfit({"fit", "--reference", "bad.std", "--z", "29"}, folder.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("beamfit: the reference file"), std::string::npos);
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
}

TEST(ReferenceFile, FewerThanThreeRowsBeyondTheBuildUpAreRefused) {
  WorkFolder folder;
  const std::string head = "0.7\r\ncaption\r\n";
  // The maximum at 20 mm leaves two deeper rows.
  const auto file = folder.write(
      "short.std", head + row(0, 0.5) + row(10, 0.9) + row(20, 1.0) + row(50, 0.9) + row(100, 0.8));
  const auto r = readReference(file);
  ASSERT_TRUE(r.reference);
  KernelLibrary empty;
  corvane::LeadCoefficients lead{};
  FitOptions options;
  auto fit = fitReference(empty, lead, *r.reference, options);
  ASSERT_FALSE(fit.result);
  EXPECT_NE(fit.error.find("the reference file " + file.string() +
                           " has 2 usable rows beyond the build-up region"),
            std::string::npos)
      << fit.error;
  // A depth limit of its own that keeps three rows is accepted up to the library.
  options.depthMin = 20.0;
  fit = fitReference(empty, lead, *r.reference, options);
  EXPECT_EQ(fit.error.find("usable row"), std::string::npos) << fit.error;
}

}  // namespace
}  // namespace tuning
