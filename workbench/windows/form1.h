#pragma once
// The TMR results window: result files (*.tmr) of the working folder on the
// left, reference files (*.std) on the right, the header of a chosen result,
// TPR20,10 of the calculated and of the reference data, and TMR-versus-depth
// curves of both for the ticked field sizes.
//
// The two TMR tables live here for the whole program run: Graph Clear, Exit and
// closing the window leave them in place, and a new load overwrites them.
#include <QStringList>
#include <QWidget>
#include <array>

#include "workbench/spectrum/bins.h"
#include "workbench/spectrum/results.h"

class QCheckBox;
class QFileSystemWatcher;
class QLineEdit;
class QPushButton;
class FileListBox;
class PictureBox;
class Workbench;
class ResultsAnnotations;

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(Workbench& workbench);

  // Done by the spectrum window's "ＴＭＲ ,  TPR 20,10   表示・比較" button:
  // drawTmrFrame, both lists re-read the working folder, Picture2 cleared, shown.
  // (The spectrum window hides itself afterwards.)
  void openFromSpectrumWindow();

  // Event handlers.
  void File2_Click(const QString& name);  // header of the clicked result file
  void Command7_Click();                  // load the chosen result file
  void File1_Click(const QString& name);  // focus to the reference OK
  void Command6_Click();                  // load the chosen reference file
  void Command2_Click();                  // Graph draw, calculated curves (blue)
  void Command3_Click();                  // Graph draw, reference curves (red)
  void Command5_Click();                  // Graph Clear
  void Command1_Click();                  // help window on measured data
  void Command4_Click();                  // Exit: spectrum window again, this one hidden

  // The controls drawTmrFrame resets.
  PictureBox& picture1() { return *Picture1_; }
  QLineEdit& text1() { return *Text1_; }
  QLineEdit& text2() { return *Text2_; }
  QCheckBox& check(int field) {
    return *Check_.at(static_cast<std::size_t>(field));
  }  // field 1 ... 10

  // The text lines last written into Picture2 (empty once it is cleared).
  const QStringList& headerShown() const { return headerShown_; }
  const corvane::CalculatedTmrTable& calculatedTable() const { return calculated_; }
  const corvane::ReferenceTmrData& referenceData() const { return reference_; }
  // Uncertainty, legend, tuning button and plot menu beside the described controls.
  ResultsAnnotations& annotations() { return *annotations_; }

 protected:
  // The close box: the spectrum window is shown again, then this window closes.
  void closeEvent(QCloseEvent* event) override;
  // While the window is shown, both file lists follow the working folder (a run that
  // ends shows up at once); the chosen files stay chosen.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void clearHeader();
  void showCannotRead(const corvane::Failure& failure);

  Workbench& workbench_;
  corvane::CalculatedTmrTable calculated_;
  corvane::ReferenceTmrData reference_;

  PictureBox* Picture1_ = nullptr;  // TMR plot, x −40 … 310 mm, y 1.05 … −0.10
  PictureBox* Picture2_ = nullptr;  // header of the chosen result file
  FileListBox* File2_ = nullptr;    // *.tmr
  FileListBox* File1_ = nullptr;    // *.std
  QLineEdit* Text1_ = nullptr;      // TPR20,10 of the calculated data
  QLineEdit* Text2_ = nullptr;      // TPR20,10 of the reference data
  QPushButton* Command1_ = nullptr;
  QPushButton* Command2_ = nullptr;
  QPushButton* Command3_ = nullptr;
  QPushButton* Command4_ = nullptr;
  QPushButton* Command5_ = nullptr;
  QPushButton* Command6_ = nullptr;
  QPushButton* Command7_ = nullptr;
  std::array<QCheckBox*, corvane::kFields + 1> Check_{};  // slot 0 unused
  QStringList headerShown_;
  ResultsAnnotations* annotations_ = nullptr;
  QFileSystemWatcher* watcher_ = nullptr;  // the working folder, while shown
  bool placed_ = false;
};
