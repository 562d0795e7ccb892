#include "style.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <array>

namespace style {

QColor paletteColour(int index) {
  static const std::array<QColor, 16> palette{
      QColor(0, 0, 0),       QColor(0, 0, 128),   QColor(0, 128, 0),   QColor(0, 128, 128),
      QColor(128, 0, 0),     QColor(128, 0, 128), QColor(128, 128, 0), QColor(192, 192, 192),
      QColor(128, 128, 128), QColor(0, 0, 255),   QColor(0, 255, 0),   QColor(0, 255, 255),
      QColor(255, 0, 0),     QColor(255, 0, 255), QColor(255, 255, 0), QColor(255, 255, 255)};
  return palette.at(static_cast<std::size_t>(index & 15));
}

void setBackground(QWidget* widget, const QColor& colour) {
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, colour);
  p.setColor(QPalette::Base, colour);
  p.setColor(QPalette::Button, colour);
  widget->setPalette(p);
  widget->setAutoFillBackground(true);
}

void setForeground(QWidget* widget, const QColor& colour) {
  QPalette p = widget->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Text, colour);
  p.setColor(QPalette::ButtonText, colour);
  widget->setPalette(p);
}

void makeGraphicalButton(QPushButton* button, const QColor& face) {
  button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                       " border: 2px outset #a0a0a0; padding: 0px; }"
                                       "QPushButton:pressed { border-style: inset; }"
                                       "QPushButton:disabled { color: #808080; }"
                                       "QPushButton:focus { border-color: #404040; }")
                            .arg(face.name()));
}

void makePanel(QLabel* label, const QColor& colour) {
  label->setFrameStyle(QFrame::Box | QFrame::Plain);
  label->setLineWidth(1);
  setBackground(label, colour);
}

void makeFixedWindow(QWidget* window, QSize client) {
  window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint);
  window->setFixedSize(client);
}

void centreOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

void showPlaced(QWidget* window, bool& placed) {
  if (!placed) {
    centreOnScreen(window);
    placed = true;
  }
  window->show();
  window->raise();
  window->activateWindow();
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  label->setFont(font);
  // A classic label writes its text from the top of its box, not centred in its height.
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (!text.isEmpty() && label->sizeHint().width() > geometry.width()) {
    label->resize(label->sizeHint().width(), geometry.height());
  }
  return label;
}

QHash<QString, QLabel*> makeLabels(QWidget* parent, std::initializer_list<LabelRow> table) {
  QHash<QString, QLabel*> made;
  for (const LabelRow& row : table) {
    const QString text = QString::fromUtf8(row.text);
    QLabel* label = makeLabel(parent, row.name, text,
                              twipsRect(row.left, row.top, row.width, row.height), row.font);
    if (row.width == 0) {
      label->adjustSize();
      label->move(twips(row.left), twips(row.top));
    }
    if (row.colour.isValid()) setForeground(label, row.colour);
    made.insert(label->objectName(), label);
  }
  return made;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                        const QFont& font, const QColor& face) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  button->setFont(font);
  // Enter presses the focused button, as Space does (by default only in dialogs).
  button->setAutoDefault(true);
  makeGraphicalButton(button, face);
  return button;
}

}  // namespace style
