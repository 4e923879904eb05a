#include "app/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/qt_text.h"

namespace app {

namespace {

// The job's boxes and questions, shown on the window's thread; the worker waits for each.
class WindowThreadMessages final : public platform::MessageSink {
 public:
  WindowThreadMessages(QObject* window, platform::MessageSink& target) : window_(window), target_(target) {}

  void Show(std::string_view text) override {
    const std::string copy(text);
    OnWindowThread([&] { target_.Show(copy); });
  }
  platform::Answer Ask(std::string_view question, platform::Buttons buttons) override {
    const std::string copy(question);
    platform::Answer answer = platform::Answer::kNo;
    OnWindowThread([&] { answer = target_.Ask(copy, buttons); });
    return answer;
  }

 private:
  void OnWindowThread(const std::function<void()>& call) {
    if (QThread::currentThread() == window_->thread()) {
      call();
    } else {
      QMetaObject::invokeMethod(window_, call, Qt::BlockingQueuedConnection);
    }
  }

  QObject* window_;
  platform::MessageSink& target_;
};

}  // namespace

ProgressWindow::ProgressWindow(DbJobFunction job, QWidget* parent, platform::MessageSink* messages)
    : QDialog(parent),
      job_(std::move(job)),
      messages_(messages ? messages : &Application::instance()->messages()),
      lines_([this] { QMetaObject::invokeMethod(this, [this] { TakeLines(); }, Qt::QueuedConnection); }) {
  setWindowTitle(QStringLiteral("実行の状況"));
  list_ = new QListWidget(this);
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setUniformItemSizes(true);  // thousands of lines stay quick
  state_ = new QLabel(this);
  stop_button_ = new QPushButton(QStringLiteral("実行中断"), this);
  close_button_ = new QPushButton(QStringLiteral("閉じる"), this);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(stop_button_, QDialogButtonBox::ActionRole);
  buttons->addButton(close_button_, QDialogButtonBox::RejectRole);
  connect(stop_button_, &QPushButton::clicked, this, [this] { Stop(); });
  connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(state_, 1);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);
  resize(640, 360);
}

ProgressWindow::~ProgressWindow() {
  // Only the program's end deletes a window whose job runs: stop it, and keep answering its boxes until
  // it has ended, since the worker may wait for one.
  stop_.Raise();
  while (running_) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  worker_.Join();
}

void ProgressWindow::Start() {
  if (started_) return;
  started_ = true;
  running_ = true;
  stop_button_->setEnabled(true);
  close_button_->setEnabled(false);
  state_->setText(QStringLiteral("実行中…"));
  if (!isVisible()) show();
  worker_.Start([this] {
    WindowThreadMessages messages(this, *messages_);
    shogidb::DbJob job;
    job.messages = &messages;
    job.progress = &lines_;
    job.stop = &stop_;
    job_(job);
    QMetaObject::invokeMethod(this, [this] { JobEnded(); }, Qt::QueuedConnection);
  });
}

void ProgressWindow::TakeLines() {
  const std::vector<std::string> lines = lines_.Take();
  if (lines.empty()) return;
  list_->setUpdatesEnabled(false);
  for (const std::string& line : lines) AddLine(FromCore(line));
  list_->setUpdatesEnabled(true);
  list_->setCurrentRow(list_->count() - 1);
  list_->scrollToBottom();
}

void ProgressWindow::AddLine(const QString& text) {
  if (list_->count() >= kMaxLines) delete list_->takeItem(0);
  list_->addItem(text);
}

void ProgressWindow::JobEnded() {
  worker_.Join();
  TakeLines();
  running_ = false;
  stop_button_->setEnabled(false);
  close_button_->setEnabled(true);
  close_button_->setDefault(true);
  state_->setText(stop_.IsRaised() ? QStringLiteral("中断しました") : QStringLiteral("終了しました"));
  Q_EMIT Finished();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void ProgressWindow::reject() {
  if (!running_) QDialog::reject();  // Escape and 閉じる wait for the job's end
}

void RunInProgressWindow(QWidget* parent, const DbJobFunction& job) {
  ProgressWindow window(job, parent);
  window.setModal(true);
  window.Start();
  window.exec();
}

}  // namespace app
