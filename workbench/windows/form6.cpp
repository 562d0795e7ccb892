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

  const QFont titleFont = fonts::font(fonts::timesNewRoman, 27.75, false, true);
  const QFont italic = fonts::font(fonts::timesNewRoman, 18, false, true);
  const QFont heading = fonts::font(fonts::meiryo, 14.25);
  const QFont citation = fonts::font(fonts::timesNewRoman, 14.25);
  const QFont subscript = fonts::font(fonts::meiryo, 11.25);
  // Positions [twips]. The title in red over a yellow copy 45 twips right and 15 twips
  // down: a shadow.
  const auto labels = style::makeLabels(
      this,
      {
          {"Label2", "Corvane", 3960, 360, 3375, 645, titleFont, style::yellow()},
          {"Label3", "Corvane", 3915, 345, 3375, 645, titleFont, style::red()},
          {"Label1", "外部放射線治療で使用される高エネルギーＸ線のスペクトルを", 480, 1320, 10080,
           540, sentence},
          {"Label6", "Schiff", 480, 1845, 975, 405, italic},
          {"Label5", "による半理論式を応用して計算します。", 1560, 1800, 6480, 540, sentence},
          {"Label18", "文献", 1080, 2340, 570, 420, heading},
          {"Label16", "L. I. Schiff : Energy-Angle Distribution of Thin Target Bremsstrahlung",
           2040, 2400, 8760, 360, citation},
          {"Label17", "Phys. Rev. 83, 252 (1951)", 5280, 2760, 4200, 360, citation},
          {"Label7", "25 keV", 480, 3315, 1035, 405, latin},
          {"Label8", "から電子加速エネルギーまで", 1680, 3240, 4680, 540, sentence},
          {"Label9", "50 keV", 6480, 3315, 1035, 405, latin},
          {"Label10", "間隔で相対光子", 7680, 3240, 2520, 540, sentence},
          {"Label11", "フルエンスを算出し、Ｘ線スペクトルをグラフ表示します。", 480, 3720, 9720,
           540, sentence},
          {"Label12", "また、算出したＸ線スペクトルを用いて、モンテカルロ", 480, 4440, 9000, 540,
           sentence},
          {"Label13", "シミュレーションにより TMR および TPR      を計算し", 480, 4920, 9000, 540,
           sentence},
          {"Label14", "20,10", 7335, 5040, 615, 345, subscript},
          {"Label15", "標準データ・実測データとの差異を確認することができます。", 480, 5400, 10080,
           540, sentence},
      });
  // The subscript in the blanks after "TPR", clear of "TPR" and "を".
  placeInGap(labels.value(QStringLiteral("Label13")), labels.value(QStringLiteral("Label14")));

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
