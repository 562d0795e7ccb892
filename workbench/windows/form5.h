#pragma once
// The simulation launch dialog: asks for the history total and the result name,
// writes B2F.dat into the working folder and starts Dravik in a console window
// of its own. Corvane does not wait for the run; the result file it writes at
// the end is what the results window later lists.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class Workbench;

class Form5 : public QWidget {
  Q_OBJECT
 public:
  explicit Form5(Workbench& workbench);

  // Done by the spectrum window's "TMR ,  TPR 20,10   計算" button: an empty
  // name, "30000000" histories, shown modeless.
  void openFromSpectrumWindow();

  // OK: empty name → message, nothing written. Otherwise B2F.dat is written,
  // Dravik is started, the spectrum window's results button is enabled and the
  // dialog hides. If B2F.dat cannot be written or Dravik cannot be started, a
  // message says why, the dialog stays open and the results button is not touched.
  void Command1_Click();
  // Cancel: hides the dialog; nothing is written or started.
  void Command2_Click();

 private:
  Workbench& workbench_;
  QLineEdit* Text1_ = nullptr;  // result file name, without extension
  QLineEdit* Text2_ = nullptr;  // number of incident photon histories
  QPushButton* Command1_ = nullptr;
  QPushButton* Command2_ = nullptr;
  bool placed_ = false;  // centred on the screen at the first showing
};
