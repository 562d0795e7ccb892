// Drive, folder and pattern-filtered file lists, on a temporary folder tree.
#include "file_lists.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
void touch(const QString& path) {
  QFile file(path);
  QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QStringList texts(const QListWidget& list) {
  QStringList out;
  for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
  return out;
}
}  // namespace

class FileListsTest : public QObject {
  Q_OBJECT
 private slots:
  void patternFilter_data();
  void patternFilter();
  void refreshKeepsChoiceAndShowsNewFiles();
  void clickReportsName();
  void folderListShowsChainAndSubfolders();
  void folderListMovesOnActivation();
  void folderListRefusesMissingFolder();
  void driveListHoldsVolumeOfFolder();
};

void FileListsTest::patternFilter_data() {
  QTest::addColumn<QString>("pattern");
  QTest::addColumn<QStringList>("expected");
  // Folder content: b.tmr, a.tmr, REF.STD, c.std, x.csv, x.tmr.bak and a folder d.tmr.
  QTest::newRow("*.tmr: files only, sorted") << "*.tmr" << QStringList{"a.tmr", "b.tmr"};
  QTest::newRow("*.std ignores case") << "*.std" << QStringList{"c.std", "REF.STD"};
  QTest::newRow("*.csv") << "*.csv" << QStringList{"x.csv"};
  QTest::newRow("no match") << "*.dat" << QStringList{};
}

void FileListsTest::patternFilter() {
  QFETCH(QString, pattern);
  QFETCH(QStringList, expected);
  QTemporaryDir dir;
  for (const char* name : {"b.tmr", "a.tmr", "REF.STD", "c.std", "x.csv", "x.tmr.bak"})
    touch(QDir(dir.path()).filePath(name));
  QDir(dir.path()).mkdir("d.tmr");
  QCOMPARE(filesMatching(dir.path(), pattern), expected);
  FileListBox list;
  list.setPattern(pattern);
  list.setFolder(dir.path());
  QCOMPARE(texts(list), expected);
  QVERIFY(list.chosenFileName().isEmpty());
}

void FileListsTest::refreshKeepsChoiceAndShowsNewFiles() {
  QTemporaryDir dir;
  touch(QDir(dir.path()).filePath("b.tmr"));
  FileListBox list;
  list.setPattern("*.tmr");
  list.setFolder(dir.path());
  list.setCurrentRow(0);
  QCOMPARE(list.chosenFileName(), QString("b.tmr"));
  QCOMPARE(list.chosenFilePath(), QDir(dir.path()).filePath("b.tmr"));
  touch(QDir(dir.path()).filePath("a.tmr"));
  QCOMPARE(texts(list), QStringList{"b.tmr"});  // a list shows what was there when it was read
  list.refresh();
  QCOMPARE(texts(list), (QStringList{"a.tmr", "b.tmr"}));
  QCOMPARE(list.chosenFileName(), QString("b.tmr"));
  QFile::remove(QDir(dir.path()).filePath("b.tmr"));
  list.refresh();
  QCOMPARE(texts(list), QStringList{"a.tmr"});
  QVERIFY(list.chosenFileName().isEmpty());
}

void FileListsTest::clickReportsName() {
  QTemporaryDir dir;
  touch(QDir(dir.path()).filePath("a.tmr"));
  touch(QDir(dir.path()).filePath("b.tmr"));
  FileListBox list;
  list.setPattern("*.tmr");
  list.setFolder(dir.path());
  list.resize(200, 200);
  list.show();
  QSignalSpy clicked(&list, &FileListBox::fileClicked);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualItemRect(list.item(1)).center());
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(clicked.at(0).at(0).toString(), QString("b.tmr"));
  QCOMPARE(list.chosenFileName(), QString("b.tmr"));
}

void FileListsTest::folderListShowsChainAndSubfolders() {
  QTemporaryDir dir;
  const QString base = QDir(dir.path()).canonicalPath();
  QDir(base).mkpath("top/zeta");
  QDir(base).mkpath("top/Alpha");
  touch(QDir(base).filePath("top/file.txt"));
  DirListBox list;
  QVERIFY(list.setPath(QDir(base).filePath("top")));
  QCOMPARE(list.path(), QDir(base).filePath("top"));
  const QStringList shown = texts(list);
  // Root first, one line per level down to "top", then its sub-folders (no files).
  const int depth = static_cast<int>(QDir(base).filePath("top").count('/'));
  QCOMPARE(shown.size(), depth + 1 + 2);
  QCOMPARE(shown.first(), QString("/"));
  QCOMPARE(shown.at(depth).trimmed(), QString("top"));
  QCOMPARE(shown.at(depth + 1).trimmed(), QString("Alpha"));
  QCOMPARE(shown.at(depth + 2).trimmed(), QString("zeta"));
  QCOMPARE(list.currentRow(), depth);  // the current folder is the chosen line
}

void FileListsTest::folderListMovesOnActivation() {
  QTemporaryDir dir;
  const QString base = QDir(dir.path()).canonicalPath();
  QDir(base).mkpath("top/sub");
  DirListBox list;
  list.setPath(QDir(base).filePath("top"));
  QSignalSpy changed(&list, &DirListBox::pathChanged);
  emit list.itemActivated(list.item(list.count() - 1));  // "sub"
  QCOMPARE(list.path(), QDir(base).filePath("top/sub"));
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.at(0).at(0).toString(), QDir(base).filePath("top/sub"));
  // Up again through the chain line of the parent.
  const int parentRow = list.count() - 2;  // "sub" has no sub-folders: last line is itself
  emit list.itemActivated(list.item(parentRow));
  QCOMPARE(list.path(), QDir(base).filePath("top"));
  QCOMPARE(changed.count(), 2);
}

void FileListsTest::folderListRefusesMissingFolder() {
  QTemporaryDir dir;
  DirListBox list;
  QVERIFY(list.setPath(dir.path()));
  QSignalSpy changed(&list, &DirListBox::pathChanged);
  QVERIFY(!list.setPath(QDir(dir.path()).filePath("missing")));
  QCOMPARE(list.path(), QDir(dir.path()).canonicalPath());
  QCOMPARE(changed.count(), 0);
}

void FileListsTest::driveListHoldsVolumeOfFolder() {
  QTemporaryDir dir;
  DriveListBox drives;
  QVERIFY(drives.count() > 0);
  QSignalSpy changed(&drives, &DriveListBox::driveChanged);
  drives.setDriveOf(dir.path());
  QCOMPARE(drives.drive(), QStorageInfo(dir.path()).rootPath());
  QCOMPARE(changed.count(), 0);  // choosing from code is not a user's change
  QCOMPARE(drives.folderFor(drives.drive()), drives.drive());
  drives.rememberFolder(dir.path());
  QCOMPARE(drives.folderFor(drives.drive()), dir.path());
}

QTEST_MAIN(FileListsTest)
#include "file_lists_test.moc"
