// Corvane: the spectrum workbench. Opens the start-up window, which leads to the
// spectrum window; the working folder is the current folder.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "fonts.h"
#include "form6.h"
#include "launcher.h"
#include "messages.h"
#include "workbench.h"

namespace {
// Without a display the windowing toolkit would abort; say so plainly instead.
bool displayAvailable() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return true;  // the caller chose a platform
  return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}
}  // namespace

int main(int argc, char* argv[]) {
  if (!displayAvailable()) {
    std::fputs(
        "Corvane: no display (neither DISPLAY nor WAYLAND_DISPLAY is set). Corvane needs a desktop "
        "session;\n"
        "start it from one, or set QT_QPA_PLATFORM to choose a platform.\n",
        stderr);
    return EXIT_FAILURE;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(programTitle);
  // The program ends only through the spectrum window's Exit or close, or the
  // start-up window's Cancel: hiding windows while moving between them must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  fonts::installFontMapping();

  MessageBoxSink messages;
  TerminalLauncher launcher;
  Workbench workbench(QDir::currentPath(), messages, launcher);
  workbench.form6().showAtStart();
  return QApplication::exec();
}
