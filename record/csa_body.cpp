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
// directly in place of the side line, a "/" line as the end of the game, and "'*" comments (version
// 3.0) as annotation lines of the move before them. Every other line is ignored (version, "$" and time
// lines, other comments); a "%" line states how the game ended. Pieces come from the piece box, lowest index of
// the kind first; a cell or group whose kind has no piece left in the box is ignored.
#include "record/csa_body.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/csa_position_lines.h"
#include "rules/move_rules.h"
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

std::string CsaMoveErrorText(CsaMoveError error, std::string_view line) {
  const char* text = "";
  switch (error) {
    case CsaMoveError::kNone: return "";
    case CsaMoveError::kFormat: text = "指し手の形式が間違っています"; break;
    case CsaMoveError::kSide: text = "指し手の手番が間違っています"; break;
    case CsaMoveError::kFrom: text = "指し手の移動元が間違っています"; break;
    case CsaMoveError::kKind: text = "指し手の駒種が間違っています"; break;
    case CsaMoveError::kTo: text = "指し手の移動先が間違っています"; break;
    case CsaMoveError::kIllegal: text = "指し手が間違っています"; break;
  }
  return std::string(text) + "(" + std::string(line) + ")";
}

std::string CsaBodyProblemText(const CsaBodyResult& result) {
  switch (result.status) {
    case CsaBodyResult::kOk: return "";
    case CsaBodyResult::kBadPosition: return "駒配置指定エラーです。(" + result.bad_line + ")";
    case CsaBodyResult::kBadMove: return CsaMoveErrorText(result.move_error, result.bad_line);
    case CsaBodyResult::kNoNode: return "No memory!!(" + result.bad_line + ")";
  }
  return "";
}

namespace {

// The piece of a kind a drop takes: the lowest-numbered one in the mover's hand, or -1.
int PieceInHand(const Position& position, int kind, Side side) {
  for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
    if (position.LocationOf(i) == Location::Hand(side)) return i;
  }
  return -1;
}

}  // namespace

CsaMoveError ReadCsaMove(const Position& position, std::string_view line, CsaMove& move) {
  using E = CsaMoveError;
  if (line.size() < 7 || (line[0] != '+' && line[0] != '-') || !platform::AllDigits(line.substr(1, 4))) {
    return E::kFormat;
  }
  bool promoted = false;
  const int kind = ParseCsaCode(line.substr(5, 2), &promoted);
  if (kind < 0) return E::kFormat;
  const Side side = line[0] == '+' ? kSente : kGote;
  if (position.side_to_move() != kSideUnset && side != position.side_to_move()) return E::kSide;
  const int from = ParseCsaSquare(line.substr(1, 2));
  const int to = ParseCsaSquare(line.substr(3, 2));
  if (from < 0) return E::kFrom;
  const Piece* piece = nullptr;
  if (from == 0) {
    const int index = PieceInHand(position, kind, side);
    if (index < 0) return E::kFrom;
    if (promoted) return E::kKind;
    piece = &position.piece(index);
  } else {
    piece = position.PieceAt(ToBoardIndex(SquareNumber(from)));
    if (!piece || piece->side() != side) return E::kFrom;
    if (piece->kind() != kind || (piece->promoted() && !promoted)) return E::kKind;
  }
  if (to <= 0 || to == from) return E::kTo;
  const BoardIndex target = ToBoardIndex(SquareNumber(to));
  const Piece* occupant = position.PieceAt(target);
  if (occupant && (occupant->side() == side || from == 0)) return E::kTo;
  if (ValidateMove(position, position.BuildMoveWord(*piece, target, PromotionTo(promoted), side)) != kLegal) {
    return E::kIllegal;
  }
  move.piece = piece->index();
  move.to = target;
  move.promote = promoted;
  move.side = side;
  return E::kNone;
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

// Reads the lines before the moves: the position lines, up to the side line "+" or "-" or a first move
// standing in its place, which `side_line` receives. False when the text ends first, or reaches a "/"
// (which `result` notes), or a position line does not read (`result` says which).
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
    } else if (!ApplyCsaPositionLine(line, CsaPolicy::kLenient, pieces)) {  // other lines change nothing
      result.status = CsaBodyResult::kBadPosition;
      result.bad_line = std::string(line);
      result.bad_line_number = ar.LineNumber();
      break;
    }
  }
  board.PlacePieces(pieces);
  return have_side;
}

// After a line that stopped the reading, the stream moves on to the next game's "/".
void SkipToGameEnd(Archive& ar, CsaBodyResult& result) {
  std::string raw;
  while (ar.ReadLine(raw)) {
    if (SkipCsaBlanks(raw).starts_with("/")) {
      result.game_end = true;
      return;
    }
  }
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
    if (const CsaMoveError error = ReadCsaMove(board, line, m); error != CsaMoveError::kNone) {
      result.status = CsaBodyResult::kBadMove;
      result.move_error = error;
    } else if (board.piece(m.piece).MoveTo(m.to, PromotionTo(m.promote), m.side) == 0) {
      result.status = CsaBodyResult::kNoNode;
    } else {
      ++number;
      return;
    }
    result.bad_line = std::string(line);
    result.bad_line_number = ar.LineNumber();  // the line just read (or the side line, read before the moves)
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
      } else if (line.size() > 2 && line[1] == '*') {
        // Version 3.0: a comment for programs after a move ("'*", "'**" an evaluation) belongs to it.
        board.AddAnnotation(board.current(), line.substr(2));
      }
    } else if (line[0] == '+' || line[0] == '-') {
      play(line);
    } else if (line[0] == '%') {
      // A special move ends the game; the last one read is the result the file states.
      if (const GameEnd end = CsaEndOf(line, board.side_to_move()); end.kind != GameEnd::kNone) result.end = end;
    } else if (line[0] == '/') {
      result.game_end = true;
      return;
    }
  }
  // A game that stopped at a bad move still ends at its "/": the stream is left at the next game.
  if (!result.ok()) SkipToGameEnd(ar, result);
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
  if (!result.ok()) SkipToGameEnd(ar, result);
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
