#include "simulation/run.h"

#include <cmath>
#include <ctime>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "simulation/fixed_format.h"
#include "simulation/kernel.h"
#include "simulation/physics_data.h"
#include "simulation/result_output.h"
#include "simulation/run_input.h"
#include "simulation/square_fields.h"
#include "simulation/state.h"
#include "simulation/transport/photon.h"
#include "simulation/transport/runaway.h"

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

int runSequence(std::istream& in, std::ostream& out, const Clock& clock,
                const std::filesystem::path& folder) {
  // The generator is set up when the state is created, before any file is read.
  auto sim = std::make_unique<Simulation>();
  RunInput& input = sim->input;

  if (auto e = readPhysicsData(sim->tables, folder)) return stopWithError(in, out, e->message());
  setUpPhantom(sim->phantom);

  out << kBlankLine << '\n'
      << "   *****     Monte Carlo simulation    *****" << '\n'
      << kBlankLine << '\n'
      << "    Calculation of TMRs of High-energy X-ray" << '\n'
      << kBlankLine << '\n';

  if (auto e = readRunInput(input, folder)) return stopWithError(in, out, e->message());
  if (auto e = checkCoefficientReach(sim->tables, input))
    return stopWithError(in, out, e->message());
  const std::string name = resultFileName(input.parameters);
  if (name.empty()) {
    return stopWithError(in, out, "Input error: B2F.dat, line 1: the result file name is empty");
  }
  if (auto message = checkResultOutput(folder, name, input))
    return stopWithError(in, out, *message);

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

  const double historyTotal = input.parameters.historyTotal;
  for (int i = 1; i <= input.lastBin; ++i) {
    const float fluence = spectrum.fluence[i];
    if (fluence == 0.0f) continue;
    // The product of the two single-precision values is exact in double precision.
    const auto historiesInBin =
        static_cast<std::int32_t>(static_cast<double>(fluence) * historyTotal);
    const float binEnergy = 50.0f * static_cast<float>(i) - 25.0f;  // bin centre [keV]
    out << "  " << i << " / " << input.lastBin << std::endl;
    for (std::int32_t h = 0; h < historiesInBin; ++h) {
      startSourcePhoton(sim->run.rng, sim->run.photon, sim->run.history, binEnergy);
      trackHistory(*sim);
    }
  }

  out << kBlankLine << '\n' << "      * Start time =" << clockText(start) << '\n';
  const ClockTime finish = clock();
  out << "      * Finish time =" << clockText(finish) << std::endl;

  if (!synthesizeSquareFields(sim->run.kernel, sim->run.tmr)) {
    return stopWithError(in, out,
                         "No energy was scored in the phantom (no history was run): the result "
                         "file " +
                             name + " is not written");
  }
  if (auto e = writeResultFile(folder / name, sim->run.tmr, input)) {
    return stopWithError(in, out, *e);
  }

  out << kBlankLine << '\n'
      << "   ---   Push Enter key to exit   ---" << '\n'
      << kBlankLine << std::endl;
  waitForEnter(in);
  out << "Stop - Program terminated." << std::endl;
  return 0;
}

}  // namespace

int runSimulation(std::istream& in, std::ostream& out, const Clock& clock,
                  const std::filesystem::path& folder) {
  try {
    return runSequence(in, out, clock, folder);
  } catch (const RunawayHistory& e) {
    return stopWithError(in, out, e.what());
  }
}

}  // namespace dravik
