#include "app/board_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/application.h"
#include "app/batch_solve_dialog.h"
#include "app/board_zoom_setting.h"
#include "app/branch_dialog.h"
#include "app/core/board_zoom.h"
#include "app/core/command_ids.h"
#include "app/core/record_navigation.h"
#include "app/core/solving_commands.h"
#include "app/db_search_dialog.h"
#include "app/diagram_save.h"
#include "app/header_dialog.h"
#include "app/joseki_dialogs.h"
#include "app/joseki_browser.h"
#include "app/position_cues.h"
#include "app/printing.h"
#include "app/qt_dib.h"
#include "app/qt_text.h"
#include "app/record_transfer.h"
#include "app/record_window.h"
#include "app/solver_window.h"
#include "app/select_read_dialog.h"
#include "record/archive.h"

using namespace record;

namespace app {

BoardKind BoardKindOf(DocKind kind) {
  switch (kind) {
    case DocKind::kGame:
      return BoardKind::kGame;
    case DocKind::kTsume:
      return BoardKind::kTsume;
    case DocKind::kSetup:
      break;
  }
  return BoardKind::kSetup;
}

BoardView::BoardView(BoardDocument* doc, QWidget* parent)
    : QWidget(parent), doc_(doc), controller_(doc->board(), picture_, *this, BoardKindOf(doc->kind())) {
  doc->setParent(this);  // the document lives as long as its only view, and outlives its sprites' picture
  setFixedSize(kPictureWidth, kPictureHeight);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  for (int i = 0; i < 2; ++i) {
    connect(&timers_[i], &QTimer::timeout, this, [this, i] {
      controller_.TimerTick(i + 1);
      Q_EMIT StateChanged();
    });
  }
  doc->board().SetImages(&Application::instance()->images());
  controller_.Attach();
  zoom_ = StoredBoardZoom();
  ApplyScale(zoom_ / 100.0);
}

QSize BoardView::sizeHint() const {
  const ZoomMapping m(scale_);
  return {m.ViewWidth(), m.ViewHeight()};
}

void BoardView::SetZoom(int percent) {
  zoom_ = percent;
  fitted_ = false;
  ApplyScale(percent / 100.0);
  Q_EMIT ZoomChanged();
}

void BoardView::FitInto(const QSize& area) {
  fitted_ = true;
  ApplyScale(FitScale(area.width(), area.height()));
}

bool BoardView::EndFit() {
  if (!fitted_) return false;
  fitted_ = false;
  ApplyScale(zoom_ / 100.0);
  return true;
}

void BoardView::ApplyScale(double scale) {
  if (scale == scale_ && size() == sizeHint()) return;
  scale_ = scale;
  setFixedSize(sizeHint());
  panes_.SetScale(scale);
  update();
}

BoardView::~BoardView() {
  // The worker must let go of the board before the document goes.
  if (solver_window_) solver_window_->Detach();
  // The record window goes with its board.
  if (record_window_) record_window_->Detach();
}

RecordWindow* BoardView::record_window() const { return record_window_; }
void BoardView::SetRecordWindow(RecordWindow* window) { record_window_ = window; }
void BoardView::RecordWindowClosed() { record_window_ = nullptr; }
SolverWindow* BoardView::solver_window() const { return solver_window_; }
void BoardView::SetSolverWindow(SolverWindow* window) { solver_window_ = window; }

void BoardView::CurrentMoveChanged() {
  if (record_window_) record_window_->SelectCurrentMove();
  cues_.PositionChanged();
}

void BoardView::RecordChanged() {
  if (record_window_) record_window_->Rebuild();
  cues_.PositionChanged();
}

platform::MessageSink& BoardView::messages() { return Application::instance()->messages(); }

void BoardView::Redraw() {
  cues_.UpdateMark();
  const ZoomMapping m(scale_);
  for (const Rect& dirty : picture_.RenderDirty()) {
    const Rect r = m.ToView(dirty);
    update(QRect(r.left, r.top, r.Width(), r.Height()));
  }
}

void BoardView::CursorChanged() {
  switch (controller_.CursorId()) {
    case 1000:
      setCursor(Qt::PointingHandCursor);
      break;
    case 1001:
      setCursor(Qt::CrossCursor);
      break;
    default:
      unsetCursor();
  }
  Q_EMIT StateChanged();
}

void BoardView::PlayPieceSound() { Application::instance()->PlayPieceSound(); }

void BoardView::StartTimer(int id, int milliseconds) {
  if (id < 1 || id > 2) return;
  timers_[id - 1].start(milliseconds);
}

void BoardView::StopTimer(int id) {
  if (id < 1 || id > 2) return;
  timers_[id - 1].stop();
}

int BoardView::SliderPosition(int direction) const { return Application::instance()->SliderPosition(direction); }

bool BoardView::SetupActive() const { return Application::instance()->setup_active(); }

void BoardView::PrepareLabel(int index) { Application::instance()->EnsureLabel(index); }

void BoardView::paintEvent(QPaintEvent* event) {
  static const QVector<QRgb> palette = PictureColourTable();
  QImage image(picture_.buffer(), kPictureWidth, kPictureHeight, kPictureWidth, QImage::Format_Indexed8);
  image.setColorTable(palette);
  QPainter painter(this);
  if (scale_ == 1.0) {
    painter.drawImage(event->rect(), image, event->rect());
  } else {
    PaintScaledPicture(painter, image, scale_, event->rect());
  }
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const Point p = ZoomMapping(scale_).ToPicture(event->position().x(), event->position().y());
  if (event->button() == Qt::LeftButton) controller_.LeftDown(p.x, p.y);
  if (event->button() == Qt::RightButton) controller_.RightDown(p.x, p.y);
  setFocus(Qt::MouseFocusReason);
  Q_EMIT StateChanged();
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
  const Point p = ZoomMapping(scale_).ToPicture(event->position().x(), event->position().y());
  if (event->button() == Qt::LeftButton) controller_.LeftUp(p.x, p.y);
  Q_EMIT StateChanged();
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
  const Point p = ZoomMapping(scale_).ToPicture(event->position().x(), event->position().y());
  controller_.MouseMove(p.x, p.y);
}

void BoardView::mouseDoubleClickEvent(QMouseEvent* event) {
  const Point p = ZoomMapping(scale_).ToPicture(event->position().x(), event->position().y());
  if (event->button() == Qt::LeftButton) controller_.LeftDoubleClick(p.x, p.y);
  if (event->button() == Qt::RightButton) controller_.RightDoubleClick(p.x, p.y);
  Q_EMIT StateChanged();
}

void BoardView::keyPressEvent(QKeyEvent* event) {
  static const struct {
    int qt;
    Key key;
  } kKeys[] = {{Qt::Key_Right, Key::kRight}, {Qt::Key_Down, Key::kDown},         {Qt::Key_Left, Key::kLeft},
               {Qt::Key_Up, Key::kUp},       {Qt::Key_End, Key::kEnd},           {Qt::Key_Home, Key::kHome},
               {Qt::Key_PageDown, Key::kPageDown}, {Qt::Key_PageUp, Key::kPageUp}, {Qt::Key_Delete, Key::kDelete},
               {Qt::Key_Backspace, Key::kBackspace}, {Qt::Key_Space, Key::kSpace}};
  const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0;
  for (const auto& k : kKeys) {
    if (k.qt == event->key() && plain && controller_.KeyPress(k.key, event->modifiers() & Qt::ShiftModifier)) {
      Q_EMIT StateChanged();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

bool BoardView::focusNextPrevChild(bool) {
  // Tab cycles the board and its record windows (command 121); with none open the focus stays here.
  Execute(cmd::kTabFocus);
  return true;
}

CommandState BoardView::Query(int id) {
  CommandState s = QuerySolveCommand(*this, id);
  if (controller_.busy() && RefusedWhileSolving(id)) s.handled = true;  // and disabled
  if (s.handled) return s;
  s = controller_.Query(id);
  if (s.handled) return s;
  Application* app = Application::instance();
  s.handled = true;
  switch (id) {
    case cmd::kSpeed:
      s.enabled = doc_->kind() != DocKind::kSetup;
      break;
    case cmd::kSound:
      s.enabled = true;
      s.checked = app->sound_on();
      break;
    case cmd::kZoom100:
    case cmd::kZoom150:
    case cmd::kZoom200:
      s.enabled = true;
      s.checked = ZoomOfCommand(id) == zoom_;
      break;
    case cmd::kZoomIn:
    case cmd::kZoomOut:
      s.enabled = ZoomAfterCommand(id, zoom_) != zoom_;
      break;
    case cmd::kLastMoveMark:
      s.enabled = true;
      s.checked = cues_.mark_shown();
      break;
    case cmd::kInitialPosition:
      s.enabled = doc_->kind() == DocKind::kGame && !controller_.busy() && !app->setup_active();
      break;
    case cmd::kProblemDiagram:
      s.enabled = doc_->kind() == DocKind::kTsume && !controller_.busy() && !app->setup_active();
      break;
    case cmd::kTabFocus:
      s.enabled = true;
      break;
    case cmd::kMoveAnnotation:
      s.enabled = doc_->kind() != DocKind::kSetup && !controller_.busy() && doc_->board().current() != doc_->board().root();
      break;
    case cmd::kOpenRecordWindow:
      s.enabled = doc_->kind() != DocKind::kSetup && !controller_.busy() && !record_window_;
      break;
    case cmd::kCloseRecordWindow:
      s.enabled = !controller_.busy() && record_window_;
      break;
    case cmd::kSelectBranch:
      s.enabled = doc_->kind() != DocKind::kSetup && CanSelectBranch(controller_);
      break;
    case cmd::kDeleteMoves:
      s.enabled = doc_->kind() != DocKind::kSetup && CanDeleteMoves(controller_);
      break;
    case cmd::kOpenAux:
      s.enabled = doc_->kind() != DocKind::kSetup;
      break;
    case cmd::kCloseAux:
      s.enabled = panes_.open();
      break;
    case cmd::kGameHeader:
      s.enabled = doc_->kind() == DocKind::kGame && !controller_.busy();
      break;
    case cmd::kTsumeHeader:
      s.enabled = doc_->kind() == DocKind::kTsume && !controller_.busy();
      break;
    case cmd::kMailPosition:
    case cmd::kClipRecordText:
    case cmd::kClipRecordCsa:
      s.enabled = doc_->kind() == DocKind::kGame && !controller_.busy();
      break;
    case cmd::kClipTsumeText:
    case cmd::kClipTsumePcl:
      s.enabled = doc_->kind() == DocKind::kTsume && !controller_.busy();
      break;
    case cmd::kPrint:
    case cmd::kPrintPreview:
      s.enabled = doc_->kind() != DocKind::kSetup && !controller_.busy();
      break;
    case cmd::kCopyRecord:
    case cmd::kCopySfen:
    case cmd::kPasteRecord:
      s.enabled = doc_->kind() != DocKind::kSetup && !controller_.busy();
      break;
    case cmd::kReadKakinoki:
      s.enabled = doc_->kind() == DocKind::kGame && !controller_.busy();
      break;
    case cmd::kSaveDiagram:
      s.enabled = doc_->kind() != DocKind::kSetup && !controller_.busy();
      break;
    case cmd::kSolveDatabase:
      s = QueryBatchSolve(*this);
      break;
    case cmd::kJosekiRegister:
    case cmd::kJosekiImport:
    case cmd::kJosekiExport:
    case cmd::kJosekiBulkDelete:
      s = QueryJosekiCommand(*this, id);
      break;
    case cmd::kJosekiBrowser:
      s.enabled = doc_->kind() != DocKind::kSetup && !controller_.busy();
      break;
    case cmd::kSelectReadGame:
    case cmd::kSelectReadTsume:
      s.enabled = doc_->kind() == (id == cmd::kSelectReadGame ? DocKind::kGame : DocKind::kTsume) &&
                  !controller_.busy() && controller_.auto_direction() == 0;
      break;
    case cmd::kDbSearch:  // one search dialog at a time
      s.enabled = doc_->kind() != DocKind::kSetup && !app->database_state().search_open;
      break;
    default:
      s.handled = false;
  }
  return s;
}

bool BoardView::Execute(int id) {
  CommandState s = Query(id);
  if (!s.handled || !s.enabled) return false;
  bool done = true;
  Application* app = Application::instance();
  switch (id) {
    case cmd::kSpeed:
      app->OpenSpeedDialog();
      break;
    case cmd::kSolveNew:
    case cmd::kSolveHere:
    case cmd::kSolveStop:
    case cmd::kSolverIterative:
    case cmd::kSolverProofNumber:
    case cmd::kCheckTsume:
      ExecuteSolveCommand(*this, id);
      break;
    case cmd::kSolveDatabase:
      OpenBatchSolve(*this);
      break;
    case cmd::kJosekiRegister:
    case cmd::kJosekiImport:
    case cmd::kJosekiExport:
    case cmd::kJosekiBulkDelete:
    case cmd::kJosekiDefaults:
      ExecuteJosekiCommand(*this, id);
      break;
    case cmd::kSound:
      app->SetSoundOn(!app->sound_on());
      break;
    case cmd::kZoom100:
    case cmd::kZoom150:
    case cmd::kZoom200:
    case cmd::kZoomIn:
    case cmd::kZoomOut:
      SetZoom(ZoomAfterCommand(id, zoom_));
      StoreBoardZoom(zoom_);
      break;
    case cmd::kLastMoveMark:
      ToggleLastMoveMarks(*this);
      break;
    case cmd::kInitialPosition:
    case cmd::kProblemDiagram:
      app->OpenSetupWindow(this);
      break;
    case cmd::kTabFocus:
      setFocus(Qt::TabFocusReason);
      break;
    case cmd::kMoveAnnotation:
      annotation_.Open(true);
      break;
    case cmd::kOpenRecordWindow:
      OpenRecordWindow(this);
      break;
    case cmd::kCloseRecordWindow:
      record_window_->close();
      break;
    case cmd::kSelectBranch:
      RunBranchSelection(this);
      break;
    case cmd::kDeleteMoves:
      RunBranchDeletion(this);
      break;
    case cmd::kOpenAux:
      panes_.Open();
      break;
    case cmd::kCloseAux:
      panes_.Close();
      break;
    case cmd::kGameHeader:
    case cmd::kTsumeHeader:
      EditHeader(*this);
      break;
    case cmd::kSaveDiagram:
      SaveBoardDiagram(*this);
      break;
    case cmd::kMailPosition:
      QGuiApplication::clipboard()->setText(FromCore(doc_->game()->MailPositionText()));
      break;
    case cmd::kClipRecordText:
    case cmd::kClipTsumeText:
      QGuiApplication::clipboard()->setText(FromCore(doc_->record().GetRecordText()));
      break;
    case cmd::kClipRecordCsa:
    case cmd::kClipTsumePcl:
      QGuiApplication::clipboard()->setText(FromCore(doc_->record().GetRecordCsaText()));
      break;
    case cmd::kPrint:
    case cmd::kPrintPreview:
      RunPrintCommand(id, this, RecordPrintJob(*doc_));
      break;
    case cmd::kCopyRecord:
      CopyRecord(*this);
      break;
    case cmd::kCopySfen:
      CopyPositionSfen(*this);
      break;
    case cmd::kPasteRecord:
      PasteRecord(*this);
      break;
    case cmd::kReadKakinoki:
      ReadKakinokiFile(*this);
      break;
    case cmd::kJosekiBrowser:
      OpenJosekiBrowser(this);
      break;
    case cmd::kSelectReadGame:
    case cmd::kSelectReadTsume:
      RunSelectRead(*this);
      break;
    case cmd::kDbSearch:
      OpenDbSearchDialog(*this);
      break;
    default:
      done = controller_.Execute(id);
  }
  Q_EMIT StateChanged();
  return done;
}

void BoardView::ReceiveSetup(const std::string& bytes) {
  if (controller_.busy()) return;  // the set-up window waits while a solve owns the board
  if (!doc_->SaveModified()) return;
  const bool received = controller_.ReceiveSetup([&](bool* reversed) {
    Archive in = Archive::FromBytes(bytes);
    if (!doc_->record().ReceiveSetup(in)) return false;
    *reversed = doc_->record().reversed() != 0;
    return true;
  });
  if (received) doc_->SetModified(true);
  Q_EMIT StateChanged();
}

void BoardView::JosekiRefresh() { NotifyJosekiBrowser(this); }

bool BoardView::PiecesLocked() const {
  const DatabaseState& state = Application::instance()->database_state();
  return state.joseki_open && state.search_open;
}

void BoardView::JosekiMoveEntered(const rules::BoardForm& before, rules::MoveWord move) {
  RegisterEnteredJoseki(*this, before, move);
}

void BoardView::ReversedChanged(bool reversed) { doc_->record().SetReversed(reversed ? 1 : 0); }

}  // namespace app
