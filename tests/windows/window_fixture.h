#pragma once
// A workbench in a fresh temporary working folder holding the shipped Lead.dat,
// with recorded messages, a recording process start and an observable program end.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "recording_seams.h"
#include "workbench.h"

struct WindowFixture {
  explicit WindowFixture(bool withLead = true) {
    if (withLead)
      QFile::copy(QStringLiteral(SHIPPED_DATA "/Lead.dat"),
                  folder.filePath(QStringLiteral("Lead.dat")));
    workbench = std::make_unique<Workbench>(folder.path(), messages, launcher);
    workbench->setQuitAction([this] { ++quitCalls; });
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
