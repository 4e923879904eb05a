// The select-read dialogs: CSAファイル選択読込 (217, game windows) and PCLファイル選択読込 (242, tsume
// windows). The file field starts with the remembered file; its games or problems are listed by a scan on
// a worker thread, with the count every 10 entries and a stop; the chosen entry replaces the contents of
// the window's document.
#pragma once
#include <QDialog>
#include <memory>

#include "app/core/select_read_source.h"
#include "platform/worker_thread.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace app {

class BoardView;

class SelectReadDialog : public QDialog {
  Q_OBJECT

 public:
  // Starts listing at once when the file offered first exists.
  SelectReadDialog(BoardView& view, QWidget* parent);
  ~SelectReadDialog() override;  // stops a scan and waits for it

  QLineEdit* file_field() const { return file_; }
  QListWidget* list() const { return list_; }
  QLabel* count_label() const { return count_; }
  bool scanning() const { return worker_.started(); }

  // Lists the file named in the field (リスト表示), stopping a scan still running.
  void ListFile();
  // 棋譜選択: loads the selected entry into the document and closes; stays open when nothing is selected
  // or the user keeps the changes.
  void accept() override;
  void reject() override;

 private:
  void Browse();
  void StopScan();
  void ScanFinished(int generation);
  void UpdateButtons();

  BoardView& view_;
  const SelectReadKind& kind_;
  QLineEdit* file_;
  QListWidget* list_;
  QLabel* count_;
  QPushButton* stop_;
  QPushButton* choose_;
  platform::StopFlag stop_flag_;
  platform::WorkerThread worker_;
  std::unique_ptr<SelectReadList> scanned_;  // written by the worker, taken after it is joined
  SelectReadList shown_;
  int generation_ = 0;  // late reports of an abandoned scan are dropped
};

// Loads entry k of a listed file into the view's document after the save question: the document loses its
// path, takes the title SelectedTitle gives and is unmodified; the board and its windows show it. When the
// entry does not read, the document keeps what it had. False when nothing was loaded.
bool LoadSelectedEntry(BoardView& view, const SelectReadList& list, const SelectReadKind& kind, int k);

// After the document's contents were replaced in place: the board keeps the seat it was shown from
// (turned when the new contents want the other), and it, its panes and record window show the new record.
void ShowReplacedContents(BoardView& view, bool shown_reversed);

// Commands 32825 and 32857.
void RunSelectRead(BoardView& view);

}  // namespace app
