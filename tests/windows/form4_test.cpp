// The measured-data help window: the first 31 lines of 10MV-standardTMR.std as
// written, fewer when the file is shorter, a note when it is missing.
#include "form4.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "form1.h"
#include "window_fixture.h"

namespace {
// `count` lines with commas and runs of blanks, ended by `lineEnd`.
QStringList sampleLines(int count) {
  QStringList lines{"0.733", "d,  4, 6, 8, 10, 12, 15, 20, 25, 30, 35"};
  for (int k = 1; lines.size() < count; ++k)
    lines << QString("%1 ,0.%2,  0.9000 ,0.8,0.7,0.6,0.5,0.4,0.3,0.2,  0.1")
                 .arg(10 * k)
                 .arg(k, 3, 10, QChar('0'));
  return lines.mid(0, count);
}

QStringList shown(Form4& form) {
  auto* list = control<QListWidget>(form, "List1");
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}
}  // namespace

class Form4Test : public QObject {
  Q_OBJECT
 private slots:
  void showsFirstLines_data();
  void showsFirstLines();
  void missingFileGivesNote();
  void refilledOnEveryOpening();
};

void Form4Test::showsFirstLines_data() {
  QTest::addColumn<int>("lines");
  QTest::addColumn<QByteArray>("lineEnd");
  QTest::addColumn<int>("expected");
  QTest::newRow("40 lines, CR LF") << 40 << QByteArray("\r\n") << 31;
  QTest::newRow("40 lines, LF only") << 40 << QByteArray("\n") << 31;
  QTest::newRow("31 lines") << 31 << QByteArray("\r\n") << 31;
  QTest::newRow("5 lines") << 5 << QByteArray("\r\n") << 5;
}

void Form4Test::showsFirstLines() {
  QFETCH(int, lines);
  QFETCH(QByteArray, lineEnd);
  QFETCH(int, expected);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  const QStringList content = sampleLines(lines);
  writeBytes(s.path("10MV-standardTMR.std"),
             content.join(QString::fromLatin1(lineEnd)).toLatin1() + lineEnd);
  writeBytes(s.path("other.std"), "0.5\r\n");
  Form1& results = s.workbench->form1();
  results.openFromSpectrumWindow();
  QTest::mouseClick(control<QPushButton>(results, "Command1"),
                    Qt::LeftButton);  // "実測データの作成方法"
  Form4& form = s.workbench->form4();
  QVERIFY(form.isVisible());
  QCOMPARE(shown(form), content.mid(0, expected));
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);  // Close
  QVERIFY(!form.isVisible());
}

void Form4Test::missingFileGivesNote() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  Form4& form = s.workbench->form4();
  form.openFromResultsWindow();
  QVERIFY(form.isVisible());
  const QStringList lines = shown(form);
  QCOMPARE(lines.size(), 1);
  QVERIFY2(lines[0].contains("10MV-standardTMR.std"), qPrintable(lines[0]));
  QVERIFY(s.messages.messages.empty());
}

void Form4Test::refilledOnEveryOpening() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("10MV-standardTMR.std"), "first\r\n");
  Form4& form = s.workbench->form4();
  form.openFromResultsWindow();
  writeBytes(s.path("10MV-standardTMR.std"), "second\r\nthird\r\n");
  form.openFromResultsWindow();
  QCOMPARE(shown(form), (QStringList{"second", "third"}));
}

QTEST_MAIN(Form4Test)
#include "form4_test.moc"
