#pragma once
// The one fixture of the window tests: a workbench in a fresh temporary working
// folder (with the shipped Lead.dat unless asked otherwise), recorded messages,
// a recording process start and an observable program end; and small helpers to
// reach controls and files.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "fonts.h"
#include "form2.h"
#include "recording_seams.h"
#include "workbench.h"

struct WindowFixture {
  enum Option {
    Default = 0,
    WithoutLead = 1,           // no Lead.dat in the working folder
    SpectrumWindowLoaded = 2,  // the spectrum window created (and its load messages dropped)
  };
  explicit WindowFixture(int options = Default) {
    fonts::installFontMapping();
    if (!(options & WithoutLead))
      QFile::copy(QStringLiteral(SHIPPED_DATA "/Lead.dat"),
                  folder.filePath(QStringLiteral("Lead.dat")));
    workbench = std::make_unique<Workbench>(folder.path(), messages, launcher);
    workbench->setQuitAction([this] { ++quitCalls; });
    if (options & SpectrumWindowLoaded) {
      workbench->form2();
      messages.messages.clear();
    }
  }
  QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
  QStringList messageTexts() const {
    QStringList texts;
    for (const auto& m : messages.messages) texts << m.text;
    return texts;
  }
  void writeFile(const QString& name, const QByteArray& content) const {
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly)) file.write(content);
  }
  // Lines of a text file without their line ends (CR LF or LF).
  QStringList lines(const QString& name) const {
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList out = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    for (QString& l : out)
      if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    return out;
  }

  QTemporaryDir folder;
  RecordingMessageSink messages;
  RecordingLauncher launcher;
  int quitCalls = 0;
  std::unique_ptr<Workbench> workbench;
};

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
  QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// A widget of a window by its control name; fails the test when it is missing.
template <class W>
W* control(QWidget& window, const char* name) {
  W* widget = window.findChild<W*>(QString::fromLatin1(name));
  if (!widget) qFatal("control %s not found in %s", name, qPrintable(window.objectName()));
  return widget;
}
