#include "form3.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "file_lists.h"
#include "fonts.h"
#include "messages.h"
#include "style.h"
#include "workbench.h"
#include "workbench/spectrum/messages.h"
#include "workbench/spectrum/run_files.h"

namespace {
const QColor blue = style::blue();

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect place) {
  return style::makeButton(parent, name, text, place, fonts::font(fonts::timesNewRoman, 12));
}
}  // namespace

Form3::Form3(Workbench& workbench) : workbench_(workbench) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Spectrum Data Save"));
  style::makeFixedWindow(this, style::twipsSize(8040, 7785));

  const QFont rounded = fonts::font(fonts::roundedGothic, 11.25);
  const QFont times12 = fonts::font(fonts::timesNewRoman, 12);
  const QFont listFont = fonts::font(fonts::msGothic, 9.75);

  // Blue captions [twips]; Label4 to Label6 head the preview's two columns.
  style::makeLabels(
      this,
      {
          {"Label2", "最後に計算した光子数スペクトルデータを", 150, 240, 4275, 225, rounded, blue},
          {"Label3", "右に示す Excel  csv 形式で保存します", 360, 600, 3975, 225, rounded, blue},
          {"Label1", "ファイル名（拡張子なしで入力）", 720, 6240, 3375, 225, rounded, blue},
          {"Label4", "MeV", 5280, 240, 480, 285, times12, blue},
          {"Label5", "Relative", 6240, 0, 1200, 285, times12, blue},
          {"Label6", "Fluence", 6240, 240, 1200, 285, times12, blue},
      });

  Drive1_ = new DriveListBox(this);
  Drive1_->setObjectName(QStringLiteral("Drive1"));
  Drive1_->setGeometry(style::twipsRect(240, 960, 4095, 345));
  Drive1_->setFont(listFont);
  Dir1_ = new DirListBox(this);
  Dir1_->setObjectName(QStringLiteral("Dir1"));
  Dir1_->setGeometry(style::twipsRect(240, 1320, 4095, 1620));
  Dir1_->setFont(listFont);
  File1_ = new FileListBox(this);
  File1_->setObjectName(QStringLiteral("File1"));
  File1_->setGeometry(style::twipsRect(240, 2880, 4095, 3240));
  File1_->setFont(listFont);
  File1_->setPattern(QStringLiteral("*.csv"));

  Text1_ = new QLineEdit(this);
  Text1_->setObjectName(QStringLiteral("Text1"));
  Text1_->setGeometry(style::twipsRect(240, 6600, 4095, 375));
  Text1_->setFont(fonts::font(fonts::msGothic, 12));
  Command1_ =
      button(this, "Command1", QStringLiteral("OK"), style::twipsRect(600, 7080, 1455, 495));
  Command2_ =
      button(this, "Command2", QStringLiteral("Cancel"), style::twipsRect(2520, 7080, 1455, 495));

  List1_ = new QListWidget(this);
  List1_->setObjectName(QStringLiteral("List1"));
  List1_->setGeometry(style::twipsRect(5040, 600, 2655, 6690));
  List1_->setFont(listFont);

  setTabOrder(Drive1_, Dir1_);
  setTabOrder(Dir1_, File1_);
  setTabOrder(File1_, Text1_);
  setTabOrder(Text1_, Command1_);
  setTabOrder(Command1_, Command2_);
  setTabOrder(Command2_, List1_);

  connect(Drive1_, &DriveListBox::driveChanged, this, &Form3::Drive1_Change);
  connect(Dir1_, &DirListBox::pathChanged, this, &Form3::Dir1_Change);
  connect(Command1_, &QPushButton::clicked, this, &Form3::Command1_Click);
  connect(Command2_, &QPushButton::clicked, this, &Form3::Command2_Click);

  // The first time, all three lists start at the working folder.
  Dir1_->setPath(workbench_.workingFolder());
  Drive1_->setDriveOf(Dir1_->path());
  Drive1_->rememberFolder(Dir1_->path());
  File1_->setFolder(Dir1_->path());
}

void Form3::openFromSpectrumWindow() {
  List1_->clear();
  const auto preview = corvane::readSpectrumPreview(toFsPath(workbench_.workingFolder()));
  if (!preview) {
    workbench_.messages().show(
        localiseSystemTexts(QString::fromStdString(preview.failure().message)),
        MessageSink::Icon::Exclamation);
    return;
  }
  for (const std::string& line : preview.value()) List1_->addItem(QString::fromStdString(line));
  File1_->setFolder(Dir1_->path());
  Text1_->clear();
  style::showPlaced(this, placed_);
  Text1_->setFocus();
}

void Form3::Drive1_Change(const QString& root) {
  // A volume that cannot be read leaves the folder list where it was.
  if (!Dir1_->setPath(Drive1_->folderFor(root)) && !Dir1_->setPath(root))
    Drive1_->setDriveOf(Dir1_->path());
}

void Form3::Dir1_Change(const QString& folder) {
  Drive1_->rememberFolder(folder);
  File1_->setFolder(folder);
}

void Form3::Command1_Click() {
  const QString name = Text1_->text();
  if (name.isEmpty()) {
    workbench_.messages().show(QString::fromUtf8(corvane::messages::kEnterFileName),
                               MessageSink::Icon::Exclamation);
    return;
  }
  const corvane::Status saved = corvane::saveSpectrumCopy(
      toFsPath(File1_->folder()), name.toStdString(), toFsPath(workbench_.workingFolder()));
  if (!saved) {
    workbench_.messages().show(localiseSystemTexts(QString::fromStdString(saved.failure().message)),
                               MessageSink::Icon::Exclamation);
    return;
  }
  workbench_.messages().show(QString::fromUtf8(corvane::messages::kFileSaved),
                             MessageSink::Icon::None);
  hide();
}

void Form3::Command2_Click() { hide(); }
