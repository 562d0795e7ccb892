#pragma once
#include <QWidget>

class Workbench;

class Form4 : public QWidget {
public:
  explicit Form4(Workbench& workbench);
  void openFromResultsWindow();

private:
  Workbench& workbench_;
};
