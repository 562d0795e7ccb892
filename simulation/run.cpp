#include "simulation/run.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "simulation/engine.h"
#include "simulation/fixed_format.h"
#include "simulation/kernel.h"
#include "simulation/physics_data.h"
#include "simulation/run_input.h"
#include "simulation/square_fields.h"
#include "simulation/state.h"
#include "simulation/uncertainty.h"

namespace dravik {

ClockTime localClock() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return ClockTime{local.tm_hour, local.tm_min, local.tm_sec};
}

namespace {

constexpr const char* kBlankLine = " ";

// One wait for the Enter key: the typed line is discarded; the end of the input
// counts as Enter, so a run fed from /dev/null goes through to the end.
void waitForEnter(std::istream& in) {
  std::string ignored;
  std::getline(in, ignored);
}

std::string clockText(const ClockTime& t) {
  return fixedInteger(t.hour, 2) + ":" + fixedInteger(t.minute, 2) + ":" +
         fixedInteger(t.second, 2);
}

// An error that ends the run: the message, then a wait so that a console window
// opened for the run stays readable, then a non-zero exit status.
int stopWithError(std::istream& in, std::ostream& out, const std::string& message) {
  out << message << '\n';
  out << "   ---   Push Enter key to exit   ---" << std::endl;
  waitForEnter(in);
  return 1;
}

// The coefficient table must reach beyond the highest source energy of the run.
InputResult checkCoefficientReach(const PhysicsTables& tables, const RunInput& input) {
  const float highest = 50.0f * static_cast<float>(input.lastBin) - 25.0f;
  const float last = tables.photon.energy[tables.photon.rowCount];
  if (last > highest) return std::nullopt;
  return InputError{"water20.dat", 0,
                    "the last coefficient energy (" + std::to_string(last) +
                        " keV) does not exceed the highest source energy of the run (" +
                        std::to_string(highest) + " keV)"};
}

// Why no result can be written when a field's curve is zero at every depth.
std::string noResultReason(const DoseKernel& kernel, const TmrTable& tmr, std::int64_t histories) {
  if (histories == 0) return "No energy was scored in the phantom (no history was run)";
  const std::string run =
      std::to_string(histories) + (histories == 1 ? " history run" : " histories run");
  double total = 0.0;
  for (float v : kernel.cells) total += v;
  if (total == 0.0) return "No energy was scored in the phantom by the " + run;
  std::string sides;
  for (int k = 1; k <= kFields; ++k) {
    bool empty = true;
    for (int d = 1; d <= kDepthBins && empty; ++d) empty = tmr.T(k, d) == 0.0f;
    if (empty) {
      sides += (sides.empty() ? "" : ", ") + std::to_string(static_cast<int>(fieldSides[k - 1]));
    }
  }
  return "No energy was scored within the " + sides + " cm square fields (the " + run +
         " scored only outside them), so their curves cannot be normalised";
}

// The result path as shown in messages: absolute, so the user can find it.
std::filesystem::path wholePath(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path whole = std::filesystem::absolute(file, ec);
  return ec ? file : whole.lexically_normal();
}

// NAME.unc beside NAME.tmr; a name not ending in .tmr gets .unc appended.
std::string uncertaintyFileName(const std::string& resultName) {
  const std::string tmr = ".tmr";
  if (resultName.size() > tmr.size()) {
    std::string ending = resultName.substr(resultName.size() - tmr.size());
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending == tmr) return resultName.substr(0, resultName.size() - tmr.size()) + ".unc";
  }
  return resultName + ".unc";
}

std::string durationText(double seconds) {
  const auto total = static_cast<long long>(seconds + 0.5);
  return std::to_string(total / 3600) + ":" + (total / 60 % 60 < 10 ? "0" : "") +
         std::to_string(total / 60 % 60) + ":" + (total % 60 < 10 ? "0" : "") +
         std::to_string(total % 60);
}

// Progress of a batched run: one line each time the finished histories pass
// another 5 % of the run, with the elapsed and the estimated remaining time.
class ProgressLines {
 public:
  ProgressLines(std::ostream& out, std::int64_t total)
      : out_(out), total_(total), start_(std::chrono::steady_clock::now()) {}
  void report(std::int64_t finished) {
    if (total_ <= 0) return;
    const int percent = static_cast<int>(finished * 100 / total_);
    const int step = percent / kStep * kStep;
    if (step <= shown_) return;
    shown_ = step;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double remaining = finished > 0 ? elapsed * static_cast<double>(total_ - finished) /
                                                static_cast<double>(finished)
                                          : 0.0;
    out_ << "  " << fixedInteger(step, 3) << " % of " << total_ << " histories   elapsed "
         << durationText(elapsed) << "   remaining about " << durationText(remaining) << std::endl;
  }

 private:
  static constexpr int kStep = 5;  // [%] between two lines
  std::ostream& out_;
  std::int64_t total_;
  std::chrono::steady_clock::time_point start_;
  int shown_ = 0;
};

}  // namespace

int runSimulation(std::istream& in, std::ostream& out, const Clock& clock,
                  const std::filesystem::path& folder, const RunOptions& options) {
  // The generator is set up when the state is created, before any file is read.
  auto sim = std::make_unique<Simulation>();
  RunInput& input = sim->input;
  SharedTables& shared = sim->shared;

  if (auto e = readPhysicsData(shared.tables, folder)) return stopWithError(in, out, e->message());
  setUpPhantom(shared.phantom);

  out << kBlankLine << '\n'
      << "   *****     Monte Carlo simulation    *****" << '\n'
      << kBlankLine << '\n'
      << "    Calculation of TMRs of High-energy X-ray" << '\n'
      << kBlankLine << '\n';

  if (auto e = readRunInput(input, folder)) return stopWithError(in, out, e->message());
  if (auto e = checkCoefficientReach(shared.tables, input))
    return stopWithError(in, out, e->message());
  const std::string name = resultFileName(input.parameters);
  if (name.empty()) {
    return stopWithError(in, out, "Input error: B2F.dat, line 1: the result file name is empty");
  }

  const SpectrumInput& spectrum = input.spectrum;
  out << "   Acceeleration energy = " << fixedReal(spectrum.accelerationEnergy, 6, 2) << " [MeV]\n"
      << "   Target Z number = " << fixedInteger(spectrum.targetZ, 2) << '\n'
      << "   Filter thickness = " << fixedReal(spectrum.filterThickness, 6, 2) << " [mm]\n"
      << "   File name to save result = "
      << std::string(input.parameters.resultFileName.begin(), input.parameters.resultFileName.end())
      << '\n';

  out << kBlankLine << '\n' << "  ---   Push Enter key to Start   ---" << std::endl;
  waitForEnter(in);

  const ClockTime start = clock();
  out << "      * Start time =" << clockText(start) << '\n'
      << kBlankLine << '\n'
      << kBlankLine << std::endl;

  const BinCounts historiesInBin = binHistoryCounts(input);
  std::int64_t histories = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) histories += historiesInBin[i];
  const DoseKernel* kernel = &sim->worker.kernel;
  std::unique_ptr<BatchRun> batches;
  if (!options.batched) {
    // One worker with the fixed-seed generator, bin after bin in order.
    for (int i = 1; i <= input.lastBin; ++i) {
      if (spectrum.fluence[i] == 0.0f) continue;
      out << "  " << i << " / " << input.lastBin << std::endl;
      runBinHistories(shared, sim->worker, i, historiesInBin[i]);
    }
  } else {
    ProgressLines progress(out, histories);
    batches = runBatches(shared, historiesInBin, options.batch,
                         [&progress](std::int64_t finished) { progress.report(finished); });
    kernel = &batches->kernel;
  }

  out << kBlankLine << '\n' << "      * Start time =" << clockText(start) << '\n';
  const ClockTime finish = clock();
  out << "      * Finish time =" << clockText(finish) << std::endl;

  auto tmr = std::make_unique<TmrTable>();
  if (!synthesizeSquareFields(*kernel, *tmr)) {
    return stopWithError(
        in, out,
        noResultReason(*kernel, *tmr, histories) + ": the result file " + name + " is not written");
  }
  if (auto e = writeResultFile(wholePath(folder / name), *tmr, input)) {
    return stopWithError(in, out, *e);
  }

  if (options.batched) {
    const TmrUncertainty u = jackknifeUncertainty(batches->fieldSums);
    const std::string uncName = uncertaintyFileName(name);
    if (u.defined) {
      if (auto e = writeResultFile(wholePath(folder / uncName), u.sigma, input)) {
        return stopWithError(in, out, *e);
      }
    }
    // Two lines that fit an 80-column console: TPR20,10 with its 1 sigma, and the
    // depth of each field's maximum (bin centre), fields in the result file's order.
    out << kBlankLine << '\n';
    out << "   TPR20,10 = " << fixedReal(tprOf(*tmr), 6, 4);
    if (u.defined) {
      out << " +- " << fixedReal(u.tprSigma, 6, 4) << " (1 sigma, 10 x 10 cm field, "
          << options.batch.batches << " batches)\n";
    } else {
      out << " (no uncertainty: a field's energy lies in one batch; " << uncName
          << " is not written)\n";
    }
    const auto at = depthOfMaximum(*tmr);
    out << "   dmax [cm] 4..35:";
    for (int k = 1; k <= kFields; ++k) out << fixedReal(0.1 * at[k] - 0.05, 6, 2);
    out << std::endl;
  }

  out << kBlankLine << '\n'
      << "   ---   Push Enter key to exit   ---" << '\n'
      << kBlankLine << std::endl;
  waitForEnter(in);
  out << "Stop - Program terminated." << std::endl;
  return 0;
}

}  // namespace dravik
