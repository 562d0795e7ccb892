// The results window with NAME.unc beside a result: TPR20,10 ± sigma, the distance to the
// reference, ±1 sigma bands; without it exactly the described window and drawing. The plot's
// menu saves the picture and the tables; the tuning buttons of both windows open the tuning
// window and sit in free space.
#include "results_annotations.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "file_lists.h"
#include "form1.h"
#include "form2.h"
#include "picture_box.h"
#include "plot_export.h"
#include "style.h"
#include "tuning_window.h"
#include "window_fixture.h"

namespace {

// Field 4 holds 0.8 at 100 mm and 0.56 at 200 mm (TPR20,10 0.700); other values fall with depth.
double value(int f, int r) {
  if (f == 4 && r == 100) return 0.8;
  if (f == 4 && r == 200) return 0.56;
  return 1.0 - 0.0025 * r + 0.001 * f;
}

QByteArray table(const std::function<double(int, int)>& v) {
  QString out = QStringLiteral("  1000000.\r\n   10.0000\r\n   29.0000\r\n   10.5000\r\n");
  out += QStringLiteral(" d   4, 6, 8, 10, 12, 15, 20, 25, 30, 35cm sq\r\n");
  for (int r = 1; r <= 300; ++r) {
    out += QString::asprintf("%4d", r);
    for (int f = 1; f <= 10; ++f) out += QString::asprintf("%8.5f", v(f, r));
    out += QStringLiteral("\r\n");
  }
  return out.toLatin1();
}

QByteArray reference(const char* tpr) {
  QByteArray out = QByteArray(tpr) + "\r\nd, 4, 6, 8, 10, 12, 15, 20, 25, 30, 35\r\n";
  for (int depth : {50, 100, 150, 200, 250})
    out += QByteArray::number(depth) + ",0.8,0.8,0.8,0.8,0.8,0.8,0.8,0.8,0.8,0.8\r\n";
  return out;
}

void choose(Form1& form, const char* list, const QString& name) {
  auto* files = control<FileListBox>(form, list);
  files->refresh();
  const auto found = files->findItems(name, Qt::MatchExactly);
  QVERIFY(!found.isEmpty());
  files->setCurrentItem(found.first());
  found.first()->setSelected(true);
}

// Loads run.tmr and ref.std and draws both kinds of curves of field 4.
void loadAndDraw(WindowFixture& s) {
  Form1& form = s.workbench->form1();
  form.openFromSpectrumWindow();
  choose(form, "File2", QStringLiteral("run.tmr"));
  control<QPushButton>(form, "Command7")->click();
  choose(form, "File1", QStringLiteral("ref.std"));
  control<QPushButton>(form, "Command6")->click();
  control<QPushButton>(form, "Command2")->click();
  control<QPushButton>(form, "Command3")->click();
}

}  // namespace

class ResultsAnnotationsTest : public QObject {
  Q_OBJECT
 private slots:
  void sigmaAndDistanceFromTheUncFile() {
    WindowFixture s(WindowFixture::SpectrumWindowLoaded);
    writeBytes(s.path("run.tmr"), table(value));
    writeBytes(s.path("run.unc"), table([](int, int) { return 0.004; }));
    writeBytes(s.path("ref.std"), reference("0.690"));
    loadAndDraw(s);
    Form1& form = s.workbench->form1();
    QCOMPARE(form.text1().text(), QStringLiteral("0.700"));  // the described box is unchanged
    // 0.7 * sqrt((0.004 / 0.56)^2 + (0.004 / 0.8)^2) = 0.00610
    auto* sigma = control<QLabel>(form, "TprSigma");
    QVERIFY(sigma->isVisible());
    QCOMPARE(sigma->text(), QStringLiteral("± 0.0061  (1σ)"));
    auto* match = control<QLabel>(form, "TprMatch");
    QVERIFY(match->isVisible());
    QVERIFY2(match->text().contains(QStringLiteral("+0.0100")), qPrintable(match->text()));
    QVERIFY(match->text().contains(QStringLiteral("1.6 σ")));  // 0.0100 / 0.00610
    QVERIFY(match->text().contains(QStringLiteral("+1.45 %")));
    // Graph Clear empties the TPR boxes and with them the sigma and the distance.
    control<QPushButton>(form, "Command5")->click();
    QVERIFY(!sigma->isVisible());
    QVERIFY(!match->isVisible());
  }

  // A .unc older than its result, or of another run's header, belongs to an earlier run of
  // the same name: no sigma is shown then.
  void staleUncFileIsNotShown_data() {
    QTest::addColumn<bool>("older");
    QTest::addColumn<bool>("otherHeader");
    QTest::newRow("written before the result") << true << false;
    QTest::newRow("another run's header") << false << true;
  }
  void staleUncFileIsNotShown() {
    QFETCH(bool, older);
    QFETCH(bool, otherHeader);
    WindowFixture s(WindowFixture::SpectrumWindowLoaded);
    QByteArray unc = table([](int, int) { return 0.004; });
    if (otherHeader) unc.replace("  1000000.", "  2000000.");
    writeBytes(s.path("run.unc"), unc);
    writeBytes(s.path("run.tmr"), table(value));
    if (older) {
      QFile tmr(s.path("run.tmr"));
      QVERIFY(tmr.open(QIODevice::ReadWrite));
      QVERIFY(tmr.setFileTime(QDateTime::currentDateTime().addSecs(60),
                              QFileDevice::FileModificationTime));
    }
    writeBytes(s.path("ref.std"), reference("0.690"));
    loadAndDraw(s);
    Form1& form = s.workbench->form1();
    QCOMPARE(form.text1().text(), QStringLiteral("0.700"));
    QVERIFY(!control<QLabel>(form, "TprSigma")->isVisible());
    QVERIFY(!control<QLabel>(form, "TprMatch")->isVisible());
  }

  void tprSigmaPropagation_data() {
    QTest::addColumn<double>("a");  // T(4, 200 mm)
    QTest::addColumn<double>("b");  // T(4, 100 mm)
    QTest::addColumn<double>("sa");
    QTest::addColumn<double>("sb");
    QTest::addColumn<double>("sigma");
    QTest::newRow("only the 20 cm value uncertain") << 0.5 << 1.0 << 0.01 << 0.0 << 0.01;
    QTest::newRow("only the 10 cm value uncertain") << 0.5 << 1.0 << 0.0 << 0.01 << 0.005;
    QTest::newRow("both, in quadrature") << 0.6 << 0.8 << 0.006 << 0.008 << 0.75 * std::sqrt(2e-4);
  }
  void tprSigmaPropagation() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, sa);
    QFETCH(double, sb);
    QFETCH(double, sigma);
    corvane::CalculatedTmrTable t, s;
    t.at(4, 200) = a;
    t.at(4, 100) = b;
    s.at(4, 200) = sa;
    s.at(4, 100) = sb;
    const auto r = tprWithSigma(t, s);
    QVERIFY(r.has_value());
    QCOMPARE(r->tpr, a / b);
    QVERIFY(std::abs(r->sigma - sigma) < 1e-12);
  }

  // The calculated curve is drawn over a light band of ±1 sigma in its colour.
  void bandsUnderTheCalculatedCurves() {
    WindowFixture s(WindowFixture::SpectrumWindowLoaded);
    writeBytes(s.path("run.tmr"), table(value));
    writeBytes(s.path("run.unc"), table([](int, int) { return 0.03; }));
    writeBytes(s.path("ref.std"), reference("0.690"));
    loadAndDraw(s);
    PictureBox& plot = s.workbench->form1().picture1();
    const double t = value(4, 150);
    QCOMPARE(plot.pixelAt(149.5, t), QColor(0, 0, 255));
    QCOMPARE(plot.pixelAt(149.5, t + 0.02), QColor(176, 176, 255));
    QCOMPARE(plot.pixelAt(149.5, t - 0.02), QColor(176, 176, 255));
    QCOMPARE(plot.pixelAt(149.5, t + 0.05), QColor(Qt::white));
  }

  // Without NAME.unc: no sigma, no distance, and the plot surface is pixel for pixel the one the
  // described steps draw (frame, then blue and red curves with the primitives).
  void withoutUncTheWindowIsAsDescribed() {
    WindowFixture s(WindowFixture::SpectrumWindowLoaded);
    writeBytes(s.path("run.tmr"), table(value));
    writeBytes(s.path("ref.std"), reference("0.690"));
    loadAndDraw(s);
    Form1& form = s.workbench->form1();
    QVERIFY(!control<QLabel>(form, "TprSigma")->isVisible());
    QVERIFY(!control<QLabel>(form, "TprMatch")->isVisible());
    QVERIFY(!form.annotations().hasSigma());

    WindowFixture bare(WindowFixture::SpectrumWindowLoaded);
    Form1& other = bare.workbench->form1();
    other.openFromSpectrumWindow();
    PictureBox& p = other.picture1();
    p.setDrawWidth(2);
    p.pset(1.5, value(4, 2), QColor(0, 0, 255));
    for (int r = 3; r <= 300; ++r) p.lineTo(r - 0.5, value(4, r), QColor(0, 0, 255));
    p.rectangle(0, 0, 300, 1.0, QColor(0, 0, 0));
    p.setDrawWidth(2);
    p.pset(50, 0.8, QColor(255, 0, 0));
    for (int depth : {100, 150, 200, 250}) p.lineTo(depth, 0.8, QColor(255, 0, 0));
    p.rectangle(0, 0, 300, 1.0, QColor(0, 0, 0));
    QVERIFY(form.picture1().surface() == p.surface());
  }

  void menuSavesPictureAndTables() {
    WindowFixture s(WindowFixture::SpectrumWindowLoaded);
    writeBytes(s.path("run.tmr"), table(value));
    writeBytes(s.path("run.unc"), table([](int, int) { return 0.004; }));
    writeBytes(s.path("ref.std"), reference("0.690"));
    loadAndDraw(s);
    Form1& form = s.workbench->form1();
    auto* menu = form.picture1().findChild<QMenu*>(QStringLiteral("SaveMenu"));
    QVERIFY(menu);
    QString target;
    plot_export::setNameChooser([&](QWidget*, const QString&) { return target; });
    target = s.path("plot");  // the suffix is added
    menu->findChild<QAction*>(QStringLiteral("SavePng"))->trigger();
    QCOMPARE(QImage(s.path("plot.png")),
             form.picture1().surface().convertToFormat(QImage(s.path("plot.png")).format()));
    menu->findChild<QAction*>(QStringLiteral("SaveSvg"))->trigger();
    QVERIFY(readBytes(s.path("plot.svg")).contains("<svg"));

    target = s.path("calculated.csv");
    menu->findChild<QAction*>(QStringLiteral("SaveCalculatedCsv"))->trigger();
    const QList<QByteArray> rows = readBytes(target).split('\n');
    QCOMPARE(rows.size(), 302);  // header, 300 rows, nothing after the last line end
    QVERIFY(rows[0].startsWith("depth_mm,4x4,6x6,"));
    QVERIFY(rows[0].contains(",sigma_35x35\r"));
    const QList<QByteArray> row100 = rows[100].trimmed().split(',');
    QCOMPARE(row100.size(), 21);
    QCOMPARE(row100[0], QByteArray("99.5"));
    QCOMPARE(row100[4].toDouble(), 0.8);
    QCOMPARE(row100[14].toDouble(), 0.004);

    target = s.path("reference.csv");
    menu->findChild<QAction*>(QStringLiteral("SaveReferenceCsv"))->trigger();
    const QList<QByteArray> ref = readBytes(target).split('\n');
    QCOMPARE(ref.size(), 7);
    QCOMPARE(ref[1], QByteArray("50,0.8,0.8,0.8,0.8,0.8,0.8,0.8,0.8,0.8,0.8\r"));

    target = s.path("no/such/folder/x.csv");
    menu->findChild<QAction*>(QStringLiteral("SaveReferenceCsv"))->trigger();
    QCOMPARE(s.messages.messages.size(), std::size_t{1});
    QVERIFY(s.messages.messages[0].text.contains(QStringLiteral("書き込めません")));
    plot_export::setNameChooser({});
  }

  void spectrumPlotSavesAsPngAndSvg() {
    WindowFixture s(WindowFixture::SpectrumWindowLoaded);
    Form2& spectrum = s.workbench->form2();
    spectrum.Command1_Click();
    auto* menu = spectrum.picture3().findChild<QMenu*>(QStringLiteral("SaveMenu"));
    QVERIFY(menu);
    plot_export::setNameChooser([&](QWidget*, const QString&) { return s.path("spectrum"); });
    menu->findChild<QAction*>(QStringLiteral("SavePng"))->trigger();
    const QImage png(s.path("spectrum.png"));
    QCOMPARE(png, spectrum.picture3().surface().convertToFormat(png.format()));
    menu->findChild<QAction*>(QStringLiteral("SaveSvg"))->trigger();
    QVERIFY(readBytes(s.path("spectrum.svg")).contains("<image"));
    plot_export::setNameChooser({});
    QVERIFY(s.messages.messages.empty());
  }

  // The tuning buttons open the tuning window and overlap no described control.
  void tuningButtonsInFreeSpace() {
    WindowFixture s(WindowFixture::SpectrumWindowLoaded);
    for (QWidget* window : {static_cast<QWidget*>(&s.workbench->form1()),
                            static_cast<QWidget*>(&s.workbench->form2())}) {
      auto* button = control<QPushButton>(*window, "TuningButton");
      for (QWidget* other : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == button || other->objectName().isEmpty() || other->inherits("QMenu")) continue;
        if (other->objectName().startsWith(QStringLiteral("Label")) && other->autoFillBackground())
          continue;  // panels behind groups of controls
        QVERIFY2(!button->geometry().intersects(other->geometry()),
                 qPrintable(window->objectName() + QStringLiteral(": ") + other->objectName()));
      }
      button->click();
      QVERIFY(s.workbench->tuning().isVisible());
      s.workbench->tuning().hide();
    }
  }
};

QTEST_MAIN(ResultsAnnotationsTest)
#include "results_annotations_test.moc"
