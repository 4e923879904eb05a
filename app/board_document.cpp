#include "app/board_document.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/core/game_save_format.h"
#include "app/qt_message_sink.h"
#include "app/qt_text.h"
#include "platform/files.h"
#include "record/archive.h"
#include "record/foreign_record.h"
#include "record/game_file_format.h"

using namespace record;

namespace app {

namespace {

const DocTemplateInfo kTemplates[] = {
    {201, "駒楽工房", "棋譜", "駒楽工房 棋譜", "駒楽工房 棋譜(*.csa)", ".csa", "WinKZB.CSADocument", "WinKZB CSADocument"},
    {232, "駒楽工房", "詰将棋", "駒楽工房 詰将棋", "駒楽工房 詰将棋(*.pcl)", ".pcl", "WinKZB.PCLDocument",
     "WinKZB PCLDocument"},
    {203, "局面設定", "盤面", "駒楽工房 局面", "駒楽工房 局面(*.skb)", ".skb", "WinKZB.SKBDocument", "WinKZB SKBDocument"},
};

}  // namespace

const DocTemplateInfo& TemplateOf(DocKind kind) { return kTemplates[static_cast<int>(kind)]; }

bool IsKakinokiPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == "kif" || suffix == "kifu" || suffix == "ki2" || suffix == "ki2u";
}

BoardDocument::BoardDocument(DocKind kind, platform::MessageSink* messages)
    : kind_(kind), messages_(messages), board_(std::make_unique<ScreenBoard>(messages)) {
  switch (kind) {
    case DocKind::kGame:
      record_ = std::make_unique<GameDocument>(*board_, messages);
      break;
    case DocKind::kTsume:
      record_ = std::make_unique<ProblemDocument>(*board_, messages);
      break;
    case DocKind::kSetup:
      record_ = std::make_unique<SetupDocument>(*board_, messages);
      break;
  }
}

BoardDocument::~BoardDocument() = default;

void BoardDocument::SetTitle(const QString& title) {
  title_ = title;
  Q_EMIT Changed();
}

void BoardDocument::SetModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  Q_EMIT Changed();
}

void BoardDocument::TakeUntitled(const QString& title) {
  path_.clear();
  title_ = title;
  modified_ = false;
  Q_EMIT Changed();
}

void BoardDocument::OnNewDocument() {
  switch (kind_) {
    case DocKind::kGame:
      game()->NewGame();
      break;
    case DocKind::kTsume:
      record_->DeleteContents();  // the view sets up the tsume layout
      break;
    case DocKind::kSetup:
      setup()->NewSetup();
      break;
  }
  board_->SetReversed(false);
  board_->MarkStale();
  path_.clear();
  modified_ = false;
}

bool BoardDocument::OnOpenDocument(const QString& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(ToCore(path), bytes)) {
    messages_->Show(platform::Utf8ToCp932("ドキュメントを開くことに失敗しました。"));
    return false;
  }
  if (kind_ == DocKind::kGame && IsKakinokiFile(path, bytes)) return ReadKakinokiFile(path, bytes);
  if (!ReadText(bytes)) return false;
  path_ = path;
  title_ = QFileInfo(path).fileName();
  modified_ = false;
  board_->MarkStale();
  Q_EMIT Changed();
  return true;
}

bool BoardDocument::OnSaveDocument(const QString& path) {
  std::string bytes;
  if (!GameFileText(path, bytes)) return false;
  if (!platform::WriteWholeFile(ToCore(path), bytes)) {
    messages_->Show(platform::Utf8ToCp932("ファイルを保存できません。(") + ToCore(path) + ")");
    return false;
  }
  path_ = path;
  title_ = QFileInfo(path).fileName();
  modified_ = false;
  Q_EMIT Changed();
  return true;
}

QString BoardDocument::FileFilter() const { return QString::fromUtf8(TemplateOf(kind_).filter_name); }

bool BoardDocument::Save() { return path_.isEmpty() ? SaveAs() : OnSaveDocument(path_); }

bool BoardDocument::SaveAs() {
  QString suggestion = path_.isEmpty() ? title_ + QString::fromUtf8(TemplateOf(kind_).extension) : path_;
  if (kind_ == DocKind::kGame) {
    // A game may go out as KIF, KIFU or KI2 too; the name's extension decides, else the chosen filter.
    const std::string own = TemplateOf(kind_).filter_name;
    QStringList filters;
    for (const std::string& f : GameSaveFilters(own)) filters << QString::fromStdString(f);
    QString filter = QString::fromStdString(GameSaveFilterFor(own, suggestion.toStdString()));
    const QString chosen = QFileDialog::getSaveFileName(nullptr, QString::fromUtf8("名前を付けて保存"), suggestion,
                                                        filters.join(QStringLiteral(";;")), &filter);
    if (chosen.isEmpty()) return false;
    return OnSaveDocument(QString::fromStdString(GameSavePath(own, chosen.toStdString(), filter.toStdString())));
  }
  QString chosen = QFileDialog::getSaveFileName(nullptr, QString::fromUtf8("名前を付けて保存"), suggestion, FileFilter());
  if (chosen.isEmpty()) return false;
  const QString ext = QString::fromUtf8(TemplateOf(kind_).extension);
  if (!chosen.endsWith(ext, Qt::CaseInsensitive)) chosen += ext;
  return OnSaveDocument(chosen);
}

bool BoardDocument::GameFileText(const QString& path, std::string& bytes) {
  const std::optional<GameFileFormat> format = kind_ == DocKind::kGame ? GameFileFormatOfPath(ToCore(path)) : std::nullopt;
  if (!format || *format == GameFileFormat::kCsa) {
    bytes = WriteText();
    return true;
  }
  // Asked once for a file: a later save to it asks again only when something else would be lost.
  const std::vector<std::string> dropped = DroppedGameFields(*game(), *format);
  if (!dropped.empty() && (path != lossy_path_ || dropped != lossy_fields_)) {
    if (messages_->Ask(DroppedFieldsQuestion(*format, dropped), platform::Buttons::kYesNo) != platform::Answer::kYes) {
      return false;
    }
    lossy_path_ = path;
    lossy_fields_ = dropped;
  }
  bytes = GameFileBytes(*game(), *format);
  return true;
}

bool BoardDocument::SaveModified() {
  if (!modified_) return true;
  return AskToSaveChanges(*messages_, title_, [this] { return Save(); });
}

bool BoardDocument::ReadText(const std::string& bytes) {
  Archive in = kind_ == DocKind::kSetup ? Archive::FromBytes(bytes) : Archive::FromText(bytes);
  const DocumentResult result = record_->Serialize(in);
  if (!result.loaded) return false;
  if (!result.body.ok()) {
    // What was read before the line stays; saying so keeps a later save from quietly dropping the rest.
    messages_->Show(record::CsaBodyProblemText(result.body));
  }
  board_->SetReversed(record_->reversed() != 0);
  return true;
}

bool BoardDocument::IsKakinokiFile(const QString& path, const std::string& bytes) {
  if (IsKakinokiPath(path)) return true;
  if (path.endsWith(QStringLiteral(".csa"), Qt::CaseInsensitive)) return false;
  return record::DetectRecordText(record::ForeignTextToCp932(bytes)) == record::RecordTextKind::kKakinoki;
}

bool BoardDocument::ReadKakinokiFile(const QString& path, const std::string& bytes) {
  if (!record::ReadKakinokiGame(bytes, ToCore(path), *game())) return false;
  board_->SetReversed(record_->reversed() != 0);
  board_->MarkStale();
  // Another program's file is never the target of a plain save: its times and lines we do not keep would go.
  TakeUntitled(QFileInfo(path).completeBaseName());
  return true;
}

std::string BoardDocument::WriteText() {
  Archive out = Archive::ToMemory();
  record_->Serialize(out);
  return out.text();
}

}  // namespace app
