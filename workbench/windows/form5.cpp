#include "form5.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "fonts.h"
#include "form2.h"
#include "launcher.h"
#include "messages.h"
#include "style.h"
#include "subscript_gap.h"
#include "workbench.h"
#include "workbench/spectrum/messages.h"
#include "workbench/spectrum/run_files.h"

namespace {
const QColor blue(0, 0, 255);

using style::makeLabel;
}  // namespace

Form5::Form5(Workbench& workbench) : workbench_(workbench) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("TMR and TPR_20,10 Calculation "));
  style::makeFixedWindow(this, style::twipsSize(7200, 5310));

  const QFont labelFont = fonts::font(fonts::meiryo, 14.25);
  const QFont subscriptFont = fonts::font(fonts::meiryo, 11.25);
  const QFont buttonFont = fonts::font(fonts::timesNewRoman, 14.25);

  // Label6 and Label2 leave a gap after "TPR" in which Label7 and Label3 set the subscript.
  auto* label6 =
      makeLabel(this, "Label6", QStringLiteral("標準の TMR および TPR         と比較するため"),
                style::twipsRect(360, 360, 5940, 420), labelFont);
  style::setForeground(label6, blue);
  auto* label7 = makeLabel(this, "Label7", QStringLiteral("20,10"),
                           style::twipsRect(3550, 440, 615, 345), subscriptFont);
  style::setForeground(label7, blue);
  makeLabel(this, "Label1", QStringLiteral("最後に計算したＸ線スペクトルを用いて"),
            style::twipsRect(360, 960, 5130, 420), labelFont);
  auto* label2 =
      makeLabel(this, "Label2", QStringLiteral("水ファントム中の、TMR および TPR         を"),
                style::twipsRect(360, 1440, 5850, 420), labelFont);
  auto* label3 = makeLabel(this, "Label3", QStringLiteral("20,10"),
                           style::twipsRect(5160, 1515, 615, 345), subscriptFont);
  placeInGap(label6, label7);
  placeInGap(label2, label3);
  makeLabel(this, "Label4", QStringLiteral("モンテカルロシミュレーションにより計算します。"),
            style::twipsRect(360, 1920, 6555, 420), labelFont);
  makeLabel(this, "Label5", QStringLiteral("入射光子ヒストリー数 ="),
            style::twipsRect(480, 2640, 3165, 420), labelFont);
  makeLabel(this, "Label8", QStringLiteral("計算結果保存ファイル名"),
            style::twipsRect(480, 3120, 3135, 420), labelFont);
  makeLabel(this, "Label9", QStringLiteral("（拡張子なしで入力）"),
            style::twipsRect(3720, 3150, 2400, 360), fonts::font(fonts::meiryo, 12));

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

  // The focus starts on OK; the user clicks into the boxes to type.
  setTabOrder(Command1_, Command2_);
  setTabOrder(Command2_, Text1_);
  setTabOrder(Text1_, Text2_);
  Command1_->setFocus();

  connect(Command1_, &QPushButton::clicked, this, &Form5::Command1_Click);
  connect(Command2_, &QPushButton::clicked, this, &Form5::Command2_Click);
}

void Form5::openFromSpectrumWindow() {
  Text1_->setText(QString());
  Text2_->setText(QStringLiteral("30000000"));
  if (!placed_) {
    style::centreOnScreen(this);
    placed_ = true;
  }
  show();
  raise();
  activateWindow();
  Command1_->setFocus();
}

void Form5::Command1_Click() {
  const QString name = Text1_->text();
  if (name.isEmpty()) {
    workbench_.messages().show(QString::fromUtf8(corvane::messages::kEnterResultName),
                               MessageSink::Icon::None);
    return;
  }
  // B2F.dat is complete and closed before the process is started.
  const corvane::Status written = corvane::writeRunParameters(
      name.toStdString(), Text2_->text().toStdString(),
      std::filesystem::path(QFile::encodeName(workbench_.workingFolder()).toStdString()));
  if (!written) {
    workbench_.messages().show(QString::fromStdString(written.failure().message),
                               MessageSink::Icon::Exclamation);
    return;
  }
  QCoreApplication::processEvents();
  if (const auto error = workbench_.launcher().startSimulation(workbench_.workingFolder())) {
    workbench_.messages().show(*error, MessageSink::Icon::Exclamation);
    return;
  }
  workbench_.form2().enableResultsButton();
  hide();
}

void Form5::Command2_Click() { hide(); }
