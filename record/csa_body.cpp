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

#include "record/archive.h"
#include "record/record_board.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {

const char kFullWidthSpace[] = "　";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Removes the prefix when the text starts with it.
bool Consume(std::string_view& text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// A two-digit square number 11..99 or 00 (hand) from text; -1 when it is neither.
int ParseSquare(std::string_view two) {
  if (two.size() < 2 || !IsDigit(two[0]) || !IsDigit(two[1])) return -1;
  const int file = two[0] - '0', rank = two[1] - '0';
  if (file == 0 && rank == 0) return 0;
  if (file == 0 || rank == 0) return -1;
  return file * 10 + rank;
}

int ParseCode(std::string_view two, int* promoted) {
  if (two.size() < 2) return -1;
  return ParseCsaPieceCode(two.data(), promoted);
}

}  // namespace

std::string_view SkipCsaBlanks(std::string_view line) {
  for (;;) {
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
      line.remove_prefix(1);
    } else if (!Consume(line, kFullWidthSpace)) {
      return line;
    }
  }
}

bool LooksLikeCsaMove(std::string_view t) {
  if (t.size() < 5 || (t[0] != '+' && t[0] != '-')) return false;
  for (int i = 1; i <= 4; ++i) {
    if (!IsDigit(t[i])) return false;
  }
  return t.size() == 5 || !IsDigit(t[5]);
}

bool ParseCsaMoveLine(const Position& position, std::string_view line, CsaMove& move) {
  if (line.size() < 7 || (line[0] != '+' && line[0] != '-')) return false;
  const int side = line[0] == '+' ? kSente : kGote;
  const int from = ParseSquare(line.substr(1, 2));
  const int to = ParseSquare(line.substr(3, 2));
  int promoted = 0;
  const int kind = ParseCode(line.substr(5, 2), &promoted);
  if (from < 0 || to <= 0 || kind < 0) return false;
  const int target = ToBoardIndex(to);
  const Piece* occupant = position.PieceAt(target);
  if (occupant && occupant->side() == side) return false;
  int piece = -1;
  if (from == 0) {
    if (promoted || occupant) return false;
    for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
      if (position.LocationOf(i) == side) {
        piece = i;
        break;
      }
    }
    if (piece < 0) return false;
  } else {
    const Piece* p = position.PieceAt(ToBoardIndex(from));
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
  const BoardForm::Expanded start = initial_form().Decode();
  int cell_code[100];  // by square number: 0 empty, else 1 + code
  std::memset(cell_code, 0, sizeof cell_code);
  int hands[2][kKindCount] = {};
  for (int i = 0; i < kPieceCount; ++i) {
    const BoardForm::Entry& e = start[i];
    const int kind = KindOfIndex(i);
    if (e.location == BoardForm::kBoxLocation) continue;
    if (e.location <= 1) {
      ++hands[e.location][kind];
    } else if (e.location < 100) {
      cell_code[e.location] = 1 + MakeCode(kind, e.promoted, e.owner);
    }
  }
  ar.WriteLine("'初期局面");
  for (int rank = 1; rank <= 9; ++rank) {
    std::string row = "P" + std::to_string(rank);
    for (int file = 9; file >= 1; --file) {
      const int c = cell_code[file * 10 + rank];
      if (c == 0) {
        row += " * ";
      } else {
        row += CodeSide(c - 1) == kSente ? "+" : "-";
        row += kCsaPieceCodes[(c - 1) & 15];
      }
    }
    ar.WriteLine(row);
  }
  for (int side = 0; side < 2; ++side) {
    std::string line = side == kSente ? "P+" : "P-";
    for (int kind = 0; kind < kKindCount; ++kind) {
      for (int n = 0; n < hands[side][kind]; ++n) line += std::string("00") + kCsaPieceCodes[kind];
    }
    if (line.size() > 2) ar.WriteLine(line);
  }
  ar.WriteLine("'手番");
  int start_side = side_to_move();
  if (start_side != kSideUnset && move_number() % 2 != 0) start_side = 1 - start_side;
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

// Puts pieces taken from the box of a position being set up. The board's protected set-up tools are
// reached through the reader, which is a RecordBoard member; this only decides which piece goes where.
int LowestInBox(const Position& position, int kind) {
  for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
    if (position.LocationOf(i) == kPieceBox) return i;
  }
  return -1;
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
  SetTurnOrder(0);
  SetSideToMove(kSente);
  std::string raw, side_line;
  bool have_side = false;
  {
    Unrecorded quiet(*this);
    PlaceAllInBox();
    // Places the lowest box piece of a kind; a piece already standing on the square goes back first.
    auto place = [this](int kind, int promoted, int side, int square) {
      const int i = LowestInBox(*this, kind);
      if (i < 0) return;
      if (square == 0) {
        piece(i).PlaceTo(side, 0, side);
        return;
      }
      const int at = ToBoardIndex(square);
      if (Piece* occupant = PieceAt(at)) occupant->PlaceTo(kPieceBox, 0, 0);
      piece(i).PlaceTo(at, promoted, side);
    };
    while (!have_side && ar.ReadLine(raw)) {
      std::string_view line = SkipCsaBlanks(raw);
      if (line.empty()) continue;
      if (line[0] == '+' || line[0] == '-') {
        SetSideToMove(line[0] == '+' ? kSente : kGote);
        side_line = std::string(line);
        have_side = true;
      } else if (line[0] == '/') {
        result.game_end = true;
        break;
      } else if (line.size() >= 2 && line[0] == 'P' && line[1] >= '1' && line[1] <= '9') {
        const int rank = line[1] - '0';
        for (int c = 0; c < 9; ++c) {
          std::string_view cell = line.substr(std::min<size_t>(line.size(), 2 + 3 * c), 3);
          if (cell.size() < 3 || (cell[0] != '+' && cell[0] != '-')) continue;
          int promoted = 0;
          const int kind = ParseCode(cell.substr(1), &promoted);
          if (kind >= 0) place(kind, promoted, cell[0] == '+' ? kSente : kGote, (9 - c) * 10 + rank);
        }
      } else if (line.size() >= 2 && line[0] == 'P' && (line[1] == '+' || line[1] == '-')) {
        const int side = line[1] == '+' ? kSente : kGote;
        for (size_t at = 2; at + 4 <= line.size(); at += 4) {
          std::string_view group = line.substr(at, 4);
          const int square = ParseSquare(group);
          if (square < 0) break;
          if (square == 0 && group.substr(2) == "AL") {
            for (int i = 0; i < kPieceCount; ++i) {
              if (KindOf(i) != OU && LocationOf(i) == kPieceBox) piece(i).PlaceTo(side, 0, side);
            }
            continue;
          }
          int promoted = 0;
          const int kind = ParseCode(group.substr(2), &promoted);
          if (kind < 0) break;
          place(kind, square == 0 ? 0 : promoted, side, square);
        }
      } else if (line.size() >= 2 && line[0] == 'P' && (line[1] == 'I' || line[1] == 'i')) {
        BoardForm even;
        ApplyBoardForm(even);
        std::string_view rest = line.substr(2);
        for (;;) {
          while (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t')) rest.remove_prefix(1);
          if (rest.size() < 4) break;
          const int square = ParseSquare(rest);
          int promoted = 0;
          const int kind = ParseCode(rest.substr(2), &promoted);
          if (square <= 0 || kind < 0) break;
          Piece* p = PieceAt(ToBoardIndex(square));
          if (p && p->kind() == kind) p->PlaceTo(kPieceBox, 0, 0);
          rest.remove_prefix(4);
        }
      }
    }
  }
  SetTurnOrder(1);
  BeginRecord();
  if (!have_side) return result;
  const int start_side = side_to_move();

  int number = 1;  // the number of the next move
  auto play = [&](std::string_view line) {
    CsaMove m;
    if (!ParseCsaMoveLine(*this, line, m)) {
      result.status = CsaBodyResult::kBadMove;
    } else if (piece(m.piece).MoveTo(m.to, m.promote, m.side) == 0) {
      result.status = CsaBodyResult::kNoNode;
    } else {
      ++number;
      return true;
    }
    result.bad_line = std::string(line);
    return false;
  };
  // A file may put its first move where the side line stands.
  if (side_line.size() > 1) {
    CsaMove m;
    if (ParseCsaMoveLine(*this, side_line, m)) play(side_line);
  }
  while (result.ok() && ar.ReadLine(raw)) {
    std::string_view line = SkipCsaBlanks(raw);
    if (line.empty()) continue;
    if (line[0] == '\'') {
      std::string_view rest = SkipCsaBlanks(line.substr(1));
      if (Consume(rest, "手数目:")) {
        int n = 0;
        size_t digits = 0;
        while (digits < rest.size() && IsDigit(rest[digits]) && n < 100000) n = n * 10 + (rest[digits++] - '0');
        if (digits == 0) continue;
        while (number > n && number > 1) {
          StepBack();
          --number;
        }
      } else if (Consume(rest, "注釈:")) {
        AddAnnotation(current(), rest);
      }
    } else if (line[0] == '+' || line[0] == '-') {
      play(line);
    } else if (line[0] == '/') {
      result.game_end = true;
      break;
    }
  }
  // A game that stopped at a bad move still ends at its "/": the stream is left at the next game.
  if (!result.ok()) {
    while (ar.ReadLine(raw)) {
      if (SkipCsaBlanks(raw).substr(0, 1) == "/") {
        result.game_end = true;
        break;
      }
    }
  }
  GoToStart();
  // Stepping back leaves the side of the first move last taken back; the start belongs to the side line.
  SetSideToMove(start_side);
  return result;
}

}  // namespace record
