// The TMR results window: header, loading a result and a reference file,
// TPR20,10 texts, the failure messages, the curves read back from pixels of
// Picture1's persistent surface, Graph Clear, and closing and reopening.
#include "form1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <functional>

#include "file_lists.h"
#include "picture_box.h"
#include "window_fixture.h"
#include "workbench/spectrum/messages.h"

namespace {
const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);
const QColor white(255, 255, 255);

// Field 4 (10 cm x 10 cm) falls linearly through 0.8123 at row 100 and 0.5456
// at row 200 (TPR20,10 = 0.5456 / 0.8123 = 0.6717 → "0.672"); field 1 is flat
// at 0.35 and the others at 0.45, away from the grid lines.
double calculatedValue(int f, int r) {
  if (f == 4) return 0.8123 + (r - 100) * (0.5456 - 0.8123) / 100.0;
  return f == 1 ? 0.35 : 0.45;
}

// A result file in the simulation's layout: four header values, the caption,
// then `rows` rows of the row number in 4 columns and ten values in 7 columns.
QByteArray resultFile(double histories, double energy, double z, double filter, int rows = 300,
                      const std::function<double(int, int)>& value = calculatedValue) {
  QString out;
  out += QString::asprintf("%10.0f.\r\n", histories);
  out += QString::asprintf("%10.4f\r\n%10.4f\r\n%10.4f\r\n", energy, z, filter);
  out += " d   4, 6, 8, 10, 12, 15, 20, 25, 30, 35cm sq\r\n";
  for (int r = 1; r <= rows; ++r) {
    out += QString::asprintf("%4d", r);
    for (int f = 1; f <= 10; ++f) out += QString::asprintf("%7.4f", value(f, r));
    out += "\r\n";
  }
  return out.toLatin1();
}

// A reference file: TPR20,10, a caption, `rows` rows at depths 5, 15, 25 ... mm
// with field 4 at 0.95 − 0.002·depth and the others flat at 0.25.
QByteArray referenceFile(int rows, const char* tpr = "0.733") {
  QByteArray out = QByteArray(tpr) + "\r\nd, 4, 6, 8, 10, 12, 15, 20, 25, 30, 35\r\n";
  for (int k = 1; k <= rows; ++k) {
    const double depth = 10.0 * k - 5.0;
    out += QByteArray::number(depth);
    for (int f = 1; f <= 10; ++f)
      out += "," + QByteArray::number(f == 4 ? 0.95 - 0.002 * depth : 0.25, 'f', 4);
    out += "\r\n";
  }
  return out;
}

void clickFile(Form1& form, const char* list, const QString& name) {
  auto* files = control<FileListBox>(form, list);
  const auto found = files->findItems(name, Qt::MatchExactly);
  QVERIFY2(!found.isEmpty(), qPrintable(name));
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                    files->visualItemRect(found.first()).center());
  QCOMPARE(files->chosenFileName(), name);
}

void click(Form1& form, const char* button) {
  QTest::mouseClick(control<QPushButton>(form, button), Qt::LeftButton);
}

bool allWhite(const PictureBox& box) {
  const QImage& image = box.surface();
  for (int j = 0; j < image.height(); ++j)
    for (int i = 0; i < image.width(); ++i)
      if (image.pixelColor(i, j) != white) return false;
  return true;
}

PictureBox& plot(Form1& form) { return *control<PictureBox>(form, "Picture1"); }

// Width in pixels of the stroke of `colour` through the point (x, y) of the surface: the run of
// that colour across the line (`acrossX`: along x, for a vertical line; else along y).
int strokeWidth(const PictureBox& box, double x, double y, const QColor& colour, bool acrossX) {
  const QImage& image = box.surface();
  const QPointF p = box.coordinates().map(x, y);
  const int i = static_cast<int>(std::floor(p.x())), j = static_cast<int>(std::floor(p.y()));
  if (!image.valid(i, j) || image.pixelColor(i, j) != colour) return 0;
  const auto same = [&](int k) {
    const int a = acrossX ? k : i, b = acrossX ? j : k;
    return image.valid(a, b) && image.pixelColor(a, b) == colour;
  };
  int from = acrossX ? i : j, to = from;
  while (same(from - 1)) --from;
  while (same(to + 1)) ++to;
  return to - from + 1;
}
}  // namespace

class Form1Test : public QObject {
  Q_OBJECT
 private slots:
  void headerLines_data();
  void headerLines();
  void loadsResultAndReference();
  void failures_data();
  void failures();
  void drawsTickedFieldsInTheirColours();
  void graphClearResetsControlsAndKeepsTables();
  void closeBoxShowsSpectrumWindowAndKeepsTables();
  void referenceRowLimit_data();
  void referenceRowLimit();
  void strokesArePixelsWide();
  void listsFollowWorkingFolderWhileShown();
};

void Form1Test::headerLines_data() {
  QTest::addColumn<double>("z");
  QTest::addColumn<QString>("zLine");
  QTest::newRow("tungsten") << 74.0 << " Target Z = 74";
  QTest::newRow("carbon, two digits") << 6.0 << " Target Z = 06";
}

void Form1Test::headerLines() {
  QFETCH(double, z);
  QFETCH(QString, zLine);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), resultFile(30000000, 6.0, z, 1.5));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  auto* header = control<PictureBox>(form, "Picture2");
  QVERIFY(allWhite(*header));
  clickFile(form, "File2", "run1.tmr");
  QCOMPARE(form.headerShown(),
           (QStringList{" Electron acceleration", "    energy =  6.0 MeV", zLine,
                        " Filter(Pb) = 1.50 mm", " History = 30000000"}));
  QVERIFY(!allWhite(*header));  // the lines are drawn on the surface
  QCOMPARE(form.focusWidget(), control<QPushButton>(form, "Command7"));
  QVERIFY(!form.calculatedTable().hasData());  // clicking shows the header only
  QVERIFY(s.messages.messages.empty());
}

void Form1Test::loadsResultAndReference() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), resultFile(30000000, 10.0, 29, 10.5));
  writeBytes(s.path("ref.std"), referenceFile(30));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  clickFile(form, "File2", "run1.tmr");
  click(form, "Command7");
  QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString("0.672"));
  QCOMPARE(form.focusWidget(), control<QPushButton>(form, "Command2"));
  QCOMPARE(form.calculatedTable().at(4, 100), 0.8123);
  clickFile(form, "File1", "ref.std");
  QCOMPARE(form.focusWidget(), control<QPushButton>(form, "Command6"));
  click(form, "Command6");
  QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QString("0.733"));
  QCOMPARE(form.focusWidget(), control<QPushButton>(form, "Command3"));
  QCOMPARE(form.referenceData().referenceRowCount, 30);
  QVERIFY(s.messages.messages.empty());
}

// Each case: files in the working folder, the file chosen (if any), the button
// pressed, and the message expected. The TPR box beside it keeps its text.
void Form1Test::failures_data() {
  QTest::addColumn<QByteArray>("result");     // content of a.tmr, empty for none
  QTest::addColumn<QByteArray>("reference");  // content of a.std, empty for none
  QTest::addColumn<QString>("choose");        // "File2", "File1" or "" (nothing chosen)
  QTest::addColumn<bool>("removeChosen");     // the chosen file disappears after listing
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("message");
  const QByteArray good = resultFile(1e6, 10, 29, 10.5);
  const QString select = QString::fromUtf8(corvane::messages::kSelectDataFile);
  const QString unreadable = QString::fromUtf8(corvane::messages::kCannotReadFile);
  const QString noData = QString::fromUtf8(corvane::messages::kNoDataSelected);
  QTest::newRow("result OK, nothing chosen")
      << good << QByteArray() << "" << false << "Command7" << select;
  QTest::newRow("reference OK, nothing chosen")
      << good << referenceFile(3) << "" << false << "Command6" << select;
  QTest::newRow("result of 299 rows") << resultFile(1e6, 10, 29, 10.5, 299) << QByteArray()
                                      << "File2" << false << "Command7" << unreadable;
  QTest::newRow("result with 0 at row 100 of field 4")
      << resultFile(1e6, 10, 29, 10.5, 300,
                    [](int f, int r) { return f == 4 && r == 100 ? 0.0 : 0.5; })
      << QByteArray() << "File2" << false << "Command7" << unreadable;
  QTest::newRow("result with a word among the values")
      << resultFile(1e6, 10, 29, 10.5).replace(" 0.4500", "   abc") << QByteArray() << "File2"
      << false << "Command7" << unreadable;
  QTest::newRow("result removed after listing")
      << good << QByteArray() << "File2" << true << "Command7" << unreadable;
  QTest::newRow("reference of 31 rows")
      << QByteArray() << referenceFile(31) << "File1" << false << "Command6" << unreadable;
  QTest::newRow("reference row incomplete") << QByteArray() << referenceFile(3) + "35,0.5,0.5\r\n"
                                            << "File1" << false << "Command6" << unreadable;
  QTest::newRow("header of a two-line file")
      << QByteArray("   1000000.\r\n   10.0000\r\n") << QByteArray() << "File2" << false << ""
      << unreadable;
  QTest::newRow("draw calculated before any load")
      << good << QByteArray() << "" << false << "Command2" << noData;
  QTest::newRow("draw reference before any load")
      << QByteArray() << referenceFile(3) << "" << false << "Command3" << noData;
}

void Form1Test::failures() {
  QFETCH(QByteArray, result);
  QFETCH(QByteArray, reference);
  QFETCH(QString, choose);
  QFETCH(bool, removeChosen);
  QFETCH(QString, button);
  QFETCH(QString, message);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  if (!result.isEmpty()) writeBytes(s.path("a.tmr"), result);
  if (!reference.isEmpty()) writeBytes(s.path("a.std"), reference);
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  control<QLineEdit>(form, "Text1")->setText("prev1");
  control<QLineEdit>(form, "Text2")->setText("prev2");
  const QImage before = plot(form).surface();
  if (!choose.isEmpty()) {
    const QString name = choose == "File2" ? "a.tmr" : "a.std";
    if (removeChosen) QVERIFY(QFile::remove(s.path(name)));
    clickFile(form, qPrintable(choose), name);
    if (choose == "File2" && button != "") {
      // The header of a readable file was shown; only the load is under test.
      if (!removeChosen) QVERIFY(s.messages.messages.empty());
      s.messages.messages.clear();
    }
  }
  if (!button.isEmpty()) click(form, qPrintable(button));
  QCOMPARE(s.messageTexts(), QStringList{message});
  QCOMPARE(s.messages.messages[0].icon, MessageSink::Icon::Exclamation);
  QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString("prev1"));
  QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QString("prev2"));
  QVERIFY(plot(form).surface() == before);  // nothing drawn
  if (button.isEmpty()) {
    QVERIFY(allWhite(*control<PictureBox>(form, "Picture2")));
    QVERIFY(form.headerShown().isEmpty());
  }
}

// Pixels on the curves at points between two grid lines: calculated field 4 at
// depth 149.5 mm (row 150, TMR 0.67895), reference field 4 at 150 mm (halfway
// between the rows at 145 and 155 mm, TMR 0.65), field 1 at TMR 0.35 / 0.25.
void Form1Test::drawsTickedFieldsInTheirColours() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), resultFile(1e6, 10, 29, 10.5));
  writeBytes(s.path("ref.std"), referenceFile(30));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  clickFile(form, "File2", "run1.tmr");
  click(form, "Command7");
  clickFile(form, "File1", "ref.std");
  click(form, "Command6");
  PictureBox& picture = plot(form);
  const double calculated150 = calculatedValue(4, 150);
  QCOMPARE(picture.pixelAt(149.5, calculated150), white);
  click(form, "Command2");
  QCOMPARE(picture.pixelAt(149.5, calculated150), blue);
  QCOMPARE(picture.pixelAt(149.5, 0.35), white);  // field 1 not ticked
  click(form, "Command3");
  QCOMPARE(picture.pixelAt(150, 0.65), red);
  QCOMPARE(picture.pixelAt(150, 0.25), white);
  QCOMPARE(picture.pixelAt(149.5, calculated150), blue);  // earlier curves stay
  control<QCheckBox>(form, "Check1")->setChecked(true);
  click(form, "Command2");
  click(form, "Command3");
  QCOMPARE(picture.pixelAt(149.5, 0.35), blue);
  QCOMPARE(picture.pixelAt(150, 0.25), red);
  QCOMPARE(picture.pixelAt(0, 0.55), QColor(0, 0, 0));  // frame redrawn in black over the curves
  QVERIFY(s.messages.messages.empty());
}

void Form1Test::graphClearResetsControlsAndKeepsTables() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), resultFile(1e6, 10, 29, 10.5));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  const QImage emptyFrame = plot(form).surface();
  QCOMPARE(emptyFrame.pixelColor(0, 0), white);
  QCOMPARE(plot(form).pixelAt(0, 0.55), QColor(0, 0, 0));         // frame, 2 pixels wide
  QCOMPARE(plot(form).pixelAt(40, 0.55), QColor(128, 128, 128));  // grid line every 2 cm
  QCOMPARE(plot(form).pixelAt(150, 0.55), white);
  clickFile(form, "File2", "run1.tmr");
  click(form, "Command7");
  for (const char* box : {"Check1", "Check7"}) control<QCheckBox>(form, box)->setChecked(true);
  control<QCheckBox>(form, "Check4")->setChecked(false);
  click(form, "Command2");
  QCOMPARE(plot(form).pixelAt(149.5, 0.35), blue);
  click(form, "Command5");
  QVERIFY(plot(form).surface() == emptyFrame);
  QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString());
  QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QString());
  for (int f = 1; f <= 10; ++f)
    QCOMPARE(control<QCheckBox>(form, qPrintable(QString("Check%1").arg(f)))->isChecked(), f == 4);
  QVERIFY(allWhite(*control<PictureBox>(form, "Picture2")));
  // The table stayed: Graph draw works at once, and only 10 x 10 is drawn now.
  click(form, "Command2");
  QCOMPARE(plot(form).pixelAt(149.5, calculatedValue(4, 150)), blue);
  QCOMPARE(plot(form).pixelAt(149.5, 0.35), white);
  QVERIFY(s.messages.messages.empty());
}

void Form1Test::closeBoxShowsSpectrumWindowAndKeepsTables() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), resultFile(1e6, 10, 29, 10.5));
  writeBytes(s.path("ref.std"), referenceFile(30));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  s.workbench->form2().hide();
  clickFile(form, "File2", "run1.tmr");
  click(form, "Command7");
  clickFile(form, "File1", "ref.std");
  click(form, "Command6");
  QVERIFY(form.close());
  QVERIFY(!form.isVisible());
  QVERIFY(s.workbench->form2().isVisible());
  form.openFromSpectrumWindow();
  click(form, "Command2");
  click(form, "Command3");
  QCOMPARE(plot(form).pixelAt(149.5, calculatedValue(4, 150)), blue);
  QCOMPARE(plot(form).pixelAt(150, 0.65), red);
  // Exit does the same by its button.
  s.workbench->form2().hide();
  click(form, "Command4");
  QVERIFY(!form.isVisible());
  QVERIFY(s.workbench->form2().isVisible());
  QVERIFY(s.messages.messages.empty());
}

void Form1Test::referenceRowLimit_data() {
  QTest::addColumn<int>("rows");
  QTest::addColumn<bool>("loads");
  QTest::newRow("1 row") << 1 << true;
  QTest::newRow("30 rows") << 30 << true;
  QTest::newRow("31 rows") << 31 << false;
}

void Form1Test::referenceRowLimit() {
  QFETCH(int, rows);
  QFETCH(bool, loads);
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("ref.std"), referenceFile(rows));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  clickFile(form, "File1", "ref.std");
  click(form, "Command6");
  QCOMPARE(control<QLineEdit>(form, "Text2")->text(), loads ? QString("0.733") : QString());
  QCOMPARE(s.messages.messages.size(), loads ? std::size_t{0} : std::size_t{1});
  if (loads) QCOMPARE(form.referenceData().referenceRowCount, rows);
}

// Line widths measured on the surface: frame and curves 2 pixels, grid lines 1.
void Form1Test::strokesArePixelsWide() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), resultFile(1e6, 10, 29, 10.5));
  writeBytes(s.path("ref.std"), referenceFile(30));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  const QColor black(0, 0, 0), grey(128, 128, 128);
  QCOMPARE(strokeWidth(plot(form), 0, 0.55, black, true), 2);    // frame, left side
  QCOMPARE(strokeWidth(plot(form), 150, 1.0, black, false), 2);  // frame, top side
  QCOMPARE(strokeWidth(plot(form), 40, 0.55, grey, true), 1);    // grid line
  QCOMPARE(strokeWidth(plot(form), 150, 0.5, grey, false), 1);   // grid line
  clickFile(form, "File2", "run1.tmr");
  click(form, "Command7");
  clickFile(form, "File1", "ref.std");
  click(form, "Command6");
  control<QCheckBox>(form, "Check1")->setChecked(true);
  click(form, "Command2");
  click(form, "Command3");
  QCOMPARE(strokeWidth(plot(form), 149.5, 0.35, blue, false), 2);  // field 1, flat
  QCOMPARE(strokeWidth(plot(form), 150, 0.25, red, false), 2);
  QCOMPARE(strokeWidth(plot(form), 0, 0.55, black, true), 2);  // frame redrawn
  QVERIFY(s.messages.messages.empty());
}

// A result file that appears while the window is open is listed without
// reopening it; the chosen file stays chosen. Hidden, the window does not watch.
void Form1Test::listsFollowWorkingFolderWhileShown() {
  WindowFixture s(WindowFixture::SpectrumWindowLoaded);
  writeBytes(s.path("run1.tmr"), resultFile(1e6, 10, 29, 10.5));
  writeBytes(s.path("ref.std"), referenceFile(3));
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  clickFile(form, "File2", "run1.tmr");
  clickFile(form, "File1", "ref.std");
  auto* results = control<FileListBox>(form, "File2");
  auto* references = control<FileListBox>(form, "File1");
  writeBytes(s.path("new.tmr"), resultFile(1e6, 6, 74, 1.5));
  writeBytes(s.path("new.std"), referenceFile(3));
  QTRY_COMPARE_WITH_TIMEOUT(results->count(), 2, 10000);
  QTRY_COMPARE_WITH_TIMEOUT(references->count(), 2, 10000);
  QCOMPARE(results->chosenFileName(), QString("run1.tmr"));
  QCOMPARE(references->chosenFileName(), QString("ref.std"));
  QVERIFY(QFile::remove(s.path("new.tmr")));
  QTRY_COMPARE_WITH_TIMEOUT(results->count(), 1, 10000);
  QCOMPARE(results->chosenFileName(), QString("run1.tmr"));
  click(form, "Command4");  // Exit: hidden
  writeBytes(s.path("late.tmr"), resultFile(1e6, 6, 74, 1.5));
  QTest::qWait(200);
  QCOMPARE(results->count(), 1);
  form.openFromSpectrumWindow();
  QCOMPARE(results->count(), 2);
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
