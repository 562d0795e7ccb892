#include "results_annotations.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "fonts.h"
#include "form1.h"
#include "messages.h"
#include "picture_box.h"
#include "plot_export.h"
#include "style.h"
#include "tuning_window.h"
#include "workbench.h"
#include "workbench/spectrum/format.h"
#include "workbench/spectrum/messages.h"

namespace {
const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);
const QColor lightBlue(176, 176, 255);  // the band under a blue curve

QString fieldName(int f) {
  const int s = corvane::fieldSides[static_cast<std::size_t>(f)];
  return QStringLiteral("%1×%1").arg(s);
}
}  // namespace

// The legend beside the plot: which colour is calculated and which reference, and the fields
// drawn in each (every curve of a kind has the kind's colour).
class CurveLegend : public QWidget {
 public:
  explicit CurveLegend(QWidget* parent) : QWidget(parent) {}
  void reset() {
    calculated_.clear();
    reference_.clear();
    update();
  }
  void add(bool calculated, const QList<int>& fields) {
    QList<int>& list = calculated ? calculated_ : reference_;
    for (int f : fields)
      if (!list.contains(f)) list.append(f);
    std::sort(list.begin(), list.end());
    update();
  }
  const QList<int>& fields(bool calculated) const { return calculated ? calculated_ : reference_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (calculated_.isEmpty() && reference_.isEmpty()) return;
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(fonts::font(fonts::meiryo, 8.25));
    const int line = p.fontMetrics().height();
    int y = 4;
    auto row = [&](const QColor& colour, const QString& caption, const QList<int>& fields) {
      if (fields.isEmpty()) return;
      p.setPen(QPen(colour, 2));
      p.drawLine(6, y + line / 2, 26, y + line / 2);
      p.setPen(Qt::black);
      p.drawText(QRect(30, y, width() - 32, line), Qt::AlignLeft | Qt::AlignVCenter, caption);
      y += line;
      QStringList sides;
      for (int f : fields)
        sides << QString::number(corvane::fieldSides[static_cast<std::size_t>(f)]);
      const QRect area(10, y, width() - 12, 2 * line);
      const QString text = sides.join(QStringLiteral(", "));
      const QRect used = p.boundingRect(area, Qt::TextWordWrap, text);
      p.drawText(area, Qt::TextWordWrap, text);
      y += used.height() + 2;
    };
    row(blue, QStringLiteral("計算データ"), calculated_);
    row(red, QStringLiteral("基準データ"), reference_);
    p.setPen(QColor(64, 64, 64));
    p.drawText(QRect(10, y, width() - 12, line), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("（照射野の辺 cm）"));
  }

 private:
  QList<int> calculated_, reference_;
};

std::optional<TprWithSigma> tprWithSigma(const corvane::CalculatedTmrTable& tmr,
                                         const corvane::CalculatedTmrTable& sigma) {
  const double a = tmr.at(corvane::kTprField, 200), b = tmr.at(corvane::kTprField, 100);
  if (!(a > 0) || !(b > 0)) return std::nullopt;
  const double sa = sigma.at(corvane::kTprField, 200), sb = sigma.at(corvane::kTprField, 100);
  if (!(sa >= 0) || !(sb >= 0)) return std::nullopt;
  const double tpr = a / b;
  return TprWithSigma{tpr, tpr * std::sqrt((sa / a) * (sa / a) + (sb / b) * (sb / b))};
}

QString tprMatchText(double calculated, double sigma, double reference) {
  const double diff = calculated - reference;
  const QString sign = diff < 0 ? QStringLiteral("−") : QStringLiteral("+");
  const QString inSigma =
      sigma > 0 ? QString::number(std::abs(diff) / sigma, 'f', 1) + QStringLiteral(" σ, ")
                : QString();
  const QString percent = reference != 0
                              ? sign + QString::number(std::abs(100.0 * diff / reference), 'f', 2) +
                                    QStringLiteral(" %")
                              : QString();
  return QStringLiteral("基準との差  %1%2\n（%3%4）")
      .arg(sign, QString::number(std::abs(diff), 'f', 4), inSigma, percent);
}

QByteArray calculatedCsv(const corvane::CalculatedTmrTable& tmr,
                         const corvane::CalculatedTmrTable* sigma) {
  QByteArray out = "depth_mm";
  for (int f = 1; f <= corvane::kFields; ++f)
    out += ',' + fieldName(f).replace(QStringLiteral("×"), QStringLiteral("x")).toLatin1();
  if (sigma)
    for (int f = 1; f <= corvane::kFields; ++f)
      out += ",sigma_" + fieldName(f).replace(QStringLiteral("×"), QStringLiteral("x")).toLatin1();
  out += "\r\n";
  for (int r = 1; r <= corvane::kDepthRows; ++r) {
    out += QByteArray::number(r - 0.5, 'f', 1);  // the centre of the 1 mm bin ending at r mm
    for (int f = 1; f <= corvane::kFields; ++f)
      out += ',' + QByteArray::number(tmr.at(f, r), 'g', 8);
    if (sigma)
      for (int f = 1; f <= corvane::kFields; ++f)
        out += ',' + QByteArray::number(sigma->at(f, r), 'g', 8);
    out += "\r\n";
  }
  return out;
}

QByteArray referenceCsv(const corvane::ReferenceTmrData& reference) {
  QByteArray out = "depth_mm";
  for (int f = 1; f <= corvane::kFields; ++f)
    out += ',' + fieldName(f).replace(QStringLiteral("×"), QStringLiteral("x")).toLatin1();
  out += "\r\n";
  for (int k = 1; k <= reference.referenceRowCount; ++k) {
    out += QByteArray::number(reference.referenceDepths[static_cast<std::size_t>(k)], 'g', 8);
    for (int f = 1; f <= corvane::kFields; ++f)
      out += ',' + QByteArray::number(reference.table.at(f, k), 'g', 8);
    out += "\r\n";
  }
  return out;
}

ResultsAnnotations::ResultsAnnotations(Form1& form, Workbench& workbench)
    : QObject(&form), form_(form), workbench_(workbench) {
  const QFont times = fonts::font(fonts::timesNewRoman, 14.25);
  const QFont meiryo = fonts::font(fonts::meiryo, 11.25);
  // Left column, in the free space below the calculated data's Graph draw button.
  sigmaLabel_ =
      style::makeLabel(&form, "TprSigma", QString(), style::twipsRect(120, 8280, 2895, 360), times);
  style::setForeground(sigmaLabel_, blue);
  sigmaLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  matchLabel_ = style::makeLabel(&form, "TprMatch", QString(),
                                 style::twipsRect(120, 8700, 2895, 720), meiryo);
  matchLabel_->setWordWrap(true);
  sigmaLabel_->hide();
  matchLabel_->hide();
  // By the footer that asks for a new filter thickness and energy: the way to find them.
  auto* tune = style::makeButton(&form, "TuningButton", QStringLiteral("自動調整…"),
                                 style::twipsRect(120, 9840, 2895, 495),
                                 fonts::font(fonts::meiryo, 12), style::lightCyan());
  tune->setToolTip(QStringLiteral(" 基準データからエネルギーとフィルタ厚を求めます "));
  connect(tune, &QPushButton::clicked, this, [this] { workbench_.tuning().open(); });
  // Right column, below the help button and left of Exit.
  legend_ = new CurveLegend(&form);
  legend_->setObjectName(QStringLiteral("CurveLegend"));
  legend_->setGeometry(style::twipsRect(14760, 8880, 1710, 1170));

  QMenu* menu = plot_export::attachSaveMenu(&form.picture1(), workbench_.messages());
  menu->addSeparator();
  auto* calc = menu->addAction(QStringLiteral("計算データを CSV で保存…"));
  calc->setObjectName(QStringLiteral("SaveCalculatedCsv"));
  auto* ref = menu->addAction(QStringLiteral("基準データを CSV で保存…"));
  ref->setObjectName(QStringLiteral("SaveReferenceCsv"));
  auto save = [this](const QByteArray& content) {
    const QString file = plot_export::chooseName(&form_, QStringLiteral("csv"));
    if (file.isEmpty()) return;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.flush())
      workbench_.messages().show(plot_export::cannotWriteMessage(file),
                                 MessageSink::Icon::Exclamation);
  };
  connect(calc, &QAction::triggered, this, [this, save] {
    if (!form_.calculatedTable().hasData()) {
      workbench_.messages().show(QString::fromUtf8(corvane::messages::kNoDataSelected),
                                 MessageSink::Icon::Exclamation);
      return;
    }
    save(calculatedCsv(form_.calculatedTable(), sigmaLoaded_ ? &sigma_ : nullptr));
  });
  connect(ref, &QAction::triggered, this, [this, save] {
    if (!form_.referenceData().table.hasData()) {
      workbench_.messages().show(QString::fromUtf8(corvane::messages::kNoDataSelected),
                                 MessageSink::Icon::Exclamation);
      return;
    }
    save(referenceCsv(form_.referenceData()));
  });
  connect(&form.text1(), &QLineEdit::textChanged, this, &ResultsAnnotations::refresh);
  connect(&form.text2(), &QLineEdit::textChanged, this, &ResultsAnnotations::refresh);
}

namespace {

// The first `count` lines of a file, line ends stripped; fewer when the file is shorter.
QStringList leadingLines(const QString& file, int count) {
  QStringList lines;
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly)) return lines;
  while (lines.size() < count && !in.atEnd()) {
    QByteArray line = in.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    lines << QString::fromLatin1(line);
  }
  return lines;
}

}  // namespace

bool uncertaintyBelongsToResult(const QString& resultFile, const QString& uncertaintyFile) {
  // A batched run writes NAME.unc just after NAME.tmr, with the same header. A later
  // single-threaded run of the same name rewrites NAME.tmr only, so an older .unc,
  // or one whose header (histories, energy, Z, filter) differs, is another run's.
  const QFileInfo result(resultFile), uncertainty(uncertaintyFile);
  if (!uncertainty.isFile() || uncertainty.lastModified() < result.lastModified()) return false;
  constexpr int kHeaderLines = 5;
  const QStringList header = leadingLines(resultFile, kHeaderLines);
  return header.size() == kHeaderLines && header == leadingLines(uncertaintyFile, kHeaderLines);
}

void ResultsAnnotations::resultLoaded(const QString& resultFile, double tpr) {
  calculatedTpr_ = tpr;
  sigmaLoaded_ = false;
  tprSigma_.reset();
  sigma_ = {};
  const QFileInfo info(resultFile);
  const QString unc = info.dir().filePath(info.completeBaseName() + QStringLiteral(".unc"));
  if (uncertaintyBelongsToResult(resultFile, unc)) {
    corvane::CalculatedTmrTable sigma;
    // The .unc file has the result layout, so the result reader reads it; its "TPR" is unused.
    const auto read = corvane::loadCalculatedTable(QFile::encodeName(unc).toStdString(), sigma);
    if (read) {
      sigma_ = sigma;
      sigmaLoaded_ = true;
      tprSigma_ = tprWithSigma(form_.calculatedTable(), sigma_);
    }
  }
  refresh();
}

void ResultsAnnotations::referenceLoaded(double tpr) {
  referenceTpr_ = tpr;
  refresh();
}

void ResultsAnnotations::refresh() {
  const bool calculatedShown = !form_.text1().text().isEmpty() && calculatedTpr_;
  const bool referenceShown = !form_.text2().text().isEmpty() && referenceTpr_;
  if (calculatedShown && tprSigma_) {
    sigmaLabel_->setText(
        QStringLiteral("± %1  (1σ)")
            .arg(QString::fromStdString(corvane::formatByPattern(tprSigma_->sigma, "0.0000"))));
    sigmaLabel_->show();
  } else {
    sigmaLabel_->hide();
  }
  // Shown with the uncertainty only: without NAME.unc the window stays as it always was.
  if (calculatedShown && referenceShown && tprSigma_) {
    matchLabel_->setText(tprMatchText(*calculatedTpr_, tprSigma_->sigma, *referenceTpr_));
    matchLabel_->show();
  } else {
    matchLabel_->hide();
  }
}

void ResultsAnnotations::drawBands() {
  if (!sigmaLoaded_) return;
  PictureBox& plot = form_.picture1();
  const auto& tmr = form_.calculatedTable();
  for (int f = 1; f <= corvane::kFields; ++f) {
    if (!form_.check(f).isChecked()) continue;
    // One vertical stroke per 1 mm row from T - sigma to T + sigma: at about two pixels per mm
    // the strokes join into a band.
    for (int r = 2; r <= corvane::kDepthRows; ++r) {
      const double t = tmr.at(f, r), s = sigma_.at(f, r);
      if (s > 0) plot.line(r - 0.5, t - s, r - 0.5, t + s, lightBlue);
    }
  }
}

void ResultsAnnotations::curvesDrawn(bool calculated) {
  QList<int> fields;
  for (int f = 1; f <= corvane::kFields; ++f)
    if (form_.check(f).isChecked()) fields << f;
  legend_->add(calculated, fields);
}

void ResultsAnnotations::frameReset() {
  legend_->reset();
  refresh();
}
