#include "spectrum_plot.h"

#include "fonts.h"
#include "picture_box.h"
#include "style.h"

namespace spectrum_plot {

void drawSpectrumFrame(PictureBox& picture) {
  const QColor gridColour = style::paletteColour(grey);
  picture.setDrawWidth(1);
  for (int x = 2000; x <= 18000; x += 2000)
    picture.line(x, 0, x, plotTop, gridColour);  // every 2 MeV
  for (int y = 100; y <= 900; y += 100) picture.line(0, y, plotRight, y, gridColour);  // every 10 %
  picture.setDrawWidth(2);
  picture.rectangle(0, 0, plotRight, plotTop, style::paletteColour(black));

  struct Label {
    const char* text;
    double x, y;  // top-left corner
  };
  static constexpr Label labels[] = {
      {"100", -1200, 1020},    {"50", -800, 520},        {"0", -500, 20},
      {"0", -20, 0},           {"Relative", -2800, 850}, {"Photon", -2600, 780},
      {"Fluence", -2400, 710}, {"2", 1850, 0},           {"4", 3850, 0},
      {"6", 5850, 0},          {"8", 7850, 0},           {"10", 9700, 0},
      {"12", 11700, 0},        {"14", 13700, 0},         {"16", 15700, 0},
      {"18", 17700, 0},        {"20", 19700, 0},         {"Photon energy in MeV", 13200, -50},
  };
  for (const Label& label : labels) picture.text(label.x, label.y, QString::fromLatin1(label.text));
}

void plotSpectrum(PictureBox& picture, const Fluence& fluence, int curveColour) {
  const QColor colour = style::paletteColour(curveColour);
  picture.setDrawWidth(2);
  picture.pset(0, 0, colour);
  for (int i = 1; i <= corvane::kSpectrumBins; ++i)
    picture.lineTo(corvane::binEnergy(i), 1000.0 * fluence[i], colour);
  picture.rectangle(0, 0, plotRight, plotTop, style::paletteColour(black));
  picture.setDrawWidth(1);
}

int cursorBinAt(double x) {
  int bin = 1;
  // Inside the plot area this stops at 401 at the latest (binEnergy(401) = 20025); the cap keeps
  // a pointer far outside from walking on.
  while (x > corvane::binEnergy(bin) && bin < corvane::kSpectrumBins + 1) ++bin;
  return bin;
}

bool insidePlotArea(double x, double y) { return x > 0 && x < plotRight && y > 0 && y < plotTop; }

}  // namespace spectrum_plot
