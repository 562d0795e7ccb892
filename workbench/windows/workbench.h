#pragma once
// The application object: owns the six windows, creates each on first use, and
// holds what they share (working folder, message sink, process-start seam).
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

class Form1;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class Launcher;
class TuningWindow;
class MessageSink;
class QWidget;

// A path of the file system as the workbench library takes it (in the file-name encoding).
std::filesystem::path toFsPath(const QString& path);

class Workbench {
 public:
  // `workingFolder`: the folder of the hand-over files (S_SPCTL.dat, B2F.dat, the
  // result files) and of Lead.dat and the reference files.
  Workbench(const QString& workingFolder, MessageSink& messages, Launcher& launcher);
  ~Workbench();
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  Form1& form1();
  Form2& form2();
  Form3& form3();
  Form4& form4();
  Form5& form5();
  Form6& form6();
  TuningWindow& tuning();  // the beam-tuning window

  // The window numbered 1 … 6 if it has been created, else nullptr (nothing is created here).
  QWidget* existingForm(int number) const;

  const QString& workingFolder() const { return workingFolder_; }
  // Absolute path of a bare file name in the working folder.
  QString filePath(const QString& name) const;
  MessageSink& messages() { return messages_; }
  Launcher& launcher() { return launcher_; }

  // Ends the program: hides every window that exists and runs the quit action
  // (by default the application's event loop ends). Runs at most once.
  void endProgram();
  bool programEnded() const { return ended_; }
  // Replaces the quit action (tests keep the process alive and observe the end).
  void setQuitAction(std::function<void()> quit) { quit_ = std::move(quit); }

 private:
  QString workingFolder_;
  MessageSink& messages_;
  Launcher& launcher_;
  std::function<void()> quit_;
  bool ended_ = false;
  std::unique_ptr<Form1> form1_;
  std::unique_ptr<Form2> form2_;
  std::unique_ptr<Form3> form3_;
  std::unique_ptr<Form4> form4_;
  std::unique_ptr<Form5> form5_;
  std::unique_ptr<Form6> form6_;
  std::unique_ptr<TuningWindow> tuning_;  // last: destroyed first, its work stopped
};
