#include "form6.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

#include "fonts.h"
#include "form2.h"
#include "style.h"
#include "subscript_gap.h"
#include "workbench.h"

namespace {

using style::makeLabel;

}  // namespace

Form6::Form6(Workbench& workbench) : QWidget(nullptr), workbench_(workbench) {
  using style::twipsRect;
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral(" High Energy X-ray Spectrum"));
  style::makeFixedWindow(this, style::twipsSize(11070, 7380));
  setWindowFlag(Qt::Dialog);
  const QFont sentence = fonts::font(fonts::meiryo, 18);
  const QFont latin = fonts::font(fonts::timesNewRoman, 18);
  setFont(sentence);

  // The title in red over a yellow copy 45 twips right and 15 twips down: a shadow.
  const QFont titleFont = fonts::font(fonts::timesNewRoman, 27.75, false, true);
  style::setForeground(makeLabel(this, "Label2", QStringLiteral("Corvane"),
                                 twipsRect(3960, 360, 3375, 645), titleFont),
                       style::yellow());
  style::setForeground(makeLabel(this, "Label3", QStringLiteral("Corvane"),
                                 twipsRect(3915, 345, 3375, 645), titleFont),
                       style::red());

  makeLabel(this, "Label1",
            QStringLiteral("外部放射線治療で使用される高エネルギーＸ線のスペクトルを"),
            twipsRect(480, 1320, 10080, 540), sentence);
  makeLabel(this, "Label6", QStringLiteral("Schiff"), twipsRect(480, 1845, 975, 405),
            fonts::font(fonts::timesNewRoman, 18, false, true));
  makeLabel(this, "Label5", QStringLiteral("による半理論式を応用して計算します。"),
            twipsRect(1560, 1800, 6480, 540), sentence);
  makeLabel(this, "Label18", QStringLiteral("文献"), twipsRect(1080, 2340, 570, 420),
            fonts::font(fonts::meiryo, 14.25));
  const QFont citation = fonts::font(fonts::timesNewRoman, 14.25);
  makeLabel(
      this, "Label16",
      QStringLiteral("L. I. Schiff : Energy-Angle Distribution of Thin Target Bremsstrahlung"),
      twipsRect(2040, 2400, 8760, 360), citation);
  makeLabel(this, "Label17", QStringLiteral("Phys. Rev. 83, 252 (1951)"),
            twipsRect(5280, 2760, 4200, 360), citation);
  makeLabel(this, "Label7", QStringLiteral("25 keV"), twipsRect(480, 3315, 1035, 405), latin);
  makeLabel(this, "Label8", QStringLiteral("から電子加速エネルギーまで"),
            twipsRect(1680, 3240, 4680, 540), sentence);
  makeLabel(this, "Label9", QStringLiteral("50 keV"), twipsRect(6480, 3315, 1035, 405), latin);
  makeLabel(this, "Label10", QStringLiteral("間隔で相対光子"), twipsRect(7680, 3240, 2520, 540),
            sentence);
  makeLabel(this, "Label11",
            QStringLiteral("フルエンスを算出し、Ｘ線スペクトルをグラフ表示します。"),
            twipsRect(480, 3720, 9720, 540), sentence);
  makeLabel(this, "Label12", QStringLiteral("また、算出したＸ線スペクトルを用いて、モンテカルロ"),
            twipsRect(480, 4440, 9000, 540), sentence);
  const QString line13 = QStringLiteral("シミュレーションにより TMR および TPR      を計算し");
  QLabel* label13 = makeLabel(this, "Label13", line13, twipsRect(480, 4920, 9000, 540), sentence);
  QLabel* label14 = makeLabel(this, "Label14", QStringLiteral("20,10"),
                              twipsRect(7335, 5040, 615, 345), fonts::font(fonts::meiryo, 11.25));
  placeInGap(label13, label14);  // in the blanks after "TPR", clear of "TPR" and "を"
  makeLabel(this, "Label15",
            QStringLiteral("標準データ・実測データとの差異を確認することができます。"),
            twipsRect(480, 5400, 10080, 540), sentence);

  QLabel* emblem =
      makeLabel(this, "Picture1", QString(), twipsRect(8760, 6120, 480, 480), sentence);
  QPixmap icon(32, 32);
  icon.fill(Qt::transparent);
  {
    QSvgRenderer renderer(QStringLiteral(":/images/emblem.svg"));
    QPainter painter(&icon);
    renderer.render(&painter);
  }
  emblem->setPixmap(icon);

  const QFont buttonFont = fonts::font(fonts::timesNewRoman, 18);
  Command2 = style::makeButton(this, "Command2", QStringLiteral("OK"),
                               twipsRect(3600, 6120, 1695, 615), buttonFont);
  Command1 = style::makeButton(this, "Command1", QStringLiteral("Cancel"),
                               twipsRect(5760, 6120, 1695, 615), buttonFont);
  setTabOrder(Command2, Command1);
  connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
  connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
  style::centreOnScreen(this);
}

void Form6::showAtStart() {
  style::centreOnScreen(this);
  show();
  activateWindow();
  Command2->setFocus();
}

void Form6::Command2_Click() {
  leaving_ = true;
  workbench_.form2().showAgain();
  hide();
}

void Form6::Command1_Click() {
  leaving_ = true;
  workbench_.endProgram();  // nothing is written or deleted
}

void Form6::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!leaving_) Command1_Click();
}
