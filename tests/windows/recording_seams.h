#pragma once
// Test doubles of the workbench's seams: messages recorded instead of shown, and
// process starts recorded instead of made.
#include <QString>
#include <deque>
#include <vector>

#include "launcher.h"
#include "messages.h"

// Keeps every message and question in order; shows nothing. Questions are answered
// from `answers` (front first), then with `defaultAnswer`.
class RecordingMessageSink final : public MessageSink {
 public:
  struct Message {
    QString text;
    Icon icon;
  };
  void show(const QString& text, Icon icon) override { messages.push_back({text, icon}); }
  bool ask(const QString& question) override {
    questions.push_back(question);
    if (answers.empty()) return defaultAnswer;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<Message> messages;
  std::vector<QString> questions;
  std::deque<bool> answers;
  bool defaultAnswer = true;
};

// Records every start instead of starting anything. Answers at once with `failure`
// (nothing: success), or, with `holdVerdict`, keeps the verdict for the test to give.
class RecordingLauncher final : public Launcher {
 public:
  void startSimulation(const SimulationStart& start, Verdict verdict) override {
    startedIn.push_back(start.workingFolder);
    starts.push_back(start);
    if (holdVerdict) {
      held = std::move(verdict);
      return;
    }
    verdict(failure);
  }
  std::vector<QString> startedIn;       // working folder of every start asked for
  std::vector<SimulationStart> starts;  // every start asked for
  std::optional<QString> failure;       // error text to answer with, nothing for success
  bool holdVerdict = false;
  Verdict held;
};
