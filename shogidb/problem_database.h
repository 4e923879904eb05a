// ProblemDatabase: the tsume database. Problems are registered from PCL text (one problem per position: the
// unique index on 出題図 refuses a second problem with the same position), searched, exported and deleted; a
// problem may keep its whole solution tree in a move-space file "pcl/<出題図>.pcl" beside the tables, which
// registration writes, deletion removes and export prefers. The moves stored in SHGDB_D are the line the
// main-line rule selects.
//
// List line: "%s %s%4s 手詰 %s %s %8s" (詰将棋番号, 作者, 詰手数, 表題, 難易度, 出題図) under
// kProblemListHeading.
#pragma once
#include <string>

#include "shogidb/item_database.h"

namespace shogidb {

class ProblemDatabase : public ItemDatabase {
 public:
  ProblemDatabase();

  // The problem as PCL text: the move-space file when there is one, else made from the tables (header
  // fields, annotation, "N+攻方", "N-受方", position, side and moves).
  int ExportItem(int32_t number, std::string& text) override;
  int DeleteProblem(int32_t number) { return DeleteItem(number); }

  // Loads a problem into a tsume document: the header from the tables, the whole tree from the
  // move-space file when there is one. kOk or a code.
  int LoadProblem(int32_t number, record::ProblemDocument& doc);

  // The attacker of a stored problem: the side of its first move; without moves, the side whose king is
  // not on the board when only the other side's king is.
  static rules::Side SideOfProblem(const rules::BoardForm& start, const std::vector<BoardMove>& moves);

  // Registers the current problem (詰将棋の登録): its whole tree, as new or (overwrite) in place of the
  // problem its 詰将棋番号 names ("上書登録するには詰将棋番号の指定が必要です。"). The number, or -1.
  int32_t RegisterDocument(record::ProblemDocument& doc, bool overwrite);
  // Stores the solution now in a document's record in place of the problem's moves. kOk or a failure
  // (shown).
  int WriteSolution(int32_t number, record::ProblemDocument& doc);

  const ItemRowLayout& row_layout() const override { return kProblemItemLayout; }

 protected:
  int number_offset() const override { return ProblemRowLayout::kNumber; }
  int position_offset() const override { return ProblemRowLayout::kProblemPosition; }
  void MakeRow(const ParsedItem& item, int32_t position, const std::string& number, uint8_t* row) const override;
  rules::Side side_of(const uint8_t* row, const std::vector<BoardMove>& moves) const override;
  std::string NumberField(const ParsedItem& item) const override {
    return item.problem.Field(record::ProblemHeader::kProblemNumber);
  }
  void SetCounts(ParsedItem& item) const override;
  std::string ListLine(const uint8_t* row) const override;
  std::string Registered(const ParsedItem& item, int32_t position, const std::string& number, bool is_new) const override;
  std::string RegisterError(int code, const ParsedItem& item, int32_t position) const override;
  std::string UpdateError(int code, const ParsedItem& item, int32_t position) const override;
  std::string NotRegistered(long number, int code) const override;
  std::string DamagedText(int32_t number) const override;
  const char* delete_question() const override { return "%d 件の詰将棋を削除します。よろしいですか？"; }
  const char* delete_stopped() const override { return "詰将棋削除を中断終了しました。"; }
  const char* export_stopped() const override { return "PCLファイル出力を中断終了しました。"; }
  const char* export_question() const override { return "PCLファイル(%s)に上書きしてもよろしいですか？"; }
  bool AfterStore(ParsedItem& item, int32_t number, RecordTextReader& reader) override;
  void AfterDelete(const uint8_t* row) override;
};

}  // namespace shogidb
