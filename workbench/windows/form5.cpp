#include "form5.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QThread>

#include "fonts.h"
#include "form2.h"
#include "launcher.h"
#include "messages.h"
#include "style.h"
#include "subscript_gap.h"
#include "workbench.h"
#include "workbench/spectrum/format.h"
#include "workbench/spectrum/launch_checks.h"
#include "workbench/spectrum/messages.h"
#include "workbench/spectrum/run_files.h"

namespace {
const QColor blue = style::blue();

QString text(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

Form5::Form5(Workbench& workbench) : workbench_(workbench) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("TMR and TPR_20,10 Calculation "));
  style::makeFixedWindow(this, style::twipsSize(7200, 5310));

  const QFont labelFont = fonts::font(fonts::meiryo, 14.25);
  const QFont subscriptFont = fonts::font(fonts::meiryo, 11.25);
  const QFont buttonFont = fonts::font(fonts::timesNewRoman, 14.25);

  // Positions [twips]. Label6 and Label2 leave a gap after "TPR" in which Label7 and Label3
  // set the subscript.
  const auto labels = style::makeLabels(
      this,
      {
          {"Label6", "標準の TMR および TPR         と比較するため", 360, 360, 5940, 420, labelFont,
           blue},
          {"Label7", "20,10", 3550, 440, 615, 345, subscriptFont, blue},
          {"Label1", "最後に計算したＸ線スペクトルを用いて", 360, 960, 5130, 420, labelFont},
          {"Label2", "水ファントム中の、TMR および TPR         を", 360, 1440, 5850, 420,
           labelFont},
          {"Label3", "20,10", 5160, 1515, 615, 345, subscriptFont},
          {"Label4", "モンテカルロシミュレーションにより計算します。", 360, 1920, 6555, 420,
           labelFont},
          {"Label5", "入射光子ヒストリー数 =", 480, 2640, 3165, 420, labelFont},
          {"Label8", "計算結果保存ファイル名", 480, 3120, 3135, 420, labelFont},
          {"Label9", "（拡張子なしで入力）", 3720, 3150, 2400, 360, fonts::font(fonts::meiryo, 12)},
      });
  placeInGap(labels.value(QStringLiteral("Label6")), labels.value(QStringLiteral("Label7")));
  placeInGap(labels.value(QStringLiteral("Label2")), labels.value(QStringLiteral("Label3")));

  Text2_ = new QLineEdit(this);
  Text2_->setObjectName(QStringLiteral("Text2"));
  Text2_->setGeometry(style::twipsRect(3720, 2580, 2295, 495));
  Text2_->setFont(labelFont);
  Text1_ = new QLineEdit(this);
  Text1_->setObjectName(QStringLiteral("Text1"));
  Text1_->setGeometry(style::twipsRect(1200, 3600, 4455, 495));
  Text1_->setFont(labelFont);

  Command1_ = style::makeButton(this, "Command1", QStringLiteral("OK"),
                                style::twipsRect(1200, 4440, 2055, 615), buttonFont);
  Command1_->setDefault(true);
  Command2_ = style::makeButton(this, "Command2", QStringLiteral("Cancel"),
                                style::twipsRect(3960, 4440, 1695, 615), buttonFont);

  // In the free band between the name box and the buttons: a parallel run, which also
  // reports the statistical uncertainties. Unticked at start; the choice then stays.
  Check1_ = new QCheckBox(
      QStringLiteral("並列計算（%1 コア）と不確かさ").arg(QThread::idealThreadCount()), this);
  Check1_->setObjectName(QStringLiteral("Check1"));
  Check1_->setFont(fonts::font(fonts::meiryo, 9.75));
  Check1_->setGeometry(style::twips(1200), style::twips(3600 + 495) + 1, style::twips(4455),
                       style::twips(4440) - style::twips(3600 + 495) - 2);

  // The focus starts on OK; the user clicks into the boxes to type.
  setTabOrder(Command1_, Command2_);
  setTabOrder(Command2_, Text1_);
  setTabOrder(Text1_, Text2_);
  setTabOrder(Text2_, Check1_);
  Command1_->setFocus();

  connect(Command1_, &QPushButton::clicked, this, &Form5::Command1_Click);
  connect(Command2_, &QPushButton::clicked, this, &Form5::Command2_Click);
}

void Form5::openFromSpectrumWindow() {
  Text1_->setText(QString());
  Text2_->setText(QStringLiteral("30000000"));
  style::showPlaced(this, placed_);
  Command1_->setFocus();
}

void Form5::Command1_Click() {
  if (starting_) return;  // the start asked for is still being watched
  MessageSink& messages = workbench_.messages();
  const QString name = Text1_->text();
  if (const corvane::Status valid = corvane::checkResultName(name.toStdString()); !valid) {
    messages.show(QString::fromStdString(valid.failure().message),
                  name.isEmpty() ? MessageSink::Icon::None : MessageSink::Icon::Exclamation);
    return;
  }
  const auto count = corvane::parseHistoryTotal(Text2_->text().toStdString());
  if (!count) {
    messages.show(QString::fromStdString(count.failure().message), MessageSink::Icon::Exclamation);
    return;
  }
  const QString resultFile = name + QStringLiteral(".tmr");
  const QFileInfo existing(workbench_.filePath(resultFile));
  if (existing.exists()) {
    if (!existing.isFile()) {
      messages.show(text(corvane::messages::kResultNameIsAFolder).arg(resultFile),
                    MessageSink::Icon::Exclamation);
      return;
    }
    if (!messages.ask(text(corvane::messages::kResultFileExists).arg(resultFile))) return;
  }
  // B2F.dat holds four significant digits: a count it would round is handed over only when
  // the user agrees to the rounded count.
  const std::int64_t handedOver = corvane::handedOverHistoryTotal(count.value());
  if (handedOver != count.value() &&
      !messages.ask(text(corvane::messages::kHistoryTotalRounded)
                        .arg(Text2_->text().trimmed(),
                             QString::fromStdString(corvane::formatByPattern(
                                 static_cast<double>(count.value()), "0.000E+00")),
                             QString::number(handedOver))))
    return;

  // B2F.dat is complete and closed before the process is started.
  const corvane::Status written = corvane::writeRunParameters(
      name.toStdString(), std::to_string(count.value()), toFsPath(workbench_.workingFolder()));
  if (!written) {
    messages.show(localiseSystemTexts(QString::fromStdString(written.failure().message)),
                  MessageSink::Icon::Exclamation);
    return;
  }
  // No events are processed between the checks and the start: a second OK cannot slip in,
  // and while the start is watched both buttons are disabled.
  starting_ = true;
  Command1_->setEnabled(false);
  Command2_->setEnabled(false);
  SimulationStart start{workbench_.workingFolder(), resultFile, {}};
  if (Check1_->isChecked()) start.arguments = {QStringLiteral("--threads"), QStringLiteral("auto")};
  QPointer<Form5> self(this);
  workbench_.launcher().startSimulation(start, [self](const std::optional<QString>& error) {
    if (self) self->startFinished(error);
  });
}

void Form5::startFinished(const std::optional<QString>& error) {
  starting_ = false;
  Command1_->setEnabled(true);
  Command2_->setEnabled(true);
  if (error) {
    workbench_.messages().show(*error, MessageSink::Icon::Exclamation);
    return;
  }
  workbench_.form2().enableResultsButton();
  hide();
}

void Form5::Command2_Click() { hide(); }
