// GameDatabase: the game database. Games are registered from CSA text (a file, or the current record's
// selected line), searched, checked for duplicates, exported as CSA text and deleted.
//
// List line: "%s %8s %s %6s %s %s" with 対局番号, 対局日, the players cut or padded to 21 bytes, 試合結果,
// 戦型 cut or padded to 23 bytes ("戦型不詳" when empty) and 棋戦名 ("棋戦不詳"), under kGameDbHeading.
#pragma once
#include <string>
#include <vector>

#include "shogidb/item_database.h"

namespace shogidb {

extern const char kGameDbHeading[];  // "対局NO  対局日   対局者                結果   戦型                    棋戦名"

std::string GameDbListLine(const record::GameHeader& header);

class GameDatabase : public ItemDatabase {
 public:
  GameDatabase();

  // Registers a header with no moves: the new game's number, or -1 (the failure shown).
  int32_t RegisterHeader(const record::GameHeader& header, const rules::BoardForm& start, rules::Side side);

  // The game as CSA text: the header fields that are not empty ("'%s%s"), the game annotation
  // ("'注釈:%s"), "N+" and "N-" names, "PI" for the even position or the position lines, the side, and
  // the moves "%c%02d%02d%s"; a move whose annotation begins with a time note ends with ",T%d" and only
  // the rest of its annotation follows as "'注釈:" lines.
  int ExportCsa(int32_t number, std::string& text) { return ExportItem(number, text); }
  int ExportItem(int32_t number, std::string& text) override;
  int DeleteGame(int32_t number) { return DeleteItem(number); }

  // Loads a game into a game document (header, position, moves with annotations): kOk or a code.
  int LoadGame(int32_t number, record::GameDocument& doc);

  // Registers the selected line of a document's record (対局の登録): as new, or (overwrite) in place of
  // the game its 対局番号 names, which it requires ("上書登録するには対局番号の指定が必要です。"). The
  // number registered, or -1.
  int32_t RegisterDocument(record::GameDocument& doc, bool overwrite);

  // --- duplicates --------------------------------------------------------------------------------------
  enum class DuplicateMode { kMoves, kFinalPosition };
  // The games found by the condition ("order by" and a position condition are ignored, with a message)
  // that repeat another one, as groups: the first of a group is the earliest game, the others its
  // duplicates. kOk, or a failure (shown).
  // `searched` (when given) receives how many games the condition found.
  int FindDuplicates(std::string_view condition, DuplicateMode mode, std::vector<std::vector<ListEntry>>& groups,
                     const PositionSpec* position = nullptr, int* searched = nullptr);
  // Deletes the duplicates of each group, keeping its first game, after asking (`searched` is the number
  // of games the groups were found among). With `merge_annotations` the kept game first receives the
  // annotations of the games removed that it lacks: every ply's for duplicates by moves, the game
  // annotation only for duplicates by final position (their moves differ). Returns how many games were
  // deleted.
  int DeleteDuplicates(const std::vector<std::vector<ListEntry>>& groups, int searched, bool merge_annotations,
                       DuplicateMode mode);

  const ItemRowLayout& row_layout() const override { return kGameItemLayout; }

 protected:
  int number_offset() const override { return GameRowLayout::kNumber; }
  int position_offset() const override { return GameRowLayout::kStartPosition; }
  void MakeRow(const ParsedItem& item, int32_t position, const std::string& number, uint8_t* row) const override;
  rules::Side side_of(const uint8_t* row, const std::vector<BoardMove>& moves) const override;
  std::string NumberField(const ParsedItem& item) const override { return item.game.Field(record::GameHeader::kGameNumber); }
  void SetCounts(ParsedItem& item) const override;
  std::string ListLine(const uint8_t* row) const override;
  std::string Registered(const ParsedItem& item, int32_t position, const std::string& number, bool is_new) const override;
  std::string RegisterError(int code, const ParsedItem& item, int32_t position) const override;
  std::string UpdateError(int code, const ParsedItem& item, int32_t position) const override;
  std::string NotRegistered(long number, int code) const override;
  std::string DamagedText(int32_t number) const override;
  const char* delete_question() const override { return "%d 件の棋譜を削除します。よろしいですか？"; }
  const char* delete_stopped() const override { return "対局棋譜削除を中断終了しました。"; }
  const char* export_stopped() const override { return "CSAファイル出力を中断終了しました。"; }
  const char* export_question() const override { return "CSAファイル(%s)に上書きしてもよろしいですか？"; }

 private:
  int MergeAnnotations(int32_t kept, const std::vector<ListEntry>& removed, bool by_ply, bool* changed);
};

}  // namespace shogidb
