// The spectrum bins and square fields shared by the workbench and the simulation.
#pragma once

#include <array>

namespace corvane {

constexpr int kSpectrumBins = 400;     // 50 keV bins from 0 to 20 MeV, numbered 1 ... 400
constexpr double kBinWidth = 50.0;     // [keV]
constexpr int kFields = 10;            // square fields of the TMR tables, numbered 1 ... 10
constexpr int kDepthRows = 300;        // 1 mm depth rows of a result file
constexpr int kMaxReferenceRows = 30;  // depth rows a reference file may hold
constexpr int kTprField = 4;           // the 10 cm x 10 cm field of TPR20,10

// Centre of bin i: bin i covers 50(i - 1) ... 50 i keV, so 25 keV ... 19975 keV.
constexpr double binEnergy(int i) { return kBinWidth * i - 25.0; }  // [keV]

// Sides of the ten square fields [cm], in table column order; slot 0 unused.
constexpr std::array<int, kFields + 1> fieldSides = {0, 4, 6, 8, 10, 12, 15, 20, 25, 30, 35};

}  // namespace corvane
