#include "tuning_window.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <cmath>
#include <thread>

#include "background_job.h"
#include "file_lists.h"
#include "fonts.h"
#include "form2.h"
#include "messages.h"
#include "picture_box.h"
#include "plot_export.h"
#include "style.h"
#include "tuning/prediction.h"
#include "tuning_plots.h"
#include "workbench.h"
#include "workbench/spectrum/format.h"

namespace {
const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);

QString fmt(double v, const char* pattern) {
  return QString::fromStdString(corvane::formatByPattern(v, pattern));
}

// A number typed into a box (blanks around it allowed); nothing when it is not one number.
std::optional<double> boxNumber(const QLineEdit* box) {
  return corvane::parseNumber(box->text().trimmed().toStdString());
}

// Value ± sigma with as many decimals as the sigma's first two significant digits need.
QString withSigma(double value, double sigma, const QString& unit) {
  if (!std::isfinite(sigma) || sigma <= 0)
    return QString::number(value, 'f', 2) + QLatin1Char(' ') + unit;
  const int decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(sigma))), 0, 5);
  return QStringLiteral("%1 ± %2 %3")
      .arg(QString::number(value, 'f', decimals), QString::number(sigma, 'f', decimals), unit);
}

// Within a small fraction of the search interval of a bound.
bool atBound(double v, double low, double high) {
  const double margin = 1e-3 * (high - low);
  return v <= low + margin || v >= high - margin;
}
}  // namespace

QString timeLeftText(double seconds) {
  if (!(seconds >= 0) || !std::isfinite(seconds)) return QStringLiteral("残り時間を見積もり中…");
  const long s = std::lround(seconds);
  if (s >= 3600) return QStringLiteral("残り 約 %1 時間 %2 分").arg(s / 3600).arg((s % 3600) / 60);
  if (s >= 60) return QStringLiteral("残り 約 %1 分 %2 秒").arg(s / 60).arg(s % 60);
  return QStringLiteral("残り 約 %1 秒").arg(s);
}

void addSpectrumWindowEntries(QWidget& window, PictureBox& plot, Workbench& workbench) {
  auto* button = style::makeButton(&window, "TuningButton", QStringLiteral("自動調整…"),
                                   style::twipsRect(12600, 7290, 2535, 345),
                                   fonts::font(fonts::meiryo, 11.25), style::lightCyan());
  button->setToolTip(QStringLiteral(" 基準データからエネルギーとフィルタ厚を求めます "));
  QObject::connect(button, &QPushButton::clicked, &window,
                   [&workbench] { workbench.tuning().open(); });
  plot_export::attachSaveMenu(&plot, workbench.messages());
}

TuningWindow::TuningWindow(Workbench& workbench)
    : workbench_(workbench),
      plan_(tuning::defaultPlan()),
      threads_(static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))),
      libraryJob_(std::make_unique<BackgroundJob>()),
      fitJob_(std::make_unique<BackgroundJob>()) {
  setObjectName(QStringLiteral("TuningWindow"));
  setWindowTitle(QStringLiteral("  自動調整 — エネルギーとフィルタ厚"));
  style::makeFixedWindow(this, QSize(1046, 724));
  style::setBackground(this, QColor(240, 240, 240));

  const QFont label = fonts::font(fonts::meiryo, 10.5);
  const QFont heading = fonts::font(fonts::meiryo, 12);
  const QFont button = fonts::font(fonts::meiryo, 12);
  const QFont numbers = fonts::font(fonts::timesNewRoman, 12);
  const QFont result = fonts::font(fonts::meiryo, 10.5);

  // Reference files.
  auto* head = style::makeLabel(this, "Label1", QStringLiteral("基準データ"),
                                QRect(16, 16, 284, 32), heading);
  style::setBackground(head, style::lightYellow());
  style::setForeground(head, red);
  head->setAlignment(Qt::AlignCenter);
  referenceList_ = new FileListBox(this);
  referenceList_->setObjectName(QStringLiteral("ReferenceList"));
  referenceList_->setGeometry(16, 52, 284, 150);
  referenceList_->setFont(fonts::font(fonts::meiryo, 12));
  referenceList_->setPattern(QStringLiteral("*.std"));

  // Fit conditions.
  style::makePanel(style::makeLabel(this, "Label2", QString(), QRect(16, 212, 284, 236), label));
  style::makeLabel(this, "Label3", QStringLiteral("ターゲット原子番号  Z ="),
                   QRect(28, 222, 180, 22), label);
  zBox_ = new QLineEdit(this);
  zBox_->setObjectName(QStringLiteral("TargetZ"));
  zBox_->setGeometry(214, 218, 72, 28);
  zBox_->setFont(numbers);
  style::makeLabel(this, "Label4", QStringLiteral("調整するパラメータ"), QRect(28, 252, 250, 22),
                   label);
  auto radio = [&](const char* name, const QString& text, int top) {
    auto* r = new QRadioButton(text, this);
    r->setObjectName(QString::fromLatin1(name));
    r->setGeometry(40, top, 246, 24);
    r->setFont(label);
    style::setBackground(r, style::lightCyan());
    return r;
  };
  fitBoth_ = radio("FitBoth", QStringLiteral("エネルギーとフィルタ厚"), 274);
  fitEnergy_ = radio("FitEnergy", QStringLiteral("エネルギーのみ"), 298);
  fitFilter_ = radio("FitFilter", QStringLiteral("フィルタ厚のみ"), 322);
  fitBoth_->setChecked(true);
  heldLabel_ = style::makeLabel(this, "HeldValues", QString(), QRect(28, 348, 262, 38), label);
  heldLabel_->setWordWrap(true);
  style::makeLabel(this, "Label5", QStringLiteral("フィット深さ下限 (mm)"), QRect(28, 392, 180, 22),
                   label);
  depthBox_ = new QLineEdit(this);
  depthBox_->setObjectName(QStringLiteral("DepthMin"));
  depthBox_->setGeometry(214, 388, 72, 28);
  depthBox_->setFont(numbers);
  depthBox_->setPlaceholderText(QStringLiteral("最大深"));
  depthBox_->setToolTip(QStringLiteral(" 空欄: 各照射野の最大深より深い点を使います "));
  style::makeLabel(this, "Label6", QStringLiteral("測定許容差 (%)"), QRect(28, 420, 180, 22),
                   label);
  toleranceBox_ = new QLineEdit(this);
  toleranceBox_->setObjectName(QStringLiteral("Tolerance"));
  toleranceBox_->setGeometry(214, 416, 72, 28);
  toleranceBox_->setFont(numbers);
  toleranceBox_->setText(QString::number(100.0 * tuning::FitOptions{}.tolerance, 'g', 4));

  // The kernel library.
  style::makePanel(style::makeLabel(this, "Label7", QString(), QRect(16, 458, 284, 152), label));
  libraryStatus_ =
      style::makeLabel(this, "LibraryStatus", QString(), QRect(26, 464, 266, 66), label);
  libraryStatus_->setWordWrap(true);
  libraryStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("BuildProgress"));
  progress_->setGeometry(28, 532, 260, 20);
  progress_->setFont(label);
  timeLeft_ = style::makeLabel(this, "TimeLeft", QString(), QRect(28, 554, 260, 20), label);
  buildButton_ = style::makeButton(this, "BuildLibrary", QStringLiteral("ライブラリを作成"),
                                   QRect(28, 578, 160, 26), label);
  cancelButton_ = style::makeButton(this, "CancelBuild", QStringLiteral("中止"),
                                    QRect(196, 578, 92, 26), label);

  fitButton_ = style::makeButton(this, "RunFit", QStringLiteral("フィット実行"),
                                 QRect(16, 620, 284, 40), button);
  applyButton_ =
      style::makeButton(this, "Apply", QStringLiteral("適用"), QRect(16, 668, 136, 40), button);
  applyButton_->setToolTip(
      QStringLiteral(" フィットした値をスペクトル画面に書き込み、スペクトルを計算します "));
  closeButton_ = style::makeButton(this, "CloseTuning", QStringLiteral("閉じる"),
                                   QRect(164, 668, 136, 40), button);

  // Pictures and results.
  curves_ = new FitCurvesPlot(this, workbench_.messages());
  curves_->setObjectName(QStringLiteral("FitPlot"));
  curves_->setGeometry(316, 16, 500, 470);
  static const char* const sides[] = {"4×4",   "6×6",   "8×8",   "10×10", "12×12",
                                      "15×15", "20×20", "25×25", "30×30", "35×35"};
  for (int f = 1; f <= tuning::kFields; ++f) {
    auto* box = new QCheckBox(QString::fromUtf8(sides[f - 1]), this);
    box->setObjectName(QStringLiteral("PlotField%1").arg(f));
    box->setFont(label);
    box->setGeometry(316 + ((f - 1) % 5) * 100, f <= 5 ? 492 : 516, 96, 22);
    box->setChecked(curves_->fieldShown(f));
    connect(box, &QCheckBox::toggled, this, [this, f](bool on) { curves_->setFieldShown(f, on); });
    plotFields_[static_cast<std::size_t>(f)] = box;
  }
  confidence_ = new ConfidencePlot(this, workbench_.messages());
  confidence_->setObjectName(QStringLiteral("ConfidencePlot"));
  confidence_->setGeometry(830, 16, 200, 200);
  auto resultLabel = [&](const char* name, int top, int height) {
    auto* l = style::makeLabel(this, name, QString(), QRect(830, top, 204, height), result);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
  };
  style::makePanel(style::makeLabel(this, "Label8", QString(), QRect(824, 224, 214, 314), label),
                   Qt::white);
  energyResult_ = resultLabel("ResultEnergy", 232, 46);
  filterResult_ = resultLabel("ResultFilter", 282, 46);
  correlationResult_ = resultLabel("ResultCorrelation", 332, 24);
  chi2Result_ = resultLabel("ResultChi2", 360, 66);
  tprResult_ = resultLabel("ResultTpr", 430, 100);
  fieldTable_ = new QTableWidget(3, tuning::kFields, this);
  fieldTable_->setObjectName(QStringLiteral("FieldDeviations"));
  fieldTable_->setGeometry(316, 548, 722, 112);
  fieldTable_->setFont(fonts::font(fonts::timesNewRoman, 10.5));
  fieldTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fieldTable_->setSelectionMode(QAbstractItemView::NoSelection);
  fieldTable_->setVerticalHeaderLabels(
      {QStringLiteral("点数"), QStringLiteral("RMS (%)"), QStringLiteral("最大 (%)")});
  QStringList columns;
  for (const char* s : sides) columns << QString::fromUtf8(s);
  fieldTable_->setHorizontalHeaderLabels(columns);
  fieldTable_->verticalHeader()->setFont(label);
  fieldTable_->horizontalHeader()->setFont(label);
  fieldTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  fieldTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  auto* note = style::makeLabel(this, "Label9",
                                QStringLiteral("照射野ごとの偏差（フィットに使った点、予測−基準）"),
                                QRect(316, 666, 722, 22), label);
  style::setForeground(note, blue);

  connect(buildButton_, &QPushButton::clicked, this, &TuningWindow::buildLibrary);
  connect(cancelButton_, &QPushButton::clicked, this, &TuningWindow::cancelBuild);
  connect(fitButton_, &QPushButton::clicked, this, &TuningWindow::runFit);
  connect(applyButton_, &QPushButton::clicked, this, &TuningWindow::apply);
  connect(closeButton_, &QPushButton::clicked, this, &QWidget::hide);
  connect(libraryJob_.get(), &BackgroundJob::progress, this,
          [this](int done, int total, double secondsLeft) {
            progress_->setRange(0, std::max(1, total));
            progress_->setValue(done);
            timeLeft_->setText(timeLeftText(secondsLeft));
          });
  connect(fitJob_.get(), &BackgroundJob::finished, this, &TuningWindow::fitFinished);

  referenceList_->setFolder(workbench_.workingFolder());
  clearResult();
  setState(State::checking);
}

TuningWindow::~TuningWindow() {
  // Stop the work before the members it writes go away.
  libraryJob_->cancel();
  fitJob_->cancel();
  libraryJob_->wait();
  fitJob_->wait();
}

std::filesystem::path TuningWindow::folder() const {
  return QFile::encodeName(workbench_.workingFolder()).toStdString();
}

QString TuningWindow::spectrumText(const char* name) const {
  auto* box = workbench_.form2().findChild<QLineEdit*>(QString::fromLatin1(name));
  return box ? box->text() : QString();
}

void TuningWindow::open() {
  referenceList_->setFolder(workbench_.workingFolder());
  zBox_->setText(spectrumText("Text5").trimmed());
  showHeldValues();
  if (!library_ && !libraryJob_->running()) checkLibrary();
  style::showPlaced(this, placed_);
}

void TuningWindow::showHeldValues() {
  heldLabel_->setText(QStringLiteral("固定する値（スペクトル画面）: %1 MeV, %2 mm")
                          .arg(spectrumText("Text2").trimmed(), spectrumText("Text1").trimmed()));
}

void TuningWindow::setState(State state) {
  state_ = state;
  const bool building = state == State::building;
  buildButton_->setEnabled(state == State::noLibrary);
  cancelButton_->setEnabled(building);
  progress_->setVisible(building || state == State::noLibrary || state == State::fitting);
  if (state == State::fitting) {
    progress_->setRange(0, 0);  // busy: the fit reports no steps
  } else if (progress_->maximum() == 0) {
    progress_->setRange(0, 1);
    progress_->setValue(0);
  }
  timeLeft_->setVisible(building);
  fitButton_->setEnabled(state == State::ready);
  applyButton_->setEnabled(state == State::ready && result_.has_value());
  switch (state) {
    case State::checking:
      libraryStatus_->setText(QStringLiteral("ビームカーネルライブラリを確認しています…"));
      break;
    case State::building:
      libraryStatus_->setText(
          QStringLiteral("ライブラリを作成しています。他の画面はそのまま使えます。"));
      break;
    case State::ready:
      libraryStatus_->setText(
          QStringLiteral("ビームカーネルライブラリ: 使用できます（%1 ビン × %2 バッチ）")
              .arg(library_ ? static_cast<int>(library_->filledBins.size()) : 0)
              .arg(library_ ? library_->plan.batches : 0));
      break;
    case State::fitting:
      libraryStatus_->setText(QStringLiteral("フィットしています…"));
      break;
    case State::noLibrary:
      break;  // the text says why, set by the caller
  }
  emit stateChanged(state);
}

void TuningWindow::watchLibraryJob(void (TuningWindow::*finished)()) {
  libraryJob_->disconnect(this, nullptr);
  connect(libraryJob_.get(), &BackgroundJob::progress, this,
          [this](int done, int total, double secondsLeft) {
            progress_->setRange(0, std::max(1, total));
            progress_->setValue(done);
            timeLeft_->setText(timeLeftText(secondsLeft));
          });
  connect(libraryJob_.get(), &BackgroundJob::finished, this, finished);
}

void TuningWindow::checkLibrary() {
  setState(State::checking);
  const auto dir = folder();
  watchLibraryJob(&TuningWindow::libraryChecked);
  libraryJob_->start([this, dir](BackgroundJob&) {
    const auto file = dir / tuning::kLibraryFileName;
    std::error_code ec;
    loadedFileExists_ = std::filesystem::exists(file, ec);
    auto partial = file;
    partial += ".partial";
    partialExists_ = std::filesystem::exists(partial, ec);
    loaded_ = tuning::loadLibrary(dir);
  });
}

void TuningWindow::libraryChecked() {
  if (loaded_.library) {
    library_ = std::make_shared<const tuning::KernelLibrary>(std::move(*loaded_.library));
    loaded_ = {};
    setState(State::ready);
    return;
  }
  library_.reset();
  QString why;
  if (!loadedFileExists_)
    why = partialExists_ ? QStringLiteral(
                               "ビームカーネルライブラリの作成が途中で止まっています。"
                               "「ライブラリを作成」で続きから再開します。")
                         : QStringLiteral(
                               "ビームカーネルライブラリ (%1) がありません。"
                               "「ライブラリを作成」で作成して下さい。")
                               .arg(QString::fromLatin1(tuning::kLibraryFileName));
  else
    why = QStringLiteral(
              "ビームカーネルライブラリが現在のデータファイル・計算エンジンと"
              "合わないか、壊れています。作り直して下さい。\n（%1）")
              .arg(QString::fromStdString(loaded_.error));
  libraryStatus_->setText(why);
  libraryStatus_->setToolTip(QString::fromStdString(loaded_.error));
  progress_->setRange(0, 1);
  progress_->setValue(0);
  setState(State::noLibrary);
  libraryStatus_->setText(why);
}

void TuningWindow::buildLibrary() {
  if (state_ != State::noLibrary) return;
  const auto dir = folder();
  const auto plan = plan_;
  const int threads = threads_;
  watchLibraryJob(&TuningWindow::buildFinished);
  progress_->setRange(0, 1);
  progress_->setValue(0);
  timeLeft_->setText(timeLeftText(-1));
  setState(State::building);
  libraryJob_->start([this, dir, plan, threads](BackgroundJob& job) {
    tuning::BuildOptions options;
    options.threads = threads;
    options.cancel = &job.cancelFlag();
    options.progress = [&job](const tuning::BuildProgress& p) {
      job.reportProgress(p.binsDone, p.binsTotal, p.secondsLeft);
    };
    built_ = tuning::buildLibrary(dir, dir / tuning::kLibraryFileName, plan, options);
  });
}

void TuningWindow::cancelBuild() {
  if (state_ != State::building) return;
  libraryJob_->cancel();
  libraryStatus_->setText(QStringLiteral("中止しています（作成中のビンが終わるまで）…"));
  cancelButton_->setEnabled(false);
}

void TuningWindow::buildFinished() {
  switch (built_.status) {
    case tuning::BuildStatus::complete:
      checkLibrary();
      return;
    case tuning::BuildStatus::cancelled:
      library_.reset();
      setState(State::noLibrary);
      libraryStatus_->setText(
          QStringLiteral("ライブラリの作成を中止しました。完了した分は保存してあり、"
                         "「ライブラリを作成」で続きから再開します。"));
      return;
    case tuning::BuildStatus::failed:
      library_.reset();
      setState(State::noLibrary);
      libraryStatus_->setText(QStringLiteral("ライブラリを作成できませんでした。"));
      showError(QStringLiteral("ビームカーネルライブラリを作成できません: %1")
                    .arg(QString::fromStdString(built_.message)));
      return;
  }
}

void TuningWindow::showError(const QString& text) {
  workbench_.messages().show(text, MessageSink::Icon::Exclamation);
}

void TuningWindow::runFit() {
  if (state_ != State::ready || !library_) return;
  if (referenceList_->chosenFileName().isEmpty()) {
    showError(QStringLiteral("基準データファイルを選択して下さい"));
    return;
  }
  tuning::FitOptions options;
  const auto Z = boxNumber(zBox_);
  if (!Z || *Z < 1 || *Z > 100) {
    showError(QStringLiteral("ターゲットの原子番号 Z が正しくありません（1 〜 100 の数）"));
    return;
  }
  options.Z = *Z;
  const auto tolerance = boxNumber(toleranceBox_);
  if (!tolerance || !(*tolerance > 0) || *tolerance > 50) {
    showError(QStringLiteral("測定許容差が正しくありません（0 より大きく 50 以下の % の値）"));
    return;
  }
  options.tolerance = *tolerance / 100.0;
  if (!depthBox_->text().trimmed().isEmpty()) {
    const auto depth = boxNumber(depthBox_);
    if (!depth || *depth < 0 || *depth >= 300) {
      showError(QStringLiteral("フィット深さ下限が正しくありません（0 〜 300 mm、空欄は最大深）"));
      return;
    }
    options.depthMin = *depth;
  }
  showHeldValues();  // the spectrum window's boxes may have changed since the opening
  if (!fitBoth_->isChecked()) {
    const bool holdFilter = fitEnergy_->isChecked();
    const QString text = spectrumText(holdFilter ? "Text1" : "Text2");
    const auto held = corvane::parseNumber(text.trimmed().toStdString());
    if (!held || (holdFilter ? (*held < options.filterLow || *held > options.filterHigh)
                             : (*held < options.energyLow || *held > options.energyHigh))) {
      showError(holdFilter ? QStringLiteral("スペクトル画面のフィルタ厚「%1」は固定値に使えません"
                                            "（0 〜 30 mm の数）")
                                 .arg(text)
                           : QStringLiteral("スペクトル画面の電子加速エネルギー「%1」は固定値に"
                                            "使えません（0.5 〜 20 MeV の数）")
                                 .arg(text));
      return;
    }
    if (holdFilter)
      options.fixedFilter = *held;
    else
      options.fixedEnergy = *held;
  }
  const QString name = referenceList_->chosenFileName();
  auto reference =
      tuning::readReference(QFile::encodeName(referenceList_->chosenFilePath()).toStdString());
  if (!reference.reference) {
    showError(QStringLiteral("基準データファイル「%1」は使えません。\n原因: %2")
                  .arg(name, QString::fromStdString(reference.error)));
    return;
  }
  clearResult();  // a failed fit must not leave an earlier result to apply
  fitOptions_ = options;
  fitReference_ = *reference.reference;
  const auto dir = folder();
  auto library = library_;
  setState(State::fitting);
  fitJob_->start([this, dir, library](BackgroundJob&) {
    corvane::LeadCoefficients lead;
    leadError_ = tuning::readLead(dir, lead);
    if (!leadError_.empty()) return;
    fitted_ = tuning::fitReference(*library, lead, fitReference_, fitOptions_);
  });
}

void TuningWindow::fitFinished() {
  judgeFit();
  setState(State::ready);
}

void TuningWindow::judgeFit() {
  const QString name = QString::fromStdString(fitReference_.file.filename().string());
  if (!leadError_.empty()) {
    showError(QStringLiteral("鉛の減弱データ Lead.dat を読めません: %1")
                  .arg(QString::fromStdString(leadError_)));
    return;
  }
  if (!fitted_.result) {
    showError(QStringLiteral("「%1」へのフィットができませんでした。\n原因: %2")
                  .arg(name, QString::fromStdString(fitted_.error)));
    return;
  }
  const tuning::FitResult& fit = *fitted_.result;
  const auto& o = fitOptions_;
  // A value at the edge of its search range is where the search stopped, not an optimum.
  const auto atEdge = [this](const QString& what, double value, double low, double high,
                             const QString& unit) {
    if (!atBound(value, low, high)) return false;
    showError(
        QStringLiteral("フィットした%1 %2 %3 が探索範囲（%4 〜 %5 %3）の端に"
                       "あります。基準データ・原子番号 Z を確かめて下さい。値は書き込みません。")
            .arg(what)
            .arg(value, 0, 'f', 2)
            .arg(unit)
            .arg(low)
            .arg(high));
    return true;
  };
  if (!fit.energyHeld && atEdge(QStringLiteral("エネルギー"), fit.energy, o.energyLow, o.energyHigh,
                                QStringLiteral("MeV")))
    return;
  if (!fit.filterHeld && atEdge(QStringLiteral("フィルタ厚"), fit.filter, o.filterLow, o.filterHigh,
                                QStringLiteral("mm")))
    return;
  if (!std::isfinite(fit.chi2) || (!fit.energyHeld && !std::isfinite(fit.energySigma)) ||
      (!fit.filterHeld && !std::isfinite(fit.filterSigma))) {
    showError(
        QStringLiteral("フィットが収束しませんでした（不確かさが定まりません）。"
                       "基準データの点数・深さ範囲を確かめて下さい。値は書き込みません。"));
    return;
  }
  result_ = fit;
  reference_ = fitReference_;
  resultOptions_ = fitOptions_;
  showResult();
}

void TuningWindow::clearResult() {
  result_.reset();
  reference_.reset();
  energyResult_->setText(QStringLiteral("エネルギー\n  —"));
  filterResult_->setText(QStringLiteral("フィルタ厚\n  —"));
  correlationResult_->setText(QStringLiteral("相関係数  —"));
  chi2Result_->setText(QStringLiteral("χ²  —"));
  tprResult_->setText(QStringLiteral("TPR20,10\n  —"));
  for (int r = 0; r < fieldTable_->rowCount(); ++r)
    for (int c = 0; c < fieldTable_->columnCount(); ++c)
      fieldTable_->setItem(r, c, new QTableWidgetItem());
  curves_->clearFit();
  confidence_->clearFit();
}

void TuningWindow::showResult() {
  const tuning::FitResult& fit = *result_;
  energyResult_->setText(QStringLiteral("エネルギー\n  ") +
                         (fit.energyHeld
                              ? QString::number(fit.energy, 'f', 2) + QStringLiteral(" MeV（固定）")
                              : withSigma(fit.energy, fit.energySigma, QStringLiteral("MeV"))));
  filterResult_->setText(QStringLiteral("フィルタ厚\n  ") +
                         (fit.filterHeld
                              ? QString::number(fit.filter, 'f', 2) + QStringLiteral(" mm（固定）")
                              : withSigma(fit.filter, fit.filterSigma, QStringLiteral("mm"))));
  correlationResult_->setText(
      fit.energyHeld || fit.filterHeld
          ? QStringLiteral("相関係数  —（一方を固定）")
          : QStringLiteral("相関係数  %1").arg(QString::number(fit.correlation, 'f', 3)));
  chi2Result_->setText(QStringLiteral("χ² = %1（自由度 %2）\nχ²/ν = %3%4")
                           .arg(QString::number(fit.chi2, 'f', 1))
                           .arg(fit.degreesOfFreedom)
                           .arg(QString::number(fit.chi2Reduced, 'f', 2))
                           .arg(fit.covarianceScaled ? QStringLiteral("（σ を拡大）") : QString()));
  // Rounded to the shown three decimals first, so that a match reads 0.000, never -0.000.
  const double diff = std::round(1000.0 * (fit.prediction.tpr - fit.tprReference)) / 1000.0 + 0.0;
  tprResult_->setText(
      QStringLiteral("TPR20,10\n  予測  %1 ± %2\n  基準  %3\n  差  %4 (%5 σ)")
          .arg(fmt(fit.prediction.tpr, "0.000"))
          .arg(fmt(fit.prediction.tprSigma, "0.000"))
          .arg(fmt(fit.tprReference, "0.000"))
          .arg(QString::number(diff, 'f', 3))
          .arg(fit.prediction.tprSigma > 0
                   ? QString::number(std::abs(diff) / fit.prediction.tprSigma, 'f', 1)
                   : QStringLiteral("—")));
  for (int f = 1; f <= tuning::kFields; ++f) {
    const auto& d = fit.fields[static_cast<std::size_t>(f)];
    const bool any = d.points > 0;
    fieldTable_->item(0, f - 1)->setText(QString::number(d.points));
    fieldTable_->item(1, f - 1)->setText(any ? QString::number(d.rmsPercent, 'f', 2) : QString());
    fieldTable_->item(2, f - 1)->setText(any ? QString::number(d.maxPercent, 'f', 2) : QString());
    for (int r = 0; r < 3; ++r) fieldTable_->item(r, f - 1)->setTextAlignment(Qt::AlignCenter);
  }
  curves_->setFit(fit, *reference_);
  confidence_->setFit(fit);
}

void TuningWindow::apply() {
  if (!result_ || state_ != State::ready) return;
  Form2& spectrum = workbench_.form2();
  auto* energy = spectrum.findChild<QLineEdit*>(QStringLiteral("Text2"));
  auto* filter = spectrum.findChild<QLineEdit*>(QStringLiteral("Text1"));
  auto* z = spectrum.findChild<QLineEdit*>(QStringLiteral("Text5"));
  if (!energy || !filter || !z) return;
  // Two decimals: the spectrum file keeps the thickness to 0.01 mm, and 0.01 MeV is far below
  // the fit's uncertainty. A held value is written back as it was typed.
  if (!result_->energyHeld) energy->setText(fmt(result_->energy, "#0.00"));
  if (!result_->filterHeld) filter->setText(fmt(result_->filter, "#0.00"));
  if (corvane::parseNumber(z->text().trimmed().toStdString()) != resultOptions_.Z)
    z->setText(QString::number(resultOptions_.Z));
  spectrum.Command1_Click();
  spectrum.showAgain();
}
