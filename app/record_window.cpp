#include "app/record_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/core/record_navigation.h"
#include "app/main_window.h"

namespace app {

namespace {

constexpr int kListWidth = 128;  // the list's width unless its longest usual line needs more
constexpr int kTreeWidth = 200;
constexpr int kAlternativeRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

// The system font's size, so the moves grow with the desktop's font setting and Qt's scaling, in a
// Japanese gothic face that holds every character of a move.
QFont RecordFont() {
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP"),
                    QStringLiteral("MS Gothic"), QStringLiteral("monospace")});
  return font;
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QTreeWidgetItem* NewTreeItem(const QString& text, int alternative, bool has_children) {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setData(0, kAlternativeRole, alternative);
  item->setData(0, kFilledRole, false);
  item->setChildIndicatorPolicy(has_children ? QTreeWidgetItem::ShowIndicator
                                             : QTreeWidgetItem::DontShowIndicatorWhenChildless);
  return item;
}

QListWidget* MakeList() {
  auto* list = new QListWidget;
  list->setObjectName(QStringLiteral("MoveListView"));
  list->setFont(RecordFont());
  list->setUniformItemSizes(true);
  list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);  // centres the current line exactly
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  list->setMinimumWidth(80);
  return list;
}

// 128 pixels clip a long move at our font; the list is made wide enough for one.
int ListWidth(QListWidget* list) {
  const int needed = list->fontMetrics().horizontalAdvance(QStringLiteral("999 ▲８八成銀左上 ※")) +
                     list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth() + 8;
  return std::max(kListWidth, needed);
}

QTreeWidget* MakeTree() {
  auto* tree = new QTreeWidget;
  tree->setObjectName(QStringLiteral("MoveTreeView"));
  tree->setFont(RecordFont());
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->setIndentation(14);
  tree->setContextMenuPolicy(Qt::CustomContextMenu);
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree->header()->setStretchLastSection(false);
  return tree;
}

QMdiSubWindow* FrameOf(QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) return frame;
  }
  return nullptr;
}

}  // namespace

RecordWindow::RecordWindow(BoardView* view) : view_(view), list_(MakeList()), tree_(MakeTree()) {
  setObjectName(QStringLiteral("RecordWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(list_);
  split->addWidget(tree_);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  const int list_width = ListWidth(list_);
  split->setSizes({list_width, kTreeWidth});
  setWidget(split);
  resize(list_width + kTreeWidth + 16, 420);

  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { ListRowSelected(row); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { TreeItemSelected(item); });
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (!item->data(0, kFilledRole).toBool()) FillChildren(item);
  });
  connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) { ShowPopup(list_, p); });
  connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) { ShowPopup(tree_, p); });

  BoardDocument* doc = view->document();
  setWindowTitle(doc->title());
  connect(doc, &BoardDocument::Changed, this, [this] {
    if (view_) setWindowTitle(view_->document()->title());
  });
  Rebuild();
}

RecordWindow::~RecordWindow() = default;

void RecordWindow::Detach() {
  view_ = nullptr;
  close();
}

void RecordWindow::closeEvent(QCloseEvent* event) {
  if (view_) view_->RecordWindowClosed();  // 112
  view_ = nullptr;
  QMdiSubWindow::closeEvent(event);
}

void RecordWindow::FillList(record::RecordBoard& board) {
  list_->clear();
  for (const MoveListLine& line : MoveListLines(board)) {
    auto* item = new QListWidgetItem(Text(line.text));
    item->setData(kAlternativeRole, line.alternative);
    list_->addItem(item);
  }
  shown_ = LineFollowed(board);
}

void RecordWindow::FillChildren(QTreeWidgetItem* item) {
  if (!view_) return;
  qDeleteAll(item->takeChildren());
  for (const MoveTreeItem& child : MoveTreeChildren(view_->document()->board(), PathOfItem(item))) {
    item->addChild(NewTreeItem(Text(child.text), child.alternative, child.has_children));
  }
  item->setData(0, kFilledRole, true);
}

MovePath RecordWindow::PathOfItem(const QTreeWidgetItem* item) const {
  MovePath path;
  for (; item && item->parent(); item = item->parent()) path.insert(path.begin(), item->data(0, kAlternativeRole).toInt());
  return path;
}

QTreeWidgetItem* RecordWindow::ItemOfPath(const MovePath& path) {
  QTreeWidgetItem* item = tree_->topLevelItem(0);
  for (int i : path) {
    if (!item) return nullptr;
    if (!item->data(0, kFilledRole).toBool() || item->childCount() <= i) FillChildren(item);
    item->setExpanded(true);
    item = item->child(i);
  }
  return item;
}

void RecordWindow::Rebuild() {
  if (!view_) return;
  syncing_ = true;
  shown_.reset();
  list_->clear();
  tree_->clear();
  ScreenBoard& board = view_->document()->board();
  tree_->addTopLevelItem(NewTreeItem(Text(kTreeRootText), -1, board.root()->child != nullptr));
  syncing_ = false;
  SelectCurrentMove();
}

void RecordWindow::SelectCurrentMove() {
  if (!view_) return;
  syncing_ = true;
  ScreenBoard& board = view_->document()->board();
  // A branch chosen on the board or in the tree changes the line followed; the list shows the new one.
  if (!shown_ || !(LineFollowed(board) == *shown_)) FillList(board);
  const int row = board.depth();
  list_->setCurrentRow(row);
  list_->doItemsLayout();  // a refilled list lays its lines out late; scroll on the real layout
  if (QListWidgetItem* line = list_->item(row)) list_->scrollToItem(line, QAbstractItemView::PositionAtCenter);
  if (QTreeWidgetItem* item = ItemOfPath(CurrentPath(board))) {
    tree_->setCurrentItem(item);
    item->setExpanded(false);  // what lies beyond the board's move stays folded
    tree_->scrollToItem(item, QAbstractItemView::PositionAtCenter);
    ShowIndented(item);
  }
  syncing_ = false;
}

void RecordWindow::ShowIndented(QTreeWidgetItem* item) {
  // Every move is a child of the one before, so a late move sits far to the right: keep it in sight,
  // with a little of its parent's line to its left.
  tree_->header()->resizeSections(QHeaderView::ResizeToContents);
  QScrollBar* bar = tree_->horizontalScrollBar();
  const int left = bar->value() + tree_->visualItemRect(item).left();
  const int width = tree_->viewport()->width();
  if (left < bar->value() || left > bar->value() + width * 2 / 3) bar->setValue(std::max(0, left - width / 2));
}

void RecordWindow::ListRowSelected(int row) {
  if (syncing_ || !view_ || row < 0 || !shown_) return;
  const MovePath& line = shown_->path;
  const MovePath path(line.begin(), line.begin() + std::min<size_t>(row, line.size()));
  if (!StepBoardTo(view_->controller(), *view_, path)) SelectCurrentMove();
  if (view_) Q_EMIT view_->StateChanged();
}

void RecordWindow::TreeItemSelected(QTreeWidgetItem* item) {
  if (syncing_ || !view_ || !item) return;
  if (!StepBoardTo(view_->controller(), *view_, PathOfItem(item))) SelectCurrentMove();
  if (view_) Q_EMIT view_->StateChanged();
}

void RecordWindow::ShowPopup(QWidget* from, const QPoint& at) {
  if (!view_ || view_->AnnotationOpen()) return;
  const ScreenBoard& board = view_->document()->board();
  QMenu menu(this);
  QAction* note = menu.addAction(QStringLiteral("指し手注釈"));
  note->setEnabled(board.current() != board.root() && !view_->controller().busy());
  if (menu.exec(from->mapToGlobal(at)) != note || !view_) return;
  if (view_->Query(cmd::kMoveAnnotation).handled) {
    view_->Execute(cmd::kMoveAnnotation);
  } else {
    view_->OpenAnnotation();
  }
}

QMdiSubWindow* BoardFrameOf(QMdiSubWindow* w) {
  auto* record = qobject_cast<RecordWindow*>(w);
  return record && record->view() ? FrameOf(record->view()) : nullptr;
}

namespace {

// Beside the board, as tall as it; moved left over the board rather than out of sight.
void PlaceBesideBoard(RecordWindow* window, QMdiSubWindow* board_frame, QMdiArea* mdi) {
  mdi->addSubWindow(window);
  window->setWindowIcon(ToolbarIcon(cmd::kOpenRecordWindow));
  const QRect b = board_frame->geometry();
  const int x = std::max(0, std::min(b.right() + 1, mdi->viewport()->width() - window->width()));
  window->setGeometry(x, b.top(), window->width(), b.height());
  window->show();
  mdi->setActiveSubWindow(board_frame);
  // Scrolled again once the panes have their sizes.
  QTimer::singleShot(0, window, &RecordWindow::SelectCurrentMove);
}

// An area not shown yet places its windows when it shows, around those already placed: the board must
// have its place, and the area its size, before the record window takes the place beside the board.
void PlaceWhenShown(RecordWindow* window, QPointer<QMdiSubWindow> frame, QPointer<QMdiArea> area) {
  if (!frame || !area) return;
  if (area->isVisible()) {
    PlaceBesideBoard(window, frame, area);
    return;
  }
  QTimer::singleShot(20, window, [window, frame, area] { PlaceWhenShown(window, frame, area); });
}

}  // namespace

RecordWindow* OpenRecordWindow(BoardView* view) {
  if (RecordWindow* open = view->record_window()) {
    open->show();
    return open;
  }
  QMdiSubWindow* board_frame = FrameOf(view);
  QMdiArea* mdi = board_frame ? board_frame->mdiArea() : nullptr;
  auto* window = new RecordWindow(view);
  view->SetRecordWindow(window);
  if (!mdi) {
    window->show();
    return window;
  }
  PlaceWhenShown(window, board_frame, mdi);
  return window;
}

}  // namespace app
