#include "file_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

QStringList filesMatching(const QString& folder, const QString& pattern) {
  if (folder.isEmpty()) return {};
  QDir dir(folder);
  if (!dir.exists() || !dir.isReadable()) return {};
  // Name filters ignore case (no QDir::CaseSensitive): a spreadsheet may save "X.STD".
  dir.setFilter(QDir::Files | QDir::Hidden | QDir::Readable);
  dir.setNameFilters({pattern});
  dir.setSorting(QDir::Name | QDir::IgnoreCase);
  return dir.entryList();
}

// ---------------------------------------------------------------- FileListBox

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { emit fileClicked(item->text()); });
}

void FileListBox::setPattern(const QString& pattern) {
  pattern_ = pattern;
  refresh();
}

void FileListBox::setFolder(const QString& folder) {
  folder_ = QDir(folder).absolutePath();
  clear();
  addItems(filesMatching(folder_, pattern_));
}

void FileListBox::refresh() {
  const QString chosen = chosenFileName();
  clear();
  if (folder_.isEmpty()) return;
  addItems(filesMatching(folder_, pattern_));
  if (chosen.isEmpty()) return;
  const auto found = findItems(chosen, Qt::MatchExactly);
  if (!found.isEmpty()) setCurrentItem(found.first());
}

QString FileListBox::chosenFileName() const {
  const auto chosen = selectedItems();
  return chosen.isEmpty() ? QString() : chosen.first()->text();
}

QString FileListBox::chosenFilePath() const {
  const QString name = chosenFileName();
  return name.isEmpty() ? QString() : QDir(folder_).filePath(name);
}

// ----------------------------------------------------------------- DirListBox

namespace {
constexpr int pathRole = Qt::UserRole;
constexpr int indentStep = 2;  // blanks per folder level
}  // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { setPath(item->data(pathRole).toString()); });
}

bool DirListBox::setPath(const QString& folder) {
  const QFileInfo info(folder);
  if (!info.isDir() || !info.isReadable()) return false;
  const QString target = QDir(info.absoluteFilePath()).canonicalPath();
  if (target.isEmpty()) return false;
  const bool changed = target != path_;
  path_ = target;
  fill();
  if (changed) emit pathChanged(path_);
  return true;
}

void DirListBox::fill() {
  clear();
  // Chain from the root down to the current folder.
  QStringList chain;
  QDir dir(path_);
  chain.prepend(dir.absolutePath());
  while (dir.cdUp()) chain.prepend(dir.absolutePath());
  int level = 0;
  for (const QString& folder : chain) {
    const QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
    auto* item = new QListWidgetItem(QString(level * indentStep, u' ') + name, this);
    item->setData(pathRole, folder);
    if (folder == path_) setCurrentItem(item);
    ++level;
  }
  // Sub-folders of the current folder.
  QDir current(path_);
  current.setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
  current.setSorting(QDir::Name | QDir::IgnoreCase);
  for (const QString& sub : current.entryList()) {
    auto* item = new QListWidgetItem(QString(level * indentStep, u' ') + sub, this);
    item->setData(pathRole, current.filePath(sub));
  }
}

// --------------------------------------------------------------- DriveListBox

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
  refreshVolumes();
  connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (quiet_ || index < 0) return;
    emit driveChanged(itemData(index).toString());
  });
}

void DriveListBox::refreshVolumes() {
  const QString chosen = drive();
  quiet_ = true;
  clear();
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    const QString root = volume.rootPath();
    if (findData(root) >= 0) continue;
    const QString label = volume.displayName() == root
                              ? root
                              : QStringLiteral("%1  [%2]").arg(root, volume.displayName());
    addItem(label, root);
  }
  const int index = findData(chosen);
  if (index >= 0) setCurrentIndex(index);
  quiet_ = false;
}

void DriveListBox::setDriveOf(const QString& folder) {
  const QString root = QStorageInfo(folder).rootPath();
  quiet_ = true;
  int index = findData(root);
  if (index < 0 && !root.isEmpty()) {
    addItem(root, root);
    index = count() - 1;
  }
  setCurrentIndex(index);
  quiet_ = false;
}

QString DriveListBox::drive() const { return currentData().toString(); }

void DriveListBox::rememberFolder(const QString& folder) {
  lastFolder_.insert(QStorageInfo(folder).rootPath(), folder);
}

QString DriveListBox::folderFor(const QString& root) const { return lastFolder_.value(root, root); }
