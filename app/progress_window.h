// ProgressWindow: 実行の状況, the window of a long database operation (registration, export, deletion,
// joseki work). Opening it starts the job on a worker thread; the job's lines are listed as they come
// (the newest 5000: a full list lets its oldest line go), 実行中断 raises the stop flag the job polls
// between items, and 閉じる is refused until the job has ended. One operation runs at a time.
//
// The job's message boxes and questions are shown on the window's thread while the worker waits for
// the answer; the window never waits for the worker while the job runs, so the two cannot deadlock.
//
//   RunInProgressWindow(parent, [&](const shogidb::DbJob& job) {
//     shogidb::GameDatabase db;
//     db.SetDatabase(dir);
//     db.SetJob(job);
//     db.RegisterFromCsa(text, false);
//   });
#pragma once
#include <QDialog>
#include <functional>

#include "app/core/solver_lines.h"
#include "platform/events.h"
#include "platform/worker_thread.h"
#include "shogidb/db_job.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace app {

using DbJobFunction = std::function<void(const shogidb::DbJob& job)>;

class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxLines = 5000;

  // `messages` shows the job's boxes and answers its questions (the application's by default).
  ProgressWindow(DbJobFunction job, QWidget* parent = nullptr, platform::MessageSink* messages = nullptr);
  ~ProgressWindow() override;

  // Starts the job (once); the window shows itself when it is not shown yet.
  void Start();
  bool running() const { return running_; }
  QListWidget* list() const { return list_; }
  // 実行中断.
  void Stop() { stop_.Raise(); }

 Q_SIGNALS:
  void Finished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void TakeLines();
  void JobEnded();
  void AddLine(const QString& text);

  DbJobFunction job_;
  platform::MessageSink* messages_;
  QListWidget* list_;
  QLabel* state_;
  QPushButton* stop_button_;
  QPushButton* close_button_;
  SolverLineQueue lines_;
  platform::StopFlag stop_;
  bool running_ = false, started_ = false;
  platform::WorkerThread worker_;  // last: joined before the queue it writes to goes
};

// Runs `job` in a modal progress window and returns once the user has closed it.
void RunInProgressWindow(QWidget* parent, const DbJobFunction& job);

}  // namespace app
