#pragma once
#include <QWidget>

class Workbench;

class Form3 : public QWidget {
public:
  explicit Form3(Workbench& workbench);
  void openFromSpectrumWindow();

private:
  Workbench& workbench_;
};
