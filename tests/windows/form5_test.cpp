// The simulation launch dialog: B2F.dat as written, the empty-name message,
// and the process start through the recording seam (success and failure).
#include "form5.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include "form2.h"
#include "window_fixture.h"
#include "workbench/spectrum/messages.h"

class Form5Test : public QObject {
  Q_OBJECT
 private slots:
  void openingResetsBoxes();
  void writesRunParametersAndStarts_data();
  void writesRunParametersAndStarts();
  void emptyNameGivesMessageAndWritesNothing();
  void refusesEntriesItCannotHandOver_data();
  void refusesEntriesItCannotHandOver();
  void asksBeforeOverwritingResult_data();
  void asksBeforeOverwritingResult();
  void asksBeforeRoundingHistoryTotal();
  void parallelRunAndTitle();
  void secondOkWhileStartingStartsNothing();
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
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
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
// ".tmr", the history total by "0.000E+00", CR LF lines. A history total is
// read as exactly the count typed (digit groups and exponents included).
void Form5Test::writesRunParametersAndStarts_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("histories");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("run1, default histories") << "run1"
                                           << "30000000" << QByteArray("run1.tmr\r\n3.000E+07\r\n");
  QTest::newRow("extension typed stays") << "run1.tmr"
                                         << "1e6" << QByteArray("run1.tmr.tmr\r\n1.000E+06\r\n");
  QTest::newRow("single blank name") << " "
                                     << "1000" << QByteArray(" .tmr\r\n1.000E+03\r\n");
  QTest::newRow("exponent with sign") << "r"
                                      << "2.5E+07" << QByteArray("r.tmr\r\n2.500E+07\r\n");
  QTest::newRow("digit groups are the count typed")
      << "r"
      << "30,000,000" << QByteArray("r.tmr\r\n3.000E+07\r\n");
  QTest::newRow("blank digit groups") << "r"
                                      << "30 000 000" << QByteArray("r.tmr\r\n3.000E+07\r\n");
  QTest::newRow("sixteen bytes") << "abcdefghijklmnop"
                                 << "3.0E+07"
                                 << QByteArray("abcdefghijklmnop.tmr\r\n3.000E+07\r\n");
  QTest::newRow("four significant digits, rounding agreed")
      << "r"
      << "1234567" << QByteArray("r.tmr\r\n1.235E+06\r\n");
}

void Form5Test::writesRunParametersAndStarts() {
  QFETCH(QString, name);
  QFETCH(QString, histories);
  QFETCH(QByteArray, expected);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  resultsButton(*s.workbench)->setEnabled(false);
  Form5& form = s.workbench->form5();
  openAndType(form, name, histories);
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(readBytes(s.path("B2F.dat")), expected);
  QCOMPARE(s.launcher.startedIn, std::vector<QString>{s.workbench->workingFolder()});
  QCOMPARE(s.launcher.starts[0].resultFileName, name + ".tmr");
  QCOMPARE(s.launcher.starts[0].arguments, QStringList{});  // the plain run
  QVERIFY(s.messages.messages.empty());
  // Only a count that B2F.dat holds rounded is asked about.
  QCOMPARE(s.messages.questions.size(), std::size_t{histories == "1234567" ? 1 : 0});
  QVERIFY(!form.isVisible());
  QVERIFY(resultsButton(*s.workbench)->isEnabled());
}

void Form5Test::emptyNameGivesMessageAndWritesNothing() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
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

void Form5Test::refusesEntriesItCannotHandOver_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("histories");
  QTest::addColumn<QString>("message");
  const auto m = [](const char* utf8) { return QString::fromUtf8(utf8); };
  using namespace corvane::messages;
  QTest::newRow("letters only") << "r"
                                << "abc" << m(kHistoryTotalNotANumber);
  QTest::newRow("number then letter") << "r"
                                      << "2.5E+07x" << m(kHistoryTotalNotANumber);
  QTest::newRow("decimal comma") << "r"
                                 << "3,5" << m(kHistoryTotalNotANumber);
  QTest::newRow("fraction") << "r"
                            << "2.5" << m(kHistoryTotalNotWhole);
  QTest::newRow("zero") << "r"
                        << "0" << m(kHistoryTotalOutOfRange);
  QTest::newRow("2^31") << "r"
                        << "2147483648" << m(kHistoryTotalOutOfRange);
  QTest::newRow("17 bytes") << "abcdefghijklmnopq"
                            << "30000000" << m(kResultNameTooLong);
  QTest::newRow("6 kanji, 18 bytes") << "計算結果保存名"
                                     << "30000000" << m(kResultNameTooLong);
  QTest::newRow("folder separator") << "a/b"
                                    << "30000000" << m(kResultNameNotAFileName);
  QTest::newRow("control character") << "a\tb"
                                     << "30000000" << m(kResultNameNotAFileName);
}

// Refused with the message, exclamation icon: nothing written, nothing started, dialog open.
void Form5Test::refusesEntriesItCannotHandOver() {
  QFETCH(QString, name);
  QFETCH(QString, histories);
  QFETCH(QString, message);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("B2F.dat"), "before.tmr\r\n1.000E+03\r\n");
  Form5& form = s.workbench->form5();
  form.openFromSpectrumWindow();
  control<QLineEdit>(form, "Text1")->setText(name);
  control<QLineEdit>(form, "Text2")->setText(histories);
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(s.messageTexts(), QStringList{message});
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::Exclamation);
  QCOMPARE(readBytes(s.path("B2F.dat")), QByteArray("before.tmr\r\n1.000E+03\r\n"));
  QVERIFY(s.launcher.startedIn.empty());
  QVERIFY(form.isVisible());
  QCOMPARE(control<QLineEdit>(form, "Text2")->text(), histories);
}

void Form5Test::asksBeforeOverwritingResult_data() {
  QTest::addColumn<bool>("answer");
  QTest::newRow("yes: the run starts") << true;
  QTest::newRow("no: nothing happens") << false;
}

void Form5Test::asksBeforeOverwritingResult() {
  QFETCH(bool, answer);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), "earlier result");
  s.messages.answers = {answer};
  Form5& form = s.workbench->form5();
  openAndType(form, "run1", "30000000");
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(s.messages.questions,
           std::vector<QString>{
               QString::fromUtf8(corvane::messages::kResultFileExists).arg("run1.tmr")});
  QCOMPARE(QFileInfo::exists(s.path("B2F.dat")), answer);
  QCOMPARE(s.launcher.startedIn.size(), std::size_t{answer ? 1 : 0});
  QCOMPARE(form.isVisible(), !answer);
  QCOMPARE(readBytes(s.path("run1.tmr")), QByteArray("earlier result"));
  QVERIFY(s.messages.messages.empty());

  // A folder of that name cannot be replaced by the result file: refused, not asked.
  WindowFixture t(WindowFixture::SpectrumWindowLoaded);
  QVERIFY(QDir(t.folder.path()).mkdir("run1.tmr"));
  Form5& other = t.workbench->form5();
  openAndType(other, "run1", "30000000");
  QTest::mouseClick(control<QPushButton>(other, "Command1"), Qt::LeftButton);
  QVERIFY(t.messages.questions.empty());
  QCOMPARE(t.messageTexts(),
           QStringList{QString::fromUtf8(corvane::messages::kResultNameIsAFolder).arg("run1.tmr")});
  QVERIFY(t.launcher.startedIn.empty());
}

void Form5Test::asksBeforeRoundingHistoryTotal() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  s.messages.answers = {false};
  Form5& form = s.workbench->form5();
  openAndType(form, "r", "1,234,567");
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(s.messages.questions,
           std::vector<QString>{QString::fromUtf8(corvane::messages::kHistoryTotalRounded)
                                    .arg("1,234,567", "1.235E+06", "1235000")});
  QVERIFY(!QFileInfo::exists(s.path("B2F.dat")));
  QVERIFY(s.launcher.startedIn.empty());
  QVERIFY(form.isVisible());
}

// The check box asks for the parallel run; unticked at start, it keeps its choice.
void Form5Test::parallelRunAndTitle() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  Form5& form = s.workbench->form5();
  form.openFromSpectrumWindow();
  auto* box = control<QCheckBox>(form, "Check1");
  QCOMPARE(box->text(), QString("並列計算（%1 コア）と不確かさ").arg(QThread::idealThreadCount()));
  QVERIFY(box->isEnabled());
  QVERIFY(!box->isChecked());
  // In the free band between the name box and the buttons, overlapping nothing.
  for (QWidget* other : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (other != box)
      QVERIFY2(!other->geometry().intersects(box->geometry()), qPrintable(other->objectName()));
  QVERIFY(form.rect().contains(box->geometry()));
  box->setChecked(true);
  openAndType(form, "par", "1e6");
  QVERIFY(box->isChecked());  // kept when the dialog is opened again
  QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
  QCOMPARE(s.launcher.starts.size(), std::size_t{1});
  QCOMPARE(s.launcher.starts[0].arguments, (QStringList{"--threads", "auto"}));
  QCOMPARE(s.launcher.starts[0].resultFileName, QString("par.tmr"));
  form.openFromSpectrumWindow();
  QVERIFY(box->isChecked());
}

// While the start is watched the buttons are disabled and no event is processed
// inside OK: a second click queued behind the first starts nothing.
void Form5Test::secondOkWhileStartingStartsNothing() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  s.launcher.holdVerdict = true;
  resultsButton(*s.workbench)->setEnabled(false);
  Form5& form = s.workbench->form5();
  openAndType(form, "run1", "30000000");
  auto* ok = control<QPushButton>(form, "Command1");
  const QPoint centre = ok->rect().center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
    QCoreApplication::postEvent(ok, new QMouseEvent(type, centre, ok->mapToGlobal(centre),
                                                    Qt::LeftButton, Qt::LeftButton, {}));
  QTest::mouseClick(ok, Qt::LeftButton);
  QCoreApplication::processEvents();
  QTest::mouseClick(ok, Qt::LeftButton);
  QCOMPARE(s.launcher.startedIn.size(), std::size_t{1});
  QVERIFY(form.starting());
  QVERIFY(!ok->isEnabled());
  QVERIFY(!control<QPushButton>(form, "Command2")->isEnabled());
  QVERIFY(form.isVisible());
  QVERIFY(!resultsButton(*s.workbench)->isEnabled());
  s.launcher.held(std::nullopt);  // the run has started
  QVERIFY(!form.starting());
  QVERIFY(!form.isVisible());
  QVERIFY(resultsButton(*s.workbench)->isEnabled());
  QVERIFY(ok->isEnabled());
  QVERIFY(s.messages.messages.empty());
}

void Form5Test::failingStartKeepsDialogOpen() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
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
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
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
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
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
