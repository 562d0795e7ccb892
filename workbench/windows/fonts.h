#pragma once
// Fonts of the windows by the names the layouts give them, mapped once at
// start-up to fonts installed here, so that the Japanese texts render everywhere.
#include <QFont>
#include <QString>

namespace fonts {

inline const QString timesNewRoman = QStringLiteral("Times New Roman");
inline const QString meiryo = QStringLiteral("Meiryo");
inline const QString roundedGothic =
    QStringLiteral("Rounded Gothic");  // the rounded Gothic of the Japanese captions
inline const QString msGothic = QStringLiteral("MS Gothic");
inline const QString msPGothic = QStringLiteral("MS PGothic");

// Builds the mapping (and registers it as font substitutions). Idempotent.
void installFontMapping();
// The installed family that stands for `family` (the family itself when it is not mapped).
QString installedFamily(const QString& family);
// A font of the named family at `points` (sized for 96 dpi, so layouts in pixels fit).
QFont font(const QString& family, double points, bool bold = false, bool italic = false);

}  // namespace fonts
