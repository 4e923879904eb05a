#include "app/setup_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

#include "app/application.h"
#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "platform/text_codec.h"
#include "record/setup_document.h"

using namespace rules;

namespace app {

namespace {

// The side to move at the start of a record: the mover of its first move, else the side to move now.
Side StartSide(const ScreenBoard& board) {
  const MoveNode* first = board.root()->child;
  if (first && board.turn_order() && board.side_to_move() != kSideUnset) return first->move.SideBefore();
  if (board.current() == board.root()) return board.side_to_move();
  return first ? first->move.SideBefore() : board.side_to_move();
}

}  // namespace

SetupWindow::SetupWindow(BoardView* source)
    : source_(source), from_tsume_(source && source->document()->kind() == DocKind::kTsume) {
  setObjectName(QStringLiteral("SetupWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  Application* app = Application::instance();
  doc_ = new BoardDocument(DocKind::kSetup, &app->messages());
  doc_->OnNewDocument();
  if (source) {
    ScreenBoard& from = source->document()->board();
    doc_->board().ApplyBoardForm(from.initial_form());
    doc_->board().BeginRecord();
    doc_->board().SetSideToMove(StartSide(from));
    doc_->board().SetReversed(from.reversed());
    doc_->record().SetReversed(from.reversed() ? 1 : 0);
    doc_->SetTitle(source->document()->title());
  } else {
    doc_->SetTitle(app->NextTitle(DocKind::kSetup));
  }
  doc_->board().SetTurnOrder(0);
  view_ = new BoardView(doc_, this);
  setCentralWidget(view_);
  commands_ = new CommandUi(
      this, [this](int id) { return Query(id); }, [this](int id) { Execute(id); });
  commands_->SetKind(kSetupMenu);
  StartEditing();
  statusBar()->showMessage(QString::fromUtf8("レディ"));
  auto update_title = [this] {
    setWindowTitle(QString::fromUtf8("局面設定 - ") + doc_->title() + (doc_->modified() ? QStringLiteral(" *") : QString()));
  };
  connect(doc_, &BoardDocument::Changed, this, update_title);
  update_title();
  connect(view_, &BoardView::StateChanged, this, [this] { commands_->Update(); });
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, commands_, &CommandUi::Update);
  idle->start(250);
  adjustSize();
  view_->setFocus();
}

SetupWindow::~SetupWindow() {
  if (Application* app = Application::instance()) app->SetupClosed();
}

void SetupWindow::StartEditing() {
  BoardController& c = view_->controller();
  c.SetTsumeLabels(from_tsume_);
  c.SetRecordEditing(true);
  c.SetFreePlacement(true);
}

CommandState SetupWindow::Query(int id) {
  CommandState s = view_->Query(id);
  if (s.handled) {
    if (from_tsume_ && id == cmd::kSideSente) s.text = "攻  方(&S)";
    if (from_tsume_ && id == cmd::kSideGote) s.text = "受  方(&G)";
    return s;
  }
  s.handled = true;
  s.enabled = true;
  switch (id) {
    case cmd::kSetupNew:
    case cmd::kSetupOpen:
    case cmd::kFileClose:
    case cmd::kFileSave:
    case cmd::kFileSaveAs:
    case cmd::kAbout:
      break;
    case cmd::kSetupEnd:
      s.enabled = !source_ || !source_->controller().busy();  // a solve owns the board it would go to
      break;
    case cmd::kStatusBar:
      s.checked = statusBar()->isVisible();
      break;
    default:
      s.handled = false;
      s.enabled = false;
  }
  return s;
}

void SetupWindow::Execute(int id) {
  if (view_->Query(id).handled) {
    view_->Execute(id);
    commands_->Update();
    return;
  }
  if (!Query(id).enabled) return;
  switch (id) {
    case cmd::kSetupNew:
      doc_->OnNewDocument();
      view_->controller().Refresh();
      break;
    case cmd::kSetupOpen:
      OpenFile();
      break;
    case cmd::kFileClose:
      close();
      break;
    case cmd::kFileSave:
      doc_->Save();
      break;
    case cmd::kFileSaveAs:
      doc_->SaveAs();
      break;
    case cmd::kSetupEnd:
      EndSetup();
      return;
    case cmd::kStatusBar:
      statusBar()->setVisible(!statusBar()->isVisible());
      break;
    case cmd::kAbout:
      QMessageBox::about(this, QString::fromUtf8("駒楽工房 for Windows32 (WinKZB) バージョン情報"),
                         QString::fromUtf8("駒楽工房 for Windows32 (WinKZB) Version 5.2"));
      break;
  }
  commands_->Update();
}

void SetupWindow::OpenFile() {
  const QString path = QFileDialog::getOpenFileName(this, QString::fromUtf8("開く"), QString(), doc_->FileFilter());
  if (!path.isEmpty()) OpenPath(path);
}

bool SetupWindow::OpenPath(const QString& path) {
  if (!path.endsWith(QStringLiteral(".skb"), Qt::CaseInsensitive)) {
    doc_->messages().Show(platform::Utf8ToCp932("ドキュメントを開くことに失敗しました。"));
    return false;
  }
  const bool was_reversed = doc_->board().reversed();
  if (!doc_->OnOpenDocument(path)) return false;
  const bool now_reversed = doc_->board().reversed();
  if (now_reversed != was_reversed) {
    // The file's seat: turn the window round to it (Flip redraws everything).
    doc_->board().SetReversed(was_reversed);
    view_->controller().Flip();
  }
  view_->controller().Refresh();
  return true;
}

void SetupWindow::SetUpFor(const std::string& bytes, std::function<void(const std::string&)> receiver) {
  receiver_ = std::move(receiver);
  if (doc_->ReadText(bytes)) view_->controller().Refresh();
  doc_->SetModified(false);
}

void SetupWindow::EndSetup() {
  view_->controller().SetFreePlacement(false);
  if (receiver_) {
    const std::string bytes = doc_->setup()->SetupBytes();
    doc_->SetModified(false);
    receiver_(bytes);
    close();
    return;
  }
  if (!doc_->modified()) {
    close();
    return;
  }
  const std::string bytes = doc_->setup()->SetupBytes();
  doc_->SetModified(false);
  if (source_) source_->ReceiveSetup(bytes);
  close();
}

void SetupWindow::closeEvent(QCloseEvent* event) {
  if (!doc_->SaveModified()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace app
