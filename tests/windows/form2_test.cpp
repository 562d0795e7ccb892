// The spectrum window driven through its real widgets: load state, presets,
// compute validation and the hand-over file, the cursor rules, the curve colours
// on the persistent surface, Clear and Exit, and a bad Lead.dat.
#include "form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "form1.h"
#include "form3.h"
#include "form5.h"
#include "picture_box.h"
#include "spectrum_plot.h"
#include "window_fixture.h"
#include "workbench/spectrum/bins.h"
#include "workbench/spectrum/messages.h"

namespace {
// Exact message texts of the spectrum window's compute button.
const QString conditionsMissing = QStringLiteral("計算条件が入力されていません");
const QString energyAboveLimit = QStringLiteral("電子加速エネルギーが上限（20）を超えています");

template <typename T>
T* child(QWidget& form, const char* name) {
  T* widget = form.findChild<T*>(QString::fromLatin1(name));
  if (!widget) qFatal("no control %s", name);
  return widget;
}
QString text(QWidget& form, const char* name) { return child<QLineEdit>(form, name)->text(); }
void setText(QWidget& form, const char* name, const QString& value) {
  child<QLineEdit>(form, name)->setText(value);
}
void click(QWidget& form, const char* name) { child<QPushButton>(form, name)->click(); }
bool checked(QWidget& form, const char* name) {
  return child<QRadioButton>(form, name)->isChecked();
}

void showActive(QWidget& form) {
  form.show();
  QApplication::setActiveWindow(&form);
  QVERIFY(QTest::qWaitForWindowActive(&form));
}
}  // namespace

class Form2Test : public QObject {
  Q_OBJECT
 private slots:
  void loadState();
  void presets_data();
  void presets();
  void otherTargetThenComputeIsRefused();
  void computeValidation_data();
  void computeValidation();
  void computeWritesSpectrumFile_data();
  void computeWritesSpectrumFile();
  void cursorFollowsPointer();
  void cursorAtTheTopEnd();
  void arrowKeysStopAtTheEnds();
  void firstRightArrowMarksBinOne();
  void nothingWhileNoSpectrumIsShown();
  void arrowKeysReachCursorFromAnOptionButton();
  void pointerMoveOverThePlotWidget();
  void curveColoursOnTheSurface();
  void clearErasesCurvesAndKeepsFile();
  void exitRemovesHandOverFiles_data();
  void exitRemovesHandOverFiles();
  void badLeadTable_data();
  void badLeadTable();
  void buttonsOpenTheOtherWindows();
};

void Form2Test::loadState() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  QVERIFY(f.messages.messages.empty());
  QCOMPARE(text(form, "Text2"), QStringLiteral("10.0"));
  QCOMPARE(text(form, "Text5"), QStringLiteral("29"));
  QCOMPARE(text(form, "Text1"), QStringLiteral("10.5"));  // not the 10.8 of the 10 MV preset
  QVERIFY(checked(form, "Option9"));
  QVERIFY(checked(form, "Option10"));
  QVERIFY(checked(form, "Option1"));
  QVERIFY(!checked(form, "Option8"));  // the design-time 6 MV gave way
  QCOMPARE(form.curveColour(), 12);
  QVERIFY(!child<QCheckBox>(form, "Check1")->isChecked());
  for (const char* hidden : {"Text3", "Text4", "Label13", "Label14", "Label15", "Line1", "Line2"})
    QVERIFY2(child<QWidget>(form, hidden)->isHidden(), hidden);
  QVERIFY(text(form, "Text3").isEmpty() && text(form, "Text4").isEmpty());
  QVERIFY(!child<QPushButton>(form, "Command4")->isEnabled());
  QVERIFY(!child<QPushButton>(form, "Command5")->isEnabled());
  QVERIFY(child<QPushButton>(form, "Command6")->isEnabled());
  QCOMPARE(form.spectrumCount(), 0);
  QVERIFY(!form.spectrumShown());
  QCOMPARE(form.cursorBin(), 0);
  QCOMPARE(form.windowTitle(), QStringLiteral("  High Energy X-ray spectrum by Schiff's formula"));
  // Tooltips keep their blanks; Command5 shares Command1's.
  QCOMPARE(child<QPushButton>(form, "Command1")->toolTip(),
           QStringLiteral(" Draw spectrum graph "));
  QCOMPARE(child<QPushButton>(form, "Command5")->toolTip(),
           QStringLiteral(" Draw spectrum graph "));
  QCOMPARE(child<QPushButton>(form, "Command3")->toolTip(),
           QStringLiteral(" Clear spectra graphs "));
  QCOMPARE(child<QPushButton>(form, "Command2")->toolTip(), QStringLiteral(" bye bye "));
  QCOMPARE(form.size(), QSize(1024, 750));  // 15360 × 11250 twips
  // The empty frame is drawn at load: black frame line at the plot's left edge, mid-height.
  QCOMPARE(form.picture3().pixelAt(0, 500), QColor(0, 0, 0));
}

// Each row: an option picked first (or empty), the option clicked, then what the boxes,
// the target group and the focus show. Boxes not named by a preset keep the load values.
void Form2Test::presets_data() {
  QTest::addColumn<QString>("before");
  QTest::addColumn<QString>("option");
  QTest::addColumn<QString>("target");     // the target option selected afterwards
  QTest::addColumn<QString>("energy");     // Text2
  QTest::addColumn<QString>("z");          // Text5
  QTest::addColumn<QString>("thickness");  // Text1
  QTest::addColumn<bool>("focusToEnergy");
  QTest::newRow(" 4 MV: tungsten, leading blank kept") << ""
                                                       << "Option7"
                                                       << "Option11"
                                                       << "4.0"
                                                       << "74"
                                                       << " 4.5" << false;
  QTest::newRow(" 6 MV") << ""
                         << "Option8"
                         << "Option11"
                         << "6.0"
                         << "74"
                         << "6.5" << false;
  QTest::newRow("10 MV after 4 MV") << "Option7"
                                    << "Option9"
                                    << "Option10"
                                    << "10.0"
                                    << "29"
                                    << "10.8" << false;
  QTest::newRow("15 MV") << ""
                         << "Option12"
                         << "Option10"
                         << "15.0"
                         << "29"
                         << "17.5" << false;
  QTest::newRow("energy その他 after 4 MV") << "Option7"
                                            << "Option15"
                                            << "Option10"
                                            << ""
                                            << "29"
                                            << "" << true;
  QTest::newRow("tungsten") << ""
                            << "Option11"
                            << "Option11"
                            << "10.0"
                            << "74"
                            << "10.5" << false;
  QTest::newRow("platinum") << ""
                            << "Option14"
                            << "Option14"
                            << "10.0"
                            << "78"
                            << "10.5" << false;
  QTest::newRow("copper after platinum") << "Option14"
                                         << "Option10"
                                         << "Option10"
                                         << "10.0"
                                         << "29"
                                         << "10.5" << false;
  QTest::newRow("target その他") << ""
                                 << "Option13"
                                 << "Option13"
                                 << "10.0"
                                 << ""
                                 << "10.5" << true;
}

void Form2Test::presets() {
  QFETCH(QString, before);
  QFETCH(QString, option);
  QFETCH(QString, target);
  QFETCH(QString, energy);
  QFETCH(QString, z);
  QFETCH(QString, thickness);
  QFETCH(bool, focusToEnergy);
  WindowFixture f;
  Form2& form = f.workbench->form2();
  showActive(form);
  if (!before.isEmpty()) child<QRadioButton>(form, before.toLatin1().constData())->click();
  QPushButton* command1 = child<QPushButton>(form, "Command1");
  command1->setFocus();
  const bool energyOption =
      QStringList{"Option7", "Option8", "Option9", "Option12", "Option15"}.contains(option);
  const QString energySelectedBefore = [&] {
    for (const char* n : {"Option7", "Option8", "Option9", "Option12", "Option15"})
      if (checked(form, n)) return QString::fromLatin1(n);
    return QString();
  }();
  child<QRadioButton>(form, option.toLatin1().constData())
      ->click();  // a click that does not take the focus
  QCOMPARE(text(form, "Text2"), energy);
  QCOMPARE(text(form, "Text5"), z);
  QCOMPARE(text(form, "Text1"), thickness);
  QVERIFY(checked(form, target.toLatin1().constData()));
  if (!energyOption)  // choosing a target leaves the energy option alone
    QVERIFY(checked(form, energySelectedBefore.toLatin1().constData()));
  QWidget* expectedFocus =
      focusToEnergy ? static_cast<QWidget*>(child<QLineEdit>(form, "Text2")) : command1;
  QCOMPARE(QApplication::focusWidget(), expectedFocus);
  QVERIFY(f.messages.messages.empty());
  QVERIFY(!QFile::exists(f.path("S_SPCTL.dat")));  // presets compute nothing
}

void Form2Test::otherTargetThenComputeIsRefused() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  child<QRadioButton>(form, "Option13")->click();
  click(form, "Command1");
  QCOMPARE(f.messageTexts(), QStringList{conditionsMissing});
  QCOMPARE(f.messages.messages.front().icon, MessageSink::Icon::Exclamation);
}

// Each row: the three boxes, then the message (empty: accepted and computed).
void Form2Test::computeValidation_data() {
  QTest::addColumn<QString>("energy");
  QTest::addColumn<QString>("z");
  QTest::addColumn<QString>("thickness");
  QTest::addColumn<QString>("message");
  QTest::newRow("energy box empty") << ""
                                    << "29"
                                    << "10.5" << conditionsMissing;
  QTest::newRow("Z box empty") << "10.0"
                               << ""
                               << "10.5" << conditionsMissing;
  QTest::newRow("thickness box empty") << "10.0"
                                       << "29"
                                       << "" << conditionsMissing;
  QTest::newRow("thickness box one blank passes") << "10.0"
                                                  << "29"
                                                  << " "
                                                  << "";
  QTest::newRow("energy 20 accepted") << "20"
                                      << "29"
                                      << "10.5"
                                      << "";
  QTest::newRow("energy 20.01 refused") << "20.01"
                                        << "29"
                                        << "10.5" << energyAboveLimit;
  QTest::newRow("empty wins over the limit") << "25"
                                             << ""
                                             << "10.5" << conditionsMissing;
  // A negative thickness would make the lead amplify the beam.
  QTest::newRow("negative thickness refused")
      << "10.0"
      << "29"
      << "-2.0" << QString::fromUtf8(corvane::messages::kThicknessNegative);
}

void Form2Test::computeValidation() {
  QFETCH(QString, energy);
  QFETCH(QString, z);
  QFETCH(QString, thickness);
  QFETCH(QString, message);
  WindowFixture f;
  Form2& form = f.workbench->form2();
  setText(form, "Text2", energy);
  setText(form, "Text5", z);
  setText(form, "Text1", thickness);
  click(form, "Command1");
  if (message.isEmpty()) {
    QVERIFY2(f.messages.messages.empty(), qPrintable(f.messageTexts().join('|')));
    QVERIFY(form.spectrumShown());
    QCOMPARE(form.spectrumCount(), 1);
    QVERIFY(QFile::exists(f.path("S_SPCTL.dat")));
  } else {
    QCOMPARE(f.messageTexts(), QStringList{message});
    QCOMPARE(f.messages.messages.front().icon, MessageSink::Icon::Exclamation);
    QVERIFY(!form.spectrumShown());
    QCOMPARE(form.spectrumCount(), 0);
    QVERIFY(!QFile::exists(f.path("S_SPCTL.dat")));
    QVERIFY(!child<QPushButton>(form, "Command4")->isEnabled());
  }
}

// The last three lines of S_SPCTL.dat carry the leading numbers of the boxes
// (patterns "00.0", "000", "00.00"): the blank of " 4.5" is not written.
void Form2Test::computeWritesSpectrumFile_data() {
  QTest::addColumn<QString>("preset");
  QTest::addColumn<QStringList>("tail");
  QTest::newRow("load state (10 MV, 10.5 mm)") << "" << QStringList{"10.0", "029", "10.50"};
  QTest::newRow(" 4 MV") << "Option7" << QStringList{"04.0", "074", "04.50"};
  QTest::newRow("15 MV") << "Option12" << QStringList{"15.0", "029", "17.50"};
}

void Form2Test::computeWritesSpectrumFile() {
  QFETCH(QString, preset);
  QFETCH(QStringList, tail);
  WindowFixture f;
  Form2& form = f.workbench->form2();
  if (!preset.isEmpty()) child<QRadioButton>(form, preset.toLatin1().constData())->click();
  click(form, "Command1");
  QVERIFY(f.messages.messages.empty());
  const QStringList lines = f.lines("S_SPCTL.dat");
  QCOMPARE(lines.size(), 403);
  QCOMPARE(lines.mid(400), tail);
  QVERIFY(lines.front().startsWith(QStringLiteral("00.025, ")));  // bin 1 centre, 25 keV
  QVERIFY(child<QPushButton>(form, "Command4")->isEnabled());
  QVERIFY(child<QPushButton>(form, "Command5")->isEnabled());
  for (const char* shown : {"Text3", "Text4", "Label13", "Label14", "Label15"})
    QVERIFY2(!child<QWidget>(form, shown)->isHidden(), shown);
  // The spectrum is normalised to its highest bin.
  double highest = 0;
  for (int i = 1; i <= corvane::kSpectrumBins; ++i)
    highest = std::max(highest, form.spectrum().relativeFluence[i]);
  QCOMPARE(highest, 1.0);
}

void Form2Test::cursorFollowsPointer() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  click(form, "Command1");
  form.Picture3_MouseMove(30, 500);
  QCOMPARE(form.cursorBin(),
           2);  // the first centre at or right of x = 30 is 75 keV, not the nearer 25 keV
  QCOMPARE(text(form, "Text3"), QStringLiteral("0.075"));
  QVERIFY(!child<QWidget>(form, "Line1")->isHidden() && !child<QWidget>(form, "Line2")->isHidden());
  QCOMPARE(form.picture3().cursor().shape(), Qt::CrossCursor);
  auto* line2 = static_cast<LineControl*>(child<QWidget>(form, "Line2"));
  QCOMPARE(line2->x1(), 75.0);
  form.Picture3_MouseMove(10000, 500);
  QCOMPARE(form.cursorBin(),
           201);  // bin 200's centre (9975 keV) lies left of x; bin 201's (10025 keV) right
  QCOMPARE(text(form, "Text3"), QStringLiteral("10.025"));
  // On the border of the plot area: lines hidden, boxes emptied, default pointer.
  form.Picture3_MouseMove(0, 500);
  QVERIFY(child<QWidget>(form, "Line1")->isHidden() && child<QWidget>(form, "Line2")->isHidden());
  QVERIFY(text(form, "Text3").isEmpty() && text(form, "Text4").isEmpty());
  QCOMPARE(form.picture3().cursor().shape(), Qt::ArrowCursor);
}

void Form2Test::cursorAtTheTopEnd() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  click(form, "Command1");
  form.Picture3_MouseMove(19990, 500);
  QCOMPARE(form.cursorBin(), 401);
  QCOMPARE(text(form, "Text3"), QStringLiteral("20.025"));
  QCOMPARE(text(form, "Text4"), QStringLiteral("0.000"));
  auto* line1 = static_cast<LineControl*>(child<QWidget>(form, "Line1"));
  QCOMPARE(line1->y1(), 0.0);             // on the base line
  QTest::keyClick(&form, Qt::Key_Right);  // 402 is above 400: stays
  QCOMPARE(form.cursorBin(), 401);
  QCOMPARE(text(form, "Text3"), QStringLiteral("20.025"));
  QTest::keyClick(&form, Qt::Key_Left);
  QCOMPARE(form.cursorBin(), 400);
  QCOMPARE(text(form, "Text3"), QStringLiteral("19.975"));
}

void Form2Test::arrowKeysStopAtTheEnds() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  click(form, "Command1");
  form.Picture3_MouseMove(20, 500);
  QCOMPARE(form.cursorBin(), 1);
  QTest::keyClick(&form, Qt::Key_Left);
  QCOMPARE(form.cursorBin(), 1);
  QCOMPARE(text(form, "Text3"), QStringLiteral("0.025"));
  form.Picture3_MouseMove(19960, 500);
  QCOMPARE(form.cursorBin(), 400);
  QTest::keyClick(&form, Qt::Key_Right);
  QCOMPARE(form.cursorBin(), 400);
  QTest::keyClick(&form, Qt::Key_Up);  // every other key is ignored
  QTest::keyClick(&form, Qt::Key_Down);
  QCOMPARE(form.cursorBin(), 400);
  // The keys neither show nor hide the lines: hidden by leaving the plot, they stay hidden.
  form.Picture3_MouseMove(-100, 500);
  QTest::keyClick(&form, Qt::Key_Left);
  QCOMPARE(form.cursorBin(), 399);
  QVERIFY(child<QWidget>(form, "Line1")->isHidden());
  QCOMPARE(text(form, "Text3"), QStringLiteral("19.925"));
}

void Form2Test::firstRightArrowMarksBinOne() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  click(form, "Command1");
  QCOMPARE(form.cursorBin(), 0);
  QTest::keyClick(&form, Qt::Key_Left);  // 0 − 1 is below 1: nothing
  QCOMPARE(form.cursorBin(), 0);
  QVERIFY(text(form, "Text3").isEmpty());
  QTest::keyClick(&form, Qt::Key_Right);
  QCOMPARE(form.cursorBin(), 1);
  QCOMPARE(text(form, "Text3"), QStringLiteral("0.025"));
  QCOMPARE(text(form, "Text4"), QString::number(form.spectrum().relativeFluence[1] * 100.0, 'f',
                                                3));  // "##0.000" of the bin's percent
}

void Form2Test::nothingWhileNoSpectrumIsShown() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  form.Picture3_MouseMove(5000, 500);  // after load
  QTest::keyClick(&form, Qt::Key_Right);
  QCOMPARE(form.cursorBin(), 0);
  QVERIFY(text(form, "Text3").isEmpty());
  QVERIFY(child<QWidget>(form, "Line1")->isHidden());
  click(form, "Command1");
  form.Picture3_MouseMove(5000, 500);
  QCOMPARE(form.cursorBin(), 101);  // centre 5025 keV
  click(form, "Command3");          // Clear
  const QString before = text(form, "Text3");
  form.Picture3_MouseMove(8000, 500);
  QTest::keyClick(&form, Qt::Key_Right);
  QTest::keyClick(&form, Qt::Key_Left);
  QCOMPARE(form.cursorBin(), 101);  // kept across Clear, not moved
  QCOMPARE(text(form, "Text3"), before);
}

// While a spectrum is shown, an arrow key at a focused option button moves the cursor and
// is taken: the option group's selection (and with it the preset) stays as it is.
void Form2Test::arrowKeysReachCursorFromAnOptionButton() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  showActive(form);
  click(form, "Command1");
  auto* option9 = child<QRadioButton>(form, "Option9");
  option9->setFocus();
  QCOMPARE(QApplication::focusWidget(), option9);
  QTest::keyClick(option9, Qt::Key_Right);
  QCOMPARE(form.cursorBin(), 1);
  QVERIFY(option9->isChecked());
  QCOMPARE(text(form, "Text1"), QStringLiteral("10.5"));
  // In a text box the key moves the cursor and still reaches the box (the caret moves).
  auto* text2 = child<QLineEdit>(form, "Text2");
  text2->setFocus();
  text2->setCursorPosition(0);
  QTest::keyClick(text2, Qt::Key_Right);
  QCOMPARE(form.cursorBin(), 2);
  QCOMPARE(text2->cursorPosition(), 1);
}

void Form2Test::pointerMoveOverThePlotWidget() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  showActive(form);
  click(form, "Command1");
  PictureBox& box = form.picture3();
  const QPointF pixel = box.coordinates().map(5000, 500);
  QTest::mouseMove(&box, box.clientOrigin() + QPoint(int(pixel.x()), int(pixel.y())));
  const double x = box.coordinates().inverseMap(QPointF(int(pixel.x()), int(pixel.y()))).x();
  QCOMPARE(form.cursorBin(), spectrum_plot::cursorBinAt(x));
  QVERIFY(!child<QWidget>(form, "Line2")->isHidden());
}

void Form2Test::curveColoursOnTheSurface() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  PictureBox& box = form.picture3();
  click(form, "Command1");  // 10 MV in RED
  const spectrum_plot::Fluence first = form.spectrum().relativeFluence;
  child<QRadioButton>(form, "Option8")->click();  // 6 MV
  child<QRadioButton>(form, "Option6")->click();  // BLACK
  click(form, "Command1");
  const spectrum_plot::Fluence second = form.spectrum().relativeFluence;
  // At 6.5 MeV (bin 130) the 6 MV curve runs along the base line, the 10 MV one well above it;
  // at 3 MeV (bin 60) the later, black curve is drawn over everything.
  QCOMPARE(second[130], 0.0);
  QVERIFY(first[130] > 0.03);
  QCOMPARE(box.pixelAt(corvane::binEnergy(130), 1000 * first[130]), QColor(255, 0, 0));
  QCOMPARE(box.pixelAt(corvane::binEnergy(60), 1000 * second[60]), QColor(0, 0, 0));
  QCOMPARE(static_cast<LineControl*>(child<QWidget>(form, "Line1"))->colour(), QColor(0, 0, 0));
  QCOMPARE(static_cast<LineControl*>(child<QWidget>(form, "Line2"))->colour(), QColor(0, 0, 0));
  // The drawing survives showing, hiding and showing the window again.
  form.show();
  form.hide();
  form.show();
  QCOMPARE(box.pixelAt(corvane::binEnergy(130), 1000 * first[130]), QColor(255, 0, 0));
}

void Form2Test::clearErasesCurvesAndKeepsFile() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  PictureBox& box = form.picture3();
  click(form, "Command1");
  const double y = 1000 * form.spectrum().relativeFluence[100];  // 5 MeV, on the falling side
  QCOMPARE(box.pixelAt(corvane::binEnergy(100), y), QColor(255, 0, 0));
  form.Picture3_MouseMove(5000, 500);
  click(form, "Command3");
  QCOMPARE(box.pixelAt(corvane::binEnergy(100), y), QColor(Qt::white));
  QCOMPARE(box.pixelAt(0, 500), QColor(0, 0, 0));  // the frame is drawn again
  QCOMPARE(form.spectrumCount(), 0);
  QVERIFY(!form.spectrumShown());
  QVERIFY(!child<QPushButton>(form, "Command4")->isEnabled());
  QVERIFY(child<QWidget>(form, "Text3")->isHidden());
  QVERIFY(!child<QWidget>(form, "Line1")->isHidden());  // the cross-hair lines are left as they are
  QVERIFY(QFile::exists(f.path("S_SPCTL.dat")));
}

void Form2Test::exitRemovesHandOverFiles_data() {
  QTest::addColumn<bool>("filesPresent");
  QTest::addColumn<bool>("byClosing");
  QTest::newRow("Exit with the three files") << true << false;
  QTest::newRow("Exit with none of them") << false << false;
  QTest::newRow("closing the window") << true << true;
}

void Form2Test::exitRemovesHandOverFiles() {
  QFETCH(bool, filesPresent);
  QFETCH(bool, byClosing);
  WindowFixture f;
  Form2& form = f.workbench->form2();
  form.show();
  const QStringList handOver{"S_SPCTL.dat", "New_result.dat", "B2F.dat"};
  if (filesPresent)
    for (const QString& name : handOver) f.writeFile(name, "x\r\n");
  f.writeFile("keep.tmr", "x\r\n");
  if (byClosing)
    form.close();
  else
    click(form, "Command2");
  for (const QString& name : handOver) QVERIFY2(!QFile::exists(f.path(name)), qPrintable(name));
  QVERIFY(QFile::exists(f.path("keep.tmr")));
  QVERIFY(f.messages.messages.empty());
  QVERIFY(f.workbench->programEnded());
  QCOMPARE(f.quitCalls, 1);
  QVERIFY(!form.isVisible());
}

void Form2Test::badLeadTable_data() {
  QTest::addColumn<QByteArray>("content");  // empty: no Lead.dat at all
  QTest::newRow("missing") << QByteArray();
  QTest::newRow("malformed row") << QByteArray(
      "Lead\r\n3, 11.35\r\n0.01, 1, 2, 3, 4, 5\r\nabc, 1, 2\r\n");
}

void Form2Test::badLeadTable() {
  QFETCH(QByteArray, content);
  WindowFixture f(WindowFixture::WithoutLead);
  if (!content.isEmpty()) f.writeFile("Lead.dat", content);
  Form2& form = f.workbench->form2();
  QCOMPARE(f.messages.messages.size(), std::size_t(1));
  const QString message = f.messageTexts().front();
  QVERIFY2(message.contains(QStringLiteral("Lead.dat")), qPrintable(message));
  QVERIFY(form.leadFailure().has_value());
  QCOMPARE(text(form, "Text2"), QStringLiteral("10.0"));  // the window is loaded all the same
  click(form, "Command1");  // no spectrum without the lead coefficients
  QCOMPARE(f.messageTexts(), (QStringList{message, message}));
  QVERIFY(!form.spectrumShown());
  QVERIFY(!QFile::exists(f.path("S_SPCTL.dat")));
}

void Form2Test::buttonsOpenTheOtherWindows() {
  WindowFixture f;
  Form2& form = f.workbench->form2();
  form.show();
  click(form, "Command1");
  click(form, "Command4");
  QVERIFY(f.workbench->form3().isVisible());
  click(form, "Command5");
  QVERIFY(f.workbench->form5().isVisible());
  click(form, "Command6");
  QVERIFY(f.workbench->form1().isVisible());
  QVERIFY(!form.isVisible());
  form.showAgain();
  QVERIFY(form.isVisible());
  QVERIFY(!f.workbench->programEnded());
}

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
