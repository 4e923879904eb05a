#include "app/annotation_editor.h"

#include <QGuiApplication>
#include <QPlainTextEdit>

#include "app/application.h"
#include "app/board_view.h"
#include "app/main_window.h"
#include "platform/text_codec.h"

namespace app {

AnnotationEditor::AnnotationEditor(BoardView* board, QWidget* owner)
    : NoteEditor(EditorKind::kMoveAnnotation, owner), board_(board) {
  setObjectName(QStringLiteral("AnnotationEditor"));
  setAttribute(Qt::WA_DeleteOnClose);
}

rules::MoveNode* AnnotationEditor::Move() const {
  if (!board_) return nullptr;
  return move_.Find(board_->document()->board());
}

void AnnotationEditor::Load() {
  if (!board_) return;
  ScreenBoard& record = board_->document()->board();
  move_ = MoveLocator::Of(record, record.current());
  setWindowTitle(QString::fromStdString(AnnotationTitle(record, record.current())));
  SetText(AnnotationText(*record.current()));
}

bool AnnotationEditor::Store() {
  rules::MoveNode* node = Move();
  if (!node) return false;
  StoreAnnotation(board_->document()->board(), *node, Text());
  board_->document()->SetModified(true);
  SetModified(false);
  board_->RecordChanged();  // the record window marks the moves that have annotations
  return true;
}

bool AnnotationEditor::Delete() {
  rules::MoveNode* node = Move();
  if (!node) return false;
  if (DeleteAnnotation(*node)) {
    board_->document()->SetModified(true);
    board_->RecordChanged();
  }
  SetText("");
  return true;
}

bool AnnotationEditor::HasNote() const { return Move() != nullptr && Move() != board_->document()->board().root(); }

// --- link -------------------------------------------------------------------------------------------------

AnnotationLink::AnnotationLink(BoardView& board) : board_(board) {
  rect_ = stored_ = ReadEditorRect(Application::instance()->settings(), EditorKind::kMoveAnnotation);
}

AnnotationLink::~AnnotationLink() {
  if (editor_) {
    editor_->disconnect();
    editor_->CloseQuietly();
    delete editor_.data();
  }
  if (!(rect_ == stored_)) WriteEditorRect(Application::instance()->settings(), EditorKind::kMoveAnnotation, rect_);
}

bool AnnotationLink::open() const { return editor_ && editor_->isVisible(); }

void AnnotationLink::Open(bool activate) {
  if (!open()) {
    // A window still on its way out (closed, deleted later) is forgotten: internal command 101.
    editor_ = nullptr;
    QWidget* main = Application::instance()->main_window();
    editor_ = new AnnotationEditor(&board_, main);
    const Rect r = PlaceEditor(EditorKind::kMoveAnnotation, rect_, ScreenRectOf(main), ClientRectOf(main));
    editor_->setGeometry(r.left, r.top, r.Width(), r.Height());
    QObject::connect(editor_, &TextEditor::GeometryChanged, editor_, [this](const QRect& g) {
      rect_ = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    });
    editor_->Load();
  } else if (!editor_->modified()) {
    editor_->Load();
  }
  editor_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
  editor_->show();
  editor_->raise();
  if (activate) {
    editor_->activateWindow();
    editor_->view()->setFocus();
  }
}

void AnnotationLink::Close() {
  if (!editor_) return;
  editor_->close();
  if (!editor_->isVisible()) editor_ = nullptr;
}

}  // namespace app
