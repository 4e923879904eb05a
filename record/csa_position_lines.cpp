#include "record/csa_position_lines.h"

#include <algorithm>
#include <string>

#include "platform/text_scan.h"
#include "rules/notation.h"
#include "rules/piece_code.h"

using namespace rules;

namespace record {
namespace {

using Entries = BoardForm::Expanded;

constexpr int kRankCells = 9;
constexpr int kCellWidth = 3;
constexpr int kGroupWidth = 4;  // a square and a code: "55KA", "00FU"

uint8_t Byte(int value) { return static_cast<uint8_t>(value); }

Side SideOfSign(char sign) { return sign == '+' ? kSente : kGote; }

// The lowest-numbered piece of the kind still in the box, or -1.
int LowestInBox(const Entries& e, int kind) {
  for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
    if (e[i].location == BoardForm::kBoxLocation) return i;
  }
  return -1;
}

// The piece standing on a square number, or -1.
int PieceOn(const Entries& e, int square) {
  for (int i = 0; i < kPieceCount; ++i) {
    if (e[i].location == square) return i;
  }
  return -1;
}

void PutInHand(Entries& e, int i, Side side) { e[i] = {Byte(SideIndex(side)), Byte(SideIndex(side)), 0}; }

void PutOnSquare(Entries& e, int i, int square, Side side, bool promoted) {
  e[i] = {Byte(square), Byte(SideIndex(side)), Byte(promoted)};
}

// Places the lowest box piece of a kind on a square, or in hand for square 0. The strict policy refuses
// an occupied square, an empty box and a promoted piece or a king in hand; the lenient one sends an
// occupant back to the box (after the piece is chosen) and passes over an empty box.
bool Place(Entries& e, CsaPolicy policy, int kind, bool promoted, Side side, int square) {
  const bool strict = policy == CsaPolicy::kStrict;
  const int i = LowestInBox(e, kind);
  if (i < 0) return !strict;
  if (square == 0) {
    if (strict && (promoted || kind == OU)) return false;
    PutInHand(e, i, side);
    return true;
  }
  if (const int occupant = PieceOn(e, square); occupant >= 0) {
    if (strict) return false;
    e[occupant] = BoardForm::Entry{};
  }
  PutOnSquare(e, i, square, side, promoted);
  return true;
}

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.remove_prefix(1);
  return text;
}

// "PI": the even game, then the removals.
bool ApplyHandicapLine(std::string_view rest, CsaPolicy policy, Entries& e) {
  const bool strict = policy == CsaPolicy::kStrict;
  e = BoardForm().Decode();
  for (;;) {
    rest = SkipBlanks(rest);
    if (rest.empty()) return true;
    if (rest.size() < kGroupWidth) return false;
    bool promoted = false;
    const int square = ParseCsaSquare(rest);
    const int kind = ParseCsaCode(rest.substr(2, 2), &promoted);
    if (square <= 0 || kind < 0) return false;
    const int i = PieceOn(e, square);
    if (i >= 0 && KindOfIndex(i) == kind) {
      e[i] = BoardForm::Entry{};
    } else if (strict) {
      return false;
    }
    rest.remove_prefix(kGroupWidth);
  }
}

// "P+" / "P-": groups of a square and a code.
bool ApplySideLine(Side side, std::string_view rest, CsaPolicy policy, Entries& e) {
  const bool strict = policy == CsaPolicy::kStrict;
  for (; !rest.empty(); rest.remove_prefix(std::min<size_t>(rest.size(), kGroupWidth))) {
    if (rest.size() < kGroupWidth) return false;
    const int square = ParseCsaSquare(rest);
    if (square < 0) return false;
    if (square == 0 && rest.substr(2, 2) == "AL") {
      for (int i = 0; i < kPieceCount; ++i) {
        if (KindOfIndex(i) != OU && e[i].location == BoardForm::kBoxLocation) PutInHand(e, i, side);
      }
      continue;
    }
    bool promoted = false;
    const int kind = ParseCsaCode(rest.substr(2, 2), &promoted);
    if (kind < 0) return false;
    // A document takes a piece in hand unpromoted.
    if (square == 0 && !strict) promoted = false;
    if (!Place(e, policy, kind, promoted, side, square)) return false;
  }
  return true;
}

// "P1".."P9": nine cells, file 9 first.
bool ApplyRankLine(int rank, std::string_view cells, CsaPolicy policy, Entries& e) {
  while (!cells.empty() && (cells.back() == ' ' || cells.back() == '\t')) cells.remove_suffix(1);
  if (cells.size() > kRankCells * kCellWidth) return false;
  for (int c = 0; c < kRankCells; ++c) {
    std::string cell(cells.substr(std::min<size_t>(cells.size(), kCellWidth * c), kCellWidth));
    cell.resize(kCellWidth, ' ');  // trailing empty cells may be left out
    if (cell == " * " || cell == "   ") continue;
    if (cell[0] != '+' && cell[0] != '-') return false;
    bool promoted = false;
    const int kind = ParseCsaCode(std::string_view(cell).substr(1), &promoted);
    if (kind < 0) return false;
    const int file = kRankCells - c;
    if (!Place(e, policy, kind, promoted, SideOfSign(cell[0]), SquareNumber::At(file, rank).value())) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> CsaPositionLines(const BoardForm& form) {
  const BoardForm::Expanded entries = form.Decode();
  int cell[100] = {};  // by square number: 0 empty, else 1 + code
  int hands[2][kKindCount] = {};
  for (int i = 0; i < kPieceCount; ++i) {
    const BoardForm::Entry& e = entries[i];
    if (e.location <= 1) {
      ++hands[e.location][KindOfIndex(i)];
    } else if (SquareNumber(e.location).IsSquare()) {
      cell[e.location] = 1 + MakeCode(KindOfIndex(i), e.promoted != 0, SideOfBit(e.owner));
    }
  }
  std::vector<std::string> lines;
  for (int rank = 1; rank <= kRankCells; ++rank) {
    std::string row = "P" + std::to_string(rank);
    for (int file = kRankCells; file >= 1; --file) {
      const int c = cell[SquareNumber::At(file, rank).value()];
      if (c == 0) {
        row += " * ";
      } else {
        row += CodeSide(static_cast<uint8_t>(c - 1)) == kSente ? "+" : "-";
        row += kCsaPieceCodes[(c - 1) & 15];
      }
    }
    lines.push_back(row);
  }
  for (const Side side : {kSente, kGote}) {
    std::string line = side == kSente ? "P+" : "P-";
    for (int kind = 0; kind < kKindCount; ++kind) {
      for (int n = 0; n < hands[SideIndex(side)][kind]; ++n) line += std::string("00") + kCsaPieceCodes[kind];
    }
    if (line.size() > 2) lines.push_back(line);
  }
  return lines;
}

bool IsCsaPositionLine(std::string_view line, CsaPolicy policy) {
  if (line.size() < 2 || line[0] != 'P') return false;
  const char c = line[1];
  return c == 'I' || c == '+' || c == '-' || (c >= '1' && c <= '9') || (c == 'i' && policy == CsaPolicy::kLenient);
}

bool ApplyCsaPositionLine(std::string_view line, CsaPolicy policy, Entries& pieces) {
  if (!IsCsaPositionLine(line, policy)) return policy == CsaPolicy::kLenient;
  const char c = line[1];
  if (c == 'I' || c == 'i') return ApplyHandicapLine(line.substr(2), policy, pieces);
  if (c == '+' || c == '-') return ApplySideLine(SideOfSign(c), line.substr(2), policy, pieces);
  return ApplyRankLine(c - '0', line.substr(2), policy, pieces);
}

int ParseCsaSquare(std::string_view two) {
  if (two.size() < 2 || !platform::IsDigit(two[0]) || !platform::IsDigit(two[1])) return -1;
  const int file = two[0] - '0', rank = two[1] - '0';
  if (file == 0 && rank == 0) return 0;
  if (file == 0 || rank == 0) return -1;
  return SquareNumber::At(file, rank).value();
}

int ParseCsaCode(std::string_view two, bool* promoted) {
  if (two.size() < 2) return -1;
  int p = 0;
  const int kind = ParseCsaPieceCode(two.data(), &p);
  if (promoted) *promoted = p != 0;
  return kind;
}

}  // namespace record
