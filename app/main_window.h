// MainWindow: the main window, a multiple-document frame holding one child window (BoardWindow) per open
// game or tsume document, with the menus of the active window's kind, three dockable toolbars, the status
// bar with the database pane, the recent files and the window commands.
#pragma once
#include <QMainWindow>
#include <QMdiSubWindow>
#include <memory>

#include "app/command_ui.h"

class QLabel;
class QMdiArea;
class QToolBar;

namespace app {

class BoardDocument;
class BoardView;

class BoardWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  explicit BoardWindow(BoardView* view);
  BoardView* view() const { return view_; }
  BoardDocument* document() const;

  // While the busy count is above zero the window refuses to close; each raise and lower goes on to the
  // main window's count.
  void RaiseBusy();
  void LowerBusy();
  int busy() const { return busy_; }
  // Resizes the frame so that the whole board shows at its zoom without scroll bars.
  void Fit();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitBoard();  // the board scaled to the maximized frame

  BoardView* view_;
  int busy_ = 0;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();
  ~MainWindow() override;

  BoardView* AddDocument(BoardDocument* doc);
  BoardView* ActiveView() const;
  BoardWindow* ActiveChild() const;
  BoardView* FindDocument(const QString& path) const;
  QList<BoardView*> Views() const;
  void Activate(BoardView* view);
  QMdiArea* mdi() const { return mdi_; }
  CommandUi& commands() { return *commands_; }
  QToolBar* toolbar(int index) const { return toolbars_[index]; }
  QLabel* database_pane() const { return database_pane_; }

  CommandState Query(int id);
  void Execute(int id);
  void UpdateCommandUi();
  // The window as the settings left it: maximized or not.
  void ShowAsStored();
  void RaiseBusy() { ++busy_; }
  void LowerBusy() { --busy_; }
  int busy() const { return busy_; }
  void UpdateDatabasePane();  // internal command 120

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlaceWindow();
  void MakeToolbars();
  void RestoreToolbars();
  void SaveState();
  void ActiveChanged();
  void FillRecent(QMenu* menu, QAction* before);
  void FillWindows(QMenu* menu, QAction* before);
  void OpenWithDialog(int id);
  void ShowToolbarDialog();
  void ShowAbout();
  void ShowHelp();
  void ArrangeIcons();

  QMdiArea* mdi_;
  CommandUi* commands_;
  QToolBar* toolbars_[3] = {};
  QLabel* database_pane_ = nullptr;
  int busy_ = 0;
};

}  // namespace app
