// S_SPCTL.dat and B2F.dat as written by the workbench, read by the simulation's readRunInput.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "simulation/run.h"
#include "simulation/run_input.h"
#include "test_folder.h"
#include "workbench/spectrum/lead.h"
#include "workbench/spectrum/results.h"
#include "workbench/spectrum/run_files.h"
#include "workbench/spectrum/schiff.h"

namespace corvane {
namespace {

// The nine fluence columns of every line as the simulation would take them, a single-precision
// number each, summed in bin order and normalised as readRunInput does.
std::array<float, kSpectrumBins + 1> expectedFluences(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::array<float, kSpectrumBins + 1> fluence{};
  float sum = 0.0f;
  std::string line;
  for (int i = 1; i <= kSpectrumBins && std::getline(in, line); ++i) {
    std::string columns = line.substr(8, 9);
    auto r = std::from_chars(columns.data(), columns.data() + columns.size(), fluence[i]);
    EXPECT_EQ(r.ptr, columns.data() + columns.size()) << "line " << i;
    sum = fluence[i] + sum;
  }
  for (int i = 1; i <= kSpectrumBins; ++i) fluence[i] = fluence[i] / sum;
  return fluence;
}

TEST(RunInputCrossCheck, TenMeVCopperThroughTheShippedLeadFilter) {
  testing::TestFolder folder;
  SpectrumState state;
  LeadTable table;
  const auto lead = std::filesystem::path(SHIPPED_DATA) / "Lead.dat";
  if (std::filesystem::exists(lead)) {
    ASSERT_TRUE(readLeadTable(lead, table, state.leadAttenuation).ok());
  } else {
    for (int i = 1; i <= kSpectrumBins; ++i) state.leadAttenuation[i] = 30.0 / i;
  }
  SpectrumEntries entries{"10.0", "29", "10.5", false};
  state.spectrumCount = 1;
  ASSERT_TRUE(computeSchiffSpectrum(state, entries).ok());
  ASSERT_TRUE(writeSpectrumFile(state, entries, folder.path()).ok());
  ASSERT_TRUE(writeRunParameters("run1", "30000000", folder.path()).ok());

  dravik::RunInput input;
  auto error = dravik::readRunInput(input, folder.path());
  ASSERT_FALSE(error.has_value()) << error->message();
  const auto expected = expectedFluences(folder / "S_SPCTL.dat");
  for (int i = 1; i <= kSpectrumBins; ++i) EXPECT_EQ(input.spectrum.fluence[i], expected[i]) << i;
  EXPECT_EQ(input.lastBin, 200);
  EXPECT_EQ(input.spectrum.accelerationEnergy, 10.0f);
  EXPECT_EQ(input.spectrum.targetZ, 29);
  EXPECT_EQ(input.spectrum.filterThickness, 10.5f);
  EXPECT_EQ(input.parameters.historyTotal, 3.0e7f);
  EXPECT_EQ(dravik::resultFileName(input.parameters), "run1.tmr");
}

TEST(RunInputCrossCheck, TinyReferenceModeFluencesStayInTheirColumns) {
  testing::TestFolder folder;
  SpectrumState state;
  const double fluences[] = {2.0, 1.0e-99, 5.0e-100, 3.0e-300, 1.5e-20, 0.0};
  for (std::size_t k = 0; k < std::size(fluences); ++k) state.relativeFluence[k + 1] = fluences[k];
  state.relativeFluence[399] = 0.25;
  SpectrumEntries entries{"20", "74", " 4.5", true};
  ASSERT_TRUE(writeSpectrumFile(state, entries, folder.path()).ok());
  ASSERT_TRUE(writeRunParameters("tiny", "1e6", folder.path()).ok());
  dravik::RunInput input;
  auto error = dravik::readRunInput(input, folder.path());
  ASSERT_FALSE(error.has_value()) << error->message();
  const float sum = 2.0f + 0.25f;  // 1e-99 and 1.5e-20 vanish in a single-precision sum
  EXPECT_EQ(input.spectrum.fluence[1], 2.0f / sum);
  EXPECT_EQ(input.spectrum.fluence[2], 0.0f);  // below the smallest single-precision number
  EXPECT_EQ(input.spectrum.fluence[3], 0.0f);
  EXPECT_EQ(input.spectrum.fluence[5], 1.5e-20f / sum);
  EXPECT_EQ(input.lastBin, 399);
  EXPECT_EQ(input.spectrum.filterThickness, 4.5f);
  EXPECT_EQ(input.parameters.historyTotal, 1.0e6f);
}

// A batched run of the simulation on the workbench's hand-over files: its
// uncertainty file reads like a result file in the results window's reader.
TEST(UncertaintyFileCrossCheck, ReadsLikeAResultFile) {
  testing::TestFolder folder;
  for (const char* f : {"water20.dat", "ELDAT.dat"}) {
    std::filesystem::copy_file(std::filesystem::path(SHIPPED_DATA) / f, folder / f);
  }
  SpectrumState state;
  for (int i = 1; i <= kSpectrumBins; ++i) state.leadAttenuation[i] = 30.0 / i;
  SpectrumEntries entries{"10.0", "29", "10.5", false};
  state.spectrumCount = 1;
  ASSERT_TRUE(computeSchiffSpectrum(state, entries).ok());
  ASSERT_TRUE(writeSpectrumFile(state, entries, folder.path()).ok());
  ASSERT_TRUE(writeRunParameters("run1", "3000", folder.path()).ok());
  dravik::RunOptions options;
  options.batched = true;
  options.batch.threads = 2;
  options.batch.batches = 4;
  std::istringstream in;
  std::ostringstream out;
  ASSERT_EQ(dravik::runSimulation(
                in, out, [] { return dravik::ClockTime{}; }, folder.path(), options),
            0)
      << out.str();

  CalculatedTmrTable result, sigma;
  ASSERT_TRUE(loadCalculatedTable(folder / "run1.tmr", result).ok());
  const auto read = loadCalculatedTable(folder / "run1.unc", sigma);
  ASSERT_TRUE(read.ok()) << read.failure().reason;
  const auto header = readResultHeader(folder / "run1.unc");
  ASSERT_TRUE(header.ok());
  EXPECT_EQ(header.value().historyTotal, 3000.0);
  for (int f = 1; f <= kFields; ++f) {
    for (int r = 1; r <= kDepthRows; ++r) {
      EXPECT_GE(sigma.at(f, r), 0.0) << f << ", " << r;
      EXPECT_LT(sigma.at(f, r), 1.0) << f << ", " << r;
    }
  }
}

}  // namespace
}  // namespace corvane
