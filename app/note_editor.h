// NoteEditor: what the move-annotation and joseki-annotation editors share over the text editor: the
// commands 注釈の登録 (32780) and 注釈の削除 (32778), enabled while the editor has a note to work on, and
// the question before changed text would be lost on closing.
#pragma once
#include "app/text_editor_window.h"

namespace app {

class NoteEditor : public TextEditor {
  Q_OBJECT

 public:
  using TextEditor::TextEditor;

  // 32780: the text becomes the note. 32778: the note goes and the text empties. False when the note's
  // owner is gone or the write failed.
  virtual bool Store() = 0;
  virtual bool Delete() = 0;
  // Closes without asking about changed text (the owner goes).
  void CloseQuietly();

  CommandState Query(int id) override;
  bool Execute(int id) override;

 protected:
  // Whether there is a note to store into or delete.
  virtual bool HasNote() const = 0;
  // Text typed for a note is not lost quietly: the question is whether to store it, and closing goes on
  // either way (the board closes its editor before every step).
  bool CanClose() override;

 private:
  bool quiet_ = false;
};

}  // namespace app
