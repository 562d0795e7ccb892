#include "tuning/cli.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <thread>

#include "tuning/fit.h"
#include "tuning/kernel_library.h"
#include "tuning/prediction.h"
#include "workbench/spectrum/bins.h"

namespace tuning {

namespace {

constexpr const char* kUsage =
    "usage: beamfit <command> [options]   (in the folder of water20.dat, ELDAT.dat, Lead.dat)\n"
    "  beamfit library [--threads N] [--scale F] [--check]\n"
    "  beamfit predict (--energy MeV --z Z --filter MM | --spectrum FILE) [--histories N]\n"
    "                  --output NAME\n"
    "  beamfit fit --reference FILE --z Z [--energy MeV | --filter MM] [--depth-min MM]\n"
    "              [--depth-max MM] [--tolerance PERCENT] [--output NAME] [--json FILE]\n"
    "              [--plot FILE] [--spectrum-out FILE]\n"
    "Run 'beamfit <command> --help' for one command.\n";

constexpr const char* kLibraryHelp =
    "usage: beamfit library [--threads N] [--scale F] [--check]\n"
    "Builds the kernel library beam_kernels.lib in the current folder: for every 50 keV\n"
    "spectrum bin the mean per-history depth curves of the ten square fields, in independent\n"
    "batches. An interrupted build (Ctrl-C) keeps its completed bins in beam_kernels.lib.partial\n"
    "and the next 'beamfit library' resumes it. A library that is already complete and built\n"
    "from the current water20.dat and ELDAT.dat is left as it is.\n"
    "  --threads N   worker threads (default: the processor count)\n"
    "  --scale F     histories per bin times F (default 1; smaller builds faster, less precise)\n"
    "  --check       only check: exit 0 if the library is complete and current, 1 otherwise\n";

constexpr const char* kPredictHelp =
    "usage: beamfit predict (--energy MeV --z Z --filter MM | --spectrum FILE) [--histories N]\n"
    "                       --output NAME\n"
    "Predicts the TMR table of a run from the kernel library: NAME.tmr (TMR values) and\n"
    "NAME.unc (their 1 sigma) in the result-file layout, and prints TPR20,10 with its sigma and\n"
    "each field's depth of maximum.\n"
    "  --energy MeV      electron acceleration energy (0.05 ... 20)\n"
    "  --z Z             atomic number of the target\n"
    "  --filter MM       lead filter thickness\n"
    "  --spectrum FILE   a spectrum file (S_SPCTL.dat layout) instead of the three above\n"
    "  --histories N     history total of the run predicted (default 30000000)\n"
    "  --output NAME     result name\n";

constexpr const char* kFitHelp =
    "usage: beamfit fit --reference FILE --z Z [--energy MeV | --filter MM] [--depth-min MM]\n"
    "                   [--depth-max MM] [--tolerance PERCENT] [--output NAME] [--json FILE]\n"
    "                   [--plot FILE] [--spectrum-out FILE]\n"
    "Fits the acceleration energy (0.5 ... 20 MeV) and the lead filter thickness (0 ... 30 mm)\n"
    "to a reference TMR file (depths in mm, ten fields, at most 30 rows) by weighted least\n"
    "squares over the rows beyond the build-up region. A given --energy or --filter is held.\n"
    "  --z Z               atomic number of the target (held)\n"
    "  --depth-min MM      use rows at or below this depth (default: deeper than each field's\n"
    "                      maximum in the reference)\n"
    "  --depth-max MM      leave out rows deeper than this (default 295: the simulated\n"
    "                      phantom ends at 300 mm, its last millimetres lack backscatter)\n"
    "  --tolerance PERCENT measurement tolerance in the weights (default 0.5)\n"
    "  --output NAME       write the fitted prediction as NAME.tmr and NAME.unc (default fit)\n"
    "  --json FILE         write a JSON summary\n"
    "  --plot FILE         write an SVG plot of the reference, the fit and the residuals\n"
    "  --spectrum-out FILE write the fitted spectrum (S_SPCTL.dat layout)\n";

struct UsageError {
  std::string text;
};

// Options of one subcommand: name -> value (empty for a flag).
using Options = std::map<std::string, std::string>;

Options parse(const std::vector<std::string>& args, const std::map<std::string, bool>& known) {
  Options o;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto k = known.find(a);
    if (k == known.end()) throw UsageError{"unknown option '" + a + "' for " + args[0]};
    if (o.count(a)) throw UsageError{"option " + a + " given twice"};
    if (k->second) {
      if (i + 1 >= args.size()) throw UsageError{"option " + a + " needs a value"};
      o[a] = args[++i];
    } else {
      o[a] = "";
    }
  }
  return o;
}

double number(const Options& o, const std::string& key, double low, double high) {
  const std::string& text = o.at(key);
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v))
    throw UsageError{"option " + key + ": '" + text + "' is not a number"};
  if (v < low || v > high)
    throw UsageError{"option " + key + ": " + text + " lies outside " + std::to_string(low) +
                     " ... " + std::to_string(high)};
  return v;
}

std::string duration(double s) {
  const long t = std::lround(s);
  char b[32];
  if (t >= 60)
    std::snprintf(b, sizeof(b), "%ldm%02lds", t / 60, t % 60);
  else
    std::snprintf(b, sizeof(b), "%lds", t);
  return b;
}

bool writeText(const std::filesystem::path& file, const std::string& text, std::string& error) {
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
      error = "cannot write " + file.string();
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    error = "cannot write " + file.string() + " (" + ec.message() + ")";
    return false;
  }
  return true;
}

int fail(std::ostream& err, const std::string& message) {
  err << "beamfit: " << message << '\n';
  return 1;
}

std::string fieldName(int f) {
  return std::to_string(corvane::fieldSides[f]) + "x" + std::to_string(corvane::fieldSides[f]);
}

int commandLibrary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& folder, const std::atomic<bool>* cancel) {
  const Options o = parse(args, {{"--threads", true}, {"--scale", true}, {"--check", false}});
  const bool check = o.count("--check") > 0;
  if (check && o.size() > 1) throw UsageError{"--check takes no other option"};
  int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  if (o.count("--threads")) threads = static_cast<int>(number(o, "--threads", 1, 256));
  const double scale = o.count("--scale") ? number(o, "--scale", 1e-4, 100.0) : 1.0;

  auto loaded = loadLibrary(folder);
  if (check) {
    if (!loaded.library) return fail(err, loaded.error);
    out << "kernel library " << kLibraryFileName << " is complete and current\n";
    return 0;
  }
  if (loaded.library) {
    out << "kernel library " << kLibraryFileName
        << " is already complete and current; nothing to build\n";
    return 0;
  }
  const LibraryPlan plan = defaultPlan(scale);
  long long histories = 0;
  for (int b = 1; b <= kBins; ++b) histories += plan.histories[b];
  err << "building " << kLibraryFileName << ": " << histories << " histories in " << kBins
      << " bins x " << plan.batches << " batches, " << threads << " thread"
      << (threads == 1 ? "" : "s") << '\n';
  BuildOptions options;
  options.threads = threads;
  options.cancel = cancel;
  long shown = -1;  // whole second of the last progress line
  options.progress = [&err, &shown](const BuildProgress& p) {
    const long second = static_cast<long>(p.secondsElapsed);
    if (second == shown && p.binsDone < p.binsTotal) return;
    shown = second;
    err << "\r  bin " << p.binsDone << " of " << p.binsTotal << ", " << duration(p.secondsElapsed)
        << " elapsed";
    if (p.secondsLeft >= 0) err << ", about " << duration(p.secondsLeft) << " left";
    err << "    " << std::flush;
  };
  const auto start = std::chrono::steady_clock::now();
  const BuildOutcome built = buildLibrary(folder, folder / kLibraryFileName, plan, options);
  err << '\n';
  if (built.binsResumed > 0)
    err << "resumed " << built.binsResumed << " bins from " << kLibraryFileName << ".partial\n";
  if (built.status == BuildStatus::failed) return fail(err, built.message);
  if (built.status == BuildStatus::cancelled)
    return fail(err, std::string("interrupted; the completed bins are kept in ") +
                         kLibraryFileName + ".partial: run 'beamfit library' again to resume");
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  out << "kernel library " << kLibraryFileName << " built in " << duration(s) << " ("
      << std::filesystem::file_size(folder / kLibraryFileName) << " bytes)\n";
  return 0;
}

int commandPredict(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& folder) {
  const Options o = parse(args, {{"--energy", true},
                                 {"--z", true},
                                 {"--filter", true},
                                 {"--spectrum", true},
                                 {"--histories", true},
                                 {"--output", true}});
  const bool fromFile = o.count("--spectrum") > 0;
  const int parameters =
      static_cast<int>(o.count("--energy") + o.count("--z") + o.count("--filter"));
  if (fromFile && parameters > 0)
    throw UsageError{"give either --spectrum or --energy, --z and --filter, not both"};
  if (!fromFile && parameters < 3)
    throw UsageError{"give --energy, --z and --filter (or --spectrum FILE)"};
  if (!o.count("--output") || o.at("--output").empty()) throw UsageError{"--output NAME is needed"};
  const double histories =
      o.count("--histories") ? number(o, "--histories", 1, 2147483647.0) : 30000000.0;
  double E = 0, Z = 0, t = 0;
  if (!fromFile) {
    E = number(o, "--energy", 0.05, 20.0);
    Z = number(o, "--z", 1, 100);
    t = number(o, "--filter", 0, 1000);
  }

  auto loaded = loadLibrary(folder);
  if (!loaded.library) return fail(err, loaded.error);
  SpectrumOutcome spectrum;
  if (fromFile) {
    spectrum = spectrumFromFile(folder / o.at("--spectrum"), histories);
  } else {
    corvane::LeadCoefficients lead{};
    if (auto e = readLead(folder, lead); !e.empty()) return fail(err, e);
    spectrum = spectrumFromParameters(lead, E, Z, t, histories);
  }
  if (!spectrum.spectrum) return fail(err, spectrum.error);
  auto predicted = predict(*loaded.library, runWeights(spectrum.spectrum->input));
  if (!predicted.prediction) return fail(err, predicted.error);
  const Prediction& p = *predicted.prediction;
  if (auto e = writePrediction(folder, o.at("--output"), p, spectrum.spectrum->input); !e.empty())
    return fail(err, e);
  char line[96];
  std::snprintf(line, sizeof(line), "TPR20,10 = %.4f +- %.4f\n", p.tpr, p.tprSigma);
  out << line << "depth of maximum [mm]:";
  for (int f = 1; f <= kFields; ++f) out << ' ' << fieldName(f) << ' ' << p.depthOfMaximum[f];
  out << "\nwritten " << o.at("--output") << ".tmr and " << o.at("--output") << ".unc\n";
  return 0;
}

int commandFit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::filesystem::path& folder) {
  const Options o = parse(args, {{"--reference", true},
                                 {"--z", true},
                                 {"--energy", true},
                                 {"--filter", true},
                                 {"--depth-min", true},
                                 {"--depth-max", true},
                                 {"--tolerance", true},
                                 {"--output", true},
                                 {"--json", true},
                                 {"--plot", true},
                                 {"--spectrum-out", true}});
  if (!o.count("--reference")) throw UsageError{"--reference FILE is needed"};
  if (!o.count("--z")) throw UsageError{"--z Z is needed"};
  FitOptions options;
  options.Z = number(o, "--z", 1, 100);
  if (o.count("--energy") && o.count("--filter"))
    throw UsageError{"--energy and --filter cannot both be held: nothing would be fitted"};
  if (o.count("--energy")) options.fixedEnergy = number(o, "--energy", 0.5, 20.0);
  if (o.count("--filter")) options.fixedFilter = number(o, "--filter", 0.0, 30.0);
  if (o.count("--depth-min")) options.depthMin = number(o, "--depth-min", 0.0, 300.0);
  if (o.count("--depth-max")) options.depthMax = number(o, "--depth-max", 0.0, 300.0);
  if (o.count("--tolerance")) options.tolerance = number(o, "--tolerance", 0.0, 100.0) / 100.0;
  const std::string name = o.count("--output") ? o.at("--output") : "fit";
  if (name.empty()) throw UsageError{"--output needs a name"};

  const auto start = std::chrono::steady_clock::now();
  auto reference = readReference(folder / o.at("--reference"));
  if (!reference.reference) return fail(err, reference.error);
  auto loaded = loadLibrary(folder);
  if (!loaded.library) return fail(err, loaded.error);
  corvane::LeadCoefficients lead{};
  if (auto e = readLead(folder, lead); !e.empty()) return fail(err, e);
  if (options.tolerance == 0.0) options.tolerance = 1e-9;
  auto fitted = fitReference(*loaded.library, lead, *reference.reference, options);
  if (!fitted.result) return fail(err, fitted.error);
  const FitResult& fit = *fitted.result;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  // The fitted spectrum as a run would read it, for the result header and the spectrum file.
  auto spectrum = spectrumFromParameters(lead, fit.energy, options.Z, fit.filter);
  if (!spectrum.spectrum) return fail(err, spectrum.error);
  if (auto e = writePrediction(folder, name, fit.prediction, spectrum.spectrum->input); !e.empty())
    return fail(err, e);
  std::string error;
  if (o.count("--spectrum-out")) {
    if (auto e = writeSpectrum(*spectrum.spectrum, folder / o.at("--spectrum-out")); !e.empty())
      return fail(err, e);
  }
  if (o.count("--json") && !writeText(folder / o.at("--json"),
                                      fitJson(fit, *reference.reference, options, seconds), error))
    return fail(err, error);
  if (o.count("--plot") &&
      !writeText(folder / o.at("--plot"), fitSvg(fit, *reference.reference), error))
    return fail(err, error);

  char b[256];
  std::snprintf(b, sizeof(b), "fit of %s, target Z %g: %zu points, %d evaluations, %.2f s\n",
                o.at("--reference").c_str(), options.Z, fit.points.size(), fit.evaluations,
                seconds);
  out << b;
  if (fit.energyHeld)
    std::snprintf(b, sizeof(b), "energy   = %.3f MeV (held)\n", fit.energy);
  else
    std::snprintf(b, sizeof(b), "energy   = %.3f +- %.3f MeV%s\n", fit.energy, fit.energySigma,
                  fit.energyAtBound ? " (at the edge of 0.5 ... 20 MeV)" : "");
  out << b;
  if (fit.filterHeld)
    std::snprintf(b, sizeof(b), "filter   = %.2f mm (held)\n", fit.filter);
  else
    std::snprintf(b, sizeof(b), "filter   = %.2f +- %.2f mm%s\n", fit.filter, fit.filterSigma,
                  fit.filterAtBound ? " (at the edge of 0 ... 30 mm)" : "");
  out << b;
  if (!fit.energyHeld && !fit.filterHeld) {
    std::snprintf(b, sizeof(b), "correlation of energy and filter = %.3f\n", fit.correlation);
    out << b;
  }
  std::snprintf(b, sizeof(b), "reduced chi2 = %.3f (%d degrees of freedom)%s\n", fit.chi2Reduced,
                fit.degreesOfFreedom, fit.covarianceScaled ? "; the region is widened by it" : "");
  out << b;
  std::snprintf(b, sizeof(b), "TPR20,10 predicted %.4f +- %.4f, reference %.4f\n",
                fit.prediction.tpr, fit.prediction.tprSigma, fit.tprReference);
  out << b << "field     points  rms [%]  max [%]\n";
  for (int f = 1; f <= kFields; ++f) {
    std::snprintf(b, sizeof(b), "%-9s %6d %8.3f %8.3f\n", fieldName(f).c_str(),
                  fit.fields[f].points, fit.fields[f].rmsPercent, fit.fields[f].maxPercent);
    out << b;
  }
  out << "written " << name << ".tmr and " << name << ".unc";
  for (const char* k : {"--spectrum-out", "--json", "--plot"})
    if (o.count(k)) out << ", " << o.at(k);
  out << '\n';
  return 0;
}

}  // namespace

int runBeamfit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::filesystem::path& folder, const std::atomic<bool>* cancel) {
  const std::map<std::string, const char*> help = {
      {"library", kLibraryHelp}, {"predict", kPredictHelp}, {"fit", kFitHelp}};
  if (args.empty()) {
    err << "beamfit: no command given\n" << kUsage;
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    out << kUsage;
    return 0;
  }
  auto h = help.find(args[0]);
  if (h == help.end()) {
    err << "beamfit: unknown command '" << args[0] << "'\n" << kUsage;
    return 2;
  }
  for (std::size_t i = 1; i < args.size(); ++i)
    if (args[i] == "--help" || args[i] == "-h") {
      out << h->second;
      return 0;
    }
  try {
    if (args[0] == "library") return commandLibrary(args, out, err, folder, cancel);
    if (args[0] == "predict") return commandPredict(args, out, err, folder);
    return commandFit(args, out, err, folder);
  } catch (const UsageError& e) {
    err << "beamfit: " << e.text << '\n' << h->second;
    return 2;
  }
}

}  // namespace tuning
