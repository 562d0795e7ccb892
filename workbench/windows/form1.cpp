#include "form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "file_lists.h"
#include "fonts.h"
#include "form2.h"
#include "form4.h"
#include "messages.h"
#include "picture_box.h"
#include "results_annotations.h"
#include "style.h"
#include "subscript_gap.h"
#include "tmr_frame.h"
#include "workbench.h"
#include "workbench/spectrum/messages.h"

namespace {
const QColor blue = style::blue();
const QColor red = style::red();

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint twipsTopLeft,
              const QFont& font, const QColor& colour = Qt::black) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setFont(font);
  style::setForeground(l, colour);
  l->adjustSize();
  l->move(style::twips(twipsTopLeft.x()), style::twips(twipsTopLeft.y()));
  return l;
}

using style::makeButton;

QLineEdit* textBox(QWidget* parent, const char* name, QRect place, const QFont& font,
                   const QColor& colour) {
  auto* t = new QLineEdit(parent);
  t->setObjectName(QString::fromLatin1(name));
  t->setGeometry(place);
  t->setFont(font);
  style::setForeground(t, colour);
  return t;
}

// A filled (or, with no fill, outlined) rectangle of the window's background drawing.
QFrame* shape(QWidget* parent, const char* name, QRect place, const QColor& fill) {
  auto* s = new QFrame(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setGeometry(place);
  if (fill.isValid()) {
    style::setBackground(s, fill);
  } else {
    s->setFrameStyle(QFrame::Box | QFrame::Plain);
    s->setLineWidth(1);
  }
  s->lower();
  return s;
}

constexpr int checkLefts[] = {5280, 7200, 9120, 10920, 12720};  // [twips], one per column
const char* const checkCaptions[] = {"  4 × 4", "  6 × 6", "  8 × 8", "10 × 10", "12 × 12",
                                     "15 × 15", "20 × 20", "25 × 25", "30 × 30", "35 × 35"};
}  // namespace

Form1::Form1(Workbench& workbench) : workbench_(workbench) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("  Tissue-Maximum Ratio"));
  style::makeFixedWindow(this, style::twipsSize(18000, 11250));

  const QFont meiryo14 = fonts::font(fonts::meiryo, 14.25);
  const QFont meiryo12 = fonts::font(fonts::meiryo, 12);
  const QFont subscript = fonts::font(fonts::meiryo, 11.25);
  const QFont times14 = fonts::font(fonts::timesNewRoman, 14.25);
  // The subscripts of "TPR        =" sit in the gap of eight blanks before "=".
  const QFont tprSubscript = fonts::font(fonts::timesNewRoman, 9.75);

  // Left: calculated data.
  shape(this, "Shape2", style::twipsRect(120, 240, 2895, 495), style::lightYellow());
  auto* label8 = label(this, "Label8", QStringLiteral("計算データ"), {720, 300}, meiryo14, blue);
  label8->setGeometry(style::twipsRect(720, 300, 1425, 420));
  File2_ = new FileListBox(this);
  File2_->setObjectName(QStringLiteral("File2"));
  File2_->setGeometry(style::twipsRect(120, 720, 2895, 3690));
  File2_->setFont(meiryo12);
  File2_->setPattern(QStringLiteral("*.tmr"));
  Picture2_ = new PictureBox(this);
  Picture2_->setObjectName(QStringLiteral("Picture2"));
  Picture2_->setGeometry(style::twipsRect(120, 4560, 2895, 1455));
  Picture2_->setDrawFont(fonts::font(fonts::msPGothic, 12));
  Picture2_->setScale(0, 0, Picture2_->coordinates().pixels().width(),
                      Picture2_->coordinates().pixels().height());
  Picture2_->clear();
  Command7_ = makeButton(this, "Command7", QStringLiteral("OK"),
                         style::twipsRect(840, 6240, 1455, 495), times14);
  placeInGap(label(this, "Label1", QStringLiteral("TPR        ="), {120, 7080}, times14),
             label(this, "Label2", QStringLiteral("20,10"), {720, 7200}, tprSubscript));
  Text1_ = textBox(this, "Text1", style::twipsRect(1560, 6960, 1575, 480), times14, blue);
  Command2_ = makeButton(this, "Command2", QStringLiteral("Graph draw"),
                         style::twipsRect(120, 7680, 2895, 495), times14);

  // Centre: the TMR plot, in mm of depth and TMR.
  Picture1_ = new PictureBox(this);
  Picture1_->setObjectName(QStringLiteral("Picture1"));
  Picture1_->setGeometry(style::twipsRect(3240, 120, 11295, 8295));
  Picture1_->setDrawFont(fonts::font(fonts::timesNewRoman, 18));
  Picture1_->setScale(-40, 1.05, 310, -0.10);
  Picture1_->clear();

  // Right: reference data.
  shape(this, "Shape3", style::twipsRect(14880, 240, 2895, 495), style::lightYellow());
  auto* label5 = label(this, "Label5", QStringLiteral("基準データ"), {15480, 300}, meiryo14, red);
  label5->setGeometry(style::twipsRect(15480, 300, 1440, 420));
  label5->setAlignment(Qt::AlignCenter);
  File1_ = new FileListBox(this);
  File1_->setObjectName(QStringLiteral("File1"));
  File1_->setGeometry(style::twipsRect(14880, 720, 2895, 3450));
  File1_->setFont(meiryo12);
  File1_->setPattern(QStringLiteral("*.std"));
  Command6_ = makeButton(this, "Command6", QStringLiteral("OK"),
                         style::twipsRect(15480, 5400, 1455, 495), times14);
  placeInGap(label(this, "Label3", QStringLiteral("TPR        ="), {14760, 6480}, times14),
             label(this, "Label4", QStringLiteral("20,10"), {15360, 6600}, tprSubscript));
  Text2_ = textBox(this, "Text2", style::twipsRect(16200, 6360, 1575, 480), times14, red);
  Command3_ = makeButton(this, "Command3", QStringLiteral("Graph draw"),
                         style::twipsRect(14880, 7080, 3015, 495), times14);
  Command1_ = makeButton(this, "Command1", QStringLiteral("実測データの作成方法"),
                         style::twipsRect(14880, 8160, 3015, 615), meiryo12, style::lightCyan());

  // Field sizes.
  shape(this, "Shape1", style::twipsRect(3240, 8520, 11295, 1215), QColor());
  label(this, "Label6", QStringLiteral("照射野サイズ"), {3480, 8760}, meiryo12);
  label(this, "Label7", QStringLiteral("cm"), {3960, 9120}, meiryo12);
  for (int f = 1; f <= corvane::kFields; ++f) {
    auto* box = new QCheckBox(QString::fromUtf8(checkCaptions[f - 1]), this);
    box->setObjectName(QStringLiteral("Check%1").arg(f));
    box->setFont(meiryo14);
    const int column = (f - 1) % 5;
    const int top = f <= 5 ? 8760 : 9120;
    box->setGeometry(style::twipsRect(checkLefts[column], top, 1740, 360));
    box->setChecked(f == corvane::kTprField);
    Check_[static_cast<std::size_t>(f)] = box;
  }
  Command5_ = makeButton(this, "Command5", QStringLiteral("Graph Clear"),
                         style::twipsRect(7680, 9840, 2295, 495), times14);
  Command4_ = makeButton(this, "Command4", QStringLiteral("Exit"),
                         style::twipsRect(16560, 9240, 1215, 615), times14);

  // Footer: a red rule, then the advice with "TPR" and its subscript set in the gap.
  auto* line1 = new QFrame(this);
  line1->setObjectName(QStringLiteral("Line1"));
  line1->setGeometry(style::twips(120), style::twips(10440) - 1, style::twips(17760 - 120), 2);
  style::setBackground(line1, red);
  const QString before = QStringLiteral("計算したデータと基準データの ");
  auto* label9 = label(this, "Label9",
                       before + QStringLiteral("　　　　　が乖離している場合、平坦化フィルタ厚，"
                                               "加速エネルギーを調整して再計算して下さい"),
                       {2160, 10800}, meiryo12, blue);
  auto* label10 = label(this, "Label10", QStringLiteral("TPR"), {0, 10800}, meiryo12, blue);
  label10->move(label10->x(), label9->y());
  // The subscript's baseline half its ascent below the line's.
  auto* label11 = label(this, "Label11", QStringLiteral("20,10"), {0, 10800}, subscript, blue);
  label11->move(label11->x(), label9->y() + QFontMetrics(meiryo12).ascent() -
                                  QFontMetrics(subscript).ascent() / 2);
  placeInGap(label9, {label10, label11});

  connect(File2_, &FileListBox::fileClicked, this, &Form1::File2_Click);
  connect(File1_, &FileListBox::fileClicked, this, &Form1::File1_Click);
  connect(Command7_, &QPushButton::clicked, this, &Form1::Command7_Click);
  connect(Command6_, &QPushButton::clicked, this, &Form1::Command6_Click);
  connect(Command2_, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command3_, &QPushButton::clicked, this, &Form1::Command3_Click);
  connect(Command5_, &QPushButton::clicked, this, &Form1::Command5_Click);
  connect(Command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command4_, &QPushButton::clicked, this, &Form1::Command4_Click);

  File2_->setFolder(workbench_.workingFolder());
  File1_->setFolder(workbench_.workingFolder());
  annotations_ = new ResultsAnnotations(*this, workbench_);

  watcher_ = new QFileSystemWatcher(this);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
    File2_->refresh();
    File1_->refresh();
  });
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (watcher_->directories().isEmpty()) {
    watcher_->addPath(workbench_.workingFolder());
    // Files that came while the window was hidden.
    File2_->refresh();
    File1_->refresh();
  }
}

void Form1::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
}

void Form1::openFromSpectrumWindow() {
  drawTmrFrame(*this);
  File2_->setFolder(workbench_.workingFolder());
  File1_->setFolder(workbench_.workingFolder());
  clearHeader();
  annotations_->frameReset();
  style::showPlaced(this, placed_);
}

void Form1::clearHeader() {
  Picture2_->clear();
  headerShown_.clear();
}

void Form1::showCannotRead(const corvane::Failure& failure) {
  workbench_.messages().show(localiseSystemTexts(QString::fromStdString(failure.message)),
                             MessageSink::Icon::Exclamation);
}

void Form1::File2_Click(const QString& name) {
  clearHeader();
  const auto header = corvane::readResultHeader(toFsPath(QDir(File2_->folder()).filePath(name)));
  if (!header) {
    showCannotRead(header.failure());
    return;
  }
  const int lineHeight = QFontMetrics(Picture2_->drawFont()).lineSpacing();
  for (const std::string& line : header.value().lines) {
    Picture2_->text(0, static_cast<double>(headerShown_.size()) * lineHeight,
                    QString::fromStdString(line));
    headerShown_ << QString::fromStdString(line);
  }
  Command7_->setFocus();
}

void Form1::Command7_Click() {
  if (File2_->chosenFileName().isEmpty()) {
    workbench_.messages().show(QString::fromUtf8(corvane::messages::kSelectDataFile),
                               MessageSink::Icon::Exclamation);
    return;
  }
  const auto tpr = corvane::loadCalculatedTable(toFsPath(File2_->chosenFilePath()), calculated_);
  if (!tpr) {
    showCannotRead(tpr.failure());
    return;
  }
  Text1_->setText(QString::fromStdString(tpr.value().text));
  annotations_->resultLoaded(File2_->chosenFilePath(), tpr.value().tpr);
  Command2_->setFocus();
}

void Form1::File1_Click(const QString&) { Command6_->setFocus(); }

void Form1::Command6_Click() {
  if (File1_->chosenFileName().isEmpty()) {
    workbench_.messages().show(QString::fromUtf8(corvane::messages::kSelectDataFile),
                               MessageSink::Icon::Exclamation);
    return;
  }
  const auto tpr = corvane::loadReferenceFile(toFsPath(File1_->chosenFilePath()), reference_);
  if (!tpr) {
    showCannotRead(tpr.failure());
    return;
  }
  Text2_->setText(QString::fromStdString(tpr.value().text));
  annotations_->referenceLoaded(tpr.value().tpr);
  Command3_->setFocus();
}

void Form1::Command2_Click() {
  if (!calculated_.hasData()) {
    workbench_.messages().show(QString::fromUtf8(corvane::messages::kNoDataSelected),
                               MessageSink::Icon::Exclamation);
    return;
  }
  PictureBox& plot = *Picture1_;
  plot.setDrawWidth(2);
  annotations_->drawBands();  // ±1 sigma under the curves, only when NAME.unc was read
  // Row r is the 1 mm bin ending at r mm, drawn at r − 0.5 mm; the curve starts at row 2.
  for (int f = 1; f <= corvane::kFields; ++f) {
    if (!check(f).isChecked()) continue;
    plot.pset(1.5, calculated_.at(f, 2), blue);
    for (int r = 3; r <= corvane::kDepthRows; ++r) plot.lineTo(r - 0.5, calculated_.at(f, r), blue);
  }
  plot.rectangle(0, 0, 300, 1.0, style::paletteColour(0));
  annotations_->curvesDrawn(true);
}

void Form1::Command3_Click() {
  if (!reference_.table.hasData()) {
    workbench_.messages().show(QString::fromUtf8(corvane::messages::kNoDataSelected),
                               MessageSink::Icon::Exclamation);
    return;
  }
  PictureBox& plot = *Picture1_;
  plot.setDrawWidth(2);
  const int rows = reference_.referenceRowCount;
  for (int f = 1; f <= corvane::kFields && rows >= 1; ++f) {
    if (!check(f).isChecked()) continue;
    plot.pset(reference_.referenceDepths[1], reference_.table.at(f, 1), red);
    for (int k = 2; k <= rows; ++k)
      plot.lineTo(reference_.referenceDepths[static_cast<std::size_t>(k)],
                  reference_.table.at(f, k), red);
  }
  plot.rectangle(0, 0, 300, 1.0, style::paletteColour(0));
  annotations_->curvesDrawn(false);
}

void Form1::Command5_Click() {
  drawTmrFrame(*this);
  clearHeader();
  annotations_->frameReset();
}

void Form1::Command1_Click() { workbench_.form4().openFromResultsWindow(); }

void Form1::Command4_Click() {
  workbench_.form2().showAgain();
  hide();
}

void Form1::closeEvent(QCloseEvent* event) {
  workbench_.form2().showAgain();
  event->accept();
}
