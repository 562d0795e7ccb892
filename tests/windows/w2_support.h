// Shared set-up of the tests of the launch dialog, results window, save dialog
// and help window: a workbench on a fresh temporary working folder, with the
// messages recorded and the process start replaced by a recording seam.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "fonts.h"
#include "form2.h"
#include "recording_seams.h"
#include "workbench.h"

struct W2Session {
  QTemporaryDir folder;
  RecordingMessageSink messages;
  RecordingLauncher launcher;
  std::unique_ptr<Workbench> workbench;

  W2Session() {
    fonts::installFontMapping();
    workbench = std::make_unique<Workbench>(folder.path(), messages, launcher);
    workbench->setQuitAction([] {});
    // The spectrum window reads Lead.dat at its creation; it is created here, so
    // that its load is done before a test looks at the messages.
    QFile::copy(QStringLiteral(SHIPPED_DATA "/Lead.dat"), path("Lead.dat"));
    workbench->form2();
    messages.messages.clear();
  }
  QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
  QStringList messageTexts() const {
    QStringList texts;
    for (const auto& m : messages.messages) texts << m.text;
    return texts;
  }
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
