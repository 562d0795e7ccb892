#pragma once
// Layout units, colours and the classic control looks shared by the windows.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QRect>
#include <QSize>
#include <initializer_list>

class QFont;
class QLabel;
class QPushButton;
class QString;
class QWidget;

namespace style {

// Window layouts are given in twips: 15 twips are one pixel at 96 dpi.
constexpr int twips(int t) { return (2 * t + 15) / 30; }  // rounded to the nearest pixel
inline QRect twipsRect(int left, int top, int width, int height) {
  return {twips(left), twips(top), twips(width), twips(height)};
}
inline QSize twipsSize(int width, int height) { return {twips(width), twips(height)}; }

// The classic 16-colour palette (0 black … 15 white) used by the plots.
QColor paletteColour(int index);

// Text and curve colours by their palette entries.
inline QColor blue() { return paletteColour(9); }     // 0, 0, 255
inline QColor red() { return paletteColour(12); }     // 255, 0, 0
inline QColor yellow() { return paletteColour(14); }  // 255, 255, 0

inline QColor lightCyan() { return {192, 255, 255}; }    // panels, frames, option buttons
inline QColor lightYellow() { return {255, 255, 192}; }  // button faces, read-out boxes
inline QColor darkGrey() { return {64, 64, 64}; }

// Solid background through the palette (labels and frames: autoFillBackground).
void setBackground(QWidget* widget, const QColor& colour);
void setForeground(QWidget* widget, const QColor& colour);
// A "graphical style" command button: flat coloured face with a raised border.
void makeGraphicalButton(QPushButton* button, const QColor& face = lightYellow());
// An opaque panel label with a single black border.
void makePanel(QLabel* label, const QColor& colour = lightCyan());
// A window with a fixed border and no minimise/maximise buttons, client area `client`.
void makeFixedWindow(QWidget* window, QSize client);
// Centres a top-level window on the screen it is on.
void centreOnScreen(QWidget* window);
// Shows a window created once and shown again and again: centred the first time
// (`placed` remembers that), then where the user left it, raised and active.
void showPlaced(QWidget* window, bool& placed);

// A label of the layout, named after its control. The installed fonts are a little
// wider than the ones the layout was made with: a caption that would be cut off
// grows to the right instead.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  const QFont& font);
// One label of a window's layout table.
struct LabelRow {
  const char* name;
  const char* text;              // UTF-8
  int left, top, width, height;  // [twips]; width 0: as wide and high as its text
  QFont font;
  QColor colour = QColor();  // text colour; invalid: the default
};
// Creates the labels of a layout table in order (by makeLabel); returns them by name.
QHash<QString, QLabel*> makeLabels(QWidget* parent, std::initializer_list<LabelRow> table);

// A graphical-style command button of the layout, named after its control.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                        const QFont& font, const QColor& face = lightYellow());

}  // namespace style
