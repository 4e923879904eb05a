// SetupWindow: the position set-up window (template 203, one document). It edits a copy of the start
// position of the board window that opened it, with free placement, the standard layouts and the side to
// move, and "局面設定終了" hands the result back to that window.
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <string>

#include "app/command_ui.h"

namespace app {

class BoardView;
class BoardDocument;

class SetupWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit SetupWindow(BoardView* source);
  ~SetupWindow() override;

  BoardView* view() const { return view_; }
  BoardDocument* document() const { return doc_; }
  bool from_tsume() const { return from_tsume_; }
  CommandState Query(int id);
  void Execute(int id);
  // 局面設定終了: hands the position to the source window (when it changed) and closes.
  void EndSetup();
  // A set-up for a search dialog's target position rather than a document: starts from `bytes` (a
  // position file's), and 局面設定終了 hands the position to `receiver` even when it was not changed.
  void SetUpFor(const std::string& bytes, std::function<void(const std::string&)> receiver);

  // Reads a position file (.skb) into the window; false after the reader's message.
  bool OpenPath(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void StartEditing();
  void OpenFile();

  BoardDocument* doc_;
  BoardView* view_;
  QPointer<BoardView> source_;
  bool from_tsume_;
  std::function<void(const std::string&)> receiver_;
  CommandUi* commands_;
};

}  // namespace app
