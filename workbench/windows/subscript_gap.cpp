#include "subscript_gap.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>

namespace {
constexpr int clearance = 4;  // pixels clear of the caption's text on each side
}

void placeInGap(QLabel* caption, std::initializer_list<QLabel*> words) {
  QString text = caption->text();
  const QRegularExpression blanks(QStringLiteral("[ \\x{3000}]{2,}"));
  QRegularExpressionMatch gap = blanks.match(text);
  if (!gap.hasMatch() || words.size() == 0) return;
  int wordsWidth = 0;
  for (QLabel* word : words) {
    word->adjustSize();
    wordsWidth += word->width();
  }
  const int needed = wordsWidth + 2 * clearance;
  QFont font = caption->font();
  const auto gapWidth = [&](const QFont& f) {
    const QFontMetrics m(f);
    return m.horizontalAdvance(text.left(gap.capturedEnd())) -
           m.horizontalAdvance(text.left(gap.capturedStart()));
  };
  if (gapWidth(font) < needed) {
    if (gap.captured().contains(QChar(0x3000))) {
      // Word spacing does not widen ideographic blanks: add blanks of the same kind.
      while (gapWidth(font) < needed) {
        text.insert(gap.capturedEnd(), QChar(0x3000));
        gap = blanks.match(text);
      }
      caption->setText(text);
    } else {
      // How much of the word spacing a run of blanks takes differs between font engines
      // (once per run here, not once per blank): widen until the measured gap suffices.
      int spacing = 0;
      while (gapWidth(font) < needed && spacing < needed) {
        font.setWordSpacing(++spacing);
      }
      caption->setFont(font);
    }
    const int width = QFontMetrics(font).horizontalAdvance(text) + 2;
    if (caption->width() < width) caption->resize(width, caption->height());
  }
  const QFontMetrics metrics(font);
  const int start = caption->x() + caption->contentsMargins().left() +
                    metrics.horizontalAdvance(text.left(gap.capturedStart()));
  int x = start + (gapWidth(font) - wordsWidth) / 2;
  for (QLabel* word : words) {
    word->move(x, word->y());
    word->raise();
    x += word->width();
  }
}
