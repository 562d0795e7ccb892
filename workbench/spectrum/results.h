// Result files (*.tmr, written by the simulation) and reference TMR files (*.std).
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "workbench/spectrum/bins.h"
#include "workbench/spectrum/failure.h"

namespace corvane {

// TMR values of the ten fields by row, 1-based: at(f, r), f = 1 ... 10, r = 1 ... Rows.
// Every entry is zero until something is loaded.
template <int Rows>
struct TmrGrid {
  std::array<double, (kFields + 1) * (Rows + 1)> values{};

  double at(int f, int r) const { return values[f * (Rows + 1) + r]; }
  double& at(int f, int r) { return values[f * (Rows + 1) + r]; }
  // A zero in field 1, row 1 means nothing has been loaded (Graph draw refuses then).
  bool hasData() const { return at(1, 1) != 0.0; }
};

// The last result file loaded: row r is the 1 mm depth bin ending at r mm.
using CalculatedTmrTable = TmrGrid<kDepthRows>;
using ReferenceTmrTable = TmrGrid<kMaxReferenceRows>;

// The last reference file loaded; the results window owns it for the whole program run.
struct ReferenceTmrData {
  ReferenceTmrTable table;                                      // ReferenceTmrTable(f, k)
  std::array<double, kMaxReferenceRows + 1> referenceDepths{};  // [mm], slot 0 unused
  int referenceRowCount = 0;                                    // complete rows read, 0 ... 30
};

// The four header values of a result file and the five text lines the window shows.
struct ResultHeader {
  double historyTotal = 0.0;
  double accelerationEnergy = 0.0;  // [MeV]
  double targetZ = 0.0;
  double filterThickness = 0.0;  // [mm]
  // " Electron acceleration", "    energy = " E by " #0.0" " MeV", " Target Z = " Z by "00",
  // " Filter(Pb) = " F by "#0.00" " mm", " History = " N by "########0".
  std::array<std::string, 5> lines;
};

// A TPR20,10 as number and as shown, by "0.000".
struct TprReading {
  double tpr = 0.0;
  std::string text;
};

// The five header lines for these values.
std::array<std::string, 5> resultHeaderLines(double historyTotal, double accelerationEnergy,
                                             double targetZ, double filterThickness);

// Reads the first four values of a result file. Failures carry messages::kCannotReadFile.
Result<ResultHeader> readResultHeader(const std::filesystem::path& file);

// Skips the five header lines, reads 300 rows (row index, then ten values) into `table` and returns
// TPR20,10 = T(4, 200) / T(4, 100). On failure (file missing, too few values, a value that is not a
// number, T(4, 100) = 0) the values read before it stay in `table`; the message is
// messages::kCannotReadFile and the reason says what is wrong.
Result<TprReading> loadCalculatedTable(const std::filesystem::path& file,
                                       CalculatedTmrTable& table);

// Reads a reference file: TPR20,10 as the first value, the rest of that line and the caption line
// skipped by one whole-line read, then rows of depth [mm] and ten TMR values to the end of the file
// (at most 30). On failure (file missing, a row incomplete or not numbers, a 31st row) the values
// read before it stay, referenceRowCount counts the complete rows read, and the message is
// messages::kCannotReadFile. Returns the TPR20,10 stored in the file.
Result<TprReading> loadReferenceFile(const std::filesystem::path& file, ReferenceTmrData& data);

}  // namespace corvane
