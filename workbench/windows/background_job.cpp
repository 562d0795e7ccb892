#include "background_job.h"

#include <QThread>

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {
  // `running_` belongs to the user-interface thread: it is cleared when the queued finished
  // signal arrives there, before the receivers connected later see it.
  connect(
      this, &BackgroundJob::finished, this, [this] { running_ = false; }, Qt::QueuedConnection);
}

BackgroundJob::~BackgroundJob() {
  cancel_ = true;
  wait();
}

bool BackgroundJob::start(Work work) {
  if (running_) return false;
  wait();  // the thread of an earlier work may still be winding down after its signal
  cancel_ = false;
  running_ = true;
  thread_ = QThread::create([this, work = std::move(work)] {
    work(*this);
    emit finished();
  });
  thread_->start();
  return true;
}

void BackgroundJob::wait() {
  if (!thread_) return;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
}
