#include "shogidb/problem_database.h"

#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/csa_header.h"
#include "record/move_space_file.h"
#include "record/summary_line.h"
#include "shogidb/header_rows.h"
#include "shogidb/item_text.h"
#include "shogidb/position_key.h"
#include "shogidb/solution_file.h"

using namespace rules;
using namespace record;

namespace shogidb {

namespace {

std::string BadSolutionFileText(int32_t number, const std::string& name) {
  return Format("詰将棋番号=%06ld の指し手空間ファイル %s.pcl は登録された詰将棋と合いません。"
                "データベースを修復してください。", static_cast<long>(number), name.c_str());
}

}  // namespace

ProblemDatabase::ProblemDatabase() : ItemDatabase(kTableC, kProblemOwner, kProblemMoveNote, ItemKind::kProblem) {}

void ProblemDatabase::MakeRow(const ParsedItem& item, int32_t position, const std::string& number, uint8_t* row) const {
  ProblemHeader header = item.problem;
  header.SetField(ProblemHeader::kProblemNumber, number);
  header.SetProblemPosition(PositionIdText(position));
  WriteProblemRow(header, row);
}

Side ProblemDatabase::side_of(const uint8_t*, const std::vector<BoardMove>& moves) const {
  // The problem table keeps no side: the attacker is the side of the first move.
  return moves.empty() ? kSente : BoardMoveSide(moves[0]);
}

Side ProblemDatabase::SideOfProblem(const BoardForm& start, const std::vector<BoardMove>& moves) {
  if (!moves.empty()) return BoardMoveSide(moves[0]);
  // Without moves: the side whose king is not on the board attacks the one whose king is.
  const BoardForm::Expanded e = start.Decode();
  int kings_on_board[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    if (e[i].location >= 11 && e[i].location < 100) ++kings_on_board[e[i].owner];
  }
  if (kings_on_board[SideIndex(kSente)] == 1 && kings_on_board[SideIndex(kGote)] == 0) return kGote;
  return kSente;
}

void ProblemDatabase::SetCounts(ParsedItem& item) const {
  if (item.moves.empty()) {
    item.problem.ClearField(ProblemHeader::kMateLength);
  } else {
    item.problem.SetField(ProblemHeader::kMateLength, NormalizedMoveCount(std::to_string(item.moves.size())));
  }
  if (item.problem.Field(ProblemHeader::kRegistered).empty()) {
    item.problem.SetField(ProblemHeader::kRegistered, RegistrationTimeNow());
  }
}

std::string ProblemDatabase::ListLine(const uint8_t* row) const {
  ProblemHeader header;
  ReadProblemRow(row, header);
  return ProblemListLine(header);
}

std::string ProblemDatabase::Registered(const ParsedItem&, int32_t position, const std::string& number, bool is_new) const {
  return Format("出題図 %s (詰将棋番号=%s)を%s登録しました。", PositionIdText(position).c_str(), number.c_str(),
                is_new ? "新規" : "更新");
}

std::string ProblemDatabase::RegisterError(int code, const ParsedItem&, int32_t position) const {
  std::string text = Format("詰将棋DB登録エラー(%d)(盤面=%s)", code, PositionIdText(position).c_str());
  if (code == dbengine::kDuplicateKey) text += "\r\n既に登録されている詰将棋は新規登録できません。";
  return text;
}

std::string ProblemDatabase::UpdateError(int code, const ParsedItem&, int32_t position) const {
  std::string text = Format("詰将棋DB更新エラー(%d)(盤面=%s)", code, PositionIdText(position).c_str());
  if (code == dbengine::kDuplicateKey) text += "\r\n既に登録されている詰将棋は新規登録できません。";
  return text;
}

std::string ProblemDatabase::NotRegistered(long number, int code) const {
  return Format("詰将棋番号=%06ld のレコードは登録されていません(%d)。", number, code);
}

bool ProblemDatabase::AfterStore(ParsedItem& item, int32_t number, RecordTextReader& reader) {
  ProblemDocument doc(reader.board(), job_.messages);
  doc.header() = item.problem;
  doc.header().SetMessageSink(job_.messages);
  doc.header().SetField(ProblemHeader::kProblemNumber, ZeroPadded(number, 6));
  std::vector<uint8_t> row;
  if (ReadRow(number, row) == dbengine::kOk) {
    doc.header().SetProblemPosition(GetText(row.data() + ProblemRowLayout::kProblemPosition, 8));
  }
  if (MoveSpaceFileIn(database(), doc, true, true)) return true;
  // Without a folder for them the files are done without (the message says so). A file that could not be
  // written would leave a problem that exports a broken or empty solution: the registration is taken back.
  if (!platform::IsDirectory(MoveSpaceFolder(database()))) return true;
  job_.Show(Format("詰将棋の登録を取り消しました(詰将棋番号=%06ld)。", static_cast<long>(number)));
  return false;
}

std::string ProblemDatabase::DamagedText(int32_t number) const {
  return Format("詰将棋番号=%06ld の詰将棋は指し手か注釈が欠けています。データベースを修復してください。",
                static_cast<long>(number));
}

void ProblemDatabase::AfterDelete(const uint8_t* row) {
  PlainBoard board;
  ProblemDocument doc(board, job_.messages);
  const std::string name = GetText(row + ProblemRowLayout::kProblemPosition, 8);
  if (!name.empty()) MoveSpaceFileIn(database(), doc, false, true, &name);
}

int ProblemDatabase::ExportItem(int32_t number, std::string& text) {
  StoredItem item;
  if (int rc = ReadStored(number, item); rc != dbengine::kOk) return rc;
  ProblemHeader header;
  ReadProblemRow(item.row.data(), header);
  switch (ReadSolutionFile(database(), header.ProblemPosition(), item.start, item.moves, &text)) {
    case SolutionFileState::kMatches:
      // One problem per item of the export: no "/" of the file's own at its end.
      while (text.size() >= 3 && text.compare(text.size() - 3, 3, "/\r\n") == 0) text.resize(text.size() - 3);
      return dbengine::kOk;
    case SolutionFileState::kDamaged:
      job_.Show(BadSolutionFileText(number, header.ProblemPosition()));
      return kDamagedItem;
    case SolutionFileState::kAbsent:
      break;
  }
  text.clear();
  for (int i = 0; i < header.FieldCount(); ++i) {
    if (!header.Field(i).empty()) text += "'" + std::string(header.FieldSpec(i).key) + header.Field(i) + "\r\n";
  }
  AppendNoteLines(item.notes[0], text);
  text += "N+攻方\r\nN-受方\r\n";
  return AppendItemBody(item.start, SideOfProblem(item.start, item.moves), item.moves, item.notes, false, text)
             ? dbengine::kOk
                                                                                   : dbengine::kInvalid;
}

int ProblemDatabase::LoadProblem(int32_t number, ProblemDocument& doc) {
  StoredItem item;
  if (int rc = ReadStored(number, item); rc != dbengine::kOk) return rc;
  ProblemHeader header;
  ReadProblemRow(item.row.data(), header);
  for (size_t at = 0; at < item.notes[0].size();) {
    size_t end = item.notes[0].find("\r\n", at);
    if (end == std::string::npos) end = item.notes[0].size();
    header.AppendAnnotationLine(std::string_view(item.notes[0]).substr(at, end - at));
    at = end + 2;
  }
  doc.DeleteContents();
  std::string text;
  bool from_file = false;
  const SolutionFileState file = ReadSolutionFile(database(), header.ProblemPosition(), item.start, item.moves, &text);
  if (file == SolutionFileState::kDamaged) {
    job_.Show(BadSolutionFileText(number, header.ProblemPosition()));
    return kDamagedItem;
  }
  if (file == SolutionFileState::kMatches) {
    Archive in = Archive::FromBytes(std::move(text));
    const DocumentResult r = doc.Serialize(in);
    from_file = r.loaded && r.header == HeaderStatus::kOk;
  }
  if (!from_file &&
      !BuildRecord(doc.board(), item.start, SideOfProblem(item.start, item.moves), item.moves, item.notes, false)) {
    return dbengine::kInvalid;
  }
  doc.header() = header;
  doc.header().SetMessageSink(&doc.messages());
  return dbengine::kOk;
}

int32_t ProblemDatabase::RegisterDocument(ProblemDocument& doc, bool overwrite) {
  if (overwrite && doc.header().Field(ProblemHeader::kProblemNumber).empty()) {
    job_.Show("上書登録するには詰将棋番号の指定が必要です。");
    return -1;
  }
  Archive ar = Archive::ToMemory();
  doc.SerializeRecord(ar, false);
  last_number_ = -1;
  return RegisterFromCsa(ar.text(), !overwrite) == 1 ? last_number_ : -1;
}

int ProblemDatabase::WriteSolution(int32_t number, ProblemDocument& doc) {
  doc.header().SetField(ProblemHeader::kProblemNumber, ZeroPadded(number, 6));
  Archive ar = Archive::ToMemory();
  doc.SerializeRecord(ar, false);
  last_number_ = -1;
  const int count = RegisterFromCsa(ar.text(), false);
  return count == 1 && last_number_ == number ? dbengine::kOk : dbengine::kNotFound;
}

}  // namespace shogidb
