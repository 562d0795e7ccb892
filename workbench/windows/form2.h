#pragma once
// The spectrum window: the three machine parameters (typed or from presets),
// compute and plot the spectrum, the cursor read-out, and the way on to the
// save dialog, the launch dialog and the results window.
#include <QWidget>
#include <optional>

#include "workbench/spectrum/lead.h"
#include "workbench/spectrum/schiff.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class LineControl;
class PictureBox;
class Workbench;

class Form2 : public QWidget {
 public:
  explicit Form2(Workbench& workbench);
  ~Form2() override;

  // Used by the launch dialog after a start: the results button becomes usable.
  void enableResultsButton();
  // Used by the results window: shows this window again.
  void showAgain();

  // Event handlers (window, control, event).
  void Form_Load();
  void Command1_Click();  // compute and plot
  void Command2_Click();  // Exit
  void Command3_Click();  // Clear
  void Command4_Click();  // save dialog
  void Command5_Click();  // launch dialog
  void Command6_Click();  // results window
  void Option7_Click();   // " 4 MV"
  void Option8_Click();   // " 6 MV"
  void Option9_Click();   // "10 MV"
  void Option12_Click();  // "15 MV"
  void Option15_Click();  // energy "その他"
  void Option10_Click();  // copper
  void Option11_Click();  // tungsten
  void Option14_Click();  // platinum
  void Option13_Click();  // target "その他"
  void Picture3_MouseMove(double x, double y);
  // Left (37) and Right (39) arrow keys; returns whether the cursor handler took the key.
  bool Form_KeyDown(int keyCode);

  // Window state (read by tests and by the other windows).
  int spectrumCount() const { return spectrum_.spectrumCount; }
  bool spectrumShown() const { return spectrumShown_; }
  int cursorBin() const { return cursorBin_; }
  const corvane::SpectrumState& spectrum() const { return spectrum_; }
  // Why Lead.dat could not be used at load; nothing when it was read.
  const std::optional<QString>& leadFailure() const { return leadFailure_; }
  PictureBox& picture3() { return *Picture3; }
  // Palette index of the curve colour by the "Draw Color" options.
  int curveColour() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void updateCursor();
  void setReadOutVisible(bool visible);
  void setEntryButtonsEnabled(bool enabled);

  Workbench& workbench_;
  corvane::SpectrumState spectrum_;
  bool spectrumShown_ = false;
  int cursorBin_ = 0;
  std::optional<QString> leadFailure_;
  bool exiting_ = false;

  PictureBox* Picture3 = nullptr;
  QLabel *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr;
  QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr,
            *Text5 = nullptr;
  LineControl *Line1 = nullptr, *Line2 = nullptr;
  QCheckBox* Check1 = nullptr;
  QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
              *Command5 = nullptr, *Command6 = nullptr;
  QRadioButton *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr, *Option4 = nullptr,
               *Option5 = nullptr, *Option6 = nullptr;
  QRadioButton *Option7 = nullptr, *Option8 = nullptr, *Option9 = nullptr, *Option12 = nullptr,
               *Option15 = nullptr;
  QRadioButton *Option10 = nullptr, *Option11 = nullptr, *Option14 = nullptr, *Option13 = nullptr;
};
