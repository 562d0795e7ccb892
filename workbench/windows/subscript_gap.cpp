#include "subscript_gap.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <cmath>

void placeInGap(QLabel* caption, QLabel* subscript) {
  const QString text = caption->text();
  const QRegularExpressionMatch gap = QRegularExpression(QStringLiteral(" {2,}")).match(text);
  if (!gap.hasMatch()) return;
  subscript->adjustSize();
  const int needed = subscript->width() + 4;  // two pixels clear on each side
  QFont font = caption->font();
  const auto gapWidth = [&](const QFont& f) {
    const QFontMetrics m(f);
    return m.horizontalAdvance(text.left(gap.capturedEnd())) -
           m.horizontalAdvance(text.left(gap.capturedStart()));
  };
  if (const int short_ = needed - gapWidth(font); short_ > 0) {
    font.setWordSpacing(
        std::ceil(static_cast<double>(short_) / static_cast<double>(gap.capturedLength())));
    caption->setFont(font);
    const int width = QFontMetrics(font).horizontalAdvance(text) + 2;
    if (caption->width() < width) caption->resize(width, caption->height());
  }
  const QFontMetrics metrics(font);
  const int start = caption->x() + caption->contentsMargins().left() +
                    metrics.horizontalAdvance(text.left(gap.capturedStart()));
  subscript->move(start + (gapWidth(font) - subscript->width()) / 2, subscript->y());
  subscript->raise();
}
