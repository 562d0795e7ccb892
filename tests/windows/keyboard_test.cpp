// Enter presses the focused button, as Space does, in every window.
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "form1.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "form6.h"
#include "window_fixture.h"

class KeyboardTest : public QObject {
  Q_OBJECT
 private slots:
  void enterPressesFocusedButton_data();
  void enterPressesFocusedButton();
};

void KeyboardTest::enterPressesFocusedButton_data() {
  QTest::addColumn<int>("window");
  QTest::addColumn<int>("key");
  for (int window = 1; window <= 6; ++window) {
    QTest::addRow("Form%d, Return", window) << window << int(Qt::Key_Return);
    QTest::addRow("Form%d, Enter", window) << window << int(Qt::Key_Enter);
  }
}

// Every button of the window, focused, gets the key; its handlers are cut off,
// so that only the press itself is observed.
void KeyboardTest::enterPressesFocusedButton() {
  QFETCH(int, window);
  QFETCH(int, key);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("S_SPCTL.dat"), QByteArray(403 * 2, '\n'));
  QWidget* form = nullptr;
  switch (window) {
    case 1:
      form = &s.workbench->form1();
      break;
    case 2:
      form = &s.workbench->form2();
      break;
    case 3:
      form = &s.workbench->form3();
      break;
    case 4:
      form = &s.workbench->form4();
      break;
    case 5:
      form = &s.workbench->form5();
      break;
    default:
      form = &s.workbench->form6();
      break;
  }
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form));
  const auto buttons = form->findChildren<QPushButton*>();
  QVERIFY(!buttons.isEmpty());
  for (QPushButton* button : buttons) {
    button->setEnabled(true);
    QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr);
    QSignalSpy pressed(button, &QPushButton::clicked);
    button->setFocus();
    QTest::keyClick(button, Qt::Key(key));
    QVERIFY2(pressed.count() == 1, qPrintable(button->objectName()));
  }
}

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
