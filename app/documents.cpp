#include "app/documents.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/core/setup_bytes.h"
#include "app/qt_text.h"
#include "platform/files.h"

namespace {

const DocTemplateInfo kTemplates[] = {
    {201, "駒楽工房", "棋譜", "駒楽工房 棋譜", "駒楽工房 棋譜(*.csa)", ".csa", "WinKZB.CSADocument", "WinKZB CSADocument"},
    {232, "駒楽工房", "詰将棋", "駒楽工房 詰将棋", "駒楽工房 詰将棋(*.pcl)", ".pcl", "WinKZB.PCLDocument",
     "WinKZB PCLDocument"},
    {203, "局面設定", "盤面", "駒楽工房 局面", "駒楽工房 局面(*.skb)", ".skb", "WinKZB.SKBDocument", "WinKZB SKBDocument"},
};

}  // namespace

const DocTemplateInfo& TemplateOf(DocKind kind) { return kTemplates[static_cast<int>(kind)]; }

CKZBDoc::CKZBDoc(DocKind kind, platform::MessageSink* messages)
    : kind_(kind), messages_(messages), board_(std::make_unique<km::CKBase>(messages)) {}

CKZBDoc::~CKZBDoc() = default;

void CKZBDoc::SetTitle(const QString& title) {
  title_ = title;
  Q_EMIT Changed();
}

void CKZBDoc::SetModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  Q_EMIT Changed();
}

void CKZBDoc::OnNewDocument() {
  board_->SetUp(0);
  board_->SetSideToMove(kSente);
  board_->SetTurnOrder(kind_ == DocKind::kSetup ? 0 : 1);
  board_->MarkStale();
  path_.clear();
  modified_ = false;
}

bool CKZBDoc::OnOpenDocument(const QString& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(ToCore(path), bytes)) {
    messages_->Show(platform::Utf8ToCp932("ドキュメントを開くことに失敗しました。"));
    return false;
  }
  if (!ReadText(bytes)) return false;
  path_ = path;
  title_ = QFileInfo(path).fileName();
  modified_ = false;
  board_->MarkStale();
  Q_EMIT Changed();
  return true;
}

bool CKZBDoc::OnSaveDocument(const QString& path) {
  if (!platform::WriteWholeFile(ToCore(path), WriteText())) {
    messages_->Show(platform::Utf8ToCp932("ファイルを保存できません。(") + ToCore(path) + ")");
    return false;
  }
  path_ = path;
  title_ = QFileInfo(path).fileName();
  modified_ = false;
  Q_EMIT Changed();
  return true;
}

QString CKZBDoc::FileFilter() const { return QString::fromUtf8(TemplateOf(kind_).filter_name); }

bool CKZBDoc::Save() { return path_.isEmpty() ? SaveAs() : OnSaveDocument(path_); }

bool CKZBDoc::SaveAs() {
  QString suggestion = path_.isEmpty() ? title_ + QString::fromUtf8(TemplateOf(kind_).extension) : path_;
  QString chosen = QFileDialog::getSaveFileName(nullptr, QString::fromUtf8("名前を付けて保存"), suggestion, FileFilter());
  if (chosen.isEmpty()) return false;
  const QString ext = QString::fromUtf8(TemplateOf(kind_).extension);
  if (!chosen.endsWith(ext, Qt::CaseInsensitive)) chosen += ext;
  return OnSaveDocument(chosen);
}

bool CKZBDoc::SaveModified() {
  if (!modified_) return true;
  const std::string question = ToCore(title_) + platform::Utf8ToCp932(" への変更を保存しますか?");
  switch (messages_->Ask(question, platform::Buttons::kYesNoCancel)) {
    case platform::Answer::kYes:
      return Save();
    case platform::Answer::kNo:
      return true;
    case platform::Answer::kCancel:
      break;
  }
  return false;
}

bool CKZBDoc::ReadText(const std::string&) {
  messages_->Show(platform::Utf8ToCp932("ドキュメントを開くことに失敗しました。"));
  return false;
}

std::string CKZBDoc::WriteText() { return {}; }

bool CSetupDoc::ReadText(const std::string& bytes) {
  CBform form;
  int side = 0, reversed = 0;
  if (!km::DecodeSetup(bytes, form, side, reversed)) {
    messages().Show(platform::Utf8ToCp932("ファイル形式が違います"));
    return false;
  }
  board().ApplyBoardForm(form);
  board().BeginRecord();
  board().SetSideToMove(side);
  board().SetTurnOrder(0);
  file_reversed_ = reversed;
  return true;
}

std::string CSetupDoc::WriteText() {
  return km::EncodeSetup(board().CurrentBoardForm(), board().side_to_move(), board().reversed() ? 1 : 0);
}
