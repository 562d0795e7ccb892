#pragma once
// Saving plots as pictures: a right-button menu on a plot offers PNG and SVG (and, for the TMR
// plot, the tables as comma-separated text). The file name comes from a replaceable chooser, so
// tests save without a modal dialog.
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

class MessageSink;
class PictureBox;
class QMenu;
class QPainter;

namespace plot_export {

// Asks the user for a file to save to; empty when the user gives up. `suffix` ("png", "svg",
// "csv") is the kind of file; the chooser may return a name without it (it is added).
using NameChooser = std::function<QString(QWidget* parent, const QString& suffix)>;
void setNameChooser(NameChooser chooser);  // an empty chooser restores the file dialog
// The name for `suffix`, with the suffix added when missing; empty when given up.
QString chooseName(QWidget* parent, const QString& suffix);

// Writes an image as PNG; false when the file cannot be written.
bool savePng(const QImage& image, const QString& file);
// Writes an SVG picture of `size` pixels whose content `draw` paints; false on failure.
bool saveSvg(const QSize& size, const QString& title, const std::function<void(QPainter&)>& draw,
             const QString& file);

// The right-button menu of a plot ("SaveMenu", actions "SavePng", "SaveSvg"), created once and
// kept as the widget's child; further actions may be added to it.
QMenu* attachSaveMenu(QWidget* plot, const std::function<QImage()>& raster,
                      const std::function<void(QPainter&, const QSize&)>& vector,
                      MessageSink& messages);
// The same for a picture box: its persistent surface is the picture (embedded in the SVG).
QMenu* attachSaveMenu(PictureBox* box, MessageSink& messages);

// The message shown when `file` cannot be written.
QString cannotWriteMessage(const QString& file);

}  // namespace plot_export

// A plot drawn with a painter into any size: on screen, into a PNG and into an SVG alike.
class ExportablePlot : public QWidget {
 public:
  ExportablePlot(QWidget* parent, MessageSink& messages);
  virtual void draw(QPainter& painter, const QSize& size) const = 0;
  QImage image() const;  // the plot as shown, at the widget's size

 protected:
  void paintEvent(QPaintEvent* event) override;
};
