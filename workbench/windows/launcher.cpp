#include "launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {
bool isExecutableFile(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && info.isExecutable();
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

std::optional<ProcessCommand> terminalCommand(const QString& simulation) {
  for (const QString& terminal : {QStringLiteral("x-terminal-emulator"), QStringLiteral("xterm")}) {
    const QString path = QStandardPaths::findExecutable(terminal);
    if (!path.isEmpty()) return ProcessCommand{path, {QStringLiteral("-e"), simulation}};
  }
  return std::nullopt;
}

std::optional<QString> TerminalLauncher::startSimulation(const QString& workingFolder) {
  const auto simulation =
      findSimulationProgram(QCoreApplication::applicationDirPath(), workingFolder);
  if (!simulation)
    return QStringLiteral(
               "シミュレーションプログラム %1 が見つかりません（%2 にも %3 にもありません）")
        .arg(simulationProgramName,
             QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
             QDir::toNativeSeparators(workingFolder));
  const auto command = terminalCommand(*simulation);
  if (!command)
    return QStringLiteral(
        "端末ウィンドウを開けません: x-terminal-emulator も xterm もインストールされていません");
  // Detached: Corvane neither waits for the run nor keeps its process id.
  if (!QProcess::startDetached(command->program, command->arguments, workingFolder))
    return QStringLiteral("%1 を起動できません: %2 を開始できませんでした")
        .arg(simulationProgramName, QDir::toNativeSeparators(command->program));
  return std::nullopt;
}
