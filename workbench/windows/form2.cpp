#include "form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgRenderer>
#include <filesystem>

#include "fonts.h"
#include "form1.h"
#include "form3.h"
#include "form5.h"
#include "messages.h"
#include "picture_box.h"
#include "spectrum_plot.h"
#include "style.h"
#include "tuning_window.h"
#include "workbench.h"
#include "workbench/spectrum/format.h"
#include "workbench/spectrum/run_files.h"

namespace {

using style::twipsRect;

using style::makeLabel;

QLabel* makePanel(QWidget* parent, const char* name, QRect geometry) {
  QLabel* panel = makeLabel(parent, name, QString(), geometry, parent->font());
  style::makePanel(panel);
  return panel;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, QRect geometry, const QFont& font) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(geometry);
  box->setFont(font);
  return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                        const QFont& font, const char* toolTip = nullptr) {
  QPushButton* button = style::makeButton(parent, name, caption, geometry, font);
  if (toolTip) button->setToolTip(QString::fromUtf8(toolTip));
  return button;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                     const QFont& font) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setObjectName(QString::fromLatin1(name));
  frame->setGeometry(geometry);
  frame->setFont(font);
  style::setBackground(frame, style::lightCyan());
  return frame;
}

QRadioButton* makeOption(QGroupBox* frame, const char* name, const QString& caption, QRect geometry,
                         const QFont& font, const QColor& captionColour = QColor()) {
  auto* option = new QRadioButton(caption, frame);
  option->setObjectName(QString::fromLatin1(name));
  option->setGeometry(geometry);
  option->setFont(font);
  style::setBackground(option, style::lightCyan());
  if (captionColour.isValid()) style::setForeground(option, captionColour);
  return option;
}

// Selecting an option from code runs its click handler only when the selection changes.
void select(QRadioButton* option) { option->setChecked(true); }

// The drawing of Image1, rendered from its vector source at the box's size.
QPixmap renderPicture(const QString& resource, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::white);
  QSvgRenderer renderer(resource);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

}  // namespace

Form2::Form2(Workbench& workbench) : QWidget(nullptr), workbench_(workbench) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("  High Energy X-ray spectrum by Schiff's formula"));
  style::makeFixedWindow(this, style::twipsSize(15360, 11250));
  setFont(fonts::font(fonts::timesNewRoman, 9.75));
  buildControls();
  addSpectrumWindowEntries(*this, *Picture3, workbench_);  // "自動調整…" and the plot's save menu
  qApp->installEventFilter(this);  // key preview: the window sees key presses before its controls
  Form_Load();
  style::centreOnScreen(this);
}

Form2::~Form2() { qApp->removeEventFilter(this); }

void Form2::buildControls() {
  const QFont times11 = fonts::font(fonts::timesNewRoman, 11.25);
  const QFont times14 = fonts::font(fonts::timesNewRoman, 14.25);
  const QFont gothic11 = fonts::font(fonts::roundedGothic, 11.25);
  const QFont gothic12 = fonts::font(fonts::roundedGothic, 12);

  // Panels first, so that they lie behind the frames, boxes and buttons.
  makePanel(this, "Label1", twipsRect(12600, 3960, 2535, 3255));
  makePanel(this, "Label2", twipsRect(9000, 7680, 6135, 3135));
  makePanel(this, "Label5", twipsRect(240, 8040, 3015, 2775));
  makePanel(this, "Label6", twipsRect(3240, 8040, 3255, 2775));
  makePanel(this, "Label7", twipsRect(6480, 8040, 2295, 2775));

  // The plot with its read-out and cross-hair lines.
  Picture3 = new PictureBox(this);
  Picture3->setObjectName(QStringLiteral("Picture3"));
  Picture3->setGeometry(twipsRect(240, 240, 12135, 7095));
  Picture3->setScale(spectrum_plot::scaleLeft, spectrum_plot::scaleTop, spectrum_plot::scaleRight,
                     spectrum_plot::scaleBottom);
  Picture3->setBackgroundColour(Qt::white);
  Picture3->setDrawFont(fonts::font(fonts::timesNewRoman, 15.75));
  Picture3->clear();
  const QPoint inPicture = Picture3->clientOrigin();
  Label14 = makeLabel(Picture3, "Label14", QStringLiteral("Photon energy"),
                      twipsRect(240, 6729, 1275, 255).translated(inPicture), times11);
  Text3 = makeTextBox(Picture3, "Text3", twipsRect(1680, 6720, 855, 330).translated(inPicture),
                      times11);
  Label13 = makeLabel(Picture3, "Label13", QStringLiteral("MeV"),
                      twipsRect(2640, 6729, 390, 225).translated(inPicture), font());
  Label15 = makeLabel(Picture3, "Label15", QStringLiteral("Relative Photon Fluence"),
                      twipsRect(3480, 6729, 2145, 255).translated(inPicture), times11);
  Text4 = makeTextBox(Picture3, "Text4", twipsRect(5760, 6720, 855, 330).translated(inPicture),
                      times11);
  for (QLineEdit* box : {Text3, Text4}) style::setBackground(box, style::lightYellow());
  Line1 = new LineControl(Picture3, QStringLiteral("Line1"));
  Line2 = new LineControl(Picture3, QStringLiteral("Line2"));
  Line1->setEnds(0, 500, spectrum_plot::plotRight, 500);
  Line2->setEnds(10000, 0, 10000, spectrum_plot::plotTop);
  connect(Picture3, &PictureBox::mouseMoved, this, &Form2::Picture3_MouseMove);

  // Title and picture on the right.
  QLabel* title =
      makeLabel(this, "Label21", QStringLiteral("Corvane"), twipsRect(12600, 360, 2520, 465),
                fonts::font(fonts::timesNewRoman, 20.25, false, true));
  style::setForeground(title, style::red());
  const QFont italic15 = fonts::font(fonts::timesNewRoman, 15.75, false, true);
  style::setForeground(makeLabel(this, "Label19", QStringLiteral("Calculation by"),
                                 twipsRect(12720, 1080, 1905, 345), italic15),
                       style::darkGrey());
  style::setForeground(makeLabel(this, "Label16", QStringLiteral("Schiff's formula"),
                                 twipsRect(12840, 1440, 2025, 345), italic15),
                       style::darkGrey());
  QLabel* image = makeLabel(this, "Image1", QString(), twipsRect(12600, 2160, 2535, 1695), font());
  image->setFrameStyle(QFrame::Box | QFrame::Plain);
  image->setPixmap(
      renderPicture(QStringLiteral(":/images/linac.svg"), image->contentsRect().size()));

  // Curve colour, listed RED, MAGENTA, GREEN, CYAN, BLUE, BLACK from the top.
  QGroupBox* Frame1 = makeFrame(this, "Frame1", QStringLiteral("Draw Color"),
                                twipsRect(12840, 4200, 2055, 2775), times11);
  const QFont colourFont = fonts::font(fonts::timesNewRoman, 11.25, true);
  // Option, caption, top [twips], caption colour (invalid: the default).
  const struct {
    QRadioButton** option;
    const char* name;
    const char* caption;
    int top;
    QColor colour;
  } colours[] = {
      {&Option1, "Option1", "RED", 480, style::red()},
      {&Option4, "Option4", "MAGENTA", 840, QColor(255, 0, 255)},
      {&Option3, "Option3", "GREEN", 1200, QColor(0, 160, 0)},
      {&Option5, "Option5", "CYAN", 1560, QColor(0, 192, 192)},
      {&Option2, "Option2", "BLUE", 1920, style::blue()},
      {&Option6, "Option6", "BLACK", 2280, QColor()},
  };
  for (const auto& c : colours)
    *c.option = makeOption(Frame1, c.name, QString::fromUtf8(c.caption),
                           twipsRect(360, c.top, 1500, 300), colourFont, c.colour);

  // Buttons.
  Check1 = new QCheckBox(QStringLiteral("これを基準スペクトルとする"), this);
  Check1->setObjectName(QStringLiteral("Check1"));
  Check1->setGeometry(twipsRect(9360, 7920, 3615, 255));
  Check1->setFont(fonts::font(fonts::meiryo, 11.25));
  style::setBackground(Check1, style::lightCyan());
  // Button, caption, position [twips], font, tooltip.
  const struct {
    QPushButton** button;
    const char* name;
    const char* caption;
    QRect place;
    const QFont& font;
    const char* toolTip;
  } buttons[] = {
      {&Command1, "Command1", "Ｘ線スペクトル 計算・表示", twipsRect(9360, 8280, 4215, 495),
       gothic12, " Draw spectrum graph "},
      {&Command4, "Command4", "このスペクトルデータを保存", twipsRect(9360, 8880, 4215, 495),
       gothic12, nullptr},
      {&Command5, "Command5", "TMR ,  TPR 20,10   計算", twipsRect(9360, 9480, 4215, 495), gothic12,
       " Draw spectrum graph "},
      {&Command6, "Command6", "ＴＭＲ ,  TPR 20,10   表示・比較", twipsRect(9360, 10080, 4215, 495),
       gothic12, nullptr},
      {&Command3, "Command3", "Clear", twipsRect(13920, 8640, 975, 1095), times14,
       " Clear spectra graphs "},
      {&Command2, "Command2", "Exit", twipsRect(13920, 10080, 975, 495), times14, " bye bye "},
  };
  for (const auto& b : buttons)
    *b.button = makeButton(this, b.name, QString::fromUtf8(b.caption), b.place, b.font, b.toolTip);

  // Entry groups.
  QLabel* heading = makeLabel(this, "Label4", QStringLiteral("高エネルギーＸ線　設定条件"),
                              twipsRect(240, 7680, 8535, 405), fonts::font(fonts::meiryo, 12));
  style::makePanel(heading);
  heading->setAlignment(Qt::AlignCenter);

  QGroupBox* Frame2 = makeFrame(this, "Frame2", QStringLiteral("公称エネルギー"),
                                twipsRect(600, 8160, 2415, 1695), gothic11);
  const struct {
    QRadioButton** option;
    const char* name;
    const char* caption;
    int top;
  } energies[] = {
      {&Option7, "Option7", " 4 MV", 360},     {&Option8, "Option8", " 6 MV", 600},
      {&Option9, "Option9", "10 MV", 840},     {&Option12, "Option12", "15 MV", 1080},
      {&Option15, "Option15", "その他", 1320},
  };
  for (const auto& e : energies)
    *e.option = makeOption(Frame2, e.name, QString::fromUtf8(e.caption),
                           twipsRect(240, e.top, 1800, 240), gothic11);
  Text2 = makeTextBox(this, "Text2", twipsRect(1080, 10320, 1095, 375), times14);

  QGroupBox* Frame3 = makeFrame(this, "Frame3", QStringLiteral("ターゲット材質"),
                                twipsRect(3840, 8160, 2295, 1695), gothic11);
  const struct {
    QRadioButton** option;
    const char* name;
    const char* caption;
    int top, height;
  } targets[] = {
      {&Option10, "Option10", "銅", 340, 270},
      {&Option11, "Option11", "タングステン", 640, 225},
      {&Option14, "Option14", "白金", 855, 255},
      {&Option13, "Option13", "その他", 1200, 270},
  };
  for (const auto& t : targets)
    *t.option = makeOption(Frame3, t.name, QString::fromUtf8(t.caption),
                           twipsRect(240, t.top, 1900, t.height), gothic11);
  Text5 = makeTextBox(this, "Text5", twipsRect(4920, 10320, 1095, 375), times14);

  Text1 = makeTextBox(this, "Text1", twipsRect(7080, 9720, 975, 375), times14);

  // The captions of the entry groups [twips].
  const auto captions =
      style::makeLabels(this, {
                                  {"Label18", "電子加速エネルギー", 720, 9960, 2025, 225, gothic11},
                                  {"Label17", "MeV", 2280, 10320, 495, 255, times11},
                                  {"Label3", "原子番号", 4080, 9960, 900, 225, gothic11},
                                  {"Label20", "Z =", 4320, 10365, 330, 285, times11},
                                  {"Label8", "平坦化フィルタ", 6840, 8400, 1680, 240, gothic11},
                                  {"Label9", "（材質：鉛）", 6960, 8760, 1440, 240, gothic11},
                                  {"Label11", "平均厚", 7200, 9240, 720, 240, gothic11},
                                  {"Label12", "mm", 8160, 9720, 420, 315, times11},
                              });
  style::setBackground(captions.value(QStringLiteral("Label17")), style::lightCyan());  // opaque

  // Design-time selections, made before the handlers are connected.
  Option8->setChecked(true);
  Option11->setChecked(true);

  const auto onSelect = [this](QRadioButton* option, void (Form2::*handler)()) {
    connect(option, &QRadioButton::toggled, this, [this, handler](bool checked) {
      if (checked) (this->*handler)();
    });
  };
  onSelect(Option7, &Form2::Option7_Click);
  onSelect(Option8, &Form2::Option8_Click);
  onSelect(Option9, &Form2::Option9_Click);
  onSelect(Option12, &Form2::Option12_Click);
  onSelect(Option15, &Form2::Option15_Click);
  onSelect(Option10, &Form2::Option10_Click);
  onSelect(Option11, &Form2::Option11_Click);
  onSelect(Option14, &Form2::Option14_Click);
  onSelect(Option13, &Form2::Option13_Click);
  connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
  connect(Command6, &QPushButton::clicked, this, &Form2::Command6_Click);

  // Tab order: the entry boxes, then the buttons.
  QWidget* order[] = {Text2,    Text5,    Text1,    Check1,   Command1,
                      Command4, Command5, Command6, Command3, Command2};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void Form2::Form_Load() {
  corvane::LeadTable table;
  const corvane::Status lead = corvane::readLeadTable(
      toFsPath(workbench_.filePath(QStringLiteral("Lead.dat"))), table, spectrum_.leadAttenuation);
  if (!lead.ok()) {
    // The window still opens (results and exit stay usable), but nothing is computed without
    // the lead coefficients: an unfiltered spectrum would be silently wrong.
    leadFailure_ = localiseSystemTexts(QString::fromStdString(lead.failure().message));
    workbench_.messages().show(*leadFailure_, MessageSink::Icon::Exclamation);
  }
  Picture3->clear();
  spectrum_plot::drawSpectrumFrame(*Picture3);
  spectrum_.spectrumCount = 0;
  select(Option1);
  select(Option9);
  select(Option10);
  Text1->setText(QStringLiteral("10.5"));
  Text2->setText(QStringLiteral("10.0"));
  Text5->setText(QStringLiteral("29"));
  Text3->clear();
  Text4->clear();
  spectrumShown_ = false;
  Line1->hide();
  Line2->hide();
  setReadOutVisible(false);
  setEntryButtonsEnabled(false);
}

void Form2::setReadOutVisible(bool visible) {
  for (QWidget* w : std::initializer_list<QWidget*>{Text3, Text4, Label13, Label14, Label15})
    w->setVisible(visible);
}

void Form2::setEntryButtonsEnabled(bool enabled) {
  Command4->setEnabled(enabled);
  Command5->setEnabled(enabled);
}

int Form2::curveColour() const {
  using namespace spectrum_plot;
  if (Option1->isChecked()) return lightRed;
  if (Option2->isChecked()) return lightBlue;
  if (Option3->isChecked()) return lightGreen;
  if (Option4->isChecked()) return lightMagenta;
  if (Option5->isChecked()) return lightCyan;
  return black;
}

void Form2::Command1_Click() {
  const corvane::SpectrumEntries entries{Text2->text().toStdString(), Text5->text().toStdString(),
                                         Text1->text().toStdString(), Check1->isChecked()};
  if (const corvane::Status valid = corvane::checkSpectrumEntries(entries); !valid.ok()) {
    workbench_.messages().show(QString::fromStdString(valid.failure().message),
                               MessageSink::Icon::Exclamation);
    return;
  }
  if (leadFailure_) {
    workbench_.messages().show(*leadFailure_, MessageSink::Icon::Exclamation);
    return;
  }
  ++spectrum_.spectrumCount;
  const corvane::Result<corvane::SchiffOutcome> computed =
      corvane::computeSchiffSpectrum(spectrum_, entries);
  if (!computed.ok()) {
    --spectrum_.spectrumCount;  // nothing was computed
    workbench_.messages().show(QString::fromStdString(computed.failure().message),
                               MessageSink::Icon::Exclamation);
    return;
  }
  const corvane::Status written =
      corvane::writeSpectrumFile(spectrum_, entries, toFsPath(workbench_.workingFolder()));
  if (!written.ok()) {
    // S_SPCTL.dat does not hold this spectrum: neither save it nor start a run with it.
    setEntryButtonsEnabled(false);
    workbench_.messages().show(
        localiseSystemTexts(QString::fromStdString(written.failure().message)),
        MessageSink::Icon::Exclamation);
    return;
  }
  const int colour = curveColour();
  spectrum_plot::plotSpectrum(*Picture3, spectrum_.relativeFluence, colour);
  Line2->setColour(style::paletteColour(colour));
  Line1->setColour(style::paletteColour(colour));
  spectrumShown_ = true;
  setReadOutVisible(true);
  setEntryButtonsEnabled(true);
}

void Form2::Command2_Click() {
  if (exiting_) return;
  exiting_ = true;
  for (const char* name : {"S_SPCTL.dat", "New_result.dat", "B2F.dat"})
    QFile::remove(workbench_.filePath(QString::fromLatin1(name)));  // a missing file is normal
  workbench_.endProgram();
}

void Form2::closeEvent(QCloseEvent* event) {
  event->accept();
  Command2_Click();
}

void Form2::Command3_Click() {
  Picture3->clear();
  spectrum_plot::drawSpectrumFrame(*Picture3);
  spectrum_.spectrumCount = 0;
  spectrumShown_ = false;
  setReadOutVisible(false);
  setEntryButtonsEnabled(false);
}

void Form2::Command4_Click() { workbench_.form3().openFromSpectrumWindow(); }

void Form2::Command5_Click() { workbench_.form5().openFromSpectrumWindow(); }

void Form2::Command6_Click() {
  workbench_.form1().openFromSpectrumWindow();
  hide();
}

void Form2::enableResultsButton() { Command6->setEnabled(true); }

void Form2::showAgain() {
  show();
  raise();
  activateWindow();
}

// Energy presets: the target option first (its own handler runs when the selection changes),
// then the boxes in the order given.
void Form2::Option7_Click() {
  select(Option11);
  Text5->setText(QStringLiteral("74"));
  Text2->setText(QStringLiteral("4.0"));
  Text1->setText(QStringLiteral(" 4.5"));
}

void Form2::Option8_Click() {
  select(Option11);
  Text5->setText(QStringLiteral("74"));
  Text1->setText(QStringLiteral("6.5"));
  Text2->setText(QStringLiteral("6.0"));
}

void Form2::Option9_Click() {
  select(Option10);
  Text5->setText(QStringLiteral("29"));
  Text1->setText(QStringLiteral("10.8"));
  Text2->setText(QStringLiteral("10.0"));
}

void Form2::Option12_Click() {
  select(Option10);
  Text5->setText(QStringLiteral("29"));
  Text1->setText(QStringLiteral("17.5"));
  Text2->setText(QStringLiteral("15.0"));
}

void Form2::Option15_Click() {
  select(Option10);
  Text5->setText(QStringLiteral("29"));
  Text1->clear();
  Text2->clear();
  Text2->setFocus();
}

void Form2::Option10_Click() { Text5->setText(QStringLiteral("29")); }
void Form2::Option11_Click() { Text5->setText(QStringLiteral("74")); }
void Form2::Option14_Click() { Text5->setText(QStringLiteral("78")); }

void Form2::Option13_Click() {
  Text5->clear();
  Text2->setFocus();  // the energy box, not the emptied Z box
}

void Form2::Picture3_MouseMove(double x, double y) {
  if (!spectrumShown_) return;
  if (!spectrum_plot::insidePlotArea(x, y)) {
    Picture3->unsetCursor();
    Line1->hide();
    Line2->hide();
    Text3->clear();
    Text4->clear();
    return;
  }
  Picture3->setCursor(Qt::CrossCursor);
  Line1->show();
  Line2->show();
  cursorBin_ = spectrum_plot::cursorBinAt(x);
  updateCursor();
}

bool Form2::Form_KeyDown(int keyCode) {
  constexpr int left = 37, right = 39;
  if (!spectrumShown_ || (keyCode != left && keyCode != right)) return false;
  if (keyCode == right) {
    if (cursorBin_ + 1 > corvane::kSpectrumBins) return true;
    ++cursorBin_;
  } else {
    if (cursorBin_ - 1 < 1) return true;
    --cursorBin_;
  }
  updateCursor();
  return true;
}

void Form2::updateCursor() {
  const int j = cursorBin_;
  const double y = 1000.0 * spectrum_.relativeFluence[j];
  Line1->setEnds(0, y, spectrum_plot::plotRight, y);
  Line2->setEnds(corvane::binEnergy(j), 0, corvane::binEnergy(j), spectrum_plot::plotTop);
  Text3->setText(QString::fromStdString(corvane::formatByPattern(j * 0.05 - 0.025, "#0.000")));
  Text4->setText(QString::fromStdString(
      corvane::formatByPattern(spectrum_.relativeFluence[j] * 100.0, "##0.000")));
}

// Key preview: every key press aimed at a widget of this window passes here first. While a
// spectrum is shown the arrow keys move the cursor and are taken, except in a text box, where
// they also move the caret; elsewhere they would move an option group's selection and so
// silently run a preset that overwrites the entries.
bool Form2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* target = static_cast<QWidget*>(watched);
  if (target->window() != this) return false;
  // A key is delivered first to the focus widget and then, if ignored, to its parents: preview
  // it only on its first delivery.
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus->window() == this && target != focus) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  const int keyCode = key == Qt::Key_Left ? 37 : key == Qt::Key_Right ? 39 : 0;
  if (keyCode == 0) return false;
  const bool taken = Form_KeyDown(keyCode);
  return taken && !qobject_cast<QLineEdit*>(target);
}
