// The CSA body text of a record: CP932, every line ending in CRLF.
//
//   '初期局面
//   P1-KY-KE-GI-KI-OU-KI-GI-KE-KY        nine rank lines, file 9 first; a cell is " * " or a sign and a code
//   ...
//   P9+KY+KE+GI+KI+OU+KI+GI+KE+KY
//   P+00KA00FU                            pieces in hand, kinds in the order OU HI KA KI GI KE KY FU; no
//   P-00HI                                line for an empty hand
//   '手番
//   +                                     side to move at the start ("+" also when it is unset)
//   '以下手順
//   +7776FU                               moves, depth first: the main line, then each alternative after
//   '注釈:text                            the whole subtree of its elder sibling, preceded by
//   '手数目:2                             the number of the move it replaces
//   -8384FU
//
// Reading also takes "PI" (the even game minus the pieces listed, e.g. PI82HI22KA), "P+"/"P-" groups
// with a square ("P+55KA") or "00AL" (every non-king piece left in the box to that hand), a first move
// directly in place of the side line, and a "/" line as the end of the game. Every other line is ignored
// (version, "$", time and "%" lines, other comments). Pieces come from the piece box, lowest index of
// the kind first; a cell or group whose kind has no piece left in the box is ignored.
#include "record/csa_body.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/csa_position_lines.h"
#include "record/record_board.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {

const char kFullWidthSpace[] = "　";


}  // namespace

std::string_view SkipCsaBlanks(std::string_view line) {
  for (;;) {
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
      line.remove_prefix(1);
    } else if (!platform::ConsumePrefix(line, kFullWidthSpace)) {
      return line;
    }
  }
}

bool LooksLikeCsaMove(std::string_view t) {
  if (t.size() < 5 || (t[0] != '+' && t[0] != '-')) return false;
  for (int i = 1; i <= 4; ++i) {
    if (!platform::IsDigit(t[i])) return false;
  }
  return t.size() == 5 || !platform::IsDigit(t[5]);
}

bool ParseCsaMoveLine(const Position& position, std::string_view line, CsaMove& move) {
  if (line.size() < 7 || (line[0] != '+' && line[0] != '-')) return false;
  const Side side = line[0] == '+' ? kSente : kGote;
  const int from = ParseCsaSquare(line.substr(1, 2));
  const int to = ParseCsaSquare(line.substr(3, 2));
  bool promoted = false;
  const int kind = ParseCsaCode(line.substr(5, 2), &promoted);
  if (from < 0 || to <= 0 || kind < 0) return false;
  const BoardIndex target = ToBoardIndex(SquareNumber(to));
  const Piece* occupant = position.PieceAt(target);
  if (occupant && occupant->side() == side) return false;
  int piece = -1;
  if (from == 0) {
    if (promoted || occupant) return false;
    for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
      if (position.LocationOf(i) == Location::Hand(side)) {
        piece = i;
        break;
      }
    }
    if (piece < 0) return false;
  } else {
    const Piece* p = position.PieceAt(ToBoardIndex(SquareNumber(from)));
    if (!p || p->side() != side || p->kind() != kind || from == to) return false;
    piece = p->index();
  }
  move.piece = piece;
  move.to = target;
  move.promote = promoted;
  move.side = side;
  return true;
}

// --- writing ----------------------------------------------------------------------------------------

void RecordBoard::WriteCsaBody(Archive& ar) const {
  WriteCsaPosition(ar);
  ar.WriteLine("'以下手順");
  WriteCsaMoveTree(*root(), 1, ar);
}

void RecordBoard::WriteCsaPosition(Archive& ar) const {
  ar.WriteLine("'初期局面");
  for (const std::string& line : CsaPositionLines(initial_form())) ar.WriteLine(line);
  ar.WriteLine("'手番");
  Side start_side = side_to_move();
  if (start_side != kSideUnset && move_number() % 2 != 0) start_side = Opponent(start_side);
  ar.WriteLine(start_side == kGote ? "-" : "+");
}

void WriteCsaMoveTree(const MoveNode& from, int first_number, Archive& ar) {
  // Depth first without recursion (records may be long): a node's children before its next sibling.
  struct Item {
    const MoveNode* node;
    int number;
  };
  std::vector<Item> stack;
  if (from.child) stack.push_back({from.child, first_number});
  while (!stack.empty()) {
    const Item item = stack.back();
    stack.pop_back();
    const MoveNode* n = item.node;
    if (n != n->parent->child) ar.WriteLine("'手数目:" + std::to_string(item.number));
    ar.WriteLine(CsaMoveText(n->move));
    if (n->note) {
      for (const std::string& line : n->note->lines) ar.WriteLine("'注釈:" + line);
    }
    if (n->next) stack.push_back({n->next, item.number});
    if (n->child) stack.push_back({n->child, item.number + 1});
  }
}

// --- reading ----------------------------------------------------------------------------------------

namespace {

// Reads the lines before the moves: the position lines (taken as far as they go), up to the side line
// "+" or "-" or a first move standing in its place, which `side_line` receives. False when the text ends
// first, or reaches a "/" (which `result` notes).
bool ReadStartPosition(RecordBoard& board, Archive& ar, std::string& side_line, CsaBodyResult& result) {
  BoardForm::Expanded pieces;  // every piece in the box until a position line says otherwise
  bool have_side = false;
  std::string raw;
  while (!have_side && ar.ReadLine(raw)) {
    std::string_view line = SkipCsaBlanks(raw);
    if (line.empty()) continue;
    if (line[0] == '+' || line[0] == '-') {
      board.SetSideToMove(line[0] == '+' ? kSente : kGote);
      side_line = std::string(line);
      have_side = true;
    } else if (line[0] == '/') {
      result.game_end = true;
      break;
    } else {
      ApplyCsaPositionLine(line, CsaPolicy::kLenient, pieces);  // other lines change nothing
    }
  }
  board.PlacePieces(pieces);
  return have_side;
}

// The number of a branch marker "'手数目:N" from its leading digits; -1 when there are none.
int BranchNumber(std::string_view text) {
  int n = 0;
  size_t digits = 0;
  while (digits < text.size() && platform::IsDigit(text[digits]) && n < 100000) n = n * 10 + (text[digits++] - '0');
  return digits == 0 ? -1 : n;
}

// Plays the moves with their annotations and branch markers up to a "/" or the end of the text. A move
// line that does not play stops the moves; `result` tells which and why.
void ReadMoves(RecordBoard& board, Archive& ar, const std::string& side_line, CsaBodyResult& result) {
  int number = 1;  // the number of the next move
  auto play = [&](std::string_view line) {
    CsaMove m;
    if (!ParseCsaMoveLine(board, line, m)) {
      result.status = CsaBodyResult::kBadMove;
    } else if (board.piece(m.piece).MoveTo(m.to, PromotionTo(m.promote), m.side) == 0) {
      result.status = CsaBodyResult::kNoNode;
    } else {
      ++number;
      return;
    }
    result.bad_line = std::string(line);
  };
  // A file may put its first move where the side line stands.
  if (CsaMove m; side_line.size() > 1 && ParseCsaMoveLine(board, side_line, m)) play(side_line);
  std::string raw;
  while (result.ok() && ar.ReadLine(raw)) {
    std::string_view line = SkipCsaBlanks(raw);
    if (line.empty()) continue;
    if (line[0] == '\'') {
      std::string_view rest = SkipCsaBlanks(line.substr(1));
      if (platform::ConsumePrefix(rest, "手数目:")) {
        const int n = BranchNumber(rest);
        if (n < 0) continue;
        while (number > n && number > 1) {
          board.StepBack();
          --number;
        }
      } else if (platform::ConsumePrefix(rest, "注釈:")) {
        board.AddAnnotation(board.current(), rest);
      }
    } else if (line[0] == '+' || line[0] == '-') {
      play(line);
    } else if (line[0] == '/') {
      result.game_end = true;
      return;
    }
  }
  // A game that stopped at a bad move still ends at its "/": the stream is left at the next game.
  if (!result.ok()) {
    while (ar.ReadLine(raw)) {
      if (SkipCsaBlanks(raw).starts_with("/")) {
        result.game_end = true;
        return;
      }
    }
  }
}

}  // namespace

CsaBodyResult RecordBoard::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    WriteCsaBody(ar);
    return {};
  }
  return ReadCsaBody(ar);
}

CsaBodyResult RecordBoard::ReadCsaBody(Archive& ar) {
  CsaBodyResult result;
  std::string side_line;
  // 1. The start position, placed with the turn order off, then fixed as the start of the record.
  SetTurnOrder(0);
  SetSideToMove(kSente);
  const bool have_side = ReadStartPosition(*this, ar, side_line, result);
  SetTurnOrder(1);
  BeginRecord();
  if (!have_side) return result;
  // 2. The moves and their branches.
  const Side start_side = side_to_move();
  ReadMoves(*this, ar, side_line, result);
  // 3. Back to the start. Stepping back leaves the side of the first move last taken back; the start
  // belongs to the side line.
  GoToStart();
  SetSideToMove(start_side);
  return result;
}

}  // namespace record
