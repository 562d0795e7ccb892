#include "simulation/run.h"

#include <cmath>
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

}  // namespace

int runSimulation(std::istream& in, std::ostream& out, const Clock& clock,
                  const std::filesystem::path& folder) {
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

  // One worker with the fixed-seed generator, bin after bin in order.
  const BinCounts historiesInBin = binHistoryCounts(input);
  for (int i = 1; i <= input.lastBin; ++i) {
    if (spectrum.fluence[i] == 0.0f) continue;
    out << "  " << i << " / " << input.lastBin << std::endl;
    runBinHistories(shared, sim->worker, i, historiesInBin[i]);
  }

  out << kBlankLine << '\n' << "      * Start time =" << clockText(start) << '\n';
  const ClockTime finish = clock();
  out << "      * Finish time =" << clockText(finish) << std::endl;

  auto tmr = std::make_unique<TmrTable>();
  if (!synthesizeSquareFields(sim->worker.kernel, *tmr)) {
    return stopWithError(in, out,
                         "No energy was scored in the phantom (no history was run): the result "
                         "file " +
                             name + " is not written");
  }
  if (auto e = writeResultFile(folder / name, *tmr, input)) {
    return stopWithError(in, out, *e);
  }

  out << kBlankLine << '\n'
      << "   ---   Push Enter key to exit   ---" << '\n'
      << kBlankLine << std::endl;
  waitForEnter(in);
  out << "Stop - Program terminated." << std::endl;
  return 0;
}

}  // namespace dravik
