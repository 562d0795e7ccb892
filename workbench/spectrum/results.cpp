#include "workbench/spectrum/results.h"

#include "workbench/spectrum/format.h"
#include "workbench/spectrum/free_form.h"
#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

// The results window shows one fixed text for every file it cannot read; the reason and the
// file stay in the failure for whoever wants them.
Failure unreadable(const Failure& from) {
  return Failure{from.file, from.reason, messages::kCannotReadFile};
}

Failure unreadable(const std::string& file, const std::string& reason) {
  return Failure{file, reason, messages::kCannotReadFile};
}

}  // namespace

std::array<std::string, 5> resultHeaderLines(double historyTotal, double accelerationEnergy,
                                             double targetZ, double filterThickness) {
  return {
      " Electron acceleration",
      "    energy = " + formatByPattern(accelerationEnergy, " #0.0") + " MeV",
      " Target Z = " + formatByPattern(targetZ, "00"),
      " Filter(Pb) = " + formatByPattern(filterThickness, "#0.00") + " mm",
      " History = " + formatByPattern(historyTotal, "########0"),
  };
}

Result<ResultHeader> readResultHeader(const std::filesystem::path& file) {
  auto opened = FreeFormReader::open(file);
  if (!opened) return unreadable(opened.failure());
  FreeFormReader& in = opened.value();
  double values[4];
  for (double& v : values) {
    auto number = in.readNumber();
    if (!number) return unreadable(number.failure());
    v = number.value();
  }
  ResultHeader header;
  header.historyTotal = values[0];
  header.accelerationEnergy = values[1];
  header.targetZ = values[2];
  header.filterThickness = values[3];
  header.lines = resultHeaderLines(values[0], values[1], values[2], values[3]);
  return header;
}

Result<TprReading> loadCalculatedTable(const std::filesystem::path& file,
                                       CalculatedTmrTable& table) {
  auto opened = FreeFormReader::open(file);
  if (!opened) return unreadable(opened.failure());
  FreeFormReader& in = opened.value();
  for (int line = 1; line <= 5; ++line)
    if (auto skipped = in.readLine(); !skipped) return unreadable(skipped.failure());
  for (int r = 1; r <= kDepthRows; ++r) {
    if (auto index = in.readNumber(); !index) return unreadable(index.failure());
    for (int f = 1; f <= kFields; ++f) {
      auto value = in.readNumber();
      if (!value) return unreadable(value.failure());
      table.at(f, r) = value.value();
    }
  }
  const double at10 = table.at(kTprField, 100);
  if (at10 == 0.0)
    return unreadable(
        file.filename().string(),
        "10 cm × 10 cm 照射野の深さ 10 cm の TMR が 0 のため、TPR20,10 を計算できません");
  const double tpr = table.at(kTprField, 200) / at10;
  return TprReading{tpr, formatByPattern(tpr, "0.000")};
}

Result<TprReading> loadReferenceFile(const std::filesystem::path& file, ReferenceTmrData& data) {
  auto opened = FreeFormReader::open(file);
  if (!opened) return unreadable(opened.failure());
  FreeFormReader& in = opened.value();
  auto tpr = in.readNumber();
  if (!tpr) return unreadable(tpr.failure());
  // One whole-line read: after a TPR alone on line 1 it takes the caption line; after a TPR
  // followed by a comma it takes the rest of line 1, and line 2 is then read as data.
  if (auto skipped = in.readLine(); !skipped) return unreadable(skipped.failure());

  data.referenceRowCount = 0;
  while (!in.atEnd()) {
    const int k = data.referenceRowCount + 1;
    if (k > kMaxReferenceRows)
      return unreadable(file.filename().string(),
                        std::to_string(in.line()) + " 行目: データが 30 行を超えています");
    auto depth = in.readNumber();
    if (!depth) return unreadable(depth.failure());
    data.referenceDepths[k] = depth.value();
    for (int f = 1; f <= kFields; ++f) {
      auto value = in.readNumber();
      if (!value) return unreadable(value.failure());
      data.table.at(f, k) = value.value();
    }
    data.referenceRowCount = k;  // only complete rows are counted
  }
  return TprReading{tpr.value(), formatByPattern(tpr.value(), "0.000")};
}

}  // namespace corvane
