// The joseki-annotation editor of the joseki browser: the text editor frame on the annotation of a joseki
// position or of a joseki move, stored into and deleted from the joseki database (each access under the
// database lock, taken without waiting).
#pragma once
#include "app/core/joseki_tree.h"
#include "app/note_editor.h"

namespace app {

class JosekiAnnotationEditor : public NoteEditor {
  Q_OBJECT

 public:
  explicit JosekiAnnotationEditor(QWidget* owner);

  // Reads the stored annotation of `target` as the text, with the title. False (the text left as it was,
  // "データベースが使用中です" shown) when another holds the database.
  bool Load(const JosekiNoteTarget& target);
  // 32780: the text replaces the stored annotation (an empty text deletes it). 32778: the stored
  // annotation goes and the text empties. False when the database was busy or the write failed.
  bool Store() override;
  bool Delete() override;
  const JosekiNoteTarget& target() const { return target_; }

 protected:
  bool HasNote() const override { return loaded_; }

 private:
  bool Write(const std::string& cp932_text);

  JosekiNoteTarget target_;
  bool loaded_ = false;
};

// The JCmnt rectangle: read when the browser is made, written back when it goes.
Rect PlaceJosekiEditor(const Rect& remembered, QWidget* main_window);

}  // namespace app
