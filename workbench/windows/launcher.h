#pragma once
// Starting the simulation program: a seam, so that tests replace the process start.
//
// The real start looks for the `Dravik` executable beside Corvane, then in the
// working folder, and starts it detached in a terminal window of its own
// (x-terminal-emulator when present, else xterm) with the working folder as its
// current folder, so that Dravik finds S_SPCTL.dat and B2F.dat there and writes
// its result file there. The program and its arguments are handed over as a
// list: no shell ever sees a path or a typed text.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Starts Dravik detached in a console window of its own with `workingFolder` as
  // its current folder. Returns an error text for the user on failure, nothing on success.
  virtual std::optional<QString> startSimulation(const QString& workingFolder) = 0;
};

// The file name of the simulation program.
inline const QString simulationProgramName = QStringLiteral("Dravik");

// The executable `Dravik` in `programFolder` (the folder of Corvane) or else in
// `workingFolder`; nothing when neither holds an executable file of that name.
std::optional<QString> findSimulationProgram(const QString& programFolder,
                                             const QString& workingFolder);

// One process to start: program and arguments, never a shell command line.
struct ProcessCommand {
  QString program;
  QStringList arguments;
};

// The terminal command that runs `simulation` in a window of its own:
// "x-terminal-emulator -e <simulation>" when x-terminal-emulator is on the
// PATH, else "xterm -e <simulation>"; nothing when neither is installed.
std::optional<ProcessCommand> terminalCommand(const QString& simulation);

// The real process start (Dravik in a terminal window).
class TerminalLauncher final : public Launcher {
 public:
  std::optional<QString> startSimulation(const QString& workingFolder) override;
};

// Records every start instead of starting anything; fails with `failure` when set.
class RecordingLauncher final : public Launcher {
 public:
  std::optional<QString> startSimulation(const QString& workingFolder) override {
    startedIn.push_back(workingFolder);
    return failure;
  }
  std::vector<QString> startedIn;  // working folder of every start asked for
  std::optional<QString> failure;  // error text to answer with, nothing for success
};
