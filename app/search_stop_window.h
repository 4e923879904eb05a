// SearchStopWindow: データベース検索中, shown while a database search runs on its worker thread. Its one
// button 検索中止 raises the search's stop flag; the newest line the search reports is shown above it.
// The lines arrive on the worker thread through progress(), and the window takes them on its own.
#pragma once
#include <QDialog>
#include <mutex>
#include <string>

#include "platform/events.h"
#include "platform/progress_sink.h"

class QLabel;
class QPushButton;

namespace app {

class SearchStopWindow : public QDialog {
  Q_OBJECT

 public:
  SearchStopWindow(platform::StopFlag& stop, QWidget* parent);

  // Where the worker sends its lines (any thread).
  platform::ProgressSink& progress() { return progress_; }
  QPushButton* stop_button() const { return stop_button_; }

 protected:
  void reject() override {}  // Esc and the close box do not hide a running search

 private:
  class LatestLine final : public platform::ProgressSink {
   public:
    void Line(std::string_view text) override;
    bool Take(std::string& out);

   private:
    std::mutex mutex_;
    std::string line_;
    bool fresh_ = false;
  };

  void ShowLatest();

  platform::StopFlag& stop_;
  LatestLine progress_;
  QLabel* line_;
  QPushButton* stop_button_;
};

}  // namespace app
