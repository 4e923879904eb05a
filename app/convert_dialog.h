// The conversion dialog 棋譜→CSAファイル変換 (246, ファイル変換): Kakinoki records (KIF, KI2) to CSA files, one
// per input (個別) or all into one file (一括), with the defaults for games that lack an event or a date.
// Its fields come from the settings section KIF2CSA when it opens and go back there when it closes. 実行
// runs the batch on a worker thread: the dialog shows which input it is at and every message of the run in
// its result list, and refuses to close until the run is over.
#pragma once
#include <QDialog>
#include <memory>

#include "app/core/convert_form.h"
#include "platform/worker_thread.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace app {

class ConvertDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ConvertDialog(QWidget* parent);
  ~ConvertDialog() override;  // waits for a run, then remembers the fields

  // The controls, for tests and screenshots.
  QListWidget* inputs() const { return inputs_; }
  QListWidget* results() const { return results_; }
  QLabel* progress() const { return progress_; }
  QRadioButton* bulk() const { return bulk_; }
  QRadioButton* each() const { return each_; }
  QRadioButton* append() const { return append_; }
  QRadioButton* overwrite() const { return overwrite_; }
  QLineEdit* event_field() const { return event_; }
  QLineEdit* date_field() const { return date_; }
  QLineEdit* out_dir_field() const { return out_dir_; }
  QLineEdit* out_file_field() const { return out_file_; }
  QCheckBox* full_width() const { return full_width_; }
  QPushButton* run_button() const { return run_; }
  bool running() const { return worker_.started(); }

  void AddInputs(const QStringList& paths);
  ConvertForm Form() const;
  // 実行: checks the default date, then starts the run; the dialog stays open to show what it said.
  void Run();

  void reject() override;  // refused while a run goes on

 private:
  void ChooseInputs();
  void RemoveInputs();
  void ChooseOutput();
  void ModeChanged();
  void RunFinished();

  QListWidget* inputs_;
  QListWidget* results_;
  QLabel* progress_;
  QRadioButton *bulk_, *each_, *append_, *overwrite_;
  QLineEdit *event_, *date_, *out_dir_, *out_file_;
  QCheckBox* full_width_;
  QPushButton *run_, *close_;
  std::string in_dir_;
  platform::WorkerThread worker_;
  std::unique_ptr<record::KakinokiBatchResult> finished_;  // written by the worker, taken after the join
};

// Command 32896.
void RunConvertDialog(QWidget* parent);

}  // namespace app
