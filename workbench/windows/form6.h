#pragma once
#include <QWidget>

class Workbench;

// The start-up window.
class Form6 : public QWidget {
public:
  explicit Form6(Workbench& workbench);
  // Shows the window centred; the program's first window.
  void showAtStart();

private:
  Workbench& workbench_;
};
