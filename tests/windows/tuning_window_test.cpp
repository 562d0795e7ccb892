// The beam-tuning window on a tiny kernel library built here (two histories per bin and batch):
// its states, the library build's progress and cancel driven by signals (never by wall time),
// the resumed build, the fit of a reference made from the library's own prediction, apply into
// the spectrum window and S_SPCTL.dat, the errors that name their cause, and the plot export.
#include "tuning_window.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "background_job.h"
#include "file_lists.h"
#include "form2.h"
#include "plot_export.h"
#include "tuning/prediction.h"
#include "window_fixture.h"
#include "workbench/spectrum/format.h"

namespace {

// Every bin a spectrum of up to 20 MeV can weight gets histories: the prediction needs them all.
tuning::LibraryPlan tinyPlan() {
  tuning::LibraryPlan plan;
  plan.batches = 2;
  for (int bin = 1; bin <= tuning::kBins; ++bin) plan.histories[bin] = 4;
  return plan;
}

std::filesystem::path fsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

void copyData(const WindowFixture& f) {
  for (const char* name : {"water20.dat", "ELDAT.dat", "10MV-standardTMR.std"})
    QFile::copy(QStringLiteral(SHIPPED_DATA "/") + QString::fromLatin1(name),
                f.path(QString::fromLatin1(name)));
}

template <typename T>
T* child(QWidget& w, const char* name) {
  auto* c = w.findChild<T*>(QString::fromLatin1(name));
  if (!c) qFatal("no control %s", name);
  return c;
}

// Waits (on the signal, not on a clock) until the window reaches `state`.
bool waitForState(TuningWindow& w, TuningWindow::State state) {
  QSignalSpy spy(&w, &TuningWindow::stateChanged);
  for (int i = 0; i < 50 && w.state() != state; ++i) spy.wait(60000);
  return w.state() == state;
}

void choose(FileListBox& list, const QString& name) {
  list.refresh();
  const auto items = list.findItems(name, Qt::MatchExactly);
  QVERIFY(!items.isEmpty());
  list.setCurrentItem(items.first());
  items.first()->setSelected(true);
}

}  // namespace

class TuningWindowTest : public QObject {
  Q_OBJECT
  QTemporaryDir libraryFolder_;  // one tiny library, copied into each test's working folder
  tuning::KernelLibrary library_;
  corvane::LeadCoefficients lead_;

  void installLibrary(const WindowFixture& f) {
    copyData(f);
    QVERIFY(QFile::copy(libraryFolder_.filePath(QString::fromLatin1(tuning::kLibraryFileName)),
                        f.path(QString::fromLatin1(tuning::kLibraryFileName))));
  }

  // A reference file in the *.std layout holding the library's own prediction for `energy` and
  // `filter` at 30 depths: a fit must come back to those values.
  void writeReference(const WindowFixture& f, const QString& name, double energy, double filter,
                      int rows = 30) {
    tuning::BinWeights weights{};
    QVERIFY(tuning::spectrumWeights(lead_, energy, 29, filter, weights).empty());
    const auto p = tuning::predict(library_, weights, false);
    QVERIFY(p.prediction.has_value());
    QByteArray text = QByteArray::number(p.prediction->tpr, 'f', 4) + "\r\n";
    text += "depth,4,6,8,10,12,15,20,25,30,35\r\n";
    for (int k = 1; k <= rows; ++k) {
      const double depth = 300.0 - 10.0 * (rows - k);
      text += QByteArray::number(depth);
      for (int field = 1; field <= tuning::kFields; ++field)
        text += "," + QByteArray::number(tuning::tmrAtDepth(*p.prediction, field, depth), 'f', 5);
      text += "\r\n";
    }
    f.writeFile(name, text);
  }

 private slots:
  void initTestCase() {
    WindowFixture data;  // shipped data files, copied once for the build
    copyData(data);
    QFile::copy(data.path(QStringLiteral("water20.dat")),
                libraryFolder_.filePath(QStringLiteral("water20.dat")));
    QFile::copy(data.path(QStringLiteral("ELDAT.dat")),
                libraryFolder_.filePath(QStringLiteral("ELDAT.dat")));
    const auto dir = fsPath(libraryFolder_.path());
    tuning::BuildOptions options;
    options.threads = 2;
    const auto built =
        tuning::buildLibrary(dir, dir / tuning::kLibraryFileName, tinyPlan(), options);
    QVERIFY2(built.status == tuning::BuildStatus::complete, built.message.c_str());
    auto loaded = tuning::loadLibrary(dir);
    QVERIFY2(loaded.library.has_value(), loaded.error.c_str());
    library_ = std::move(*loaded.library);
    QVERIFY(tuning::readLead(SHIPPED_DATA, lead_).empty());
  }

  void missingLibraryIsOfferedForBuilding() {
    WindowFixture f;
    copyData(f);
    TuningWindow& w = f.workbench->tuning();
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::noLibrary));
    QVERIFY(child<QLabel>(w, "LibraryStatus")->text().contains(QStringLiteral("ありません")));
    QVERIFY(child<QPushButton>(w, "BuildLibrary")->isEnabled());
    QVERIFY(!child<QPushButton>(w, "RunFit")->isEnabled());
    QVERIFY(!child<QPushButton>(w, "Apply")->isEnabled());
    // Z comes from the spectrum window (copper after its start).
    QCOMPARE(child<QLineEdit>(w, "TargetZ")->text(), QStringLiteral("29"));
  }

  void staleLibraryIsRefusedWithItsCause() {
    WindowFixture f;
    installLibrary(f);
    // Another ELDAT.dat: the library no longer belongs to the data files.
    QFile eldat(f.path(QStringLiteral("ELDAT.dat")));
    QVERIFY(eldat.open(QIODevice::Append));
    eldat.write(" \r\n");
    eldat.close();
    TuningWindow& w = f.workbench->tuning();
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::noLibrary));
    QVERIFY(child<QLabel>(w, "LibraryStatus")->text().contains(QStringLiteral("作り直して")));
  }

  // Progress reaches the window by signals; a cancel set from the first progress report stops
  // the build after that bin; a second build resumes from the saved bins and completes.
  void buildShowsProgressCancelsAndResumes() {
    WindowFixture f;
    copyData(f);
    TuningWindow& w = f.workbench->tuning();
    tuning::LibraryPlan plan;
    plan.batches = 2;
    for (int bin : {1, 2, 3, 4, 5, 6}) plan.histories[bin] = 2;
    w.setBuildPlan(plan);
    w.setBuildThreads(1);
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::noLibrary));

    BackgroundJob& job = w.libraryJob();
    // Runs on the building thread at the report, before the next bin starts.
    auto stopper = connect(
        &job, &BackgroundJob::progress, &job, [&job](int, int, double) { job.cancel(); },
        Qt::DirectConnection);
    QSignalSpy progress(&job, &BackgroundJob::progress);
    QSignalSpy finished(&job, &BackgroundJob::finished);
    child<QPushButton>(w, "BuildLibrary")->click();
    QCOMPARE(w.state(), TuningWindow::State::building);
    QVERIFY(child<QPushButton>(w, "CancelBuild")->isEnabled());
    QVERIFY(!child<QPushButton>(w, "RunFit")->isEnabled());
    QVERIFY(finished.wait(60000));
    // The spy sees the signal on the building thread; the window's own queued receiver
    // (connected at the click, after the spy) may still be on its way.
    QVERIFY(waitForState(w, TuningWindow::State::noLibrary));
    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.first().at(0).toInt(), 1);
    QCOMPARE(progress.first().at(1).toInt(), 6);
    QCOMPARE(child<QProgressBar>(w, "BuildProgress")->value(), 1);
    QCOMPARE(w.state(), TuningWindow::State::noLibrary);
    QVERIFY(child<QLabel>(w, "LibraryStatus")->text().contains(QStringLiteral("中止")));
    QVERIFY(QFile::exists(f.path(QString::fromLatin1(tuning::kLibraryFileName) + ".partial")));
    QVERIFY(!QFile::exists(f.path(QString::fromLatin1(tuning::kLibraryFileName))));

    disconnect(stopper);
    progress.clear();
    child<QPushButton>(w, "BuildLibrary")->click();
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.first().at(0).toInt(), 2);  // the first bin came from the partial file
    QCOMPARE(progress.last().at(0).toInt(), 6);
    QVERIFY(QFile::exists(f.path(QString::fromLatin1(tuning::kLibraryFileName))));
    QVERIFY(child<QPushButton>(w, "RunFit")->isEnabled());
  }

  // The cancel button stops a build the same way (flag set from the user-interface thread).
  void cancelButtonLeavesAResumableBuild() {
    WindowFixture f;
    copyData(f);
    TuningWindow& w = f.workbench->tuning();
    tuning::LibraryPlan plan;
    plan.batches = 1;
    for (int bin = 1; bin <= 40; ++bin) plan.histories[bin] = 1;
    w.setBuildPlan(plan);
    w.setBuildThreads(1);
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::noLibrary));
    child<QPushButton>(w, "BuildLibrary")->click();
    child<QPushButton>(w, "CancelBuild")->click();
    QVERIFY(!child<QPushButton>(w, "CancelBuild")->isEnabled());
    QVERIFY(waitForState(w, TuningWindow::State::noLibrary));
    QVERIFY(child<QPushButton>(w, "BuildLibrary")->isEnabled());
  }

  void fitRecoversTheParametersAndApplyComputesTheSpectrum() {
    WindowFixture f;
    installLibrary(f);
    writeReference(f, QStringLiteral("machine.std"), 8.0, 6.0);
    TuningWindow& w = f.workbench->tuning();
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    choose(*child<FileListBox>(w, "ReferenceList"), QStringLiteral("machine.std"));
    child<QPushButton>(w, "RunFit")->click();
    QCOMPARE(w.state(), TuningWindow::State::fitting);
    QVERIFY(!child<QPushButton>(w, "RunFit")->isEnabled());
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    QVERIFY2(f.messages.messages.empty(), qPrintable(f.messageTexts().join(QLatin1Char('\n'))));
    QVERIFY(w.hasResult());
    const tuning::FitResult& fit = *w.result();
    QVERIFY(std::abs(fit.energy - 8.0) < std::max(0.05, 3 * fit.energySigma));
    QVERIFY(std::abs(fit.filter - 6.0) < std::max(0.2, 3 * fit.filterSigma));
    QVERIFY(child<QLabel>(w, "ResultEnergy")->text().contains(QStringLiteral("±")));
    QVERIFY(child<QLabel>(w, "ResultFilter")->text().contains(QStringLiteral("±")));
    QVERIFY(child<QLabel>(w, "ResultTpr")->text().contains(QStringLiteral("基準")));
    QVERIFY(child<QPushButton>(w, "Apply")->isEnabled());

    child<QPushButton>(w, "Apply")->click();
    Form2& spectrum = f.workbench->form2();
    const QString energy = QString::fromStdString(corvane::formatByPattern(fit.energy, "#0.00"));
    const QString filter = QString::fromStdString(corvane::formatByPattern(fit.filter, "#0.00"));
    QCOMPARE(child<QLineEdit>(spectrum, "Text2")->text(), energy);
    QCOMPARE(child<QLineEdit>(spectrum, "Text1")->text(), filter);
    QVERIFY(spectrum.spectrumShown());
    QCOMPARE(spectrum.spectrumCount(), 1);
    const QStringList lines = f.lines(QStringLiteral("S_SPCTL.dat"));
    QCOMPARE(lines.size(), 403);
    QCOMPARE(lines[400],
             QString::fromStdString(corvane::formatByPattern(energy.toDouble(), "00.0")));
    QCOMPARE(lines[401], QStringLiteral("029"));
    QCOMPARE(lines[402],
             QString::fromStdString(corvane::formatByPattern(filter.toDouble(), "00.00")));
    QVERIFY(child<QPushButton>(spectrum, "Command5")->isEnabled());  // a run can start from here
  }

  void heldEnergyFitsTheFilterAlone() {
    WindowFixture f;
    installLibrary(f);
    writeReference(f, QStringLiteral("machine.std"), 8.0, 6.0);
    child<QLineEdit>(f.workbench->form2(), "Text2")->setText(QStringLiteral("8.0"));
    TuningWindow& w = f.workbench->tuning();
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    choose(*child<FileListBox>(w, "ReferenceList"), QStringLiteral("machine.std"));
    child<QRadioButton>(w, "FitFilter")->setChecked(true);
    w.runFit();
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    QVERIFY(w.hasResult());
    QVERIFY(w.result()->energyHeld);
    QCOMPARE(w.result()->energy, 8.0);
    QVERIFY(std::abs(w.result()->filter - 6.0) < std::max(0.2, 3 * w.result()->filterSigma));
    QVERIFY(child<QLabel>(w, "ResultEnergy")->text().contains(QStringLiteral("固定")));
  }

  // Each failure shows one message naming its cause, leaves no result and writes nothing.
  void failuresNameTheirCauseAndWriteNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("says");
    QTest::newRow("malformed reference") << "malformed"
                                         << "基準データファイル「bad.std」は使えません";
    QTest::newRow("too few usable rows") << "short"
                                         << "フィットができませんでした";
    QTest::newRow("filter at its bound") << "bound"
                                         << "探索範囲";
    QTest::newRow("no reference chosen") << "none"
                                         << "基準データファイルを選択して下さい";
  }
  void failuresNameTheirCauseAndWriteNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, says);
    WindowFixture f;
    installLibrary(f);
    QString name = QStringLiteral("bad.std");
    if (kind == QLatin1String("malformed"))
      f.writeFile(name, "0.7\r\ncaption\r\n100,0.9,0.9,0.9,-0.9,0.9,0.9,0.9,0.9,0.9,0.9\r\n");
    else if (kind == QLatin1String("short"))
      writeReference(f, name, 8.0, 6.0, 2);
    else if (kind == QLatin1String("bound"))
      writeReference(f, name, 8.0, 0.0);
    TuningWindow& w = f.workbench->tuning();
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    if (kind != QLatin1String("none")) choose(*child<FileListBox>(w, "ReferenceList"), name);
    w.runFit();
    if (w.state() == TuningWindow::State::fitting)
      QVERIFY(waitForState(w, TuningWindow::State::ready));
    QCOMPARE(f.messages.messages.size(), std::size_t{1});
    QVERIFY2(f.messages.messages[0].text.contains(says), qPrintable(f.messages.messages[0].text));
    QVERIFY(!w.hasResult());
    QVERIFY(!child<QPushButton>(w, "Apply")->isEnabled());
    w.apply();
    QVERIFY(!QFile::exists(f.path(QStringLiteral("S_SPCTL.dat"))));
    QCOMPARE(child<QLineEdit>(f.workbench->form2(), "Text1")->text(), QStringLiteral("10.5"));
  }

  void plotsSaveAsPngAndSvg() {
    WindowFixture f;
    installLibrary(f);
    writeReference(f, QStringLiteral("machine.std"), 8.0, 6.0);
    TuningWindow& w = f.workbench->tuning();
    w.open();
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    choose(*child<FileListBox>(w, "ReferenceList"), QStringLiteral("machine.std"));
    w.runFit();
    QVERIFY(waitForState(w, TuningWindow::State::ready));
    QString target;
    plot_export::setNameChooser([&](QWidget*, const QString&) { return target; });
    for (const char* plot : {"FitPlot", "ConfidencePlot"}) {
      auto* menu = child<QWidget>(w, plot)->findChild<QMenu*>(QStringLiteral("SaveMenu"));
      QVERIFY(menu);
      target = f.path(QString::fromLatin1(plot));
      menu->findChild<QAction*>(QStringLiteral("SavePng"))->trigger();
      QImage png(target + QStringLiteral(".png"));
      QCOMPARE(png.size(), child<QWidget>(w, plot)->size());
      menu->findChild<QAction*>(QStringLiteral("SaveSvg"))->trigger();
      QFile svg(target + QStringLiteral(".svg"));
      QVERIFY(svg.open(QIODevice::ReadOnly));
      const QByteArray content = svg.readAll();
      QVERIFY(content.contains("<svg"));
      QVERIFY(content.contains("<path"));  // vector curves, not a picture of them
    }
    plot_export::setNameChooser({});
    QVERIFY(f.messages.messages.empty());
  }

  void timeLeftReadsInMinutesAndSeconds() {
    QCOMPARE(timeLeftText(-1), QStringLiteral("残り時間を見積もり中…"));
    QCOMPARE(timeLeftText(42.4), QStringLiteral("残り 約 42 秒"));
    QCOMPARE(timeLeftText(200), QStringLiteral("残り 約 3 分 20 秒"));
    QCOMPARE(timeLeftText(7260), QStringLiteral("残り 約 2 時間 1 分"));
  }
};

QTEST_MAIN(TuningWindowTest)
#include "tuning_window_test.moc"
