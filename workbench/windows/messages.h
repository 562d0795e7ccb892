#pragma once
// Message boxes of the workbench behind a replaceable sink, so that the windows
// show real modal boxes and the tests record the texts instead.
#include <QString>

class MessageSink {
 public:
  enum class Icon { None, Exclamation };
  virtual ~MessageSink() = default;
  // Shows `text` to the user and returns when the user has acknowledged it.
  virtual void show(const QString& text, Icon icon) = 0;
  // Asks a yes/no question; true when the user answered yes.
  virtual bool ask(const QString& question) = 0;
};

// `text` with the system's English error texts ("No such file or directory", as
// the C library words them) replaced by Japanese ones, so that a failure message
// shows in one language.
QString localiseSystemTexts(QString text);

// The program's title: the caption of every message box.
inline const QString programTitle = QStringLiteral("Corvane");

// A modal message box captioned "Corvane" with an OK button and the icon (or Yes
// and No with the question icon), in the windows' Japanese font, wide enough for
// its caption.
class MessageBoxSink final : public MessageSink {
 public:
  void show(const QString& text, Icon icon) override;
  bool ask(const QString& question) override;
};
