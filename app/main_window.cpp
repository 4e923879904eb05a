#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/board_view.h"
#include "app/board_window_placement.h"
#include "app/convert_dialog.h"
#include "app/db_file_commands.h"
#include "app/core/command_ids.h"
#include "app/core/pane_text.h"
#include "app/core/window_placement.h"
#include "app/printing.h"
#include "app/qt_text.h"
#include "app/record_window.h"
#include "app/setup_window.h"
#include "app/solver_window.h"
#include "app/text_editor_window.h"
#include "app/title_window.h"

namespace app {

namespace {

const char kMainWindowSection[] = "MAINFRAME_SECTION";
const char kToolbarSection[] = "TOOLBAR";
const char kProductTitle[] = "駒楽工房 Linux版";
const QPoint kDefaultFloat[3] = {{500, 240}, {500, 280}, {500, 320}};

// A toolbar setting: the toolbar's key stem and the value's name joined.
std::string ToolbarKey(const char* a, const char* b) { return std::string(a) + b; }

}  // namespace

// --- board window -----------------------------------------------------------------------------------------

BoardWindow::BoardWindow(BoardView* view) : view_(view) {
  setAttribute(Qt::WA_DeleteOnClose);
  auto* scroll = new QScrollArea;
  scroll->setWidget(view);
  scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scroll->setFocusProxy(view);  // the stepping keys work as soon as the window is active
  setWidget(scroll);
  setWindowTitle(BoardWindowTitle(*view));
  connect(view->document(), &BoardDocument::Changed, this, [this] { setWindowTitle(BoardWindowTitle(*view_)); });
  // A chosen zoom step shows in a normal frame sized to it.
  connect(view, &BoardView::ZoomChanged, this, [this] {
    if (isMaximized()) showNormal();
    Fit();
  });
}

BoardDocument* BoardWindow::document() const { return view_->document(); }

void BoardWindow::RaiseBusy() {
  ++busy_;
  if (auto* main = Application::instance()->main_window()) main->RaiseBusy();
}

void BoardWindow::LowerBusy() {
  --busy_;
  if (auto* main = Application::instance()->main_window()) main->LowerBusy();
}

void BoardWindow::Fit() {
  auto* scroll = static_cast<QScrollArea*>(widget());
  const int f = 2 * scroll->frameWidth();
  const QSize wanted = view_->size() + QSize(f, f);
  resize(size() - scroll->size() + wanted);
}

void BoardWindow::closeEvent(QCloseEvent* event) {
  if (busy_ > 0) {
    event->ignore();
    return;
  }
  StopSolveOf(*view_);  // the worker lets go of the board before anything reads or saves it
  // Internal command 104 first: an annotation stored as its editor closes is then part of the document
  // that the save question is about.
  view_->CloseAnnotation();
  if (!document()->SaveModified()) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

void BoardWindow::changeEvent(QEvent* event) {
  QMdiSubWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  // Maximized, the board is scaled to fill the frame; restored, it goes back to its zoom step.
  if (isMaximized()) {
    QTimer::singleShot(0, this, &BoardWindow::FitBoard);
  } else if (!isMinimized() && view_->EndFit()) {
    QTimer::singleShot(0, this, &BoardWindow::Fit);
  }
}

void BoardWindow::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  if (isMaximized()) FitBoard();
}

void BoardWindow::FitBoard() {
  if (!isMaximized()) return;
  auto* scroll = static_cast<QScrollArea*>(widget());
  const int f = 2 * scroll->frameWidth();
  view_->FitInto(scroll->size() - QSize(f, f));
}

// --- main window ----------------------------------------------------------------------------------------

MainWindow::MainWindow() {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QString::fromUtf8(kProductTitle));
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setBackground(QColor(128, 128, 128));
  setCentralWidget(mdi_);
  commands_ = new CommandUi(
      this, [this](int id) { return Query(id); }, [this](int id) { Execute(id); });
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { ActiveChanged(); });

  statusBar()->showMessage(QString::fromUtf8("レディ"));
  for (const char* indicator : {"カナ", "CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(QString::fromUtf8(indicator), this);
    label->setEnabled(false);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(label->text()) + 10);
    statusBar()->addPermanentWidget(label);
  }
  database_pane_ = new QLabel(this);
  database_pane_->setObjectName(QStringLiteral("DatabasePane"));
  database_pane_->setFixedWidth(220);
  database_pane_->setToolTip(QString::fromUtf8("将棋データベース名称"));
  statusBar()->addPermanentWidget(database_pane_);

  MakeToolbars();
  commands_->SetKind(kMainMenu, [this](QMenu* m, QAction* b) { FillRecent(m, b); },
                     [this](QMenu* m, QAction* b) { FillWindows(m, b); });
  PlaceWindow();
  RestoreToolbars();
  UpdateDatabasePane();

  // Enabling follows the state on idle, as toolbar buttons must.
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, [this] {
    UpdateCommandUi();
    UpdateDatabasePane();
  });
  idle->start(250);
}

MainWindow::~MainWindow() {
  // Child windows go first, while this frame is still whole enough to hear about it.
  mdi_->disconnect(this);
  for (QMdiSubWindow* w : mdi_->subWindowList()) delete w;
}

void MainWindow::MakeToolbars() {
  const auto& specs = Toolbars();
  for (size_t i = 0; i < specs.size(); ++i) {
    auto* bar = new QToolBar(QString::fromUtf8(specs[i].title), this);
    bar->setObjectName(QString::fromLatin1(specs[i].key));
    bar->setIconSize(QSize(16, 15));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setFloatable(true);
    for (int id : specs[i].buttons) {
      if (id == 0) {
        bar->addSeparator();
      } else {
        bar->addAction(commands_->Action(id));
      }
    }
    addToolBar(Qt::TopToolBarArea, bar);  // in order: each docks to the right of the one before
    toolbars_[i] = bar;
  }
}

void MainWindow::PlaceWindow() {
  platform::SettingsFile& s = Application::instance()->settings();
  const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                        : QRect(0, 0, 1024, 768);
  if (s.GetInt(kMainWindowSection, "CxScreen", 0) == screen.width() &&
      s.GetInt(kMainWindowSection, "CyScreen", 0) == screen.height()) {
    int x1 = s.GetInt(kMainWindowSection, "PosX1", 0), y1 = s.GetInt(kMainWindowSection, "PosY1", 0);
    int x2 = s.GetInt(kMainWindowSection, "PosX2", 0), y2 = s.GetInt(kMainWindowSection, "PosY2", 0);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 > x1 && y2 > y1) {
      setGeometry(x1, y1, x2 - x1, y2 - y1);
      return;
    }
  }
  const QRect free = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : screen;
  const Rect first = FirstStartRect({screen.left(), screen.top(), screen.right() + 1, screen.bottom() + 1},
                                    {free.left(), free.top(), free.right() + 1, free.bottom() + 1});
  setGeometry(first.left, first.top, first.Width(), first.Height());
}

void MainWindow::RestoreToolbars() {
  platform::SettingsFile& s = Application::instance()->settings();
  const auto& specs = Toolbars();
  for (int i = 0; i < 3; ++i) {
    const char* stem = specs[i].key;
    QToolBar* bar = toolbars_[i];
    if (s.GetInt(kToolbarSection, ToolbarKey("Floarting", stem), 0)) {
      const QPoint at(s.GetInt(kToolbarSection, ToolbarKey(stem, "Pos_x"), kDefaultFloat[i].x()),
                      s.GetInt(kToolbarSection, ToolbarKey(stem, "Pos_y"), kDefaultFloat[i].y()));
      bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
      bar->move(at);
      bar->adjustSize();
    }
    bar->setVisible(s.GetInt(kToolbarSection, ToolbarKey("Visible", stem), 1) != 0);
  }
}

void MainWindow::SaveState() {
  platform::SettingsFile& s = Application::instance()->settings();
  const auto& specs = Toolbars();
  for (int i = 0; i < 3; ++i) {
    const char* stem = specs[i].key;
    QToolBar* bar = toolbars_[i];
    const bool floating = bar->isFloating();
    s.WriteInt(kToolbarSection, ToolbarKey("Visible", stem), bar->isHidden() ? 0 : 1);
    s.WriteInt(kToolbarSection, ToolbarKey("Floarting", stem), floating ? 1 : 0);
    s.WriteInt(kToolbarSection, ToolbarKey(stem, "Pos_x"), floating ? bar->pos().x() : -1);
    s.WriteInt(kToolbarSection, ToolbarKey(stem, "Pos_y"), floating ? bar->pos().y() : -1);
  }
  const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
  s.WriteInt(kMainWindowSection, "Maximum", isMaximized() ? 1 : 0);
  s.WriteInt(kMainWindowSection, "CxScreen", screen.width());
  s.WriteInt(kMainWindowSection, "CyScreen", screen.height());
  if (!isMaximized()) {
    const QRect r = geometry();
    s.WriteInt(kMainWindowSection, "PosX1", r.left());
    s.WriteInt(kMainWindowSection, "PosY1", r.top());
    s.WriteInt(kMainWindowSection, "PosX2", r.left() + r.width());
    s.WriteInt(kMainWindowSection, "PosY2", r.top() + r.height());
  }
}

void MainWindow::ShowAsStored() {
  if (Application::instance()->settings().GetInt(kMainWindowSection, "Maximum", 0)) {
    showMaximized();
  } else {
    show();
  }
}

BoardView* MainWindow::AddDocument(BoardDocument* doc) {
  auto* view = new BoardView(doc);
  auto* child = new BoardWindow(view);
  mdi_->addSubWindow(child);
  child->setWindowIcon(ToolbarIcon(cmd::kNewGame));
  child->show();
  PlaceNewBoardWindow(*this, *child);
  QTimer::singleShot(0, child, [this, child] { PlaceNewBoardWindow(*this, *child); });  // with the real margins
  connect(view, &BoardView::StateChanged, this, [this] { UpdateCommandUi(); });
  mdi_->setActiveSubWindow(child);
  view->setFocus();
  if (Application::instance()->kif_window() && doc->kind() != DocKind::kSetup) view->Execute(cmd::kOpenRecordWindow);
  ActiveChanged();
  return view;
}

BoardWindow* MainWindow::ActiveChild() const {
  QMdiSubWindow* w = mdi_->activeSubWindow();
  if (!w && !mdi_->subWindowList().isEmpty()) w = mdi_->currentSubWindow();
  if (QMdiSubWindow* board = BoardFrameOf(w)) w = board;  // a record window acts for its board
  if (QMdiSubWindow* board = SolverOwnerFrameOf(w)) w = board;  // so does a solver window
  return qobject_cast<BoardWindow*>(w);
}

BoardView* MainWindow::ActiveView() const {
  BoardWindow* child = ActiveChild();
  return child ? child->view() : nullptr;
}

QList<BoardView*> MainWindow::Views() const {
  QList<BoardView*> views;
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    if (auto* child = qobject_cast<BoardWindow*>(w)) views << child->view();
  }
  return views;
}

BoardView* MainWindow::FindDocument(const QString& path) const {
  for (BoardView* v : Views()) {
    if (!path.isEmpty() && v->document()->path() == path) return v;
  }
  return nullptr;
}

void MainWindow::Activate(BoardView* view) {
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    auto* child = qobject_cast<BoardWindow*>(w);
    if (child && child->view() == view) mdi_->setActiveSubWindow(child);
  }
}

void MainWindow::ActiveChanged() {
  BoardView* view = ActiveView();
  WindowKind kind = kMainMenu;
  if (view) kind = view->document()->kind() == DocKind::kTsume ? kTsumeMenu : kGameMenu;
  if (kind != commands_->kind()) {
    commands_->SetKind(kind, [this](QMenu* m, QAction* b) { FillRecent(m, b); },
                       [this](QMenu* m, QAction* b) { FillWindows(m, b); });
  }
  UpdateCommandUi();
}

void MainWindow::UpdateCommandUi() {
  if (mdi_->subWindowList().isEmpty() && commands_->kind() != kMainMenu) ActiveChanged();
  commands_->Update();
}

void MainWindow::UpdateDatabasePane() {
  const QString dir = Application::instance()->database_dir();
  const QFontMetrics metrics(database_pane_->font());
  int char_width = metrics.averageCharWidth();
  if (char_width <= 0) char_width = std::max(1, metrics.height() / 2);
  const int room = database_pane_->width() / char_width;
  database_pane_->setText(FromCore(ShortenForPane(ToCore(dir), room)));
}

void MainWindow::FillRecent(QMenu* menu, QAction* before) {
  const QStringList& files = Application::instance()->recent_files();
  for (int i = 0; i < files.size(); ++i) {
    auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), menu);
    a->setProperty("dynamic", true);
    const QString path = files[i];
    connect(a, &QAction::triggered, this, [path] { Application::instance()->OpenByExtension(path); });
    menu->insertAction(before, a);
  }
  if (files.isEmpty()) {
    auto* a = new QAction(QString::fromUtf8("最新のﾌｧｲﾙ"), menu);
    a->setProperty("dynamic", true);
    a->setEnabled(false);
    menu->insertAction(before, a);
  }
}

void MainWindow::FillWindows(QMenu* menu, QAction* before) {
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  for (int i = 0; i < windows.size(); ++i) {
    auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(windows[i]->windowTitle()), menu);
    a->setProperty("dynamic", true);
    a->setCheckable(true);
    a->setChecked(windows[i] == mdi_->activeSubWindow());
    QMdiSubWindow* w = windows[i];
    connect(a, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
    menu->insertAction(before, a);
  }
}

CommandState MainWindow::Query(int id) {
  CommandState s;
  if (BoardView* view = ActiveView()) {
    s = view->Query(id);
    if (s.handled) return s;
  }
  s = QueryDbFileCommand(id, ActiveView());
  if (s.handled) return s;
  Application* app = Application::instance();
  const bool has_child = ActiveChild() != nullptr;
  s.handled = true;
  s.enabled = true;
  switch (id) {
    case cmd::kNewGame:
    case cmd::kNewTsume:
    case cmd::kOpenGame:
    case cmd::kOpenTsume:
    case cmd::kFileOpen:
    case cmd::kAppExit:
    case cmd::kToolbarDialog:
    case cmd::kAbout:
    case cmd::kHelpTopics:
    case cmd::kPrintSetup:
    case cmd::kEditor:
    case cmd::kConvertFiles:
      break;
    case cmd::kFileClose:
    case cmd::kFileSave:
    case cmd::kFileSaveAs:
    case cmd::kCascade:
    case cmd::kTile:
    case cmd::kArrange:
      s.enabled = has_child;
      break;
    case cmd::kStatusBar:
      s.checked = statusBar()->isVisible();
      break;
    case cmd::kRecordWindowAlways:
      s.checked = app->kif_window();
      break;
    case cmd::kBitmapBack:
    case cmd::kBitmapBox:
    case cmd::kBitmapPieces:
      s.enabled = false;
      break;
    case cmd::kBitmapTitle:
      s.enabled = app->title_file_present();
      break;
    default:
      s.handled = false;
      s.enabled = false;
  }
  return s;
}

void MainWindow::Execute(int id) {
  if (BoardView* view = ActiveView()) {
    if (view->Query(id).handled) {
      view->Execute(id);
      UpdateCommandUi();
      return;
    }
  }
  if (!Query(id).enabled) return;
  if (QueryDbFileCommand(id, ActiveView()).handled) {
    ExecuteDbFileCommand(id, this, ActiveView());
    UpdateCommandUi();
    return;
  }
  Application* app = Application::instance();
  BoardWindow* child = ActiveChild();
  switch (id) {
    case cmd::kNewGame:
      app->NewDocument(DocKind::kGame);
      break;
    case cmd::kNewTsume:
      app->NewDocument(DocKind::kTsume);
      break;
    case cmd::kOpenGame:
    case cmd::kOpenTsume:
    case cmd::kFileOpen:
      OpenWithDialog(id);
      break;
    case cmd::kFileClose:
      child->close();
      break;
    case cmd::kFileSave:
      if (child->document()->Save()) app->AddRecentFile(child->document()->path());
      break;
    case cmd::kFileSaveAs:
      if (child->document()->SaveAs()) app->AddRecentFile(child->document()->path());
      break;
    case cmd::kAppExit:
      close();
      break;
    case cmd::kCascade:
      mdi_->cascadeSubWindows();
      break;
    case cmd::kTile:
      mdi_->tileSubWindows();
      break;
    case cmd::kArrange:
      ArrangeIcons();
      break;
    case cmd::kToolbarDialog:
      ShowToolbarDialog();
      break;
    case cmd::kStatusBar:
      statusBar()->setVisible(!statusBar()->isVisible());
      break;
    case cmd::kRecordWindowAlways:
      app->SetKifWindow(!app->kif_window());
      break;
    case cmd::kBitmapTitle:
      app->ShowTitleWindow();
      break;
    case cmd::kEditor:
      OpenTextEditor(this);
      break;
    case cmd::kConvertFiles:
      RunConvertDialog(this);
      break;
    case cmd::kAbout:
      ShowAbout();
      break;
    case cmd::kHelpTopics:
      ShowHelp();
      break;
    case cmd::kPrintSetup:
      SetUpPrinter(this);
      break;
    default:
      break;
  }
  UpdateCommandUi();
}

void MainWindow::OpenWithDialog(int id) {
  Application* app = Application::instance();
  const WindowKind kind = commands_->kind();
  if (id == cmd::kFileOpen && kind == kGameMenu) id = cmd::kOpenGame;
  if (id == cmd::kFileOpen && kind == kTsumeMenu) id = cmd::kOpenTsume;
  QString filter;
  const QString kakinoki = QString::fromUtf8("柿木形式の棋譜 (*.kif *.kifu *.ki2 *.ki2u)");
  if (id == cmd::kOpenGame) {
    filter = QString::fromUtf8(TemplateOf(DocKind::kGame).filter_name) + ";;" + kakinoki;
  } else if (id == cmd::kOpenTsume) {
    filter = QString::fromUtf8(TemplateOf(DocKind::kTsume).filter_name);
  } else {
    filter = QString::fromUtf8("棋譜と詰将棋 (*.csa *.pcl *.kif *.kifu *.ki2 *.ki2u);;") +
             QString::fromUtf8(TemplateOf(DocKind::kGame).filter_name) + ";;" +
             QString::fromUtf8(TemplateOf(DocKind::kTsume).filter_name) + ";;" + kakinoki;
  }
  QFileDialog dialog(this, QString::fromUtf8("開く"), QString(), filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().first();
  if (id == cmd::kOpenGame) {
    app->OpenDocument(path, DocKind::kGame);
  } else if (id == cmd::kOpenTsume) {
    app->OpenDocument(path, DocKind::kTsume);
  } else if (!app->OpenByExtension(path)) {
    app->messages().Show(platform::Utf8ToCp932("CSA または PCL ファイルではありません。"));
  }
}

void MainWindow::ArrangeIcons() {
  int x = 0;
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    if (!w->isMinimized()) continue;
    w->move(x, mdi_->viewport()->height() - w->height());
    x += w->width();
  }
}

void MainWindow::ShowToolbarDialog() {
  QDialog dialog(this);
  dialog.setObjectName(QStringLiteral("ToolbarDialog"));
  dialog.setWindowTitle(QString::fromUtf8("ツールバー"));
  auto* layout = new QVBoxLayout(&dialog);
  QCheckBox* boxes[3];
  for (int i = 0; i < 3; ++i) {
    boxes[i] = new QCheckBox(QString::fromUtf8(Toolbars()[i].title), &dialog);
    boxes[i]->setChecked(!toolbars_[i]->isHidden());
    layout->addWidget(boxes[i]);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  for (int i = 0; i < 3; ++i) {
    toolbars_[i]->setVisible(boxes[i]->isChecked());
    toolbars_[i]->update();
  }
}

void MainWindow::ShowAbout() {
  QMessageBox box(this);
  box.setObjectName(QStringLiteral("AboutBox"));
  box.setWindowTitle(QString::fromUtf8("駒楽工房 for Windows32 (WinKZB) バージョン情報"));
  box.setIconPixmap(ToolbarIcon(cmd::kNewGame).pixmap(32, 30));
  box.setText(QString::fromUtf8("駒楽工房 for Windows32 (WinKZB) Version 5.2"));
  box.setInformativeText(QString::fromUtf8("Linux 版 (komaraku)。盤・駒の画像と駒音はこのプログラム自身が描いたものです。"));
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

void MainWindow::ShowHelp() {
  QMessageBox box(this);
  box.setWindowTitle(QString::fromUtf8("駒楽工房 ヘルプ"));
  box.setText(QString::fromUtf8(
      "盤の操作\n"
      "  → ↓ : 局面前進　　← ↑ : 局面後退\n"
      "  Home : 初期局面　　End : 最終局面\n"
      "  PageDown : 自動前進　PageUp : 自動後退　Delete : 停止\n\n"
      "棋譜編集 (Ctrl+L または 編集メニュー) の間は、駒をクリックして持ち上げ、\n"
      "行き先をクリックすると指し手になります (ドラッグでも指せます)。\n"
      "右クリックで持ち上げた駒を戻します。持ち上げた駒はスペースで成・不成が切り替わります。\n\n"
      "コマンドラインの kzb でも棋譜の表示・変換などができます (kzb help)。"));
  box.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_ > 0) {
    event->ignore();
    return;
  }
  Application* app = Application::instance();
  if (SetupWindow* setup = app->setup_window()) {
    if (!setup->close()) {
      event->ignore();
      return;
    }
  }
  mdi_->closeAllSubWindows();
  if (!mdi_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  SaveState();
  app->End();
  event->accept();
  QApplication::quit();
}

}  // namespace app
