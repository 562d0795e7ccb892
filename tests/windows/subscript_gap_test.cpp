// Words set in a caption's gap of blanks: clear of the text on both sides, the gap
// widened when the installed font's blanks are too narrow, the caption's text kept.
#include "subscript_gap.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

#include "fonts.h"

class SubscriptGapTest : public QObject {
  Q_OBJECT
 private slots:
  void wordsSitInTheGapWithRoom_data();
  void wordsSitInTheGapWithRoom();
};

void SubscriptGapTest::wordsSitInTheGapWithRoom_data() {
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QStringList>("words");
  QTest::addColumn<QString>("after");  // the text that follows the gap
  QTest::newRow("wide gap") << "TPR                    である" << QStringList{"20,10"} << "で";
  QTest::newRow("narrow ASCII gap") << "TPR  である" << QStringList{"20,10"} << "で";
  QTest::newRow("ideographic gap, two words")
      << "データの 　が乖離" << QStringList{"TPR", "20,10"} << "が";
}

void SubscriptGapTest::wordsSitInTheGapWithRoom() {
  QFETCH(QString, caption);
  QFETCH(QStringList, words);
  QFETCH(QString, after);
  fonts::installFontMapping();
  QWidget window;
  auto* label = new QLabel(caption, &window);
  label->setFont(fonts::font(fonts::meiryo, 12));
  label->adjustSize();
  label->move(10, 10);
  QList<QLabel*> placed;
  for (const QString& w : words) {
    placed << new QLabel(w, &window);
    placed.last()->setFont(fonts::font(fonts::meiryo, 9.75));
    placed.last()->move(0, 14);
  }
  if (placed.size() == 1)
    placeInGap(label, placed[0]);
  else
    placeInGap(label, {placed[0], placed[1]});
  const QFontMetrics metrics(label->font());
  const QString text = label->text();
  QVERIFY(text.startsWith(caption.left(caption.indexOf(QRegularExpression("[ \\x{3000}]{2,}")))));
  QVERIFY(text.endsWith(caption.mid(caption.indexOf(after))));
  const int gapEnd = label->x() + metrics.horizontalAdvance(text.left(text.indexOf(after)));
  const int gapStart =
      label->x() +
      metrics.horizontalAdvance(text.left(text.indexOf(QRegularExpression("[ \\x{3000}]{2,}"))));
  QVERIFY2(placed.first()->x() >= gapStart + 4,
           qPrintable(QString("%1 < %2 + 4").arg(placed.first()->x()).arg(gapStart)));
  QVERIFY2(
      placed.last()->geometry().right() + 1 <= gapEnd - 4,
      qPrintable(QString("%1 > %2 - 4").arg(placed.last()->geometry().right() + 1).arg(gapEnd)));
  for (QLabel* w : placed) QCOMPARE(w->y(), 14);               // tops stay
  QVERIFY(label->width() >= metrics.horizontalAdvance(text));  // the caption is not cut off
}

QTEST_MAIN(SubscriptGapTest)
#include "subscript_gap_test.moc"
