#include "launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <memory>

#include "workbench/spectrum/messages.h"

namespace {
bool isExecutableFile(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && info.isExecutable();
}

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// Whether the process `pid` still runs: it has an entry in /proc that is not a
// zombie. A detached process is no child of ours, so it cannot be waited for.
bool processRunning(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray line = stat.readAll();
  // "pid (command) S ...": the state follows the last closing parenthesis.
  const qsizetype close = line.lastIndexOf(')');
  if (close < 0 || close + 2 >= line.size()) return false;
  const char state = line.at(close + 2);
  return state != 'Z' && state != 'X' && state != 'x';
}

// What a terminal that ended at once wrote to its error output, as the cause to show.
QString endedCause(const QByteArray& errorOutput) {
  const QString said = QString::fromLocal8Bit(errorOutput).trimmed();
  if (said.contains(QStringLiteral("display"), Qt::CaseInsensitive))
    return text(corvane::messages::kCauseNoDisplay) + QStringLiteral(": ") +
           said.split(QLatin1Char('\n')).last().trimmed();
  if (!said.isEmpty())
    return text(corvane::messages::kCauseTerminalSaid)
        .arg(said.split(QLatin1Char('\n')).last().trimmed());
  return text(corvane::messages::kCauseProgramEnded).arg(simulationProgramName);
}
}  // namespace

std::optional<QString> findSimulationProgram(const QString& programFolder,
                                             const QString& workingFolder) {
  for (const QString& folder : {programFolder, workingFolder}) {
    if (folder.isEmpty()) continue;
    const QString candidate = QDir(folder).absoluteFilePath(simulationProgramName);
    if (isExecutableFile(candidate)) return candidate;
  }
  return std::nullopt;
}

QString terminalTitle(const QString& resultFileName) {
  return simulationProgramName + QStringLiteral(" — ") + resultFileName;
}

std::optional<ProcessCommand> terminalCommand(const QString& simulation,
                                              const QStringList& arguments, const QString& title) {
  // Never a single argument after -e (see the header): the shell with its fixed script,
  // then the program and its arguments as they are.
  QStringList run{QStringLiteral("-e"), QStringLiteral("/bin/sh"), QStringLiteral("-c"), execScript,
                  simulation};
  run += arguments;
  if (const QString xterm = QStandardPaths::findExecutable(QStringLiteral("xterm"));
      !xterm.isEmpty()) {
    QStringList options{QStringLiteral("-T"),  title,
                        QStringLiteral("-fa"), QStringLiteral("Monospace"),
                        QStringLiteral("-fs"), QStringLiteral("12")};
    return ProcessCommand{xterm, options + run, true};
  }
  if (const QString other = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
      !other.isEmpty())
    return ProcessCommand{other, QStringList{QStringLiteral("-T"), title} + run, false};
  return std::nullopt;
}

void TerminalLauncher::startSimulation(const SimulationStart& start, Verdict verdict) {
  const QString programFolder = QCoreApplication::applicationDirPath();
  const auto simulation = findSimulationProgram(programFolder, start.workingFolder);
  if (!simulation) {
    const QString a = QDir::toNativeSeparators(QDir(programFolder).absolutePath());
    const QString b = QDir::toNativeSeparators(QDir(start.workingFolder).absolutePath());
    verdict(a == b || QDir(a).canonicalPath() == QDir(b).canonicalPath()
                ? text(corvane::messages::kSimulationNotFoundIn).arg(simulationProgramName, a)
                : text(corvane::messages::kSimulationNotFound).arg(simulationProgramName, a, b));
    return;
  }
  const auto command =
      terminalCommand(*simulation, start.arguments, terminalTitle(start.resultFileName));
  if (!command) {
    verdict(text(corvane::messages::kNoTerminal));
    return;
  }
  const QString terminalName = QFileInfo(command->program).fileName();

  // The terminal's error output goes to a file of our own: no pipe that would break
  // when Corvane ends before the run does.
  auto errorFile = std::make_shared<QTemporaryFile>();
  if (!errorFile->open()) {
    verdict(text(corvane::messages::kTerminalNotStarted).arg(simulationProgramName, terminalName));
    return;
  }
  QProcess process;
  process.setProgram(command->program);
  process.setArguments(command->arguments);
  process.setWorkingDirectory(start.workingFolder);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(errorFile->fileName());
  qint64 pid = 0;
  // Detached: Corvane neither waits for the run nor ends it when it ends itself.
  if (!process.startDetached(&pid) || pid <= 0) {
    verdict(text(corvane::messages::kTerminalNotStarted).arg(simulationProgramName, terminalName));
    return;
  }

  // Watch the terminal for the grace period without blocking the user interface.
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  const int grace = gracePeriodMs_;
  const bool livesWithRun = command->livesWithRun;
  const auto check = [=]() {
    const bool running = processRunning(pid);
    if (running && clock->elapsed() < grace) return;
    timer->stop();
    timer->deleteLater();
    errorFile->seek(0);
    const QByteArray said = errorFile->readAll();
    if (running || (!livesWithRun && said.trimmed().isEmpty())) {
      verdict(std::nullopt);
      return;
    }
    verdict(text(corvane::messages::kTerminalEndedAtOnce)
                .arg(simulationProgramName, terminalName, endedCause(said)));
  };
  QObject::connect(timer, &QTimer::timeout, timer, check);
  timer->start(50);
}
