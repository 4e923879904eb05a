#include "app/search_stop_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt_text.h"

namespace app {

void SearchStopWindow::LatestLine::Line(std::string_view text) {
  std::lock_guard<std::mutex> hold(mutex_);
  line_.assign(text);
  fresh_ = true;
}

bool SearchStopWindow::LatestLine::Take(std::string& out) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (!fresh_) return false;
  out = line_;
  fresh_ = false;
  return true;
}

SearchStopWindow::SearchStopWindow(platform::StopFlag& stop, QWidget* parent) : QDialog(parent), stop_(stop) {
  setWindowTitle(QStringLiteral("データベース検索中"));
  line_ = new QLabel;
  line_->setMinimumWidth(280);
  stop_button_ = new QPushButton(QStringLiteral("検索中止"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(line_);
  layout->addWidget(stop_button_, 0, Qt::AlignCenter);
  connect(stop_button_, &QPushButton::clicked, this, [this] {
    stop_.Raise();
    stop_button_->setEnabled(false);
  });
  // The worker may report many lines a second; a glance every 100 ms is all a person reads.
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, [this] { ShowLatest(); });
  timer->start(100);
}

void SearchStopWindow::ShowLatest() {
  std::string line;
  if (progress_.Take(line)) line_->setText(FromCore(line));
}

}  // namespace app
