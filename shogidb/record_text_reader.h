// Reading game (CSA) and problem (PCL) text for registration, one game or problem at a time, with the
// messages of the databases for every line that cannot be taken.
//
// Each item (games and problems are separated by "/" lines) has two parts:
//   header part  "'注釈:" lines (the game or problem annotation), "'" label lines (header fields; lines
//                with other labels are passed over), "N+" / "N-" (players; a problem accepts them without
//                keeping the names), "PI", "P1".."P9", "P+", "P-" (the start position), and a line "+" or
//                "-" alone (the side to move), which ends the part. A move line in its place also ends
//                it, the side to move being the mover's. The standard format's version line and "$"
//                lines are taken as the documents take them ($EVENT, $SITE, $OPENING, $START_TIME and
//                $TIME_LIMIT fill game fields).
//   move part    move lines ("+7776FU"; characters after the seventh are ignored except ",T<seconds>"),
//                "'注釈:" lines (annotation of the last move; of the start before the first move),
//                "T<seconds>" lines, "'手数目:N" branch markers, "%" lines (the end of the moves) and "/".
// Blank lines and other comment lines are passed over. Times become annotation text: "%3d分" for whole
// minutes, "%2d秒" for the remaining seconds, then "。" (a time of zero adds nothing).
//
// A game's moves are its main line, the line written first: a branch marker ends them. A problem keeps
// its whole tree of alternatives (in board()), and its moves are the line the main-line rule selects.
//
// Messages (shown, and the reading stops): "文法エラーです。(%s)", "対局者指定エラーです。(%s)",
// "駒配置指定エラーです。(%s)", "手番指定エラーです。(%s)", and for moves "指し手の形式が間違っています(%s)",
// "指し手の手番が間違っています(%s)", "指し手の移動元が間違っています(%s)", "指し手の駒種が間違っています(%s)",
// "指し手の移動先が間違っています(%s)", "指し手が間違っています(%s)" (a move the rules refuse), and
// "指し手登録に失敗しました。(99)" for a line beyond 2000 plies.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_sink.h"
#include "record/plain_board.h"
#include "shogidb/board_move.h"
#include "shogidb/header_rows.h"

namespace shogidb {

enum class ItemKind { kGame, kProblem };

// A board that the reader plays moves on, recorded (problems) or not (games).
class ReaderBoard : public record::PlainBoard {
 public:
  ReaderBoard() : record::PlainBoard(record::PlainBoard::kCopyPool) {}
  // Plays a move without entering it into the record (and without its text or attack map).
  void PlayQuiet(rules::MoveWord move);
};

struct ParsedItem {
  record::GameHeader game;  // a game's header
  record::ProblemHeader problem;  // a problem's header
  rules::BoardForm start;
  rules::Side side = rules::kSente;
  std::vector<BoardMove> moves;    // the main line
  std::vector<std::string> notes;  // annotation text by ply (0: the game's or problem's), lines joined by CRLF
  std::string first_line;          // the item's first line (for messages)
};

class RecordTextReader {
 public:
  enum Status { kItem, kEnd, kError };

  RecordTextReader(std::string_view text, ItemKind kind, platform::MessageSink& messages);
  RecordTextReader(const RecordTextReader&) = delete;
  RecordTextReader& operator=(const RecordTextReader&) = delete;

  // Reads the next item: kItem with the item; kEnd when only blank lines or nothing is left; kError
  // when a line could not be taken (its message has been shown).
  Status Next(ParsedItem& item);

  // A problem's whole record (start position, tree, annotations), at its start, after Next.
  ReaderBoard& board() { return board_; }

 private:
  bool ReadLine(std::string& line);
  Status ReadHeaderPart(ParsedItem& item, bool& ended, std::string& pending_move);
  bool ReadMovePart(ParsedItem& item, const std::string& pending_move);
  bool PlaceLine(std::string_view line, rules::BoardForm::Expanded& entries);
  bool PlayLine(std::string_view line, ParsedItem& item, int& ply);
  void AddNote(ParsedItem& item, int ply, std::string_view text);
  bool Fail(const char* format, std::string_view line);

  std::string text_;
  size_t pos_ = 0;
  ItemKind kind_;
  platform::MessageSink& messages_;
  ReaderBoard board_;
  FormBoard form_;
};

// "%3d分%2d秒。" as registration writes a time (either part left out when zero); empty for zero.
std::string TimeNoteText(long seconds);
// The seconds of a time text at the start of an annotation, and its length in bytes; -1 when the
// annotation does not begin with one.
long LeadingTimeNote(std::string_view note, size_t* length);

}  // namespace shogidb
