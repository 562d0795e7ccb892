// The start-up window: its texts and focus, OK leading to the spectrum window,
// Cancel (and closing) ending the program without touching any file.
#include "form6.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "form2.h"
#include "window_fixture.h"

class Form6Test : public QObject {
  Q_OBJECT
 private slots:
  void opensWithFocusOnOk();
  void okLeadsToTheSpectrumWindow();
  void endsWithoutTouchingFiles_data();
  void endsWithoutTouchingFiles();
};

void Form6Test::opensWithFocusOnOk() {
  WindowFixture f;
  Form6& form = f.workbench->form6();
  form.showAtStart();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  QCOMPARE(QApplication::focusWidget(), form.findChild<QPushButton*>(QStringLiteral("Command2")));
  QCOMPARE(form.windowTitle(), QStringLiteral(" High Energy X-ray Spectrum"));
  QCOMPARE(form.size(), QSize(738, 492));  // 11070 × 7380 twips
  QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label13"))->text(),
           QStringLiteral("シミュレーションにより TMR および TPR      を計算し"));
  QVERIFY(!form.findChild<QLabel*>(QStringLiteral("Picture1"))->pixmap().isNull());
  QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Picture1"))->pixmap().size(), QSize(32, 32));
  QVERIFY(f.workbench->existingForm(2) == nullptr);  // nothing else is loaded yet
}

void Form6Test::okLeadsToTheSpectrumWindow() {
  WindowFixture f;
  Form6& form = f.workbench->form6();
  form.showAtStart();
  form.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
  QVERIFY(f.workbench->existingForm(2) != nullptr);
  QVERIFY(f.workbench->form2().isVisible());
  QVERIFY(!form.isVisible());
  QVERIFY(!f.workbench->programEnded());
}

void Form6Test::endsWithoutTouchingFiles_data() {
  QTest::addColumn<bool>("byClosing");
  QTest::newRow("Cancel") << false;
  QTest::newRow("closing the window") << true;
}

void Form6Test::endsWithoutTouchingFiles() {
  QFETCH(bool, byClosing);
  WindowFixture f;
  f.writeFile("S_SPCTL.dat", "x\r\n");
  Form6& form = f.workbench->form6();
  form.showAtStart();
  if (byClosing)
    form.close();
  else
    form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  QVERIFY(f.workbench->programEnded());
  QCOMPARE(f.quitCalls, 1);
  QVERIFY(!form.isVisible());
  QVERIFY(f.workbench->existingForm(2) == nullptr);  // no other window was shown
  QVERIFY(QFile::exists(f.path("S_SPCTL.dat")));
}

QTEST_MAIN(Form6Test)
#include "form6_test.moc"
