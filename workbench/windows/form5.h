#pragma once
// The simulation launch dialog: asks for the history total and the result name,
// writes B2F.dat into the working folder and starts Dravik in a console window
// of its own. Corvane does not wait for the run; the result file it writes at
// the end is what the results window later lists.
#include <QWidget>
#include <optional>

class QCheckBox;
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

  // OK: the name and the history total are checked (an empty name, a name that
  // would not come back as NAME.tmr, a history total that is not exactly a whole
  // count of 1 … 2^31 − 1 → message, nothing written); an existing NAME.tmr and a
  // count that B2F.dat can hold only rounded are asked about. Then B2F.dat is
  // written and Dravik is started (with "--threads auto" when Check1 is ticked).
  // While the start is watched, OK and Cancel are disabled. When the run has
  // started, the spectrum window's results button is enabled and the dialog
  // hides. If B2F.dat cannot be written or Dravik cannot be started, a message
  // says why, the dialog stays open and the results button is not touched.
  void Command1_Click();
  // Cancel: hides the dialog; nothing is written or started.
  void Command2_Click();

  bool starting() const { return starting_; }

 private:
  void startFinished(const std::optional<QString>& error);

  Workbench& workbench_;
  QLineEdit* Text1_ = nullptr;  // result file name, without extension
  QLineEdit* Text2_ = nullptr;  // number of incident photon histories
  QPushButton* Command1_ = nullptr;
  QPushButton* Command2_ = nullptr;
  QCheckBox* Check1_ = nullptr;  // parallel run with uncertainties; kept between openings
  bool starting_ = false;        // a start is being watched
  bool placed_ = false;          // centred on the screen at the first showing
};
