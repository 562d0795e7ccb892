// The layout's font names resolve to installed fonts that can show the Japanese captions.
#include "fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

class FontsTest : public QObject {
  Q_OBJECT
 private slots:
  void mapsToInstalledFonts_data();
  void mapsToInstalledFonts();
};

void FontsTest::mapsToInstalledFonts_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("installed");
  QTest::addColumn<bool>("japanese");
  QTest::newRow("Times New Roman") << fonts::timesNewRoman << "Liberation Serif" << false;
  QTest::newRow("Meiryo") << fonts::meiryo << "IPAexGothic" << true;
  QTest::newRow("rounded Gothic") << fonts::roundedGothic << "IPAexGothic" << true;
  QTest::newRow("MS Gothic") << fonts::msGothic << "IPAGothic" << true;
  QTest::newRow("MS PGothic") << fonts::msPGothic << "IPAPGothic" << true;
}

void FontsTest::mapsToInstalledFonts() {
  QFETCH(QString, name);
  QFETCH(QString, installed);
  QFETCH(bool, japanese);
  fonts::installFontMapping();
  QCOMPARE(fonts::installedFamily(name), installed);
  const QFont font = fonts::font(name, 11.25);
  QCOMPARE(QFontInfo(font).family(), installed);
  QCOMPARE(font.pixelSize(), 15);  // 11.25 pt at 96 dpi
  if (japanese) QVERIFY(QFontDatabase::writingSystems(installed).contains(QFontDatabase::Japanese));
}

QTEST_MAIN(FontsTest)
#include "fonts_test.moc"
