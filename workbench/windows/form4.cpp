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

QLabel* label(QWidget* parent, const char* name, const QString& text, const QFont& font, int left,
              int top, int width = 0, int height = 0) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setFont(font);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // text from the top of the box, as laid out
  if (width > 0) {
    l->setGeometry(style::twipsRect(left, top, width, height));
  } else {
    l->adjustSize();
    l->move(style::twips(left), style::twips(top));
  }
  return l;
}
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

  auto* label1 =
      label(this, "Label1", QStringLiteral("実測 TMR および TPR        データファイルの作成方法 "),
            fonts::font(fonts::meiryo, 15.75), 480, 360, 7875, 465);
  style::setForeground(label1, blue);
  auto* label2 = label(this, "Label2", QStringLiteral("20,10"), formFont, 3720, 480, 615, 345);
  style::setForeground(label2, blue);
  placeInGap(label1, label2);
  auto* label3 =
      label(this, "Label3", QStringLiteral("(1) 拡張子       のファイルをテキストエディタで開く。"),
            step, 480, 1080, 7125, 420);
  auto* label4 = label(this, "Label4", QStringLiteral("std"), fonts::font(fonts::meiryo, 12, true),
                       1920, 1125, 420, 285);
  style::setForeground(label4, blue);
  placeInGap(label3, label4);

  List1_ = new QListWidget(this);
  List1_->setObjectName(QStringLiteral("List1"));
  List1_->setGeometry(style::twipsRect(480, 1560, 8415, 3960));
  List1_->setFont(fonts::font(fonts::msGothic, 9.75));

  label(this, "Label5", QStringLiteral("上に 10MV-standardTMR.std のファイルデータを示す。"),
        formFont, 960, 5760, 6270, 360);
  placeInGap(
      label(this, "Label6", QStringLiteral("先頭行は TPR        である。"), formFont, 960, 6120),
      label(this, "Label7", QStringLiteral("20,10"), fonts::font(fonts::meiryo, 9.75), 2480, 6200));
  label(this, "Label8", QStringLiteral("以下、各照射野サイズ，各深さにおける TMR データ表である。"),
        formFont, 960, 6480, 6900, 360);
  label(this, "Label9",
        QStringLiteral("(2) テキストエディタを用いて、これらを実測値に書き換える。"), step, 480,
        7080, 8205, 420);
  label(this, "Label11", QStringLiteral("深さの値，行数は実測データに合わせて変えても構わない。"),
        formFont, 960, 7560, 6480, 360);
  label(this, "Label13", QStringLiteral("（Microsoft Excel でも、読み込み・書き換えができます。）"),
        formFont, 960, 7920, 6615, 360);
  label(this, "Label10", QStringLiteral("(3) 適当なファイル名（拡張子は std）を付けて保存する。"),
        step, 480, 8520, 7575, 420);
  label(this, "Label12",
        QStringLiteral("次にソフトを起動すると基準データ欄に新しいファイルが表示される。"),
        formFont, 960, 9000, 7680, 360);

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
