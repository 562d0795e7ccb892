// The picture box: coordinate mapping both ways, and the drawing primitives as
// seen on the persistent surface.
#include "picture_box.h"

#include <QSignalSpy>
#include <QTest>

class PictureBoxTest : public QObject {
  Q_OBJECT
 private slots:
  void mapsCornersAndBack_data();
  void mapsCornersAndBack();
  void drawsIntoSurfaceThatOutlivesHiding();
  void lineToStartsAtTheSetPoint();
  void clearErasesAndResetsPosition();
  void reportsPointerInUserCoordinates();
  void lineControlDoesNotTouchTheSurface();
};

// The spectrum plot's scale: 805 × 469 client pixels, x −3100 … 20400, y 1020 … −130.
void PictureBoxTest::mapsCornersAndBack_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<double>("y");
  QTest::addColumn<QPointF>("pixel");
  QTest::newRow("top-left corner") << -3100.0 << 1020.0 << QPointF(0, 0);
  QTest::newRow("bottom-right corner") << 20400.0 << -130.0 << QPointF(805, 469);
  // 3100 / 23500 × 805 = 106.19…; (1020 − 0) / 1150 × 469 = 415.98…
  QTest::newRow("plot origin") << 0.0 << 0.0
                               << QPointF(3100.0 / 23500.0 * 805.0, 1020.0 / 1150.0 * 469.0);
}

void PictureBoxTest::mapsCornersAndBack() {
  QFETCH(double, x);
  QFETCH(double, y);
  QFETCH(QPointF, pixel);
  const UserCoordinates c(-3100, 1020, 20400, -130, QSize(805, 469));
  const QPointF p = c.map(x, y);
  QVERIFY(qAbs(p.x() - pixel.x()) < 1e-9 && qAbs(p.y() - pixel.y()) < 1e-9);
  const QPointF back = c.inverseMap(p);
  QVERIFY(qAbs(back.x() - x) < 1e-9 && qAbs(back.y() - y) < 1e-9);
}

void PictureBoxTest::drawsIntoSurfaceThatOutlivesHiding() {
  PictureBox box;
  box.resize(104, 104);  // client 100 × 100 inside the 2-pixel border
  QCOMPARE(box.surface().size(), QSize(100, 100));
  box.setScale(0, 100, 100, 0);
  box.clear();
  box.setDrawWidth(2);
  box.line(10, 50, 90, 50, QColor(255, 0, 0));
  box.rectangle(20, 20, 80, 80, QColor(0, 0, 255));
  box.show();
  box.hide();
  box.show();
  QCOMPARE(box.pixelAt(50, 50), QColor(255, 0, 0));
  QCOMPARE(box.pixelAt(20, 60), QColor(0, 0, 255));  // left side of the outline
  QCOMPARE(box.pixelAt(50, 60), QColor(Qt::white));  // outline only, not filled
  QCOMPARE(box.pixelAt(5, 50), QColor(Qt::white));   // before the line's start
}

void PictureBoxTest::lineToStartsAtTheSetPoint() {
  PictureBox box(nullptr, false);
  box.resize(100, 100);
  box.setScale(0, 100, 100, 0);
  box.clear();
  box.pset(10, 10, QColor(0, 255, 0));
  QCOMPARE(box.currentX(), 10.0);
  box.lineTo(10, 90, QColor(0, 255, 0));
  QCOMPARE(box.currentY(), 90.0);
  QCOMPARE(box.pixelAt(10, 50), QColor(0, 255, 0));
  box.lineTo(90, 90, QColor(255, 0, 255));
  QCOMPARE(box.pixelAt(50, 90), QColor(255, 0, 255));
}

void PictureBoxTest::clearErasesAndResetsPosition() {
  PictureBox box(nullptr, false);
  box.resize(50, 50);
  box.setScale(0, 50, 50, 0);
  box.clear();
  box.line(0, 25, 50, 25, Qt::black);
  box.clear();
  QCOMPARE(box.pixelAt(25, 25), QColor(Qt::white));
  QCOMPARE(box.currentX(), 0.0);
  QCOMPARE(box.currentY(), 0.0);
}

void PictureBoxTest::reportsPointerInUserCoordinates() {
  PictureBox box;
  box.resize(104, 104);
  box.setScale(0, 100, 100, 0);
  box.show();
  QSignalSpy spy(&box, &PictureBox::mouseMoved);
  QTest::mouseMove(&box, QPoint(2 + 25, 2 + 75));  // client pixel (25, 75)
  QVERIFY(!spy.isEmpty());
  QCOMPARE(spy.last().at(0).toDouble(), 25.0);
  QCOMPARE(spy.last().at(1).toDouble(), 25.0);
}

void PictureBoxTest::lineControlDoesNotTouchTheSurface() {
  PictureBox box(nullptr, false);
  box.resize(100, 100);
  box.setScale(0, 100, 100, 0);
  box.clear();
  LineControl line(&box, QStringLiteral("Line1"));
  line.setEnds(0, 40, 100, 40);
  line.setColour(Qt::red);
  QCOMPARE(line.geometry(), QRect(0, 60, 101, 1));
  line.setEnds(30, 0, 30, 100);  // vertical now
  QCOMPARE(line.geometry(), QRect(30, 0, 1, 101));
  QCOMPARE(box.pixelAt(30, 40), QColor(Qt::white));
}

QTEST_MAIN(PictureBoxTest)
#include "picture_box_test.moc"
