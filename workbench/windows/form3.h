#pragma once
// The spectrum data save dialog: previews S_SPCTL.dat and saves a byte-for-byte
// copy of it as "<name>.csv" in a folder the user picks. Moving through drives
// and folders here never changes the program's working folder.
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class DirListBox;
class DriveListBox;
class FileListBox;
class Workbench;

class Form3 : public QWidget {
  Q_OBJECT
 public:
  explicit Form3(Workbench& workbench);

  // Done by the spectrum window's "このスペクトルデータを保存" button: the
  // preview refilled from S_SPCTL.dat, the file list set to the folder list's
  // folder, the name emptied, shown modeless with the focus in the name box.
  // When S_SPCTL.dat is missing or short, a message says so and the dialog is
  // not shown.
  void openFromSpectrumWindow();

  void Drive1_Change(const QString& root);  // the folder list moves to that volume
  void Dir1_Change(const QString& folder);  // the file list follows the folder list
  // OK: empty name → message; otherwise the copy, "ファイル保存終了" and hide.
  // A failed copy gives a message naming the failure; the dialog stays open.
  void Command1_Click();
  void Command2_Click();  // Cancel: hides, nothing saved

 private:
  Workbench& workbench_;
  DriveListBox* Drive1_ = nullptr;
  DirListBox* Dir1_ = nullptr;
  FileListBox* File1_ = nullptr;
  QLineEdit* Text1_ = nullptr;
  QListWidget* List1_ = nullptr;
  QPushButton* Command1_ = nullptr;
  QPushButton* Command2_ = nullptr;
  bool placed_ = false;
};
