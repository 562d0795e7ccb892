// Drive, folder and file lists of the save dialog and the results window.
//
// Three small list widgets on Qt, in the manner of a classic file dialog built
// from separate controls: a drive list (the mounted volumes), a folder list (the
// chain of folders from the volume's root down to the current folder, then the
// current folder's sub-folders) and a file list (the plain names of the files of
// one folder that match a wildcard pattern such as "*.tmr", sorted by name).
// None of them changes the program's working folder.
#pragma once

#include <QComboBox>
#include <QHash>
#include <QListWidget>
#include <QString>
#include <QStringList>

// Plain names of the files of `folder` matching `pattern` ("*.csv"), sorted by
// name; folders are not listed. An unreadable or missing folder gives an empty
// list.
QStringList filesMatching(const QString& folder, const QString& pattern);

// File list: the files of one folder that match one pattern.
class FileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit FileListBox(QWidget* parent = nullptr);

  void setPattern(const QString& pattern);
  QString pattern() const { return pattern_; }

  // Shows the files of `folder` (absolute path); the selection is cleared.
  void setFolder(const QString& folder);
  QString folder() const { return folder_; }

  // Re-reads the folder; the chosen name stays chosen when it still exists.
  void refresh();

  // The plain name of the chosen file, empty when none is chosen.
  QString chosenFileName() const;
  // The absolute path of the chosen file, empty when none is chosen.
  QString chosenFilePath() const;

 signals:
  // A file name was clicked (the click handlers of the windows hang on this).
  void fileClicked(const QString& name);

 private:
  QString folder_;
  QString pattern_ = QStringLiteral("*.*");
};

// Folder list: the path from the root down to the current folder (each level
// one step further indented), then the current folder's sub-folders, sorted.
// Double-click (or Enter) on an entry makes it the current folder.
class DirListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit DirListBox(QWidget* parent = nullptr);

  // Makes `folder` the current folder; false (and nothing changed) when the
  // folder does not exist or cannot be read.
  bool setPath(const QString& folder);
  QString path() const { return path_; }

 signals:
  // The current folder changed (by setPath or by the user).
  void pathChanged(const QString& folder);

 private:
  void fill();
  QString path_;
};

// Drive list: the mounted, ready volumes, each shown by its root path (and its
// label when it has one). The current entry is the volume of the folder given
// to setDriveOf.
class DriveListBox : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveListBox(QWidget* parent = nullptr);

  // Re-reads the mounted volumes, keeping the current one chosen.
  void refreshVolumes();
  // Chooses the volume that holds `folder`, without emitting driveChanged.
  void setDriveOf(const QString& folder);
  // Root path of the chosen volume.
  QString drive() const;

  // Remembers `folder` as the last folder visited on its volume, so that a
  // later change back to that volume returns there.
  void rememberFolder(const QString& folder);
  // The folder to show when the volume `root` is chosen: the last folder
  // visited on it, or its root.
  QString folderFor(const QString& root) const;

 signals:
  // The user chose another volume; `root` is its root path.
  void driveChanged(const QString& root);

 private:
  QHash<QString, QString> lastFolder_;
  bool quiet_ = false;
};
