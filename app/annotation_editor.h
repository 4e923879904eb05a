// The move-annotation editor of a board view, and the link by which the view opens, closes and forgets it.
//
// The editor edits the annotation of the move that was current when it opened. It names that move by its
// path (MoveLocator), never by its node, and refers to the board view through a guarded pointer: a record
// changed or a board closed meanwhile leaves it nothing to store into rather than a freed node.
#pragma once
#include <QPointer>

#include "app/core/move_annotation.h"
#include "app/note_editor.h"

namespace app {

class BoardView;

class AnnotationEditor : public NoteEditor {
  Q_OBJECT

 public:
  AnnotationEditor(BoardView* board, QWidget* owner);

  // Takes the board's current move: its annotation as the text, and the title.
  void Load();
  // 32780: the text becomes the move's annotation lines. 32778: the move's lines go and the text empties.
  // False when the move is no longer in the record.
  bool Store() override;
  bool Delete() override;

 protected:
  bool HasNote() const override;

 private:
  rules::MoveNode* Move() const;

  QPointer<BoardView> board_;
  MoveLocator move_;
};

// What a board view holds of its annotation editor: the open window (if any) and the frame rectangle,
// read from the settings when the view is made and written back when it goes.
class AnnotationLink {
 public:
  explicit AnnotationLink(BoardView& board);
  ~AnnotationLink();
  AnnotationLink(const AnnotationLink&) = delete;
  AnnotationLink& operator=(const AnnotationLink&) = delete;

  // Opens the editor on the current move (or reloads it there when its text is unchanged). The automatic
  // display leaves the keyboard with the board (`activate` false); command 32827 activates the editor.
  void Open(bool activate);
  // Internal command 104: closes the editor, asking first whether changed text is to be stored.
  void Close();
  bool open() const;
  AnnotationEditor* editor() const { return open() ? editor_.data() : nullptr; }

 private:
  BoardView& board_;
  QPointer<AnnotationEditor> editor_;
  Rect rect_, stored_;
};

}  // namespace app
