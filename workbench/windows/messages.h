#pragma once
// Message boxes of the workbench behind a replaceable sink, so that the windows
// show real modal boxes and the tests record the texts instead.
#include <QString>
#include <vector>

class QWidget;

class MessageSink {
 public:
  enum class Icon { None, Exclamation };
  virtual ~MessageSink() = default;
  // Shows `text` to the user and returns when the user has acknowledged it.
  virtual void show(const QString& text, Icon icon) = 0;
};

// The program's title: the caption of every message box.
inline const QString programTitle = QStringLiteral("Corvane");

// A modal message box captioned "Corvane" with an OK button and the icon.
class MessageBoxSink final : public MessageSink {
 public:
  void show(const QString& text, Icon icon) override;
};

// Keeps every message in order, for tests; shows nothing.
class RecordingMessageSink final : public MessageSink {
 public:
  struct Message {
    QString text;
    Icon icon;
  };
  void show(const QString& text, Icon icon) override { messages.push_back({text, icon}); }
  std::vector<Message> messages;
};
