#include "tuning/fit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>

#include "workbench/spectrum/results.h"

namespace tuning {

namespace {

double interpolate(const std::array<double, kCurveValues>& v, int f, double depth) {
  const double u = depth + 0.5;  // row r is centred at r - 0.5 mm
  const double* c = v.data() + (f - 1) * kDepths;
  if (!(u > 1.0)) return c[0];
  if (!(u < kDepths)) return c[kDepths - 1];
  const int r = static_cast<int>(u);
  const double a = u - r;
  return (1.0 - a) * c[r - 1] + a * c[r];
}

// The line number at the start of a reader's reason ("12 行目: ..."), 0 when there is none.
int lineOf(const std::string& reason) { return std::atoi(reason.c_str()); }

std::string fmt(const char* pattern, double v) {
  char b[64];
  std::snprintf(b, sizeof(b), pattern, v);
  return b;
}

// The objective's pieces for one parameter pair.
struct Evaluation {
  bool ok = false;
  std::vector<double> residuals;  // (predicted - reference) / sigma
  double chi2 = 0.0;
  Prediction prediction;
};

class Objective {
 public:
  Objective(const KernelLibrary& library, const corvane::LeadCoefficients& lead,
            const Reference& reference, const FitOptions& options)
      : library_(library), lead_(lead), options_(options) {
    for (int f = 1; f <= kFields; ++f) {
      double cut = 0.0;
      if (options.depthMin) {
        cut = *options.depthMin;
      } else {  // deeper than the field's own depth of maximum in the reference
        double m = -1.0;
        for (int k = 1; k <= reference.rows; ++k)
          if (reference.tmr[f][k] > m) {
            m = reference.tmr[f][k];
            cut = reference.depth[k];
          }
      }
      for (int k = 1; k <= reference.rows; ++k) {
        const bool used =
            (options.depthMin ? reference.depth[k] >= cut : reference.depth[k] > cut) &&
            reference.depth[k] <= options.depthMax;
        if (used) points_.push_back({f, k, reference.depth[k], reference.tmr[f][k], 0.0, 0.0});
      }
    }
    sigmaPrediction_.assign(points_.size(), 0.0);
  }

  const std::vector<FitPoint>& points() const { return points_; }
  int evaluations() const { return evaluations_; }

  // Prediction sigma held in the weights until refreshed (it changes slowly with the parameters,
  // and holding it keeps the least-squares surface smooth for the finite differences).
  void refreshWeights(const Prediction& p) {
    for (std::size_t i = 0; i < points_.size(); ++i)
      sigmaPrediction_[i] = sigmaAtDepth(p, points_[i].field, points_[i].depth);
  }
  double sigmaOf(std::size_t i) const {
    const double m = options_.tolerance * points_[i].reference;
    return std::sqrt(m * m + sigmaPrediction_[i] * sigmaPrediction_[i]);
  }

  // Evaluations use jackknife replica `replica` of the library (-1: the whole library).
  void useReplica(int replica) { replica_ = replica; }

  Evaluation evaluate(double E, double t, bool withSigma) {
    ++evaluations_;
    Evaluation e;
    BinWeights w;
    if (!spectrumWeights(lead_, E, options_.Z, t, w).empty()) return e;
    auto p = predict(library_, w, withSigma, replica_);
    if (!p.prediction) {
      error_ = p.error;
      return e;
    }
    e.prediction = *p.prediction;
    e.residuals.resize(points_.size());
    for (std::size_t i = 0; i < points_.size(); ++i) {
      const double r =
          (tmrAtDepth(e.prediction, points_[i].field, points_[i].depth) - points_[i].reference) /
          sigmaOf(i);
      e.residuals[i] = r;
      e.chi2 += r * r;
    }
    e.ok = std::isfinite(e.chi2);
    return e;
  }
  const std::string& error() const { return error_; }

 private:
  const KernelLibrary& library_;
  const corvane::LeadCoefficients& lead_;
  const FitOptions& options_;
  std::vector<FitPoint> points_;
  std::vector<double> sigmaPrediction_;
  int evaluations_ = 0;
  int replica_ = -1;
  std::string error_;
};

struct Parameters {
  double E = 0.0, t = 0.0;
};

}  // namespace

double tmrAtDepth(const Prediction& p, int f, double depth) { return interpolate(p.tmr, f, depth); }
double sigmaAtDepth(const Prediction& p, int f, double depth) {
  return interpolate(p.sigma, f, depth);
}

ReferenceOutcome readReference(const std::filesystem::path& file) {
  const std::string name = file.string();
  if (!std::filesystem::is_regular_file(file))
    return {std::nullopt, "the reference file " + name + " does not exist"};
  auto data = std::make_unique<corvane::ReferenceTmrData>();
  auto loaded = corvane::loadReferenceFile(file, *data);
  if (!loaded) {
    const int line = lineOf(loaded.failure().reason);
    const std::string where = line > 0 ? " (line " + std::to_string(line) + ")" : "";
    if (data->referenceRowCount >= kMaxReferenceRows)
      return {std::nullopt, "the reference file " + name + " has more than 30 rows" + where};
    if (line <= 2)
      return {std::nullopt, "the reference file " + name + ": line " +
                                std::to_string(std::max(line, 1)) +
                                " must hold the TPR20,10 of the reference"};
    return {std::nullopt, "the reference file " + name + ", row " +
                              std::to_string(data->referenceRowCount + 1) + where +
                              ": the row must hold a depth in mm and ten TMR values, all numbers"};
  }
  Reference r;
  r.file = file;
  r.tpr = loaded.value().tpr;
  r.rows = data->referenceRowCount;
  for (int k = 1; k <= r.rows; ++k) {
    const double d = data->referenceDepths[k];
    const std::string row = "the reference file " + name + ", row " + std::to_string(k);
    if (!(d >= 0.0 && d <= 300.0))
      return {std::nullopt, row + ": the depth " + fmt("%g", d) + " mm lies outside 0 ... 300 mm"};
    r.depth[k] = d;
    for (int f = 1; f <= kFields; ++f) {
      const double v = data->table.at(f, k);
      if (!(v > 0.0 && std::isfinite(v)))
        return {std::nullopt, row + ": the TMR value of field " + std::to_string(f) + " (" +
                                  fmt("%g", v) + ") is not positive"};
      r.tmr[f][k] = v;
    }
  }
  return {r, {}};
}

FitOutcome fitReference(const KernelLibrary& library, const corvane::LeadCoefficients& lead,
                        const Reference& reference, const FitOptions& options) {
  Objective objective(library, lead, reference, options);
  {
    std::vector<int> rows;
    for (const auto& p : objective.points()) rows.push_back(p.row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.size() < 3)
      return {std::nullopt,
              "the reference file " + reference.file.string() + " has " +
                  std::to_string(rows.size()) + " usable row" + (rows.size() == 1 ? "" : "s") +
                  " beyond the build-up region (" +
                  (options.depthMin ? "deeper than " + fmt("%g", *options.depthMin) + " mm"
                                    : std::string("deeper than each field's maximum")) +
                  ", to " + fmt("%g", options.depthMax) + " mm); at least 3 are needed"};
  }
  const bool holdE = options.fixedEnergy.has_value();
  const bool holdT = options.fixedFilter.has_value();
  auto clampE = [&](double E) { return std::clamp(E, options.energyLow, options.energyHigh); };
  auto clampT = [&](double t) { return std::clamp(t, options.filterLow, options.filterHigh); };

  // Energy and filter trade against each other along a narrow curved valley of equal beam
  // hardness, which a plain grid steps over. So the search profiles it: for each energy the best
  // thickness (a bracket on a 5 mm grid, then golden section), and the best energy of a coarse
  // scan is refined by a finer one; Levenberg-Marquardt then polishes both together.
  auto bestFilter = [&](double E, double& chi2) {
    if (holdT) {
      auto e = objective.evaluate(E, *options.fixedFilter, false);
      chi2 = e.ok ? e.chi2 : std::numeric_limits<double>::infinity();
      return *options.fixedFilter;
    }
    auto at = [&](double t) {
      auto e = objective.evaluate(E, t, false);
      return e.ok ? e.chi2 : std::numeric_limits<double>::infinity();
    };
    const double step = 5.0;
    double lo = options.filterLow, hi = options.filterHigh, bestT = lo, bestC = at(lo);
    for (double t = lo + step; t < hi + step - 1e-9; t += step) {
      const double tt = std::min(t, hi);
      const double c = at(tt);
      if (c < bestC) {
        bestC = c;
        bestT = tt;
      }
    }
    lo = std::max(options.filterLow, bestT - step);
    hi = std::min(options.filterHigh, bestT + step);
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = hi - g * (hi - lo), b = lo + g * (hi - lo);
    double ca = at(a), cb = at(b);
    while (hi - lo > 0.02) {
      if (ca < cb) {
        hi = b;
        b = a;
        cb = ca;
        a = hi - g * (hi - lo);
        ca = at(a);
      } else {
        lo = a;
        a = b;
        ca = cb;
        b = lo + g * (hi - lo);
        cb = at(b);
      }
    }
    chi2 = std::min({ca, cb, bestC});
    return chi2 == bestC ? bestT : (ca < cb ? a : b);
  };
  Parameters best{holdE ? *options.fixedEnergy : options.energyLow, 0.0};
  double bestChi2 = std::numeric_limits<double>::infinity();
  auto scan = [&](double from, double to, double step) {
    for (double E = from; E <= to + 1e-9; E += step) {
      double c = 0.0;
      const double t = bestFilter(E, c);
      if (c < bestChi2) {
        bestChi2 = c;
        best = {E, t};
      }
    }
  };
  if (holdE) {
    scan(*options.fixedEnergy, *options.fixedEnergy, 1.0);
  } else {
    scan(options.energyLow, options.energyHigh, 0.5);
    const double centre = best.E;
    scan(std::max(options.energyLow, centre - 0.4), std::min(options.energyHigh, centre + 0.4),
         0.1);
  }
  if (!std::isfinite(bestChi2))
    return {std::nullopt,
            objective.error().empty() ? "no parameters give a prediction" : objective.error()};

  // Levenberg-Marquardt on central differences; the free parameters are E and/or t.
  const double hE = 0.1, hT = 0.3;  // steps wide enough to span the 50 keV bin structure in E
  std::vector<double> J0, J1;       // Jacobian columns
  auto jacobian = [&](const Parameters& p) {
    J0.clear();
    J1.clear();
    if (!holdE) {
      const double a = clampE(p.E - hE), b = clampE(p.E + hE);
      auto lo = objective.evaluate(a, p.t, false), hi = objective.evaluate(b, p.t, false);
      if (!lo.ok || !hi.ok) return false;
      for (std::size_t i = 0; i < lo.residuals.size(); ++i)
        J0.push_back((hi.residuals[i] - lo.residuals[i]) / (b - a));
    }
    if (!holdT) {
      const double a = clampT(p.t - hT), b = clampT(p.t + hT);
      auto lo = objective.evaluate(p.E, a, false), hi = objective.evaluate(p.E, b, false);
      if (!lo.ok || !hi.ok) return false;
      for (std::size_t i = 0; i < lo.residuals.size(); ++i)
        J1.push_back((hi.residuals[i] - lo.residuals[i]) / (b - a));
    }
    return true;
  };
  auto minimise = [&](Parameters p) {
    auto current = objective.evaluate(p.E, p.t, false);
    double lambda = 1e-2;
    for (int iteration = 0; iteration < 60 && current.ok; ++iteration) {
      if (!jacobian(p)) break;
      // Normal equations of the free parameters (1 or 2).
      double A00 = 0, A01 = 0, A11 = 0, g0 = 0, g1 = 0;
      for (std::size_t i = 0; i < current.residuals.size(); ++i) {
        const double r = current.residuals[i];
        if (!holdE) {
          A00 += J0[i] * J0[i];
          g0 += J0[i] * r;
        }
        if (!holdT) {
          A11 += J1[i] * J1[i];
          g1 += J1[i] * r;
        }
        if (!holdE && !holdT) A01 += J0[i] * J1[i];
      }
      bool improved = false;
      for (int tries = 0; tries < 12 && !improved; ++tries) {
        const double a = A00 * (1 + lambda), d = A11 * (1 + lambda);
        double dE = 0, dT = 0;
        if (!holdE && !holdT) {
          const double det = a * d - A01 * A01;
          if (det == 0) break;
          dE = -(d * g0 - A01 * g1) / det;
          dT = -(a * g1 - A01 * g0) / det;
        } else if (!holdE && a > 0) {
          dE = -g0 / a;
        } else if (!holdT && d > 0) {
          dT = -g1 / d;
        }
        Parameters trial{holdE ? p.E : clampE(p.E + dE), holdT ? p.t : clampT(p.t + dT)};
        auto e = objective.evaluate(trial.E, trial.t, false);
        if (e.ok && e.chi2 < current.chi2) {
          const double gain = current.chi2 - e.chi2;
          p = trial;
          current = std::move(e);
          lambda = std::max(lambda / 3.0, 1e-7);
          improved = true;
          if (gain < 1e-6 * current.chi2) return p;
        } else {
          lambda *= 4.0;
        }
      }
      if (!improved) break;
    }
    return p;
  };

  // Refine with tolerance-only weights, then twice more with the prediction's sigma in the
  // weights (taken at the latest optimum).
  best = minimise(best);
  for (int pass = 0; pass < 2; ++pass) {
    auto at = objective.evaluate(best.E, best.t, true);
    if (!at.ok) break;
    objective.refreshWeights(at.prediction);
    best = minimise(best);
  }

  // Final statistics at the optimum.
  auto final = objective.evaluate(best.E, best.t, true);
  if (!final.ok) return {std::nullopt, "the prediction at the fitted parameters failed"};
  objective.refreshWeights(final.prediction);
  final = objective.evaluate(best.E, best.t, true);
  if (!jacobian(best)) return {std::nullopt, "the prediction near the fitted parameters failed"};

  FitResult fit;
  fit.energy = best.E;
  fit.filter = best.t;
  fit.energyHeld = holdE;
  fit.filterHeld = holdT;
  fit.energyAtBound =
      !holdE && (best.E <= options.energyLow + 1e-9 || best.E >= options.energyHigh - 1e-9);
  fit.filterAtBound =
      !holdT && (best.t <= options.filterLow + 1e-9 || best.t >= options.filterHigh - 1e-9);
  fit.prediction = final.prediction;
  fit.tprReference = reference.tpr;
  fit.chi2 = final.chi2;
  const int freeCount = (holdE ? 0 : 1) + (holdT ? 0 : 1);
  const int n = static_cast<int>(final.residuals.size());
  fit.degreesOfFreedom = std::max(1, n - freeCount);
  fit.chi2Reduced = fit.chi2 / fit.degreesOfFreedom;
  double A00 = 0, A01 = 0, A11 = 0;
  for (int i = 0; i < n; ++i) {
    if (!holdE) A00 += J0[i] * J0[i];
    if (!holdT) A11 += J1[i] * J1[i];
    if (!holdE && !holdT) A01 += J0[i] * J1[i];
  }
  const double s = std::max(1.0, fit.chi2Reduced);
  fit.covarianceScaled = fit.chi2Reduced > 1.0;
  const double inf = std::numeric_limits<double>::infinity();
  double cEE = 0, cTT = 0, cET = 0;  // covariance of the reference's scatter
  if (!holdE && !holdT) {
    const double det = A00 * A11 - A01 * A01;
    if (det > 0) {
      cEE = A11 / det * s;
      cTT = A00 / det * s;
      cET = -A01 / det * s;
    } else {
      cEE = cTT = inf;
    }
  } else if (!holdE) {
    cEE = A00 > 0 ? s / A00 : inf;
  } else {
    cTT = A11 > 0 ? s / A11 : inf;
  }

  // The library's own noise is coherent over depth (one bin's batches move a whole curve), which
  // the diagonal weights cannot carry: refit with each jackknife replica of the library, starting
  // from the optimum with the same weights, and add the replicas' covariance.
  const int B = library.plan.batches;
  std::vector<Parameters> replicas;
  const Parameters optimum = best;
  for (int j = 0; j < B; ++j) {
    // Each replica's own optimum: a short profile of the valley around the optimum, polished.
    objective.useReplica(j);
    best = optimum;
    bestChi2 = std::numeric_limits<double>::infinity();
    if (holdE)
      scan(optimum.E, optimum.E, 1.0);
    else
      scan(std::max(options.energyLow, optimum.E - 1.0),
           std::min(options.energyHigh, optimum.E + 1.0), 0.2);
    replicas.push_back(minimise(best));
  }
  best = optimum;
  objective.useReplica(-1);
  Parameters mean{};
  for (const auto& r : replicas) {
    mean.E += r.E / B;
    mean.t += r.t / B;
  }
  const double k = (B - 1.0) / B;
  for (const auto& r : replicas) {
    fit.libraryEnergyVariance += k * (r.E - mean.E) * (r.E - mean.E);
    fit.libraryFilterVariance += k * (r.t - mean.t) * (r.t - mean.t);
    fit.libraryCovariance += k * (r.E - mean.E) * (r.t - mean.t);
  }
  cEE += fit.libraryEnergyVariance;
  cTT += fit.libraryFilterVariance;
  cET += fit.libraryCovariance;
  fit.energySigma = holdE ? 0.0 : std::sqrt(cEE);
  fit.filterSigma = holdT ? 0.0 : std::sqrt(cTT);
  if (!holdE && !holdT && std::isfinite(cEE) && std::isfinite(cTT) && cEE > 0 && cTT > 0)
    fit.correlation = cET / std::sqrt(cEE * cTT);

  fit.points = objective.points();
  for (std::size_t i = 0; i < fit.points.size(); ++i) {
    auto& p = fit.points[i];
    p.predicted = tmrAtDepth(fit.prediction, p.field, p.depth);
    p.sigma = objective.sigmaOf(i);
    const double dev = 100.0 * (p.predicted - p.reference) / p.reference;
    auto& fd = fit.fields[p.field];
    ++fd.points;
    fd.rmsPercent += dev * dev;
    fd.maxPercent = std::max(fd.maxPercent, std::abs(dev));
  }
  for (int f = 1; f <= kFields; ++f)
    if (fit.fields[f].points > 0)
      fit.fields[f].rmsPercent = std::sqrt(fit.fields[f].rmsPercent / fit.fields[f].points);
  fit.evaluations = objective.evaluations();
  return {fit, {}};
}

std::string fitJson(const FitResult& fit, const Reference& reference, const FitOptions& options,
                    double seconds) {
  auto num = [](double v) {
    if (!std::isfinite(v)) return std::string("null");
    return fmt("%.6g", v);
  };
  std::string s = "{\n";
  auto key = [&](const char* k, const std::string& v) {
    s += "  \"" + std::string(k) + "\": " + v + ",\n";
  };
  std::string file;
  for (char c : reference.file.string()) {
    if (c == '"' || c == '\\') file += '\\';
    file += c;
  }
  key("reference", "\"" + file + "\"");
  key("target_Z", num(options.Z));
  key("energy_MeV", num(fit.energy));
  key("energy_sigma_MeV", fit.energyHeld ? "0" : num(fit.energySigma));
  key("energy_held", fit.energyHeld ? "true" : "false");
  key("energy_at_bound", fit.energyAtBound ? "true" : "false");
  key("filter_mm", num(fit.filter));
  key("filter_sigma_mm", fit.filterHeld ? "0" : num(fit.filterSigma));
  key("filter_held", fit.filterHeld ? "true" : "false");
  key("filter_at_bound", fit.filterAtBound ? "true" : "false");
  key("correlation", fit.energyHeld || fit.filterHeld ? "null" : num(fit.correlation));
  key("chi2", num(fit.chi2));
  key("degrees_of_freedom", std::to_string(fit.degreesOfFreedom));
  key("chi2_reduced", num(fit.chi2Reduced));
  key("covariance_scaled_by_chi2", fit.covarianceScaled ? "true" : "false");
  key("tpr_predicted", num(fit.prediction.tpr));
  key("tpr_sigma", num(fit.prediction.tprSigma));
  key("tpr_reference", num(fit.tprReference));
  key("tolerance", num(options.tolerance));
  key("depth_min_mm", options.depthMin ? num(*options.depthMin) : "null");
  key("depth_max_mm", num(options.depthMax));
  key("points", std::to_string(fit.points.size()));
  key("evaluations", std::to_string(fit.evaluations));
  key("seconds", num(seconds));
  s += "  \"fields\": [\n";
  for (int f = 1; f <= kFields; ++f) {
    const auto& d = fit.fields[f];
    s += "    {\"side_cm\": " + std::to_string(corvane::fieldSides[f]) +
         ", \"points\": " + std::to_string(d.points) + ", \"rms_percent\": " + num(d.rmsPercent) +
         ", \"max_percent\": " + num(d.maxPercent) +
         ", \"depth_of_maximum_mm\": " + std::to_string(fit.prediction.depthOfMaximum[f]) + "}" +
         (f < kFields ? ",\n" : "\n");
  }
  s += "  ]\n}\n";
  return s;
}

std::string fitSvg(const FitResult& fit, const Reference& reference) {
  // Colours of the ten fields.
  static const char* colour[kFields + 1] = {"",        "#1f77b4", "#ff7f0e", "#2ca02c",
                                            "#d62728", "#9467bd", "#8c564b", "#e377c2",
                                            "#7f7f7f", "#bcbd22", "#17becf"};
  const double W = 900, left = 70, right = 160, top = 40, plotH = 420, gap = 50, resH = 170;
  const double H = top + plotH + gap + resH + 50;
  const double pw = W - left - right;
  auto X = [&](double mm) { return left + pw * mm / 300.0; };
  auto Y = [&](double v) { return top + plotH * (1.1 - v) / 1.1; };
  double lim = 1.0;
  for (const auto& p : fit.points)
    lim = std::max(lim, std::abs(100.0 * (p.predicted - p.reference) / p.reference));
  lim = std::ceil(lim);
  const double r0 = top + plotH + gap;
  auto R = [&](double pct) { return r0 + resH * (lim - pct) / (2 * lim); };

  std::string s;
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + fmt("%.0f", W) + "\" height=\"" +
       fmt("%.0f", H) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  s += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  s += "<text x=\"" + fmt("%.0f", left) + "\" y=\"24\" font-size=\"14\">TMR fit to " +
       reference.file.filename().string() + ": E = " + fmt("%.3f", fit.energy) + " MeV, filter " +
       fmt("%.2f", fit.filter) + " mm, TPR20,10 " + fmt("%.4f", fit.prediction.tpr) +
       " (reference " + fmt("%.3f", fit.tprReference) + "), reduced chi2 " +
       fmt("%.2f", fit.chi2Reduced) + "</text>\n";
  // Frames, grid and axes.
  auto frame = [&](double y0, double h) {
    s += "<rect x=\"" + fmt("%.1f", left) + "\" y=\"" + fmt("%.1f", y0) + "\" width=\"" +
         fmt("%.1f", pw) + "\" height=\"" + fmt("%.1f", h) +
         "\" fill=\"none\" stroke=\"black\"/>\n";
  };
  frame(top, plotH);
  frame(r0, resH);
  for (int mm = 0; mm <= 300; mm += 50) {
    const std::string x = fmt("%.1f", X(mm));
    s += "<line x1=\"" + x + "\" y1=\"" + fmt("%.1f", top) + "\" x2=\"" + x + "\" y2=\"" +
         fmt("%.1f", r0 + resH) + "\" stroke=\"#ddd\"/>\n";
    s += "<text x=\"" + x + "\" y=\"" + fmt("%.1f", r0 + resH + 16) + "\" text-anchor=\"middle\">" +
         std::to_string(mm) + "</text>\n";
  }
  s += "<text x=\"" + fmt("%.1f", left + pw / 2) + "\" y=\"" + fmt("%.1f", r0 + resH + 34) +
       "\" text-anchor=\"middle\">depth [mm]</text>\n";
  for (int i = 0; i <= 11; ++i) {
    const double v = 0.1 * i;
    const std::string y = fmt("%.1f", Y(v));
    s += "<line x1=\"" + fmt("%.1f", left) + "\" y1=\"" + y + "\" x2=\"" + fmt("%.1f", left + pw) +
         "\" y2=\"" + y + "\" stroke=\"#eee\"/>\n";
    s += "<text x=\"" + fmt("%.1f", left - 6) + "\" y=\"" + y + "\" text-anchor=\"end\">" +
         fmt("%.1f", v) + "</text>\n";
  }
  s += "<text x=\"16\" y=\"" + fmt("%.1f", top + plotH / 2) + "\" transform=\"rotate(-90 16 " +
       fmt("%.1f", top + plotH / 2) + ")\" text-anchor=\"middle\">TMR</text>\n";
  s += "<text x=\"16\" y=\"" + fmt("%.1f", r0 + resH / 2) + "\" transform=\"rotate(-90 16 " +
       fmt("%.1f", r0 + resH / 2) + ")\" text-anchor=\"middle\">fit - reference [%]</text>\n";
  for (double pct : {-lim, -lim / 2, 0.0, lim / 2, lim}) {
    const std::string y = fmt("%.1f", R(pct));
    s += "<line x1=\"" + fmt("%.1f", left) + "\" y1=\"" + y + "\" x2=\"" + fmt("%.1f", left + pw) +
         "\" y2=\"" + y + "\" stroke=\"" + (pct == 0.0 ? "#888" : "#eee") + "\"/>\n";
    s += "<text x=\"" + fmt("%.1f", left - 6) + "\" y=\"" + y + "\" text-anchor=\"end\">" +
         fmt("%+.1f", pct) + "</text>\n";
  }
  s += "<text x=\"16\" y=\"" + fmt("%.1f", r0 + resH / 2) + "\" transform=\"rotate(-90 16 " +
       fmt("%.1f", r0 + resH / 2) + ")\" text-anchor=\"middle\">residual [%]</text>\n";
  // Curves, reference points (filled where used by the fit) and residuals.
  for (int f = 1; f <= kFields; ++f) {
    s += "<polyline fill=\"none\" stroke=\"" + std::string(colour[f]) +
         "\" stroke-width=\"1.2\" points=\"";
    for (int d = 1; d <= kDepths; ++d)
      s += fmt("%.1f", X(d - 0.5)) + "," + fmt("%.1f", Y(fit.prediction.T(f, d))) + " ";
    s += "\"/>\n";
    for (int k = 1; k <= reference.rows; ++k) {
      bool used = false;
      for (const auto& p : fit.points) used = used || (p.field == f && p.row == k);
      s += "<circle cx=\"" + fmt("%.1f", X(reference.depth[k])) + "\" cy=\"" +
           fmt("%.1f", Y(reference.tmr[f][k])) + "\" r=\"3\" stroke=\"" + colour[f] + "\" fill=\"" +
           (used ? colour[f] : "white") + "\"/>\n";
    }
    const double ly = top + 14 + 18 * (f - 1);
    s += "<line x1=\"" + fmt("%.1f", left + pw + 14) + "\" y1=\"" + fmt("%.1f", ly) + "\" x2=\"" +
         fmt("%.1f", left + pw + 40) + "\" y2=\"" + fmt("%.1f", ly) + "\" stroke=\"" + colour[f] +
         "\" stroke-width=\"2\"/>\n";
    s += "<text x=\"" + fmt("%.1f", left + pw + 46) + "\" y=\"" + fmt("%.1f", ly + 4) + "\">" +
         std::to_string(corvane::fieldSides[f]) + " x " + std::to_string(corvane::fieldSides[f]) +
         " cm</text>\n";
  }
  for (const auto& p : fit.points) {
    const double pct = 100.0 * (p.predicted - p.reference) / p.reference;
    s += "<circle cx=\"" + fmt("%.1f", X(p.depth)) + "\" cy=\"" + fmt("%.1f", R(pct)) +
         "\" r=\"2.5\" fill=\"" + colour[p.field] + "\"/>\n";
  }
  s += "<text x=\"" + fmt("%.1f", left + pw + 14) + "\" y=\"" +
       fmt("%.1f", top + 14 + 18 * 10 + 8) +
       "\" font-size=\"11\">lines: fit; dots: reference</text>\n";
  s += "<text x=\"" + fmt("%.1f", left + pw + 14) + "\" y=\"" +
       fmt("%.1f", top + 14 + 18 * 11 + 8) + "\" font-size=\"11\">hollow: not fitted</text>\n";
  s += "</svg>\n";
  return s;
}

}  // namespace tuning
