#include "tmr_frame.h"

#include <QCheckBox>
#include <QLineEdit>

#include "form1.h"
#include "picture_box.h"
#include "style.h"
#include "workbench/spectrum/bins.h"

namespace {
struct FrameLabel {
  const char* text;
  double x, y;  // top-left corner [mm of depth, TMR]
};
// The x labels are in cm while the axis is in mm.
constexpr FrameLabel frameLabels[] = {
    {"1.0", -20, 1.02}, {"0.5", -20, 0.52}, {"0.0", -20, 0.02},
    {"TMR", -30, 0.85}, {"0", -3, -0.01},   {"10", 95, -0.01},
    {"20", 195, -0.01}, {"30", 295, -0.01}, {"depth (cm)", 220, -0.02},
};
}  // namespace

void drawTmrFramePicture(PictureBox& picture) {
  const QColor black = style::paletteColour(0);
  const QColor grey = style::paletteColour(8);
  picture.clear();
  picture.setDrawWidth(1);
  picture.rectangle(0, 0, 300, 1.0, black);
  for (int x = 20; x <= 280; x += 20) picture.line(x, 0, x, 1.0, grey);
  for (int k = 1; k <= 9; ++k) picture.line(0, k * 0.1, 300, k * 0.1, grey);
  picture.setDrawWidth(2);
  picture.rectangle(0, 0, 300, 1.0, black);
  picture.setForeColour(black);
  for (const FrameLabel& label : frameLabels)
    picture.text(label.x, label.y, QString::fromLatin1(label.text));
}

void drawTmrFrame(Form1& form1) {
  drawTmrFramePicture(form1.picture1());
  form1.text1().clear();
  form1.text2().clear();
  for (int f = 1; f <= corvane::kFields; ++f) form1.check(f).setChecked(f == corvane::kTprField);
}
