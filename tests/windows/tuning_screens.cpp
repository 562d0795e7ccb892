// Not a test: drives the tuning and results windows through a fit on a real display (Xvfb) and
// saves screenshots of the screen, for looking at the windows. Arguments: a working folder with
// the data files, a reference file and calc.tmr/calc.unc, and the folder for the pictures.
// The library is built by the window with a reduced plan (scale given as the third argument).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "background_job.h"
#include "file_lists.h"
#include "fonts.h"
#include "form1.h"
#include "form2.h"
#include "recording_seams.h"
#include "tuning_window.h"
#include "workbench.h"

namespace {
QString outFolder;
void shoot(const QString& name) {
  QApplication::processEvents();
  QApplication::processEvents();
  QScreen* screen = QGuiApplication::primaryScreen();
  screen->grabWindow(0).save(QDir(outFolder).filePath(name + QStringLiteral(".png")));
  std::printf("saved %s\n", qPrintable(name));
  std::fflush(stdout);
}
void choose(FileListBox* list, const QString& name) {
  list->refresh();
  const auto found = list->findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) return;
  list->setCurrentItem(found.first());
  found.first()->setSelected(true);
}
void pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) return 2;
  fonts::installFontMapping();
  const QString folder = QString::fromLocal8Bit(argv[1]);
  outFolder = QString::fromLocal8Bit(argv[2]);
  const double scale = QString::fromLocal8Bit(argv[3]).toDouble();
  RecordingMessageSink messages;
  RecordingLauncher launcher;
  Workbench workbench(folder, messages, launcher);
  workbench.setQuitAction([] {});
  Form2& spectrum = workbench.form2();
  spectrum.show();
  pause(300);

  // Results window with the uncertainty of calc.tmr and the reference.
  spectrum.Command6_Click();
  Form1& results = workbench.form1();
  results.move(0, 0);
  choose(results.findChild<FileListBox*>(QStringLiteral("File2")), QStringLiteral("calc.tmr"));
  results.Command7_Click();
  choose(results.findChild<FileListBox*>(QStringLiteral("File1")),
         QStringLiteral("10MV-standardTMR.std"));
  results.Command6_Click();
  for (int f : {1, 7, 10}) results.check(f).setChecked(true);
  results.Command2_Click();
  results.Command3_Click();
  pause(300);
  shoot(QStringLiteral("results_with_sigma"));

  // Tuning window: no library, building, built, fitting, fitted, applied.
  TuningWindow& tuning = workbench.tuning();
  tuning.setBuildPlan(tuning::defaultPlan(scale));
  tuning.setBuildThreads(2);
  results.findChild<QPushButton*>(QStringLiteral("TuningButton"))->click();
  tuning.move(0, 0);
  while (tuning.state() == TuningWindow::State::checking) pause(50);
  shoot(QStringLiteral("tuning_1_no_library"));
  tuning.buildLibrary();
  int shots = 0;
  QObject::connect(&tuning.libraryJob(), &BackgroundJob::progress, &tuning,
                   [&](int done, int total, double) {
                     if (shots == 0 && done > total / 3) {
                       ++shots;
                       shoot(QStringLiteral("tuning_2_building"));
                     }
                   });
  while (tuning.state() != TuningWindow::State::ready) pause(100);
  shoot(QStringLiteral("tuning_3_library_ready"));
  choose(tuning.findChild<FileListBox*>(QStringLiteral("ReferenceList")),
         QString::fromLocal8Bit(argc > 4 ? argv[4] : "10MV-standardTMR.std"));
  tuning.runFit();
  pause(30);
  shoot(QStringLiteral("tuning_4_fitting"));
  while (tuning.state() != TuningWindow::State::ready) pause(100);
  shoot(QStringLiteral("tuning_5_fitted"));
  for (const auto& m : messages.messages) std::printf("message: %s\n", qPrintable(m.text));
  tuning.apply();
  spectrum.move(0, 0);
  spectrum.raise();
  pause(300);
  shoot(QStringLiteral("tuning_6_applied_spectrum"));
  return 0;
}
