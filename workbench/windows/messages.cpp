#include "messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <cerrno>
#include <system_error>

#include "fonts.h"

namespace {
// A box of a short text is as narrow as its text, and the window's caption is cut off:
// at least this wide [pixels].
constexpr int minimumBoxWidth = 280;

int runBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, programTitle, text, buttons, QApplication::activeWindow());
  box.setFont(fonts::font(fonts::meiryo, 12));
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(minimumBoxWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  return box.exec();
}
}  // namespace

QString localiseSystemTexts(QString text) {
  static const struct {
    int code;
    const char* japanese;
  } table[] = {
      {ENOENT, "ファイルまたはフォルダがありません"},
      {EACCES, "アクセスが拒否されました"},
      {EPERM, "操作が許可されていません"},
      {EROFS, "読み取り専用のファイルシステムです"},
      {ENOSPC, "ディスクに空きがありません"},
      {EDQUOT, "ディスクの使用量の上限を超えました"},
      {EISDIR, "フォルダです"},
      {ENOTDIR, "フォルダではありません"},
      {ENAMETOOLONG, "ファイル名が長すぎます"},
      {EEXIST, "既にあります"},
      {EINVAL, "無効な引数です"},
      {EIO, "入出力エラーです"},
      {EBUSY, "使用中です"},
      {EMFILE, "開いているファイルが多すぎます"},
      {EXDEV, "別のファイルシステムへは移動できません"},
  };
  for (const auto& entry : table) {
    const QString english = QString::fromStdString(std::generic_category().message(entry.code));
    if (!english.isEmpty()) text.replace(english, QString::fromUtf8(entry.japanese));
  }
  return text;
}

void MessageBoxSink::show(const QString& text, Icon icon) {
  runBox(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, text,
         QMessageBox::Ok);
}

bool MessageBoxSink::ask(const QString& question) {
  return runBox(QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}
