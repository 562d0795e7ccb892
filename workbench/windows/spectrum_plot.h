#pragma once
// The spectrum plot of the spectrum window: frame, grid and labels, and one
// curve per computation, drawn into the persistent surface of its picture box.
#include <array>

#include "workbench/spectrum/bins.h"

class PictureBox;

namespace spectrum_plot {

// User coordinates of the plot box: x −3100 … 20400 (keV of photon energy),
// y 1020 … −130 (1/1000 of relative fluence). Plot area x 0 … 20000, y 0 … 1000.
constexpr double scaleLeft = -3100, scaleTop = 1020, scaleRight = 20400, scaleBottom = -130;
constexpr double plotRight = 20000, plotTop = 1000;

// Palette indices of the plot's colours.
constexpr int black = 0, grey = 8, lightBlue = 9, lightGreen = 10, lightCyan = 11, lightRed = 12,
              lightMagenta = 13;

// Relative fluence per bin as the spectrum state holds it: 1 … 400, slot 401 always 0.
using Fluence = std::array<double, corvane::kSpectrumBins + 2>;

// Grid, frame and labels (the picture is not erased first). Leaves the line width at 2.
void drawSpectrumFrame(PictureBox& picture);

// The curve of `fluence` in palette colour `curveColour` from (0, 0) through the
// centres of all 400 bins, then the frame again in black over it. Nothing is erased.
// Leaves the line width at 1.
void plotSpectrum(PictureBox& picture, const Fluence& fluence, int curveColour);

// The bin the cursor marks for a pointer at x: the first bin whose centre is at
// or right of x (1 at x ≤ 25, 401 when x is above 19975).
int cursorBinAt(double x);

// Whether a pointer at (x, y) lies strictly inside the plot area.
bool insidePlotArea(double x, double y);

}  // namespace spectrum_plot
