#include "app/note_editor.h"

#include "app/application.h"
#include "app/command_ui.h"
#include "app/core/command_ids.h"
#include "platform/text_codec.h"

namespace app {

void NoteEditor::CloseQuietly() {
  quiet_ = true;
  close();
}

CommandState NoteEditor::Query(int id) {
  if (id != cmd::kNoteStore && id != cmd::kNoteDelete) return TextEditor::Query(id);
  CommandState s;
  s.handled = true;
  s.enabled = HasNote();
  return s;
}

bool NoteEditor::Execute(int id) {
  if (id != cmd::kNoteStore && id != cmd::kNoteDelete) return TextEditor::Execute(id);
  if (!HasNote()) return false;
  const bool done = id == cmd::kNoteStore ? Store() : Delete();
  commands().Update();
  return done;
}

bool NoteEditor::CanClose() {
  if (quiet_ || !modified() || !HasNote()) return true;
  const std::string question = platform::Utf8ToCp932("注釈が変更されています。登録しますか?");
  if (Application::instance()->messages().Ask(question, platform::Buttons::kYesNo) == platform::Answer::kYes) Store();
  return true;
}

}  // namespace app
