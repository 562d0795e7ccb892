#include "fonts.h"

#include <QFontDatabase>
#include <QHash>
#include <cmath>

namespace fonts {
namespace {
// Names in the layouts → installed fonts (fonts-liberation, fonts-ipaexfont-gothic,
// fonts-ipafont-gothic). Each entry lists what to try, best first.
const QHash<QString, QStringList>& mappingTable() {
  static const QHash<QString, QStringList> table{
      {timesNewRoman, {QStringLiteral("Liberation Serif")}},
      {meiryo, {QStringLiteral("IPAexGothic"), QStringLiteral("IPAPGothic")}},
      {roundedGothic, {QStringLiteral("IPAexGothic"), QStringLiteral("IPAPGothic")}},
      {msGothic, {QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic")}},
      {msPGothic, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic")}},
  };
  return table;
}

QHash<QString, QString>& resolved() {
  static QHash<QString, QString> map;
  return map;
}
}  // namespace

void installFontMapping() {
  if (!resolved().isEmpty()) return;
  const QStringList families = QFontDatabase::families();
  for (auto it = mappingTable().cbegin(); it != mappingTable().cend(); ++it) {
    QString chosen = it.value().front();
    for (const QString& candidate : it.value())
      if (families.contains(candidate)) {
        chosen = candidate;
        break;
      }
    resolved().insert(it.key(), chosen);
    QFont::insertSubstitution(it.key(), chosen);
  }
}

QString installedFamily(const QString& family) {
  installFontMapping();
  return resolved().value(family, family);
}

QFont font(const QString& family, double points, bool bold, bool italic) {
  QFont f(installedFamily(family));
  f.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

}  // namespace fonts
