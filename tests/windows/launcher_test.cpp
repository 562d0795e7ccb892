// The process start of the simulation: finding Dravik, choosing the terminal,
// and the real detached start (with a stand-in terminal that records what it got).
#include "launcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "workbench/spectrum/messages.h"

namespace {

// Writes an executable shell script (or a plain non-executable file).
void writeFile(const QString& path, const QByteArray& content, bool executable) {
  QFile file(path);
  QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
  file.write(content);
  file.close();
  QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
  if (executable) permissions |= QFile::ExeOwner;
  QVERIFY(file.setPermissions(permissions));
}

// Replaces PATH for the life of the object.
class PathOverride {
 public:
  explicit PathOverride(const QString& path) : saved_(qgetenv("PATH")) {
    qputenv("PATH", path.toLocal8Bit());
  }
  ~PathOverride() { qputenv("PATH", saved_); }
  PathOverride(const PathOverride&) = delete;
  PathOverride& operator=(const PathOverride&) = delete;

 private:
  QByteArray saved_;
};

// Starts `launcher` and runs the event loop until its verdict comes.
std::optional<QString> verdictOf(TerminalLauncher& launcher, const SimulationStart& start) {
  bool answered = false;
  std::optional<QString> error;
  launcher.startSimulation(start, [&](const std::optional<QString>& e) {
    answered = true;
    error = e;
  });
  if (!QTest::qWaitFor([&] { return answered; }, 20000)) return QStringLiteral("no verdict");
  return error;
}

QStringList recordedLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLocal8Bit(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// A stand-in terminal: records its arguments, then, as xterm does, executes the
// argument vector after -e directly, with the program's error output in the
// window (here: nowhere) rather than its own, and stays for a while (or ends,
// with `ends`).
void writeStandInTerminal(const QString& path, const QString& record, bool ends = false) {
  const QByteArray r = record.toLocal8Bit();
  writeFile(path,
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + r + ".part'\n/bin/mv '" + r + ".part' '" + r +
                "'\nwhile [ \"$1\" != -e ]; do shift; done\nshift\n\"$@\" 2>/dev/null\n" +
                (ends ? "" : "sleep 3\n"),
            true);
}
}  // namespace

class LauncherTest : public QObject {
  Q_OBJECT
 private slots:
  void findsSimulationProgram_data();
  void findsSimulationProgram();
  void choosesTerminal_data();
  void choosesTerminal();
  void startsDetachedInWorkingFolderWithoutShell_data();
  void startsDetachedInWorkingFolderWithoutShell();
  void reportsTerminalEndingAtOnce_data();
  void reportsTerminalEndingAtOnce();
  void realTerminalNeverHandsPathToShell();
  void reportsMissingTerminal();
  void reportsMissingProgram_data();
  void reportsMissingProgram();
};

void LauncherTest::findsSimulationProgram_data() {
  QTest::addColumn<QString>("besideCorvane");  // "exe", "plain", "dir" or "" (absent)
  QTest::addColumn<QString>("inWorkingFolder");
  QTest::addColumn<QString>("expected");  // "program", "working" or "" (nothing)
  QTest::newRow("beside Corvane only") << "exe"
                                       << ""
                                       << "program";
  QTest::newRow("working folder only") << ""
                                       << "exe"
                                       << "working";
  QTest::newRow("both: beside Corvane wins") << "exe"
                                             << "exe"
                                             << "program";
  QTest::newRow("not executable beside, executable in working") << "plain"
                                                                << "exe"
                                                                << "working";
  QTest::newRow("a folder named Dravik is no program") << "dir"
                                                       << ""
                                                       << "";
  QTest::newRow("nowhere") << ""
                           << ""
                           << "";
}

void LauncherTest::findsSimulationProgram() {
  QFETCH(QString, besideCorvane);
  QFETCH(QString, inWorkingFolder);
  QFETCH(QString, expected);
  QTemporaryDir program, working;
  const auto place = [](const QString& folder, const QString& kind) {
    const QString path = QDir(folder).filePath(simulationProgramName);
    if (kind == "exe") writeFile(path, "#!/bin/sh\n", true);
    if (kind == "plain") writeFile(path, "#!/bin/sh\n", false);
    if (kind == "dir") QDir(folder).mkdir(simulationProgramName);
  };
  place(program.path(), besideCorvane);
  place(working.path(), inWorkingFolder);
  const auto found = findSimulationProgram(program.path(), working.path());
  if (expected.isEmpty()) {
    QVERIFY(!found);
  } else {
    QVERIFY(found);
    const QString folder = expected == "program" ? program.path() : working.path();
    QCOMPARE(*found, QDir(folder).filePath(simulationProgramName));
  }
}

void LauncherTest::choosesTerminal_data() {
  QTest::addColumn<QStringList>("installed");
  QTest::addColumn<QString>("expected");  // "" = no terminal
  QTest::newRow("both: xterm") << QStringList{"x-terminal-emulator", "xterm"} << "xterm";
  QTest::newRow("xterm only") << QStringList{"xterm"} << "xterm";
  QTest::newRow("x-terminal-emulator only")
      << QStringList{"x-terminal-emulator"} << "x-terminal-emulator";
  QTest::newRow("none") << QStringList{} << "";
}

// Never a single argument after -e: the fixed exec script, then the program and its arguments.
void LauncherTest::choosesTerminal() {
  QFETCH(QStringList, installed);
  QFETCH(QString, expected);
  QTemporaryDir bin;
  for (const QString& name : installed)
    writeFile(QDir(bin.path()).filePath(name), "#!/bin/sh\n", true);
  PathOverride path(bin.path());
  const QString simulation = QStringLiteral("/some folder/b;touch X;y/Dravik");
  const QStringList run{"-e",       "/bin/sh",   "-c",  "exec \"$0\" \"$@\"",
                        simulation, "--threads", "auto"};
  const auto command = terminalCommand(simulation, {"--threads", "auto"}, "Dravik — r.tmr");
  if (expected.isEmpty()) {
    QVERIFY(!command);
    return;
  }
  QVERIFY(command);
  QCOMPARE(command->program, QDir(bin.path()).filePath(expected));
  if (expected == "xterm") {
    QCOMPARE(command->arguments,
             QStringList({"-T", "Dravik — r.tmr", "-fa", "Monospace", "-fs", "12"}) + run);
    QVERIFY(command->livesWithRun);
  } else {
    QCOMPARE(command->arguments, QStringList({"-T", "Dravik — r.tmr"}) + run);
    QVERIFY(!command->livesWithRun);
  }
  QCOMPARE(terminalTitle("run1.tmr"), QString("Dravik — run1.tmr"));
}

void LauncherTest::startsDetachedInWorkingFolderWithoutShell_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::newRow("plain run, no arguments") << QStringList{};
  QTest::newRow("parallel run") << QStringList{"--threads", "auto"};
}

// The stand-in terminal runs the vector it got; the stand-in Dravik records its
// current folder and arguments. The working folder's name holds blanks and shell
// syntax: had a shell parsed it, the file "pwned" would exist.
void LauncherTest::startsDetachedInWorkingFolderWithoutShell() {
  QFETCH(QStringList, arguments);
  QTemporaryDir bin, root;
  const QString record = QDir(bin.path()).filePath("terminal.txt");
  writeStandInTerminal(QDir(bin.path()).filePath("xterm"), record);
  const QString working = QDir(root.path()).filePath("run $(touch pwned); a b;touch pwned;y");
  QVERIFY(QDir().mkpath(working));
  const QString dravik = QDir(working).filePath(simulationProgramName);
  const QString ran = QDir(bin.path()).filePath("dravik.txt");
  writeFile(dravik, "#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > '" + ran.toLocal8Bit() + "'\n",
            true);

  TerminalLauncher launcher;
  launcher.setGracePeriod(300);
  std::optional<QString> error;
  {
    PathOverride path(bin.path() + ":/usr/bin:/bin");
    error = verdictOf(launcher, {working, "run1.tmr", arguments});
  }
  QVERIFY2(!error, error ? qPrintable(*error) : "");
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(ran), 10000);
  QCOMPARE(recordedLines(record),
           QStringList({"-T", "Dravik — run1.tmr", "-fa", "Monospace", "-fs", "12", "-e", "/bin/sh",
                        "-c", "exec \"$0\" \"$@\"", dravik}) +
               arguments);
  QCOMPARE(recordedLines(ran), QStringList{QDir(working).canonicalPath()} + arguments);
  QVERIFY(!QFileInfo::exists(QDir(working).filePath("pwned")));
  QVERIFY(!QFileInfo::exists(QDir(root.path()).filePath("pwned")));
}

void LauncherTest::reportsTerminalEndingAtOnce_data() {
  QTest::addColumn<QByteArray>("terminal");  // the stand-in terminal's script
  QTest::addColumn<QByteArray>("dravik");    // the stand-in Dravik's content
  QTest::addColumn<QString>("cause");
  QTest::newRow("no display")
      << QByteArray("#!/bin/sh\necho \"xterm: Xt error: Can't open display: :99\" >&2\nexit 1\n")
      << QByteArray("#!/bin/sh\nsleep 5\n")
      << QString::fromUtf8(corvane::messages::kCauseNoDisplay);
  QTest::newRow("terminal says why")
      << QByteArray("#!/bin/sh\necho 'xterm: bad font' >&2\nexit 1\n")
      << QByteArray("#!/bin/sh\nsleep 5\n") << QString("xterm: bad font");
  QTest::newRow("Dravik cannot be executed")
      << QByteArray() << QByteArray("#!/nonexistent/interpreter\n")
      << QString::fromUtf8(corvane::messages::kCauseProgramEnded).arg(simulationProgramName);
}

// A terminal that ends within the watch is a failed start, named with its cause.
void LauncherTest::reportsTerminalEndingAtOnce() {
  QFETCH(QByteArray, terminal);
  QFETCH(QByteArray, dravik);
  QFETCH(QString, cause);
  QTemporaryDir bin, working;
  const QString xterm = QDir(bin.path()).filePath("xterm");
  if (terminal.isEmpty())
    writeStandInTerminal(xterm, QDir(bin.path()).filePath("terminal.txt"), true);
  else
    writeFile(xterm, terminal, true);
  writeFile(QDir(working.path()).filePath(simulationProgramName), dravik, true);
  TerminalLauncher launcher;
  launcher.setGracePeriod(3000);
  PathOverride path(bin.path() + ":/usr/bin:/bin");
  const auto error = verdictOf(launcher, {working.path(), "run1.tmr", {}});
  QVERIFY(error);
  QVERIFY2(error->contains(cause), qPrintable(*error));
  QVERIFY2(error->contains("xterm"), qPrintable(*error));
}

// The real xterm on a virtual display of its own, when both are installed: a
// folder named "b;touch X;y" holding a Dravik that cannot be executed. A single
// -e argument would have made xterm run `$SHELL -c PATH`, that is `touch X`.
void LauncherTest::realTerminalNeverHandsPathToShell() {
  const QString xvfb = QStandardPaths::findExecutable("Xvfb");
  if (xvfb.isEmpty() || QStandardPaths::findExecutable("xterm").isEmpty())
    QSKIP("Xvfb or xterm is not installed");
  QProcess display;
  display.setProgram(xvfb);
  display.setArguments({"-displayfd", "1", "-screen", "0", "320x240x24", "-nolisten", "tcp"});
  display.start();
  QVERIFY(display.waitForStarted(5000));
  QVERIFY(QTest::qWaitFor([&] { return display.canReadLine(); }, 10000));
  const QByteArray number = display.readLine().trimmed();
  const QByteArray savedDisplay = qgetenv("DISPLAY");
  qputenv("DISPLAY", ":" + number);
  QTemporaryDir root;
  const QString working = QDir(root.path()).filePath("b;touch X;y");
  QVERIFY(QDir().mkpath(working));
  writeFile(QDir(working).filePath(simulationProgramName), "#!/nonexistent/interpreter\n", true);
  TerminalLauncher launcher;
  launcher.setGracePeriod(5000);
  const auto error = verdictOf(launcher, {working, "x.tmr", {}});
  qputenv("DISPLAY", savedDisplay);
  display.terminate();
  display.waitForFinished(5000);
  QVERIFY2(error, "the start was reported as a success");
  QVERIFY2(error->contains(
               QString::fromUtf8(corvane::messages::kCauseProgramEnded).arg(simulationProgramName)),
           qPrintable(*error));
  QVERIFY(!QFileInfo::exists(QDir(working).filePath("X")));
  QVERIFY(!QFileInfo::exists(QDir(root.path()).filePath("X")));
}

void LauncherTest::reportsMissingTerminal() {
  QTemporaryDir empty, working;
  writeFile(QDir(working.path()).filePath(simulationProgramName), "#!/bin/sh\n", true);
  TerminalLauncher launcher;
  PathOverride path(empty.path());
  const auto error = verdictOf(launcher, {working.path(), "r.tmr", {}});
  QVERIFY(error);
  QVERIFY2(error->contains("xterm"), qPrintable(*error));
}

void LauncherTest::reportsMissingProgram_data() {
  QTest::addColumn<bool>("sameFolder");
  QTest::newRow("working folder elsewhere") << false;
  QTest::newRow("working folder is the program folder") << true;
}

// This test program does not sit beside a Dravik (it is built into its own
// folder), so an empty working folder leaves the program nowhere to be found.
// Each folder searched is named once.
void LauncherTest::reportsMissingProgram() {
  QFETCH(bool, sameFolder);
  QVERIFY(!findSimulationProgram(QCoreApplication::applicationDirPath(), {}));
  QTemporaryDir temporary;
  const QString working = sameFolder ? QCoreApplication::applicationDirPath() : temporary.path();
  TerminalLauncher launcher;
  const auto error = verdictOf(launcher, {working, "r.tmr", {}});
  QVERIFY(error);
  QVERIFY2(error->contains(simulationProgramName), qPrintable(*error));
  const QString folder = QDir::toNativeSeparators(working);
  QVERIFY2(error->count(folder) == 1, qPrintable(*error));
  QVERIFY2(error->contains(QDir::toNativeSeparators(QCoreApplication::applicationDirPath())),
           qPrintable(*error));
}

QTEST_GUILESS_MAIN(LauncherTest)
#include "launcher_test.moc"
