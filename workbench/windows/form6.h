#pragma once
// The start-up window: what the program does and the formula it rests on; OK
// goes on to the spectrum window, Cancel ends the program.
#include <QWidget>

class QPushButton;
class Workbench;

class Form6 : public QWidget {
 public:
  explicit Form6(Workbench& workbench);
  // Shows the window centred with the focus on OK; the program's first window.
  void showAtStart();

  void Command2_Click();  // OK
  void Command1_Click();  // Cancel

 protected:
  // Closing the window ends the program like Cancel (otherwise no window would be left).
  void closeEvent(QCloseEvent* event) override;

 private:
  Workbench& workbench_;
  bool leaving_ = false;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
};
