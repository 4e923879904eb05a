#include "app/record_transfer.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>

#include "app/board_view.h"
#include "app/qt_text.h"
#include "platform/files.h"
#include "record/archive.h"
#include "record/foreign_record.h"
#include "record/plain_board.h"
#include "record/sfen.h"

namespace app {

const char kRecordMimeType[] = "application/x-WinKZB_Format";

namespace {

platform::MessageSink& MessagesOf(BoardView& view) { return view.document()->messages(); }

// The paste question of a modified buffer; true to go on.
bool MayReplaceBuffer(BoardView& view) {
  if (!view.document()->modified()) return true;
  return MessagesOf(view).Ask(platform::Utf8ToCp932("バッファは変更されています。更新してもよろしいですか？"),
                              platform::Buttons::kYesNo) == platform::Answer::kYes;
}

bool Replace(BoardView& view, const std::function<bool()>& read) {
  const bool done = view.controller().ReplaceRecord([&](bool* reversed) {
    if (!read()) return false;
    *reversed = view.document()->record().reversed() != 0;
    return true;
  });
  Q_EMIT view.StateChanged();
  return done;
}

// A problem in plain text (PCL, or CSA) is read whole, header too, once a trial read shows that it loads:
// a header the reader refuses would otherwise leave the window empty.
bool ReadProblemText(BoardView& view, const std::string& cp932) {
  record::PlainBoard trial_board;
  record::ProblemDocument trial(trial_board, &MessagesOf(view));
  platform::NullMessageSink quiet;
  trial.SetMessageSink(&quiet);
  record::Archive probe = record::Archive::FromBytes(cp932);
  if (!trial.Serialize(probe).loaded) {
    MessagesOf(view).Show(platform::Utf8ToCp932("クリップボードの内容は詰将棋ではありません。"));
    return false;
  }
  record::ProblemDocument& doc = *view.document()->tsume();
  doc.DeleteContents();
  record::Archive in = record::Archive::FromBytes(cp932);
  doc.Serialize(in);
  return true;
}

// Plain text a window can take: any record in a game window, CSA or PCL text in a tsume window. Says why
// not before any question is asked.
bool AcceptsPlainText(BoardView& view, const std::string& cp932) {
  const record::RecordTextKind kind = record::DetectRecordText(cp932);
  if (kind == record::RecordTextKind::kUsi && view.document()->kind() != DocKind::kSetup) {
    const std::string problem = record::UsiTextProblem(cp932);
    if (!problem.empty()) MessagesOf(view).Show(problem);
    return problem.empty();
  }
  if (view.document()->kind() == DocKind::kGame && kind != record::RecordTextKind::kNotRecord) return true;
  if (view.document()->kind() == DocKind::kTsume && kind == record::RecordTextKind::kCsa) return true;
  MessagesOf(view).Show(platform::Utf8ToCp932(view.document()->kind() == DocKind::kGame
                                                  ? "クリップボードの内容は棋譜ではありません。"
                                                  : "クリップボードの内容は詰将棋ではありません。"));
  return false;
}

bool PastePlainText(BoardView& view, const std::string& cp932) {
  BoardDocument& doc = *view.document();
  if (record::DetectRecordText(cp932) == record::RecordTextKind::kUsi) {
    return Replace(view, [&] { return record::ReadUsiText(cp932, doc.record()); });
  }
  if (doc.kind() == DocKind::kGame) {
    return Replace(view, [&] { return record::ReadPastedRecord(cp932, *doc.game()); });
  }
  return Replace(view, [&] { return ReadProblemText(view, cp932); });
}

}  // namespace

void CopyPositionSfen(BoardView& view) {
  const rules::Position& board = view.document()->record().board();
  QGuiApplication::clipboard()->setText(FromCore(record::PositionSfen(board, board.move_number() + 1)));
}

void CopyRecord(BoardView& view) {
  const std::string body = view.document()->record().CopyRecordText();
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kRecordMimeType), QByteArray::fromStdString(body));
  data->setText(FromCore(body));
  QGuiApplication::clipboard()->setMimeData(data);
}

bool PasteRecord(BoardView& view) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && PasteRecordFrom(view, *data);
}

bool PasteRecordFrom(BoardView& view, const QMimeData& data) {
  const QString mime = QString::fromLatin1(kRecordMimeType);
  if (data.hasFormat(mime)) {
    // The clipboard keeps the record: pasting it into a second window must still work.
    const QByteArray bytes = data.data(mime);
    const std::string body(bytes.constData(), strnlen(bytes.constData(), bytes.size()));
    BoardDocument& doc = *view.document();
    return Replace(view, [&] { return doc.record().PasteRecordText(body, doc.modified()); });
  }
  if (!data.hasText() || data.text().trimmed().isEmpty()) return false;
  const std::string cp932 = record::ForeignTextToCp932(data.text().toStdString());
  if (!AcceptsPlainText(view, cp932) || !MayReplaceBuffer(view)) return false;
  return PastePlainText(view, cp932);
}

void ReadKakinokiFile(BoardView& view) {
  if (!view.document()->SaveModified()) return;
  const QString path = QFileDialog::getOpenFileName(
      &view, QString::fromUtf8("柿木棋譜の読込"), QString(),
      QString::fromUtf8("柿木形式の棋譜 (*.kif *.kifu *.ki2 *.ki2u *.KIF *.KI2);;全ファイル (*)"));
  if (!path.isEmpty()) LoadKakinokiFile(view, path);
}

bool LoadKakinokiFile(BoardView& view, const QString& path) {
  BoardDocument& doc = *view.document();
  std::string bytes;
  if (!platform::ReadWholeFile(ToCore(path), bytes)) {
    MessagesOf(view).Show(platform::Utf8ToCp932("ファイル ") + ToCore(path) + platform::Utf8ToCp932(" がオープンできません。"));
    return false;
  }
  if (!Replace(view, [&] { return record::ReadKakinokiGame(bytes, ToCore(path), *doc.game()); })) return false;
  doc.TakeUntitled(QFileInfo(path).completeBaseName());
  return true;
}

}  // namespace app
