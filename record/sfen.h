// SFEN positions and USI position lines, the text engines and analysis sites exchange:
//
//   lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1
//   position sfen <sfen> moves 7g7f 3c3d 8h2b+ 3a2b B*4e
//   position startpos moves 7g7f
//
// The board rank 1 first, files 9 to 1; upper case sente, lower case gote, "+" before a promoted piece;
// "b"/"w" the side to move; the hands ("-" when both are empty) sente's first, kinds in the order
// R B G S N L P, a count before a letter when above one; the number of the next move.
//
// SFEN has no piece box. Reading puts every piece the text does not name into the box; writing names
// the board and both hands and leaves the box out. So hands map to hands both ways: a tsume position
// whose defender holds the remaining pieces (as problem files and tsume SFENs both give them) reads and
// writes unchanged, and pieces a position keeps in the box (a missing king among them) stay there.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "rules/board_form.h"
#include "rules/move_word.h"
#include "rules/side.h"

namespace rules {
class Position;
}  // namespace rules

namespace record {

class GameDocument;
class RecordBoard;

// The SFEN of an even game at its start.
inline constexpr std::string_view kStartSfen = "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1";

// A position read from SFEN: the pieces by index (as BoardForm::Decode gives them), the side to move
// and the move number the text gives.
struct SfenPosition {
  rules::BoardForm::Expanded pieces;
  rules::Side side = rules::kSente;
  int move_number = 1;
};

// The SFEN of the position as it stands: its side to move (sente when unset) and `move_number`.
std::string PositionSfen(const rules::Position& position, int move_number);

// Reads an SFEN (the four fields; the move number may be left out and is then 1). Returns "" when it is
// one, else what is wrong with it (CP932, naming the part). Checks the shape of every field, the piece
// letters, how many pieces of a kind there are, one king a side at most, pawns, lances and knights
// with no move left, two unpromoted pawns of a side on a file.
std::string ReadSfen(std::string_view text, SfenPosition& out);

// A move in USI notation: "7g7f", "8h2b+", "P*5e". "" for a move that is none of these (into a hand or
// the box).
std::string UsiMoveText(rules::MoveWord move);

// A USI position line: its start and its moves, unchecked until played.
struct UsiLine {
  SfenPosition start;
  std::vector<std::string> moves;
};
// Reads "position sfen <sfen> [moves ...]" or "position startpos [moves ...]"; "position" may be left
// out, and a bare SFEN is taken too. Returns "" or what is wrong.
std::string ReadUsiLine(std::string_view text, UsiLine& out);

// Whether the text (one line, blanks around it aside) is meant as an SFEN or a USI position line: it
// begins with "position", "sfen" or "startpos", or has the shape of an SFEN board field.
bool LooksLikeSfenOrUsi(std::string_view text);

// What the rules refuse in a position read from SFEN that its text alone does not show: the side not to
// move standing in check. "" when there is nothing.
std::string CheckSfenPosition(const SfenPosition& position);

// Replaces the board's position and record: the line's start becomes the start of the record and its
// moves are played as the record's main line, each checked against the rules; the board is left at the
// start. Returns "" or what stopped it: a start the rules refuse (the side not to move in check) leaves
// the board unchanged; a move that cannot be played (against the rules of a move, or leaving its own
// king in check) ends the record before it, and the message names the move and its number. A pawn-drop
// mate is not looked for.
std::string LoadUsiLine(const UsiLine& line, RecordBoard& board);

// What of a game a USI line leaves out, as names (CP932): the header ("対局情報"), the annotations
// ("注釈") and the alternatives to the main line ("変化"), each when the game has any.
std::vector<std::string> DroppedUsiParts(const GameDocument& doc);

// The record as a USI line: "position startpos" when it starts from the even game with sente to move,
// else "position sfen <start>", then " moves" and the selected line from the start, when it has moves.
// The board's place is kept.
std::string RecordUsiLine(RecordBoard& board);

}  // namespace record
