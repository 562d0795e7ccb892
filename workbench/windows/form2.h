#pragma once
#include <QWidget>

class Workbench;

// The spectrum window.
class Form2 : public QWidget {
public:
  explicit Form2(Workbench& workbench);
  // Used by the launch dialog after a start: the results button becomes usable.
  void enableResultsButton();
  // Used by the results window: shows this window again.
  void showAgain();

private:
  Workbench& workbench_;
};
