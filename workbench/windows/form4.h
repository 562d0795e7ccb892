#pragma once
// The measured-data help window: how to prepare a reference TMR file (*.std)
// from measured data, with the first lines of the example 10MV-standardTMR.std.
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class Workbench;

// The example reference file the help window shows, whichever file is chosen
// in the results window.
inline const QString exampleReferenceFile = QStringLiteral("10MV-standardTMR.std");
constexpr int exampleLinesShown = 31;

// The first `count` lines of a text file as written (CR LF or LF line ends
// removed, nothing else changed). `missing` is set when the file cannot be
// opened; a shorter file gives the lines it has.
QStringList firstLines(const QString& path, int count, bool* missing);

class Form4 : public QWidget {
  Q_OBJECT
 public:
  explicit Form4(Workbench& workbench);

  // Done by the results window's "実測データの作成方法" button: List1 refilled
  // from 10MV-standardTMR.std of the working folder, then shown modeless. When
  // the file is missing, List1 holds one line saying so.
  void openFromResultsWindow();

  void Command1_Click();  // Close: hides the window

 private:
  Workbench& workbench_;
  QListWidget* List1_ = nullptr;
  QPushButton* Command1_ = nullptr;
};
