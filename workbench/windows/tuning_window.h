#pragma once
// The beam-tuning window: from a measured (reference) TMR file to the acceleration energy and
// lead filter thickness of the machine, with their uncertainty, without leaving the workbench.
//
// The kernel library is checked, built (with progress, time left and cancel; a cancelled build
// resumes later) and loaded, and the fit runs, each on a thread of its own; the window and every
// other window stay responsive. "適用" writes the fitted values into the spectrum window and
// computes the spectrum there exactly as its compute button does.
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "tuning/fit.h"
#include "tuning/kernel_library.h"

class BackgroundJob;
class ConfidencePlot;
class FileListBox;
class FitCurvesPlot;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;
class Workbench;

class TuningWindow : public QWidget {
  Q_OBJECT
 public:
  enum class State {
    checking,   // the library is being read and checked
    noLibrary,  // missing, stale or incomplete: a build is offered
    building,   // the library is being built
    ready,      // the library is loaded; a fit can run
    fitting,    // a fit is running
  };

  explicit TuningWindow(Workbench& workbench);
  ~TuningWindow() override;

  // Opens the window: the reference list re-reads the working folder, Z and the held values are
  // taken from the spectrum window, and the library is checked unless it is already loaded.
  void open();

  // Handlers.
  void buildLibrary();  // "ライブラリを作成"
  void cancelBuild();   // "中止"
  void runFit();        // "フィット実行"
  void apply();         // "適用"

  State state() const { return state_; }
  bool hasResult() const { return result_.has_value(); }
  const tuning::FitResult* result() const { return result_ ? &*result_ : nullptr; }
  // Threads of the work, for tests that drive progress and cancel.
  BackgroundJob& libraryJob() { return *libraryJob_; }
  BackgroundJob& fitJob() { return *fitJob_; }
  // The plan a build uses (the default plan unless a test sets a small one) and its threads.
  void setBuildPlan(const tuning::LibraryPlan& plan) { plan_ = plan; }
  void setBuildThreads(int threads) { threads_ = threads; }

 signals:
  // The window has entered `state` (tests wait on it).
  void stateChanged(TuningWindow::State state);

 private:
  void setState(State state);
  // Follows the library job: its progress in the bar and time left, its end in `finished`.
  void watchLibraryJob(void (TuningWindow::*finished)());
  void checkLibrary();
  void libraryChecked();
  void buildFinished();
  void fitFinished();
  void judgeFit();  // checks the finished fit, shows it or says why not
  void showResult();
  void clearResult();
  void showError(const QString& text);
  void showHeldValues();  // the spectrum window's energy and thickness, held when not fitted
  std::filesystem::path folder() const;
  QString spectrumText(const char* name) const;  // a text box of the spectrum window

  Workbench& workbench_;
  tuning::LibraryPlan plan_;
  int threads_ = 1;
  bool placed_ = false;

  // Work handed between the threads: written by the running job, read after its finished signal.
  std::unique_ptr<BackgroundJob> libraryJob_, fitJob_;
  std::shared_ptr<const tuning::KernelLibrary> library_;
  tuning::LoadOutcome loaded_;
  bool loadedFileExists_ = false, partialExists_ = false;
  tuning::BuildOutcome built_;
  tuning::FitOutcome fitted_;
  std::string leadError_;
  tuning::FitOptions fitOptions_;
  tuning::Reference fitReference_;

  State state_ = State::checking;
  std::optional<tuning::FitResult> result_;
  std::optional<tuning::Reference> reference_;
  tuning::FitOptions resultOptions_;

  FileListBox* referenceList_ = nullptr;
  QLineEdit *zBox_ = nullptr, *depthBox_ = nullptr, *toleranceBox_ = nullptr;
  QRadioButton *fitBoth_ = nullptr, *fitEnergy_ = nullptr, *fitFilter_ = nullptr;
  QLabel* heldLabel_ = nullptr;
  QLabel* libraryStatus_ = nullptr;
  QPushButton *buildButton_ = nullptr, *cancelButton_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* timeLeft_ = nullptr;
  QPushButton *fitButton_ = nullptr, *applyButton_ = nullptr, *closeButton_ = nullptr;
  QLabel *energyResult_ = nullptr, *filterResult_ = nullptr, *correlationResult_ = nullptr,
         *chi2Result_ = nullptr, *tprResult_ = nullptr;
  QTableWidget* fieldTable_ = nullptr;
  FitCurvesPlot* curves_ = nullptr;
  ConfidencePlot* confidence_ = nullptr;
  std::array<QCheckBox*, tuning::kFields + 1> plotFields_{};
};

// The spectrum window's way to this window, a "自動調整…" button in the free strip between the
// colour panel and the button panel, and the spectrum plot's right-button menu (PNG, SVG).
class PictureBox;
void addSpectrumWindowEntries(QWidget& spectrumWindow, PictureBox& plot, Workbench& workbench);

// Text of a number of seconds left, "残り 約 3 分 20 秒" (negative: not yet known).
QString timeLeftText(double seconds);
