#include "form4.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "fonts.h"
#include "style.h"
#include "subscript_gap.h"
#include "workbench.h"

namespace {
const QColor blue = style::blue();

}  // namespace

QStringList firstLines(const QString& path, int count, bool* missing) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (missing) *missing = true;
    return {};
  }
  if (missing) *missing = false;
  QStringList lines;
  while (lines.size() < count && !file.atEnd()) {
    QByteArray line = file.readLine();
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    lines << QString::fromLocal8Bit(line);
  }
  return lines;
}

Form4::Form4(Workbench& workbench) : workbench_(workbench) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("実測データ作成方法"));
  style::makeFixedWindow(this, style::twipsSize(9420, 10320));
  const QFont formFont = fonts::font(fonts::meiryo, 12);
  const QFont step = fonts::font(fonts::meiryo, 14.25);
  setFont(formFont);

  // Positions [twips]; Label6 and Label7 are as wide and high as their texts. Label2,
  // Label4 and Label7 are set in the gaps of blanks their captions leave.
  const auto labels = style::makeLabels(
      this, {
                {"Label1", "実測 TMR および TPR        データファイルの作成方法 ", 480, 360, 7875,
                 465, fonts::font(fonts::meiryo, 15.75), blue},
                {"Label2", "20,10", 3720, 480, 615, 345, formFont, blue},
                {"Label3", "(1) 拡張子       のファイルをテキストエディタで開く。", 480, 1080, 7125,
                 420, step},
                {"Label4", "std", 1920, 1125, 420, 285, fonts::font(fonts::meiryo, 12, true), blue},
                {"Label5", "上に 10MV-standardTMR.std のファイルデータを示す。", 960, 5760, 6270,
                 360, formFont},
                {"Label6", "先頭行は TPR        である。", 960, 6120, 0, 0, formFont},
                {"Label7", "20,10", 2480, 6200, 0, 0, fonts::font(fonts::meiryo, 9.75)},
                {"Label8", "以下、各照射野サイズ，各深さにおける TMR データ表である。", 960, 6480,
                 6900, 360, formFont},
                {"Label9", "(2) テキストエディタを用いて、これらを実測値に書き換える。", 480, 7080,
                 8205, 420, step},
                {"Label11", "深さの値，行数は実測データに合わせて変えても構わない。", 960, 7560,
                 6480, 360, formFont},
                {"Label13", "（Microsoft Excel でも、読み込み・書き換えができます。）", 960, 7920,
                 6615, 360, formFont},
                {"Label10", "(3) 適当なファイル名（拡張子は std）を付けて保存する。", 480, 8520,
                 7575, 420, step},
                {"Label12", "次にソフトを起動すると基準データ欄に新しいファイルが表示される。", 960,
                 9000, 7680, 360, formFont},
            });
  const auto in = [&](const char* caption, const char* word) {
    placeInGap(labels.value(QString::fromLatin1(caption)), labels.value(QString::fromLatin1(word)));
  };
  in("Label1", "Label2");
  in("Label3", "Label4");
  in("Label6", "Label7");

  List1_ = new QListWidget(this);
  List1_->setObjectName(QStringLiteral("List1"));
  List1_->setGeometry(style::twipsRect(480, 1560, 8415, 3960));
  List1_->setFont(fonts::font(fonts::msGothic, 9.75));

  Command1_ = style::makeButton(this, "Command1", QStringLiteral("Close"),
                                style::twipsRect(7440, 9600, 1335, 495),
                                fonts::font(fonts::timesNewRoman, 12));
  connect(Command1_, &QPushButton::clicked, this, &Form4::Command1_Click);
}

void Form4::openFromResultsWindow() {
  List1_->clear();
  const QString path = workbench_.filePath(exampleReferenceFile);
  bool missing = false;
  List1_->addItems(firstLines(path, exampleLinesShown, &missing));
  if (missing)
    List1_->addItem(QStringLiteral("（%1 が見つかりません: %2）")
                        .arg(exampleReferenceFile, QDir::toNativeSeparators(path)));
  show();
  raise();
  activateWindow();
}

void Form4::Command1_Click() { hide(); }
