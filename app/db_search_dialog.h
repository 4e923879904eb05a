// DbSearchDialog: 対局検索・選択 (game windows) and 詰将棋検索・選択 (tsume windows), modeless and one at a
// time. The condition text comes from and goes to the last-search file of the database directory;
// 検索実行 and 重複検索 run on a worker thread under the stop window データベース検索中 and fill the
// selection list (and the application's last-search list, which the export, deletion and batch dialogs
// offer). The position condition's target is entered through the set-up window; 指手比較 compares the
// current window's game with the selected one; 対局選択 / 詰将棋選択 loads the selected item into the
// current window.
//
// Every database access holds the database lock: the worker takes it without waiting and the dialog
// says "データベースが使用中です" when another holds it, as the loading and comparing on this thread do.
#pragma once
#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "app/core/db_search_form.h"
#include "platform/events.h"
#include "platform/message_sink.h"
#include "platform/worker_thread.h"
#include "shogidb/item_database.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace app {

class BoardView;
class SearchStopWindow;

class DbSearchDialog : public QDialog {
  Q_OBJECT

 public:
  // `view`: the window it was opened from, the current window while no other of its kind is active.
  DbSearchDialog(BoardView* view, bool tsume, QWidget* parent);
  ~DbSearchDialog() override;  // stops a search and waits for it

  bool tsume() const { return tsume_; }
  QPlainTextEdit* condition() const { return condition_; }
  QListWidget* list() const { return list_; }
  QLabel* count_label() const { return count_; }
  QRadioButton* mode_button(int mode) const { return modes_[mode]; }
  QCheckBox* reversed_box() const { return reversed_; }
  QLineEdit* first_ply_field() const { return first_ply_; }
  QLineEdit* ply_count_field() const { return ply_count_; }
  QRadioButton* by_final_position() const { return by_final_; }
  const SearchTarget& target() const { return target_; }
  const std::vector<shogidb::ListEntry>& entries() const { return entries_; }
  bool searching() const { return worker_.started(); }
  SearchStopWindow* stop_window() const { return stop_window_; }

  // 検索実行 and 重複検索: start the worker (false when refused, the reason shown).
  bool Search();
  bool SearchDuplicates();
  // 条件保存 / 条件読出 to and from a named file; the buttons ask for the name.
  bool SaveConditionTo(const QString& path);
  bool LoadConditionFrom(const QString& path);
  // 新規入力 / 修正入力: opens the set-up window for the target position.
  void EnterPosition(bool revise);
  // A finished set-up arrives (the position file's bytes).
  void ReceiveTarget(const std::string& bytes);
  // 指手比較 with the selected game.
  void CompareMoves();
  // 対局選択 / 詰将棋選択: loads the selected item into the current window.
  bool LoadSelected();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Outcome;
  QWidget* MakeConditionRow();
  QWidget* MakePositionBox();
  QWidget* MakeDuplicateRow();
  QString DatabaseDir();
  bool Start(bool duplicates);
  void Finished(int generation);
  void ShowList(const std::vector<shogidb::ListEntry>& entries);
  void SetRunning(bool running);
  BoardView* CurrentView() const;
  void SaveCondition();
  void ReadCondition();
  platform::MessageSink& messages();

  bool tsume_;
  QPointer<BoardView> opener_;
  QPlainTextEdit* condition_;
  QListWidget* list_;
  QLabel* count_;
  QRadioButton* modes_[3];
  QCheckBox* reversed_;
  QLineEdit *first_ply_, *ply_count_;
  QRadioButton *by_moves_ = nullptr, *by_final_ = nullptr;
  std::vector<QWidget*> controls_;  // disabled while a search runs
  SearchStopWindow* stop_window_ = nullptr;
  SearchTarget target_;
  std::vector<shogidb::ListEntry> entries_;
  platform::StopFlag stop_;
  std::unique_ptr<Outcome> outcome_;  // written by the worker, read after it is joined
  int generation_ = 0;
  bool running_ = false;  // the controls are off and the window that opened the dialog is kept busy
  platform::WorkerThread worker_;  // last: joined before what it writes goes
};

// Command 32812 in a game or tsume window: shows the dialog of the window's kind, or refuses while a
// search dialog is open.
void OpenDbSearchDialog(BoardView& view);

}  // namespace app
