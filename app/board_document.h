// The documents of the board windows: game records (.csa, template 201), tsume problems (.pcl, 232) and
// the position set-up (.skb, 203). Each embeds its board (ScreenBoard) and the record layer's document over
// it (header, reversed seat, file text), and knows its file, title and modified flag.
#pragma once
#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "app/core/screen_board.h"
#include "platform/message_sink.h"
#include "record/record_document.h"
#include "record/setup_document.h"

namespace app {

enum class DocKind { kGame, kTsume, kSetup };

// 定跡編集(デフォルト値の設定): the position evaluation and move value that joseki editing and registration
// use when the user gives none.
struct JosekiDefaults {
  int evaluation = 100;
  int value = 100;
};

// The seven fields of a template's descriptor string.
struct DocTemplateInfo {
  int resource;
  const char* window_title;
  const char* doc_name;
  const char* file_new_name;
  const char* filter_name;
  const char* extension;
  const char* type_id;
  const char* type_name;
};
const DocTemplateInfo& TemplateOf(DocKind kind);
// KIF and KI2 files, by their extension (.kif .kifu .ki2 .ki2u, case ignored): opened as games through
// the Kakinoki reader.
bool IsKakinokiPath(const QString& path);

class BoardDocument : public QObject {
  Q_OBJECT

 public:
  BoardDocument(DocKind kind, platform::MessageSink* messages);
  ~BoardDocument() override;

  DocKind kind() const { return kind_; }
  ScreenBoard& board() { return *board_; }
  record::RecordDocument& record() { return *record_; }
  record::GameDocument* game() { return kind_ == DocKind::kGame ? static_cast<record::GameDocument*>(record_.get()) : nullptr; }
  record::ProblemDocument* tsume() { return kind_ == DocKind::kTsume ? static_cast<record::ProblemDocument*>(record_.get()) : nullptr; }
  record::SetupDocument* setup() { return kind_ == DocKind::kSetup ? static_cast<record::SetupDocument*>(record_.get()) : nullptr; }
  platform::MessageSink& messages() const { return *messages_; }

  const QString& path() const { return path_; }
  const QString& title() const { return title_; }
  void SetTitle(const QString& title);
  JosekiDefaults& joseki_defaults() { return joseki_defaults_; }
  bool modified() const { return modified_; }
  void SetModified(bool modified = true);
  // Contents taken from part of a file (select-read): no path of its own, so a save asks for one.
  void TakeUntitled(const QString& title);

  // A new document: the even game (games), the tsume layout (problems, set by the view), the even game
  // with rules off (set-up).
  virtual void OnNewDocument();
  // Reads a file; false (after the reader's message) leaves the document as it was.
  bool OnOpenDocument(const QString& path);
  // Writes the file in the format its extension names (a game: .csa, .kif, .kifu, .ki2, .ki2u), asking
  // first when that format drops something of the game; false when refused or not written.
  bool OnSaveDocument(const QString& path);
  bool Save();
  bool SaveAs();
  // Before the document goes: asks whether to save changes. False when the user cancels or saving fails.
  bool SaveModified();

  // Reads and writes the document's file text (CP932 bytes; UTF-8 text is taken too); false when the
  // text is refused (the reader has said why).
  bool ReadText(const std::string& bytes);
  std::string WriteText();

  QString FileFilter() const;

 Q_SIGNALS:
  void Changed();

 private:
  static bool IsKakinokiFile(const QString& path, const std::string& bytes);
  bool ReadKakinokiFile(const QString& path, const std::string& bytes);
  bool GameFileText(const QString& path, std::string& bytes);

  DocKind kind_;
  platform::MessageSink* messages_;
  std::unique_ptr<ScreenBoard> board_;
  std::unique_ptr<record::RecordDocument> record_;
  QString path_, title_;
  bool modified_ = false;
  JosekiDefaults joseki_defaults_;
  // The file a lossy format was last agreed for, and what it drops.
  QString lossy_path_;
  std::vector<std::string> lossy_fields_;
};

}  // namespace app
