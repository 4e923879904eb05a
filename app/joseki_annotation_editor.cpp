#include "app/joseki_annotation_editor.h"

#include "app/application.h"
#include "app/command_ui.h"
#include "app/qt_text.h"
#include "platform/text_codec.h"

namespace app {

namespace {

platform::MessageSink& Messages() { return Application::instance()->messages(); }

shogidb::DbJob EditorJob() {
  shogidb::DbJob job;
  job.messages = &Messages();
  return job;
}

}  // namespace

JosekiAnnotationEditor::JosekiAnnotationEditor(QWidget* owner) : NoteEditor(EditorKind::kJosekiAnnotation, owner) {
  setObjectName(QStringLiteral("JosekiAnnotationEditor"));
  setAttribute(Qt::WA_DeleteOnClose);
}

bool JosekiAnnotationEditor::Load(const JosekiNoteTarget& target) {
  JosekiSession session(ToCore(Application::instance()->database_dir()), EditorJob());
  if (!session.ready()) {
    if (session.busy()) Messages().Show(platform::Utf8ToCp932("データベースが使用中です"));
    return false;
  }
  target_ = target;
  loaded_ = true;
  setWindowTitle(QString::fromStdString(target.Title()));
  SetText(ReadJosekiNote(session.db(), target));
  SetModified(false);
  commands().Update();
  return true;
}

bool JosekiAnnotationEditor::Write(const std::string& cp932_text) {
  JosekiSession session(ToCore(Application::instance()->database_dir()), EditorJob());
  if (!session.ready()) {
    Messages().Show(platform::Utf8ToCp932(session.busy() ? "データベースが使用中です" : "注釈の登録に失敗しました。"));
    return false;
  }
  int rc = WriteJosekiNote(session.db(), target_, cp932_text);
  if (rc == 0) rc = session.Flush();
  if (rc != 0) {
    Messages().Show(platform::Utf8ToCp932("注釈文の更新に失敗しました。(DBF.Write=" + std::to_string(rc) + ")"));
    return false;
  }
  return true;
}

bool JosekiAnnotationEditor::Store() {
  // The editor's text ends its lines with CR LF; trailing line ends are not part of the annotation.
  std::string text = Text();
  while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  if (!Write(text)) return false;
  SetModified(false);
  return true;
}

bool JosekiAnnotationEditor::Delete() {
  if (!Write("")) return false;
  SetText("");
  SetModified(false);
  return true;
}

Rect PlaceJosekiEditor(const Rect& remembered, QWidget* main_window) {
  return PlaceEditor(EditorKind::kJosekiAnnotation, remembered, ScreenRectOf(main_window), ClientRectOf(main_window));
}

}  // namespace app
