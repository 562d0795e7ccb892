// The simulation launch dialog: B2F.dat as written, the empty-name message,
// and the process start through the recording seam (success and failure).
#include "form5.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "form2.h"
#include "w2_support.h"
#include "workbench/spectrum/messages.h"

class Form5Test : public QObject {
  Q_OBJECT
 private slots:
  void openingResetsBoxes();
  void writesRunParametersAndStarts_data();
  void writesRunParametersAndStarts();
  void emptyNameGivesMessageAndWritesNothing();
  void failingStartKeepsDialogOpen();
  void unwritableRunParametersKeepDialogOpen();
  void cancelLeavesRunParameters();
};

namespace {
// Opens the dialog and types into it, as the user would after opening.
void openAndType(Form5& form, const QString& name, const QString& histories) {
  form.openFromSpectrumWindow();
  auto* text1 = control<QLineEdit>(form, "Text1");
  auto* text2 = control<QLineEdit>(form, "Text2");
  text1->clear();
  QTest::keyClicks(text1, name);
  text2->clear();
  QTest::keyClicks(text2, histories);
}

QPushButton* resultsButton(Workbench& workbench) {
  return control<QPushButton>(workbench.form2(), "Command6");
}
}  // namespace

void Form5Test::openingResetsBoxes() {
  W2Session s;
  Form5& form = s.workbench->form5();
  openAndType(form, "old", "12");
  form.hide();
  form.openFromSpectrumWindow();
  QVERIFY(form.isVisible());
  QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString());
  QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QString("30000000"));
  QCOMPARE(form.focusWidget(), control<QPushButton>(form, "Command1"));  // focus on OK
  QCOMPARE(form.windowTitle(), QString("TMR and TPR_20,10 Calculation "));
}

// Expected bytes follow the launch dialog's rules: the name as typed plus
// ".tmr", the leading number of the history text by "0.000E+00", CR LF lines.
void Form5Test::writesRunParametersAndStarts_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("histories");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("run1, default histories") << "run1"
                                           << "30000000" << QByteArray("run1.tmr\r\n3.000E+07\r\n");
  QTest::newRow("extension typed stays") << "run1.tmr"
                                         << "1e6" << QByteArray("run1.tmr.tmr\r\n1.000E+06\r\n");
  QTest::newRow("single blank name, letters") << " "
                                              << "abc" << QByteArray(" .tmr\r\n0.000E+00\r\n");
  QTest::newRow("number then letter") << "r"
                                      << "2.5E+07x" << QByteArray("r.tmr\r\n2.500E+07\r\n");
  QTest::newRow("separators end the number")
      << "r"
      << "30,000,000" << QByteArray("r.tmr\r\n3.000E+01\r\n");
  QTest::newRow("four significant digits") << "r"
                                           << "1234567" << QByteArray("r.tmr\r\n1.235E+06\r\n");
}

void Form5Test::writesRunParametersAndStarts() {
  QFETCH(QString, name);
  QFETCH(QString, histories);
  QFETCH(QByteArray, expected);
  W2Session s;
  resultsButton(*s.workbench)->setEnabled(false);
  Form5& form = s.workbench->form5();
  openAndType(form, name, histories);
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(readBytes(s.path("B2F.dat")), expected);
  QCOMPARE(s.launcher.startedIn, std::vector<QString>{s.workbench->workingFolder()});
  QVERIFY(s.messages.messages.empty());
  QVERIFY(!form.isVisible());
  QVERIFY(resultsButton(*s.workbench)->isEnabled());
}

void Form5Test::emptyNameGivesMessageAndWritesNothing() {
  W2Session s;
  resultsButton(*s.workbench)->setEnabled(false);
  Form5& form = s.workbench->form5();
  form.openFromSpectrumWindow();
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(s.messages.messages.size(), std::size_t{1});
  QCOMPARE(s.messages.messages[0].text, QString(" 保存ファイル名を入力して下さい "));
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::None);
  QVERIFY(!QFileInfo::exists(s.path("B2F.dat")));
  QVERIFY(s.launcher.startedIn.empty());
  QVERIFY(form.isVisible());
  QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QString("30000000"));
  QVERIFY(!resultsButton(*s.workbench)->isEnabled());
}

void Form5Test::failingStartKeepsDialogOpen() {
  W2Session s;
  s.launcher.failure = QStringLiteral("シミュレーションプログラム Dravik が見つかりません");
  resultsButton(*s.workbench)->setEnabled(false);
  Form5& form = s.workbench->form5();
  openAndType(form, "run1", "30000000");
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(s.launcher.startedIn.size(), std::size_t{1});
  QCOMPARE(s.messageTexts(), QStringList{*s.launcher.failure});
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::Exclamation);
  QVERIFY(form.isVisible());
  QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString("run1"));
  QVERIFY(!resultsButton(*s.workbench)->isEnabled());
}

// A folder in the way of B2F.dat: the file cannot be created (whoever runs the test).
void Form5Test::unwritableRunParametersKeepDialogOpen() {
  W2Session s;
  QVERIFY(QDir(s.folder.path()).mkdir("B2F.dat"));
  resultsButton(*s.workbench)->setEnabled(false);
  Form5& form = s.workbench->form5();
  openAndType(form, "run1", "30000000");
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(s.messages.messages.size(), std::size_t{1});
  QVERIFY2(s.messages.messages[0].text.contains("B2F.dat"),
           qPrintable(s.messages.messages[0].text));
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::Exclamation);
  QVERIFY(s.launcher.startedIn.empty());
  QVERIFY(form.isVisible());
  QVERIFY(!resultsButton(*s.workbench)->isEnabled());
}

void Form5Test::cancelLeavesRunParameters() {
  W2Session s;
  writeBytes(s.path("B2F.dat"), "before.tmr\r\n1.000E+03\r\n");
  Form5& form = s.workbench->form5();
  openAndType(form, "run2", "5");
  QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
  QVERIFY(!form.isVisible());
  QCOMPARE(readBytes(s.path("B2F.dat")), QByteArray("before.tmr\r\n1.000E+03\r\n"));
  QVERIFY(s.launcher.startedIn.empty());
  QVERIFY(s.messages.messages.empty());
}

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
