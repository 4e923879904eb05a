#include "app/joseki_browser.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTreeWidget>
#include <algorithm>

#include "app/application.h"
#include "app/board_view.h"
#include "app/command_ui.h"
#include "app/core/command_ids.h"
#include "app/core/joseki_commands.h"
#include "app/joseki_annotation_editor.h"
#include "app/joseki_boxes.h"
#include "app/main_window.h"
#include "app/printing.h"
#include "app/qt_text.h"
#include "platform/progress_sink.h"
#include "shogidb/joseki_lines.h"

namespace app {

namespace {

constexpr int kCellRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;
constexpr int kWidth = 300, kHeight = 420;

std::string DatabaseDirectory() { return ToCore(Application::instance()->database_dir()); }

// Clears a flag when the scope ends, whichever way it ends.
class Busy {
 public:
  explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
  ~Busy() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

// The lines the library's single edits report ("定跡手 … を削除しました。") go to the status bar.
class JosekiBrowser::StatusLines final : public platform::ProgressSink {
 public:
  explicit StatusLines(QStatusBar* bar) : bar_(bar) {}
  void Line(std::string_view text) override { bar_->showMessage(FromCore(text)); }

 private:
  QStatusBar* bar_;
};

JosekiBrowser::JosekiBrowser(BoardView* board, QWidget* owner) : QMainWindow(owner, Qt::Window), board_(board) {
  setObjectName(QStringLiteral("JosekiBrowser"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromUtf8("定跡散策"));
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("JosekiTree"));
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->setExpandsOnDoubleClick(false);  // a double click plays the line
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->installEventFilter(this);
  setCentralWidget(tree_);
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Expanded(item); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { SelectionChanged(); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { PlayItem(item); });
  connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { ShowPopup(at); });

  commands_ = new CommandUi(
      this, [this](int id) { return Query(id); }, [this](int id) { Execute(id); });
  commands_->SetKind(kJosekiMenu);
  statusBar()->showMessage(QString::fromUtf8("レディ"));
  for (QLabel*& pane : panes_) {
    pane = new QLabel(this);
    pane->setMinimumWidth(40);
    statusBar()->addPermanentWidget(pane);
  }
  status_lines_ = std::make_unique<StatusLines>(statusBar());

  Application* app = Application::instance();
  app->database_state().joseki_open = true;
  note_rect_ = note_stored_ = ReadEditorRect(app->settings(), EditorKind::kJosekiAnnotation);
}

JosekiBrowser::~JosekiBrowser() {
  Application* app = Application::instance();
  if (editor_) {
    editor_->disconnect(this);
    editor_->CloseQuietly();
  }
  app->database_state().joseki_open = false;
  if (!(note_rect_ == note_stored_)) WriteEditorRect(app->settings(), EditorKind::kJosekiAnnotation, note_rect_);
}

BoardView* JosekiBrowser::board() const { return board_; }

void JosekiBrowser::Bind(BoardView* board) { board_ = board; }

shogidb::DbJob JosekiBrowser::Job() {
  shogidb::DbJob job;
  job.messages = &Application::instance()->messages();
  job.progress = status_lines_.get();
  return job;
}

const JosekiCell* JosekiBrowser::CellOf(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  const int index = item->data(0, kCellRole).toInt();
  return index >= 0 && index < static_cast<int>(cells_.size()) ? &cells_[index] : nullptr;
}

const JosekiCell* JosekiBrowser::SelectedCell() const { return CellOf(tree_->currentItem()); }

JosekiAnnotationEditor* JosekiBrowser::note_editor() const { return editor_ && editor_->isVisible() ? editor_.data() : nullptr; }
JosekiPropertiesBox* JosekiBrowser::properties_box() const {
  return properties_ && properties_->isVisible() ? properties_.data() : nullptr;
}
JosekiEvaluationBox* JosekiBrowser::evaluation_box() const {
  return evaluation_ && evaluation_->isVisible() ? evaluation_.data() : nullptr;
}

// --- the tree ------------------------------------------------------------------------------------------------

QTreeWidgetItem* JosekiBrowser::AddItem(QTreeWidgetItem* parent, JosekiCell cell) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
  item->setText(0, FromCore(cell.text));
  item->setData(0, kCellRole, static_cast<int>(cells_.size()));
  item->setData(0, kFilledRole, false);
  cells_.push_back(std::move(cell));
  return item;
}

void JosekiBrowser::Fill(QTreeWidgetItem* item, JosekiSession& session) {
  if (item->data(0, kFilledRole).toBool()) return;
  std::vector<JosekiCell> children;
  if (ReadChildCells(session.db(), *CellOf(item), children) != 0) return;
  for (JosekiCell& child : children) AddItem(item, std::move(child));
  item->setData(0, kFilledRole, true);
}

bool JosekiBrowser::Rebuild() {
  if (rebuilding_ || playing_ || !board_) return false;
  Busy busy(rebuilding_);
  JosekiSession session(DatabaseDirectory(), Job());
  // Another holds the database: the tree stays as it is, and so do the boxes that show its items.
  if (!session.ready()) return false;
  if (properties_) properties_->close();
  if (evaluation_) evaluation_->close();
  tree_->clear();
  cells_.clear();
  QTreeWidgetItem* root = AddItem(nullptr, RootCell(board_->document()->board()));
  Fill(root, session);
  // The children's children too, so that expandable items show it.
  for (int i = 0; i < root->childCount(); ++i) Fill(root->child(i), session);
  tree_->setCurrentItem(root);
  root->setExpanded(true);
  UpdatePanes();
  commands_->Update();
  return true;
}

void JosekiBrowser::Expanded(QTreeWidgetItem* item) {
  if (rebuilding_) return;
  bool unread = false;
  for (int i = 0; i < item->childCount(); ++i) unread = unread || !item->child(i)->data(0, kFilledRole).toBool();
  if (!unread) return;
  JosekiSession session(DatabaseDirectory(), Job());
  if (!session.ready()) return;
  for (int i = 0; i < item->childCount(); ++i) Fill(item->child(i), session);
}

void JosekiBrowser::SelectionChanged() {
  if (const JosekiCell* cell = SelectedCell()) {
    // 107 and 108: the boxes follow the selection.
    if (properties_box() && cell->is_move()) properties_->ShowItem(*cell);
    if (evaluation_box()) evaluation_->ShowItem(*cell);
  }
  UpdatePanes();
  commands_->Update();
}

void JosekiBrowser::UpdatePanes() {
  const JosekiCell* cell = SelectedCell();
  const QTreeWidgetItem* item = tree_->currentItem();
  panes_[0]->setText(cell ? QString::fromUtf8("%1手目").arg(cell->depth) : QString());
  panes_[1]->setText(cell && cell->is_move() ? QString::fromUtf8("属性 %1").arg(cell->value) : QString());
  panes_[2]->setText(item ? QString::fromUtf8("候補 %1").arg(item->childCount()) : QString());
  panes_[3]->setText(auto_note_ ? QString::fromUtf8("注釈表示") : QString());
}

// --- playing a line ------------------------------------------------------------------------------------------

bool JosekiBrowser::PlayItem(QTreeWidgetItem* item) {
  if (!item || !board_ || rebuilding_ || playing_) return false;
  BoardController& controller = board_->controller();
  if (controller.busy() || controller.auto_direction() != 0) return false;
  if (CloseCompanions()) return false;
  std::vector<QTreeWidgetItem*> path;
  for (QTreeWidgetItem* p = item; p && p->parent(); p = p->parent()) path.insert(path.begin(), p);
  if (path.empty()) return false;
  JosekiCell last;
  {
    Busy busy(playing_);
    ScreenBoard& board = board_->document()->board();
    const uint32_t revision = board.tree_revision();
    controller.PutBackHeld();
    bool played = false;
    for (QTreeWidgetItem* step : path) {
      const JosekiCell cell = *CellOf(step);
      rules::MoveWord w;
      // The tree was read for the board's position; a board changed meanwhile ends the line.
      if (!(board.CurrentBoardForm() == cell.form) || board.side_to_move() != cell.side ||
          !shogidb::MoveWordOf(board, cell.move, w)) {
        break;
      }
      tree_->setCurrentItem(step);
      board_->CloseAnnotation();
      const rules::MoveNode* before = board.current();
      // At its current place the record gains the move, or steps into an equal move it has.
      board.piece(w.Piece()).MoveTo(w.To(), rules::PromotionTo(w.PromotedAfter()), w.SideAfter());
      if (board.current() == before) break;  // no node left for it (the pool has said so)
      board_->RedrawHeader();
      last = cell;
      played = true;
    }
    controller.Refresh();
    if (!played) return false;
    board_->PlayPieceSound();
    if (board.tree_revision() != revision) board_->SetModified();
    board_->RecordChanged();  // 114
    board_->CurrentMoveChanged();
  }
  Rebuild();
  if (auto_note_) {
    // The move's annotation, else the position's, when the database holds one.
    JosekiNoteTarget move_note{last, true};
    JosekiNoteTarget position_note{last, false};
    bool move_has = false, position_has = false;
    {
      JosekiSession session(DatabaseDirectory(), Job());
      if (session.ready()) {
        move_has = !ReadJosekiNote(session.db(), move_note).empty();
        position_has = !ReadJosekiNote(session.db(), position_note).empty();
      }
    }
    if (move_has || position_has) ShowNote(move_has ? move_note : position_note, false);
  }
  return true;
}

bool JosekiBrowser::CloseCompanions() {
  bool any = false;
  if (editor_ && editor_->isVisible()) {
    editor_->close();
    any = true;
  }
  for (QDialog* box : {static_cast<QDialog*>(properties_.data()), static_cast<QDialog*>(evaluation_.data())}) {
    if (box && box->isVisible()) {
      box->close();
      any = true;
    }
  }
  return any;
}

bool JosekiBrowser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tree_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      PlayItem(tree_->currentItem());
      return true;  // Enter is not passed on to the tree
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- commands ------------------------------------------------------------------------------------------------

CommandState JosekiBrowser::Query(int id) {
  const JosekiCell* cell = SelectedCell();
  JosekiUiState state;
  state.search_open = Application::instance()->database_state().search_open;
  state.has_item = cell != nullptr;
  state.is_move = cell && cell->is_move();
  state.note_open = note_editor() != nullptr;
  state.props_open = properties_ && properties_->isVisible();
  state.eval_open = evaluation_ && evaluation_->isVisible();
  state.auto_note = auto_note_;
  if (board_) {
    const CommandState search = board_->Query(cmd::kDbSearch);
    state.search_available = search.handled && search.enabled;
  }
  CommandState s = JosekiCommandState(id, state);
  if (id == cmd::kStatusBar) s.checked = statusBar()->isVisible();
  return s;
}

bool JosekiBrowser::Execute(int id) {
  const CommandState s = Query(id);
  if (!s.handled || !s.enabled) return false;
  switch (id) {
    case cmd::kJosekiPositionNote:
    case cmd::kJosekiMoveNote:
      OpenNote(id == cmd::kJosekiMoveNote, true);
      break;
    case cmd::kJosekiMoveProps:
    case cmd::kJosekiEval:
      OpenBox(id == cmd::kJosekiMoveProps);
      break;
    case cmd::kJosekiDelete:
      DeleteSelected();
      break;
    case cmd::kJosekiAutoNote:
      auto_note_ = !auto_note_;
      UpdatePanes();
      break;
    case cmd::kDbSearch:
      board_->Execute(cmd::kDbSearch);
      break;
    case cmd::kPrint:
    case cmd::kPrintPreview:
      RunPrintCommand(id, this, TextPrintJob(windowTitle(), TreeText()));
      break;
    case cmd::kJosekiClose:
      close();
      return true;
    case cmd::kStatusBar:
      statusBar()->setVisible(!statusBar()->isVisible());
      break;
    default:
      return false;
  }
  commands_->Update();
  return true;
}

void JosekiBrowser::OpenNote(bool move, bool activate) {
  if (const JosekiCell* cell = SelectedCell()) ShowNote(JosekiNoteTarget{*cell, move}, activate);
}

void JosekiBrowser::ShowNote(const JosekiNoteTarget& target, bool activate) {
  // A window closed and on its way out is forgotten.
  if (editor_ && !editor_->isVisible()) editor_ = nullptr;
  QWidget* main = Application::instance()->main_window();
  const bool made = !editor_;
  if (made) {
    editor_ = new JosekiAnnotationEditor(main);
    const Rect r = PlaceJosekiEditor(note_rect_, main);
    editor_->setGeometry(r.left, r.top, r.Width(), r.Height());
    connect(editor_, &TextEditor::GeometryChanged, this, [this](const QRect& g) {
      note_rect_ = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    });
  }
  if (!editor_->Load(target)) {
    if (made) editor_->CloseQuietly();
    return;
  }
  editor_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
  editor_->show();
  editor_->raise();
  if (activate) editor_->activateWindow();
}

void JosekiBrowser::OpenBox(bool properties) {
  const JosekiCell* cell = SelectedCell();
  if (!cell) return;
  JosekiBox* box;
  if (properties) {
    properties_ = new JosekiPropertiesBox(this);
    box = properties_;
  } else {
    evaluation_ = new JosekiEvaluationBox(this);
    box = evaluation_;
  }
  // 105 / 106: the box closing is forgotten by its guarded pointer.
  connect(box, &QObject::destroyed, this, [this] { commands_->Update(); });
  box->ShowItem(*cell);
  box->show();
  box->raise();
}

void JosekiBrowser::DeleteSelected() {
  const JosekiCell* selected = SelectedCell();
  if (!selected || !selected->is_move()) return;
  const JosekiCell cell = *selected;  // the rebuild below drops the cells
  platform::MessageSink& messages = Application::instance()->messages();
  if (messages.Ask(JosekiDeleteQuestion(cell), platform::Buttons::kYesNo) != platform::Answer::kYes) return;
  shogidb::JosekiDatabase db;
  db.SetDatabase(DatabaseDirectory());
  db.SetJob(Job());
  // Takes the lock itself and gives the deletion's messages.
  if (shogidb::DeleteJosekiMoveAt(db, cell.form, cell.side, cell.move) == 0) Rebuild();
}

std::string JosekiBrowser::TreeText() const {
  // The items as they show: each under its parent, indented by its depth, closed branches left out.
  std::string text;
  std::vector<const QTreeWidgetItem*> stack;
  for (int i = tree_->topLevelItemCount() - 1; i >= 0; --i) stack.push_back(tree_->topLevelItem(i));
  while (!stack.empty()) {
    const QTreeWidgetItem* item = stack.back();
    stack.pop_back();
    const JosekiCell* cell = CellOf(item);
    text += std::string(2 * static_cast<size_t>(cell ? cell->depth : 0), ' ') + (cell ? cell->text : std::string()) + "\r\n";
    if (!item->isExpanded()) continue;
    for (int i = item->childCount() - 1; i >= 0; --i) stack.push_back(item->child(i));
  }
  return text;
}

void JosekiBrowser::ShowPopup(const QPoint& at) {
  commands_->Update();
  QMenu popup(this);
  for (int id : JosekiPopup()) popup.addAction(commands_->Action(id));
  popup.exec(tree_->viewport()->mapToGlobal(at));
}

void JosekiBrowser::closeEvent(QCloseEvent* event) {
  if (editor_) editor_->CloseQuietly();
  if (properties_) properties_->close();
  if (evaluation_) evaluation_->close();
  closing_ = true;
  Application::instance()->database_state().joseki_open = false;
  event->accept();
}

// --- opening -------------------------------------------------------------------------------------------------

JosekiBrowser* FindJosekiBrowser() {
  QWidget* main = Application::instance()->main_window();
  if (!main) return nullptr;
  for (JosekiBrowser* b : main->findChildren<JosekiBrowser*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (!b->closing()) return b;
  }
  return nullptr;
}

JosekiBrowser* OpenJosekiBrowser(BoardView* board) {
  QWidget* main = Application::instance()->main_window();
  JosekiBrowser* browser = FindJosekiBrowser();
  if (!browser) {
    browser = new JosekiBrowser(board, main);
    // At the lower left of the main window's client area.
    const Rect client = ClientRectOf(main);
    browser->setGeometry(client.left, std::max(client.top, client.bottom - kHeight), kWidth, kHeight);
  } else {
    browser->Bind(board);
  }
  browser->Rebuild();
  browser->show();
  browser->raise();
  browser->activateWindow();
  return browser;
}

void NotifyJosekiBrowser(BoardView* board) {
  JosekiBrowser* browser = FindJosekiBrowser();
  if (browser && browser->board() == board) browser->Rebuild();
}

}  // namespace app
