// What a board view's surroundings do for its controller: questions and messages, the companion windows
// that follow the board (told by the internal command numbers), the piece sound, timers, focus and the
// mouse. The Qt view implements it; tests record the calls.
#pragma once
#include "platform/message_sink.h"
#include "rules/board_form.h"
#include "rules/move_word.h"

namespace app {

class BoardHost {
 public:
  virtual ~BoardHost() = default;
  virtual platform::MessageSink& messages() = 0;  // CP932 texts

  virtual void Redraw() {}                 // compose and show the dirty rectangles
  virtual void CaptureMouse(bool on) { (void)on; }
  virtual void TakeFocus() {}
  virtual void CursorChanged() {}
  virtual void SetModified() {}
  virtual void PlayPieceSound() {}         // plays only while the sound is on

  virtual void CloseAnnotation() {}        // 104
  virtual bool AnnotationOpen() const { return false; }
  virtual void OpenAnnotation() {}         // on the current move
  virtual void CurrentMoveChanged() {}     // 113 to the record window
  virtual void RecordChanged() {}          // 114 to the record window
  virtual void RedrawHeader() {}           // 102
  virtual void JosekiRefresh() {}          // 103 to a joseki browser bound to this view
  // No piece is picked up (the joseki browser and a database search dialog are both open).
  virtual bool PiecesLocked() const { return false; }
  // Joseki editing: a move entered on the board, from the position `before`, goes into the joseki database.
  virtual void JosekiMoveEntered(const rules::BoardForm& before, rules::MoveWord move) { (void)before; (void)move; }

  virtual void StartTimer(int id, int milliseconds) { (void)id; (void)milliseconds; }
  virtual void StopTimer(int id) { (void)id; }
  // The speed slider position (1..10) of a direction (1 forward, 2 backward): the open speed dialog's,
  // else the stored setting.
  virtual int SliderPosition(int direction) const { return direction == 1 ? 5 : 9; }
  virtual bool SetupActive() const { return false; }
  // Makes sure the stand label `index` has an image (a missing file is drawn from text and saved).
  virtual void PrepareLabel(int index) { (void)index; }
  // The display turned round; the document keeps the seat for its file.
  virtual void ReversedChanged(bool reversed) { (void)reversed; }
};

}  // namespace app
