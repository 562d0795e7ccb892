// The spectrum data save dialog: preview, byte-for-byte copy into the folder
// chosen in its folder list, the messages, and the folder kept between openings.
#include "form3.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <cerrno>
#include <system_error>

#include "file_lists.h"
#include "window_fixture.h"
#include "workbench/spectrum/messages.h"

namespace {
// A spectrum hand-over file of 403 CR LF lines in its written layout.
QByteArray spectrumFile() {
  QByteArray out;
  for (int i = 1; i <= 400; ++i)
    out +=
        QString::asprintf("%06.3f, %.3E\r\n", (50.0 * i - 25.0) / 1000.0, i < 200 ? 1.0 / i : 0.0)
            .toLatin1();
  out += "10.0\r\n029\r\n10.50\r\n";
  return out;
}

void typeName(Form3& form, const QString& name) {
  auto* text = control<QLineEdit>(form, "Text1");
  text->clear();
  QTest::keyClicks(text, name);
}

void ok(Form3& form) { QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton); }
}  // namespace

class Form3Test : public QObject {
  Q_OBJECT
 private slots:
  void openingShowsPreview();
  void savesByteCopy_data();
  void savesByteCopy();
  void emptyNameGivesMessage();
  void failedCopyKeepsDialogOpen_data();
  void failedCopyKeepsDialogOpen();
  void missingSpectrumFileIsReportedAtOpening();
  void cancelKeepsChosenFolder();
  void unreadableDriveIsIgnored();
};

void Form3Test::openingShowsPreview() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  const QByteArray spectrum = spectrumFile();
  writeBytes(s.path("S_SPCTL.dat"), spectrum);
  Form3& form = s.workbench->form3();
  control<QLineEdit>(form, "Text1")->setText("left over");
  form.openFromSpectrumWindow();
  QVERIFY(form.isVisible());
  auto* preview = control<QListWidget>(form, "List1");
  const QList<QByteArray> lines = spectrum.split('\n');
  QCOMPARE(preview->count(), 403);
  for (int i = 0; i < 403; ++i) QCOMPARE(preview->item(i)->text().toLatin1() + "\r", lines.at(i));
  QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString());
  QCOMPARE(form.focusWidget(), control<QLineEdit>(form, "Text1"));
  // The lists start at the working folder.
  QCOMPARE(control<DirListBox>(form, "Dir1")->path(), QDir(s.folder.path()).canonicalPath());
  QCOMPARE(control<FileListBox>(form, "File1")->folder(), QDir(s.folder.path()).canonicalPath());
  QVERIFY(s.messages.messages.empty());
}

void Form3Test::savesByteCopy_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("fileName");
  QTest::newRow("spec1") << "spec1"
                         << "spec1.csv";
  QTest::newRow("extension typed stays") << "spec1.csv"
                                         << "spec1.csv.csv";
  QTest::newRow("blanks kept") << " a b"
                               << " a b.csv";
}

// The copy goes into the folder chosen in the folder list (not the working
// folder), replacing a file already there without a question.
void Form3Test::savesByteCopy() {
  QFETCH(QString, name);
  QFETCH(QString, fileName);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  const QByteArray spectrum = spectrumFile();
  writeBytes(s.path("S_SPCTL.dat"), spectrum);
  QTemporaryDir target;
  writeBytes(QDir(target.path()).filePath(fileName), "old content");
  Form3& form = s.workbench->form3();
  QVERIFY(control<DirListBox>(form, "Dir1")->setPath(target.path()));
  form.openFromSpectrumWindow();
  QCOMPARE(control<FileListBox>(form, "File1")->folder(), QDir(target.path()).canonicalPath());
  typeName(form, name);
  ok(form);
  QCOMPARE(readBytes(QDir(target.path()).filePath(fileName)), spectrum);
  QCOMPARE(s.messageTexts(), QStringList{QString::fromUtf8(corvane::messages::kFileSaved)});
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::None);
  QVERIFY(!form.isVisible());
  QCOMPARE(readBytes(s.path("S_SPCTL.dat")), spectrum);
  QCOMPARE(s.workbench->workingFolder(),
           QDir(s.folder.path()).absolutePath());  // working folder unchanged
}

void Form3Test::emptyNameGivesMessage() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("S_SPCTL.dat"), spectrumFile());
  Form3& form = s.workbench->form3();
  form.openFromSpectrumWindow();
  ok(form);
  QCOMPARE(s.messageTexts(), QStringList{QString::fromUtf8(corvane::messages::kEnterFileName)});
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::Exclamation);
  QVERIFY(form.isVisible());
  QCOMPARE(filesMatching(s.folder.path(), "*.csv"), QStringList{});
}

void Form3Test::failedCopyKeepsDialogOpen_data() {
  QTest::addColumn<QString>("failure");
  QTest::addColumn<QString>("named");  // what the message must name
  QTest::newRow("chosen folder removed") << "folder"
                                         << "spec1.csv";
  QTest::newRow("S_SPCTL.dat removed after opening") << "source"
                                                     << "S_SPCTL.dat";
  QTest::newRow("name with a folder separator") << "name"
                                                << "no/such";
}

void Form3Test::failedCopyKeepsDialogOpen() {
  QFETCH(QString, failure);
  QFETCH(QString, named);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("S_SPCTL.dat"), spectrumFile());
  auto target = std::make_unique<QTemporaryDir>();
  const QString targetPath = target->path();
  Form3& form = s.workbench->form3();
  QVERIFY(control<DirListBox>(form, "Dir1")->setPath(targetPath));
  form.openFromSpectrumWindow();
  if (failure == "folder") target.reset();
  if (failure == "source") QVERIFY(QFile::remove(s.path("S_SPCTL.dat")));
  typeName(form, failure == "name" ? "no/such" : "spec1");
  ok(form);
  QCOMPARE(s.messages.messages.size(), std::size_t{1});
  const QString text = s.messages.messages[0].text;
  QVERIFY2(text.contains(named), qPrintable(text));
  QVERIFY(text != QString::fromUtf8(corvane::messages::kFileSaved));
  // The system's English error text is shown in Japanese.
  QVERIFY2(!text.contains(QString::fromStdString(std::generic_category().message(ENOENT))),
           qPrintable(text));
  if (failure == "folder")
    QVERIFY2(text.contains(QStringLiteral("ファイルまたはフォルダがありません")), qPrintable(text));
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::Exclamation);
  QVERIFY(form.isVisible());
}

void Form3Test::missingSpectrumFileIsReportedAtOpening() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  Form3& form = s.workbench->form3();
  form.openFromSpectrumWindow();
  QCOMPARE(s.messages.messages.size(), std::size_t{1});
  QVERIFY2(s.messages.messages[0].text.contains("S_SPCTL.dat"),
           qPrintable(s.messages.messages[0].text));
  QVERIFY(!form.isVisible());
}

void Form3Test::cancelKeepsChosenFolder() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("S_SPCTL.dat"), spectrumFile());
  QTemporaryDir target;
  writeBytes(QDir(target.path()).filePath("earlier.csv"), "x");
  Form3& form = s.workbench->form3();
  form.openFromSpectrumWindow();
  auto* folders = control<DirListBox>(form, "Dir1");
  QVERIFY(folders->setPath(target.path()));  // as by a double-click in the folder list
  QCOMPARE(control<FileListBox>(form, "File1")->count(), 1);
  typeName(form, "unsaved");
  QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
  QVERIFY(!form.isVisible());
  QVERIFY(!QFileInfo::exists(QDir(target.path()).filePath("unsaved.csv")));
  form.openFromSpectrumWindow();
  QCOMPARE(folders->path(), QDir(target.path()).canonicalPath());
  QCOMPARE(control<FileListBox>(form, "File1")->folder(), QDir(target.path()).canonicalPath());
  QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString());
  QVERIFY(s.messages.messages.empty());
}

// A volume that cannot be read (gone, or no medium): the folder list stays
// where it was and the drive list shows that folder's volume again.
void Form3Test::unreadableDriveIsIgnored() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  Form3& form = s.workbench->form3();
  auto* folders = control<DirListBox>(form, "Dir1");
  auto* drives = control<DriveListBox>(form, "Drive1");
  const QString before = folders->path();
  const QString drive = drives->drive();
  form.Drive1_Change(QDir(s.folder.path()).filePath("no-such-volume"));
  QCOMPARE(folders->path(), before);
  QCOMPARE(control<FileListBox>(form, "File1")->folder(), before);
  QCOMPARE(drives->drive(), drive);
  QVERIFY(s.messages.messages.empty());
}

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
