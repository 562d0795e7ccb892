// The process start of the simulation: finding Dravik, choosing the terminal,
// and the real detached start (with a stand-in terminal that records what it got).
#include "launcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

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

}  // namespace

class LauncherTest : public QObject {
  Q_OBJECT
 private slots:
  void findsSimulationProgram_data();
  void findsSimulationProgram();
  void choosesTerminal_data();
  void choosesTerminal();
  void startsDetachedInWorkingFolderWithoutShell();
  void reportsMissingTerminal();
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
  QTest::newRow("both: x-terminal-emulator")
      << QStringList{"x-terminal-emulator", "xterm"} << "x-terminal-emulator";
  QTest::newRow("xterm only") << QStringList{"xterm"} << "xterm";
  QTest::newRow("none") << QStringList{} << "";
}

void LauncherTest::choosesTerminal() {
  QFETCH(QStringList, installed);
  QFETCH(QString, expected);
  QTemporaryDir bin;
  for (const QString& name : installed)
    writeFile(QDir(bin.path()).filePath(name), "#!/bin/sh\n", true);
  PathOverride path(bin.path());
  const QString simulation = QStringLiteral("/some folder/Dravik");
  const auto command = terminalCommand(simulation);
  if (expected.isEmpty()) {
    QVERIFY(!command);
    return;
  }
  QVERIFY(command);
  QCOMPARE(command->program, QDir(bin.path()).filePath(expected));
  QCOMPARE(command->arguments, (QStringList{"-e", simulation}));
}

// The stand-in terminal records its current folder and its arguments, one a
// line. The working folder's name holds blanks and shell syntax: had a shell
// seen it, the command substitution would have created the file "pwned".
void LauncherTest::startsDetachedInWorkingFolderWithoutShell() {
  QTemporaryDir bin, root;
  const QString record = QDir(bin.path()).filePath("record.txt");
  writeFile(QDir(bin.path()).filePath("xterm"),
            "#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > '" + record.toLocal8Bit() +
                ".part'\n/bin/mv '" + record.toLocal8Bit() + ".part' '" + record.toLocal8Bit() +
                "'\n",
            true);
  const QString working = QDir(root.path()).filePath("run $(touch pwned); a b");
  QVERIFY(QDir().mkpath(working));
  const QString dravik = QDir(working).filePath(simulationProgramName);
  writeFile(dravik, "#!/bin/sh\n", true);

  TerminalLauncher launcher;
  std::optional<QString> error;
  {
    PathOverride path(bin.path());
    error = launcher.startSimulation(working);
  }
  QVERIFY2(!error, error ? qPrintable(*error) : "");
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 10000);
  QFile file(record);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromLocal8Bit(file.readAll()).split('\n', Qt::SkipEmptyParts);
  QCOMPARE(lines, (QStringList{QDir(working).canonicalPath(), "-e", dravik}));
  QVERIFY(!QFileInfo::exists(QDir(working).filePath("pwned")));
  QVERIFY(!QFileInfo::exists(QDir(root.path()).filePath("pwned")));
}

void LauncherTest::reportsMissingTerminal() {
  QTemporaryDir empty, working;
  writeFile(QDir(working.path()).filePath(simulationProgramName), "#!/bin/sh\n", true);
  TerminalLauncher launcher;
  PathOverride path(empty.path());
  const auto error = launcher.startSimulation(working.path());
  QVERIFY(error);
  QVERIFY2(error->contains("xterm"), qPrintable(*error));
}

// This test program does not sit beside a Dravik (it is built into its own
// folder), so an empty working folder leaves the program nowhere to be found.
void LauncherTest::reportsMissingProgram() {
  QVERIFY(!findSimulationProgram(QCoreApplication::applicationDirPath(), {}));
  QTemporaryDir working;
  TerminalLauncher launcher;
  const auto error = launcher.startSimulation(working.path());
  QVERIFY(error);
  QVERIFY2(error->contains(simulationProgramName), qPrintable(*error));
  QVERIFY2(error->contains(QDir::toNativeSeparators(working.path())), qPrintable(*error));
}

QTEST_GUILESS_MAIN(LauncherTest)
#include "launcher_test.moc"
