#include "shogidb/game_database.h"

#include "record/archive.h"
#include "record/summary_line.h"
#include "shogidb/header_rows.h"
#include "shogidb/item_text.h"
#include "shogidb/position_key.h"

using namespace rules;
using namespace record;

namespace shogidb {

const char kGameDbHeading[] = "対局NO  対局日   対局者                結果   戦型                    棋戦名";

std::string GameDbListLine(const GameHeader& header) { return GameListLine(header, 23); }

GameDatabase::GameDatabase() : ItemDatabase(kTableB, kGameOwner, kGameMoveNote, ItemKind::kGame) {}

void GameDatabase::MakeRow(const ParsedItem& item, int32_t position, const std::string& number, uint8_t* row) const {
  GameRow game;
  game.header = item.game;
  game.header.SetField(GameHeader::kGameNumber, number);
  game.start_position = PositionIdText(position);
  game.side = item.side;
  WriteGameRow(game, row);
}

Side GameDatabase::side_of(const uint8_t* row, const std::vector<BoardMove>&) const {
  return row[GameRowLayout::kSide] == '1' ? kGote : kSente;
}

void GameDatabase::SetCounts(ParsedItem& item) const {
  // As a document would: the count of the line registered, empty for none. The registration time is
  // now, unless the header names one (the header dialog lets the user set it; exported games carry it).
  if (item.moves.empty()) {
    item.game.ClearField(GameHeader::kMoveCount);
  } else {
    item.game.SetField(GameHeader::kMoveCount, NormalizedMoveCount(std::to_string(item.moves.size())));
  }
  if (item.game.Field(GameHeader::kRegistered).empty()) {
    item.game.SetField(GameHeader::kRegistered, RegistrationTimeNow());
  }
}

std::string GameDatabase::ListLine(const uint8_t* row) const {
  GameRow game;
  ReadGameRow(row, game);
  return GameDbListLine(game.header);
}

std::string GameDatabase::Registered(const ParsedItem& item, int32_t, const std::string& number, bool is_new) const {
  return Format("対局 %s (対局番号=%s)を%s登録しました。", item.game.Players().c_str(), number.c_str(),
                is_new ? "新規" : "更新");
}

std::string GameDatabase::RegisterError(int code, const ParsedItem& item, int32_t) const {
  return Format("対局DB登録エラー(%d)(対局 %s)", code, item.game.Players().c_str());
}

std::string GameDatabase::UpdateError(int code, const ParsedItem& item, int32_t) const {
  return Format("対局DB更新エラー(%d)(対局 %s)", code, item.game.Players().c_str());
}

std::string GameDatabase::NotRegistered(long number, int code) const {
  return Format("対局番号=%06ld のレコードは登録されていません(%d)。", number, code);
}

int32_t GameDatabase::RegisterHeader(const GameHeader& header, const BoardForm& start, Side side) {
  std::string text;
  for (int i = 0; i < header.FieldCount(); ++i) {
    if (i != GameHeader::kGameNumber && !header.Field(i).empty()) {
      text += "'" + std::string(header.FieldSpec(i).key) + header.Field(i) + "\r\n";
    }
  }
  AppendNoteLines(header.Annotation(), text);
  text += "N+" + header.SenteName() + "\r\nN-" + header.GoteName() + "\r\n";
  AppendItemBody(start, side, {}, {}, false, text);
  last_number_ = -1;
  return RegisterFromCsa(text, true) == 1 ? last_number_ : -1;
}

int GameDatabase::ExportItem(int32_t number, std::string& text) {
  StoredItem item;
  if (int rc = ReadStored(number, item); rc != dbengine::kOk) return rc;
  GameRow game;
  ReadGameRow(item.row.data(), game);
  const GameHeader& h = game.header;
  text.clear();
  for (int i = 0; i < h.FieldCount(); ++i) {
    if (!h.Field(i).empty()) text += "'" + std::string(h.FieldSpec(i).key) + h.Field(i) + "\r\n";
  }
  AppendNoteLines(item.notes[0], text);
  const std::string players = h.Players();
  const size_t dash = players.find('-');
  const std::string sente = players.substr(0, dash), gote = dash == std::string::npos ? "" : players.substr(dash + 1);
  if (!sente.empty()) text += "N+" + sente + "\r\n";
  if (!gote.empty()) text += "N-" + gote + "\r\n";
  return AppendItemBody(item.start, item.side, item.moves, item.notes, true, text) ? dbengine::kOk : dbengine::kInvalid;
}

std::string GameDatabase::DamagedText(int32_t number) const {
  return Format("対局番号=%06ld の棋譜は指し手か注釈が欠けています。データベースを修復してください。",
                static_cast<long>(number));
}

int GameDatabase::LoadGame(int32_t number, GameDocument& doc) {
  StoredItem item;
  if (int rc = ReadStored(number, item); rc != dbengine::kOk) return rc;
  GameRow game;
  ReadGameRow(item.row.data(), game);
  doc.DeleteContents();
  doc.header() = game.header;
  doc.header().SetMessageSink(&doc.messages());
  doc.header().SetAnnotation("");
  const std::string& start_note = item.notes[0];
  size_t at = 0;
  while (at < start_note.size()) {
    size_t end = start_note.find("\r\n", at);
    if (end == std::string::npos) end = start_note.size();
    doc.header().AppendAnnotationLine(std::string_view(start_note).substr(at, end - at));
    at = end + 2;
  }
  return BuildRecord(doc.board(), item.start, item.side, item.moves, item.notes, false) ? dbengine::kOk
                                                                                       : dbengine::kInvalid;
}

int32_t GameDatabase::RegisterDocument(GameDocument& doc, bool overwrite) {
  if (overwrite && doc.header().Field(GameHeader::kGameNumber).empty()) {
    job_.Show("上書登録するには対局番号の指定が必要です。");
    return -1;
  }
  Archive ar = Archive::ToMemory();
  doc.SerializeRecord(ar, true);
  last_number_ = -1;
  return RegisterFromCsa(ar.text(), !overwrite) == 1 ? last_number_ : -1;
}

}  // namespace shogidb
