// CMainFrame: the main window, a multiple-document frame holding one child window (CChildFrame) per open
// game or tsume document, with the menus of the active window's kind, three dockable toolbars, the status
// bar with the database pane, the recent files and the window commands.
#pragma once
#include <QMainWindow>
#include <QMdiSubWindow>
#include <memory>

#include "app/command_ui.h"

class CKZBDoc;
class CKZBView;
class QLabel;
class QMdiArea;
class QPrinter;
class QToolBar;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  explicit CChildFrame(CKZBView* view);
  CKZBView* view() const { return view_; }
  CKZBDoc* document() const;

  // While the busy count is above zero the window refuses to close; each raise and lower goes on to the
  // main window's count.
  void RaiseBusy();
  void LowerBusy();
  int busy() const { return busy_; }
  // Resizes the frame so that the whole board shows without scroll bars (the frame's "maximize").
  void Fit();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  CKZBView* view_;
  int busy_ = 0;
};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame();
  ~CMainFrame() override;

  CKZBView* AddDocument(CKZBDoc* doc);
  CKZBView* ActiveView() const;
  CChildFrame* ActiveChild() const;
  CKZBView* FindDocument(const QString& path) const;
  QList<CKZBView*> Views() const;
  void Activate(CKZBView* view);
  QMdiArea* mdi() const { return mdi_; }
  CommandUi& commands() { return *commands_; }
  QToolBar* toolbar(int index) const { return toolbars_[index]; }
  QLabel* database_pane() const { return database_pane_; }

  km::CommandState Query(int id);
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
  std::unique_ptr<QPrinter> printer_;  // the printer settings the print commands will use
};
