#pragma once
// Starting the simulation program: a seam, so that tests replace the process start.
//
// The real start looks for the `Dravik` executable beside Corvane, then in the
// working folder, and starts it detached in a terminal window of its own (xterm
// when present, else x-terminal-emulator) with the working folder as its current
// folder, so that Dravik finds S_SPCTL.dat and B2F.dat there and writes its
// result file there.
//
// No shell ever parses a path. The terminal gets an argument vector after -e with
// more than one element, which it executes directly: a terminal handed a single
// -e argument that it cannot execute falls back to `$SHELL -c ARGUMENT`, and a
// folder named "b;touch X;y" would then run `touch X`. The vector is
// /bin/sh -c 'exec "$0" "$@"' DRAVIK ARGS...: the shell parses only that fixed
// script and receives the path as a positional parameter, and when Dravik cannot
// be executed the shell, and with it the terminal, ends at once, which the start
// watch below reports.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What one simulation run needs from the process start.
struct SimulationStart {
  QString workingFolder;   // Dravik's current folder: B2F.dat, S_SPCTL.dat, the result file
  QString resultFileName;  // "NAME.tmr", shown in the terminal's title
  QStringList arguments;   // Dravik's own arguments: none for the plain run
};

class Launcher {
 public:
  // Called exactly once, on the user-interface thread: nothing when the run has
  // started, else an error text for the user. It may be called before
  // startSimulation returns.
  using Verdict = std::function<void(const std::optional<QString>& error)>;
  virtual ~Launcher() = default;
  // Starts Dravik in a console window of its own and does not wait for the run.
  virtual void startSimulation(const SimulationStart& start, Verdict verdict) = 0;
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
  // The terminal process lives as long as the program it runs (xterm), so an
  // exit within the start watch means the run did not start. Other terminals
  // may hand the window to a server and return at once.
  bool livesWithRun = false;
};

// The fixed script of the shell between terminal and simulation: it executes its
// $0 with its other arguments, and parses nothing else.
inline const QString execScript = QStringLiteral("exec \"$0\" \"$@\"");

// The terminal command that runs `simulation` with `arguments` in a window titled
// `title`: xterm (with a readable monospace font at 12 points) when it is on the
// PATH, else x-terminal-emulator (title and -e only, which every such terminal
// takes); nothing when neither is installed.
std::optional<ProcessCommand> terminalCommand(const QString& simulation,
                                              const QStringList& arguments, const QString& title);

// The terminal's title for a run: "Dravik — NAME.tmr".
QString terminalTitle(const QString& resultFileName);

// The real process start (Dravik in a terminal window). The terminal is started
// detached; for `gracePeriodMs` after the start the launcher watches whether it
// is still there. A terminal that ended in that time (no display, Dravik could
// not be executed) is reported with what it wrote to its error output, so that
// the dialog does not report success. The user interface keeps running meanwhile.
class TerminalLauncher final : public Launcher {
 public:
  void startSimulation(const SimulationStart& start, Verdict verdict) override;
  void setGracePeriod(int milliseconds) { gracePeriodMs_ = milliseconds; }

 private:
  int gracePeriodMs_ = 1500;
};
