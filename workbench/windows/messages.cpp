#include "messages.h"

#include <QApplication>
#include <QMessageBox>

void MessageBoxSink::show(const QString& text, Icon icon) {
  QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  programTitle, text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}
