#pragma once
// One piece of long work (building the kernel library, loading it, fitting) run on a thread of
// its own, so that every window stays responsive. The work reports progress through the job;
// the signals reach the user-interface thread queued. A cancel flag asks the work to stop at its
// next safe point; the work decides what "stop" leaves behind.
#include <QObject>
#include <atomic>
#include <functional>

class QThread;

class BackgroundJob : public QObject {
  Q_OBJECT
 public:
  // The work runs on the job's thread; it may call reportProgress and read cancelFlag.
  using Work = std::function<void(BackgroundJob&)>;

  explicit BackgroundJob(QObject* parent = nullptr);
  // Cancels the work and waits for its end (a window being destroyed must not leave it running).
  ~BackgroundJob() override;

  // Starts `work` unless a work is running (then false and nothing starts).
  bool start(Work work);
  bool running() const { return running_; }
  void cancel() { cancel_ = true; }
  const std::atomic<bool>& cancelFlag() const { return cancel_; }
  bool cancelRequested() const { return cancel_.load(); }
  // Blocks until the running work has ended (its finished signal is still delivered queued).
  void wait();

  // From the work: `done` of `total` units, `secondsLeft` negative when unknown.
  void reportProgress(int done, int total, double secondsLeft) {
    emit progress(done, total, secondsLeft);
  }

 signals:
  void progress(int done, int total, double secondsLeft);
  // The work has returned; whatever it wrote for its caller is complete.
  void finished();

 private:
  QThread* thread_ = nullptr;
  std::atomic<bool> cancel_{false};
  bool running_ = false;
};
