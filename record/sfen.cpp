#include "record/sfen.h"

#include <array>

#include "platform/text_scan.h"
#include "record/csa_body.h"
#include "record/plain_board.h"
#include "record/record_board.h"
#include "record/record_document.h"
#include "rules/notation.h"
#include "rules/position.h"

using namespace rules;

namespace record {

namespace {

// Letters by piece kind (OU HI KA KI GI KE KY FU), sente's form.
constexpr char kLetters[] = "KRBGSNLP";
// Kinds in the order SFEN lists a hand.
constexpr int kHandOrder[] = {HI, KA, KI, GI, KE, KY, FU};
constexpr int kMaxMoveNumber = 1000000;

bool CanPromote(int kind) { return kind != OU && kind != KI; }

int KindOfLetter(char c, Side* side) {
  const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  for (int kind = 0; kind < kKindCount; ++kind) {
    if (kLetters[kind] == upper) {
      *side = upper == c ? kSente : kGote;
      return kind;
    }
  }
  return -1;
}

char LetterOf(int kind, Side side) {
  const char c = kLetters[kind];
  return side == kSente ? c : static_cast<char>(c - 'A' + 'a');
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
    const size_t start = i;
    while (i < text.size() && !(text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
    if (i > start) fields.push_back(text.substr(start, i - start));
  }
  return fields;
}

std::string Quoted(std::string_view what, std::string_view part) {
  return std::string(what) + "(" + std::string(part) + ")";
}

// Takes the lowest-numbered piece of a kind still in the box; false when none is left.
bool TakeFromBox(BoardForm::Expanded& pieces, int kind, uint8_t location, Side side, bool promoted) {
  for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
    BoardForm::Entry& e = pieces[i];
    if (e.location != BoardForm::kBoxLocation) continue;
    e.location = location;
    e.owner = static_cast<uint8_t>(SideIndex(side));
    e.promoted = promoted ? 1 : 0;
    return true;
  }
  return false;
}

std::string TooMany(char letter) { return Quoted("SFENの駒の数が多すぎます", std::string(1, letter)); }

std::string ReadBoardField(std::string_view field, BoardForm::Expanded& pieces) {
  int rank = 1;
  int file = 9;
  for (size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '/') {
      if (file != 0) return Quoted("SFENの盤面の" + std::to_string(rank) + "段目が9マスではありません", field);
      if (++rank > 9) return Quoted("SFENの盤面が9段を超えています", field);
      file = 9;
    } else if (c >= '1' && c <= '9') {
      file -= c - '0';
      if (file < 0) return Quoted("SFENの盤面の" + std::to_string(rank) + "段目が9マスではありません", field);
    } else {
      const size_t at = i;
      const bool promoted = c == '+';
      const char letter = promoted ? (i + 1 < field.size() ? field[++i] : ' ') : c;
      const std::string_view piece = field.substr(at, i + 1 - at);
      Side side = kSente;
      const int kind = KindOfLetter(letter, &side);
      if (kind < 0) return Quoted("SFENの駒の文字が間違っています", piece);
      if (promoted && !CanPromote(kind)) return Quoted("SFENの成れない駒が成っています", piece);
      if (file < 1) return Quoted("SFENの盤面の" + std::to_string(rank) + "段目が9マスではありません", field);
      const uint8_t square = static_cast<uint8_t>(SquareNumber::At(file, rank).value());
      if (!TakeFromBox(pieces, kind, square, side, promoted)) return TooMany(letter);
      --file;
    }
  }
  if (rank != 9 || file != 0) return Quoted("SFENの盤面が9段9マスではありません", field);
  return "";
}

std::string ReadHandField(std::string_view field, BoardForm::Expanded& pieces) {
  if (field == "-") return "";
  bool seen[2][kKindCount] = {};
  for (size_t i = 0; i < field.size();) {
    int count = 1;
    if (platform::IsDigit(field[i])) {
      if (field[i] == '0') return Quoted("SFENの持駒の数が間違っています", field);
      count = 0;
      while (i < field.size() && platform::IsDigit(field[i]) && count <= 18) count = count * 10 + (field[i++] - '0');
      if (count > 18) return Quoted("SFENの持駒の数が間違っています", field);
    }
    if (i >= field.size()) return Quoted("SFENの持駒が間違っています", field);
    Side side = kSente;
    const int kind = KindOfLetter(field[i], &side);
    if (kind < 0 || kind == OU) return Quoted("SFENの持駒が間違っています", field.substr(i, 1));
    if (seen[SideIndex(side)][kind]) return Quoted("SFENの持駒に同じ駒が二度あります", field.substr(i, 1));
    seen[SideIndex(side)][kind] = true;
    for (int n = 0; n < count; ++n) {
      if (!TakeFromBox(pieces, kind, static_cast<uint8_t>(SideIndex(side)), side, false)) return TooMany(field[i]);
    }
    ++i;
  }
  return "";
}

// The placement rules a position of play keeps: one king a side, no piece without a move, no two
// unpromoted pawns of a side on a file.
std::string CheckPlacement(const BoardForm::Expanded& pieces) {
  int kings[2] = {};
  bool pawn_on_file[2][10] = {};
  for (int i = 0; i < kPieceCount; ++i) {
    const BoardForm::Entry& e = pieces[i];
    if (e.location < 11 || e.location == BoardForm::kBoxLocation) continue;
    const int kind = KindOfIndex(i);
    const SquareNumber sq(e.location);
    const int side = e.owner;
    if (kind == OU && ++kings[side] > 1) return side == 0 ? "SFENに先手の玉が二枚あります" : "SFENに後手の玉が二枚あります";
    if (e.promoted) continue;
    // Ranks still ahead of the piece, counted from its owner's side.
    const int ahead = side == 0 ? sq.rank() - 1 : 9 - sq.rank();
    if (((kind == FU || kind == KY) && ahead < 1) || (kind == KE && ahead < 2)) {
      return Quoted("SFENに行き所のない駒があります", SquareText(ToBoardIndex(sq)));
    }
    if (kind == FU) {
      if (pawn_on_file[side][sq.file()]) return Quoted("SFENに二歩があります", SquareText(ToBoardIndex(sq)));
      pawn_on_file[side][sq.file()] = true;
    }
  }
  return "";
}

std::string SquareUsi(BoardIndex at) {
  return std::string(1, static_cast<char>('0' + at.file())) + static_cast<char>('a' + at.rank() - 1);
}

// A USI square ("7g") as a board index; false when it is none.
bool ParseUsiSquare(std::string_view two, BoardIndex& at) {
  if (two.size() != 2 || two[0] < '1' || two[0] > '9' || two[1] < 'a' || two[1] > 'i') return false;
  at = BoardIndex::At(two[0] - '0', two[1] - 'a' + 1);
  return true;
}

std::string TwoDigits(BoardIndex at) { return std::to_string(ToSquareNumber(at).value()); }

// The CSA move line a USI move stands for on this board, or "" when its form is wrong or its from square
// is empty.
std::string CsaLineOfUsi(const Position& position, std::string_view usi) {
  const char sign = position.side_to_move() == kGote ? '-' : '+';
  BoardIndex from, to;
  if (usi.size() == 4 && usi[1] == '*') {
    Side side = kSente;
    const int kind = KindOfLetter(usi[0], &side);
    if (kind < 0 || kind == OU || side != kSente || !ParseUsiSquare(usi.substr(2), to)) return "";
    return std::string(1, sign) + "00" + TwoDigits(to) + kCsaPieceCodes[kind];
  }
  if ((usi.size() != 4 && !(usi.size() == 5 && usi[4] == '+')) || !ParseUsiSquare(usi.substr(0, 2), from) ||
      !ParseUsiSquare(usi.substr(2, 2), to)) {
    return "";
  }
  const Piece* piece = position.PieceAt(from);
  if (!piece) return "";
  const bool promoted = piece->promoted() || usi.size() == 5;
  return std::string(1, sign) + TwoDigits(from) + TwoDigits(to) + kCsaPieceCodes[(piece->code() & 7) | (promoted ? 8 : 0)];
}

// Whether the side's king stands attacked by the other side.
bool KingAttacked(Position& position, Side side) {
  const int king = position.KingIndex(side);
  if (king < 0) return false;
  position.InvalidateAttackMap();
  position.RefreshAttackMap();
  return position.AttackCount(Opponent(side), position.LocationOf(king).square()) > 0;
}

// Whether the side that is not to move stands in check, which no position of play allows.
bool WaitingSideInCheck(const SfenPosition& start) {
  PlainBoard scratch(PlainBoard::kCopyPool);
  scratch.SetTurnOrder(0);
  scratch.PlacePieces(start.pieces);
  scratch.SetSideToMove(start.side);
  scratch.RecomputeKingIndices();
  return KingAttacked(scratch, Opponent(start.side));
}

}  // namespace

std::string PositionSfen(const Position& position, int move_number) {
  std::string out;
  for (int rank = 1; rank <= 9; ++rank) {
    int empty = 0;
    for (int file = 9; file >= 1; --file) {
      const Piece* p = position.PieceAt(BoardIndex::At(file, rank));
      if (!p) {
        ++empty;
        continue;
      }
      if (empty > 0) out += static_cast<char>('0' + empty);
      empty = 0;
      if (p->promoted()) out += '+';
      out += LetterOf(p->kind(), p->side());
    }
    if (empty > 0) out += static_cast<char>('0' + empty);
    if (rank < 9) out += '/';
  }
  out += position.side_to_move() == kGote ? " w " : " b ";
  std::string hands;
  for (Side side : {kSente, kGote}) {
    for (int kind : kHandOrder) {
      const int n = position.HandCount(side, kind);
      if (n > 1) hands += std::to_string(n);
      if (n > 0) hands += LetterOf(kind, side);
    }
  }
  out += hands.empty() ? "-" : hands;
  return out + " " + std::to_string(move_number);
}

std::string ReadSfen(std::string_view text, SfenPosition& out) {
  const std::vector<std::string_view> fields = Fields(text);
  if (fields.size() < 3) return Quoted("SFENの欄が足りません", text);
  if (fields.size() > 4) return Quoted("SFENの後に余分な文字があります", fields[4]);
  SfenPosition read;
  if (std::string e = ReadBoardField(fields[0], read.pieces); !e.empty()) return e;
  if (fields[1] != "b" && fields[1] != "w") return Quoted("SFENの手番が間違っています", fields[1]);
  read.side = fields[1] == "b" ? kSente : kGote;
  if (std::string e = ReadHandField(fields[2], read.pieces); !e.empty()) return e;
  if (fields.size() == 4) {
    const std::string_view n = fields[3];
    if (n.empty() || n.size() > 7 || !platform::AllDigits(n) || n[0] == '0') {
      return Quoted("SFENの手数が間違っています", n);
    }
    read.move_number = std::stoi(std::string(n));
    if (read.move_number > kMaxMoveNumber) return Quoted("SFENの手数が間違っています", n);
  }
  if (std::string e = CheckPlacement(read.pieces); !e.empty()) return e;
  out = read;
  return "";
}

std::string UsiMoveText(MoveWord move) {
  if (!move.To().IsSquare()) return "";
  const std::string to = SquareUsi(move.To().square());
  if (move.IsDrop()) {
    if (!move.From().IsHand()) return "";
    return std::string(1, kLetters[KindOfIndex(move.Piece())]) + "*" + to;
  }
  return SquareUsi(move.From().square()) + to + (move.IsPromotion() ? "+" : "");
}

std::string ReadUsiLine(std::string_view text, UsiLine& out) {
  std::vector<std::string_view> words = Fields(text);
  size_t i = 0;
  if (i < words.size() && words[i] == "position") ++i;
  if (i >= words.size()) return Quoted("局面の指定がありません", text);
  UsiLine line;
  std::string sfen;
  if (words[i] == "startpos") {
    sfen = kStartSfen;
    ++i;
  } else {
    if (words[i] == "sfen") ++i;
    for (; i < words.size() && words[i] != "moves"; ++i) sfen.append(sfen.empty() ? "" : " ").append(words[i]);
  }
  if (std::string e = ReadSfen(sfen, line.start); !e.empty()) return e;
  if (i < words.size()) {
    if (words[i] != "moves") return Quoted("局面の後に余分な文字があります", words[i]);
    for (++i; i < words.size(); ++i) line.moves.emplace_back(words[i]);
  }
  out = std::move(line);
  return "";
}

bool LooksLikeSfenOrUsi(std::string_view text) {
  const std::vector<std::string_view> words = Fields(text);
  if (words.empty()) return false;
  if (words[0] == "position" || words[0] == "sfen" || words[0] == "startpos") return true;
  // A board field: nine ranks of piece letters, digits and "+", eight slashes between them.
  int slashes = 0;
  for (char c : words[0]) {
    Side side;
    if (c == '/') {
      ++slashes;
    } else if (!(c == '+' || (c >= '1' && c <= '9') || KindOfLetter(c, &side) >= 0)) {
      return false;
    }
  }
  return slashes == 8;
}

std::string CheckSfenPosition(const SfenPosition& position) {
  if (!WaitingSideInCheck(position)) return "";
  return position.side == kSente ? "SFENの局面で手番でない後手の玉に王手がかかっています"
                                 : "SFENの局面で手番でない先手の玉に王手がかかっています";
}

std::string LoadUsiLine(const UsiLine& line, RecordBoard& board) {
  if (std::string problem = CheckSfenPosition(line.start); !problem.empty()) return problem;
  board.SetTurnOrder(0);
  board.SetSideToMove(kSente);
  board.PlacePieces(line.start.pieces);
  board.SetSideToMove(line.start.side);
  board.SetTurnOrder(1);
  board.BeginRecord();
  std::string problem;
  for (size_t n = 0; n < line.moves.size(); ++n) {
    const std::string& usi = line.moves[n];
    const std::string csa = CsaLineOfUsi(board, usi);
    CsaMove m;
    const CsaMoveError error = csa.empty() ? CsaMoveError::kFormat : ReadCsaMove(board, csa, m);
    const std::string where = std::to_string(n + 1) + "手目 " + usi;
    if (error != CsaMoveError::kNone) {
      problem = Quoted("USIの指し手が間違っています", where + (csa.empty() ? "" : ": " + CsaMoveErrorText(error, csa)));
      break;
    }
    if (board.piece(m.piece).MoveTo(m.to, PromotionTo(m.promote), m.side) == 0) {
      problem = Quoted("No memory!!", where);
      break;
    }
    // The rules of a single move do not see a king left in check; a line from elsewhere may hold one.
    if (KingAttacked(board, m.side)) {
      board.DeleteBranch(board.current());
      problem = Quoted("USIの指し手が間違っています", where + ": 王手を放置する手です");
      break;
    }
  }
  board.GoToStart();
  board.SetSideToMove(line.start.side);
  return problem;
}

std::vector<std::string> DroppedUsiParts(const GameDocument& doc) {
  std::vector<std::string> dropped;
  const GameHeader& h = doc.header();
  bool header = !h.Annotation().empty() || h.SenteName() != GameHeader::kUnknownPlayer ||
                h.GoteName() != GameHeader::kUnknownPlayer;
  for (int i = 0; i < h.FieldCount(); ++i) header = header || !h.Field(i).empty();
  if (header) dropped.push_back("対局情報");
  bool notes = false, branches = false;
  std::vector<const MoveNode*> stack{doc.board().root()};
  while (!stack.empty() && !(notes && branches)) {
    const MoveNode* n = stack.back();
    stack.pop_back();
    notes = notes || (n->note && !n->note->lines.empty());
    branches = branches || (n->child && n->child->next);
    for (const MoveNode* c = n->child; c; c = c->next) stack.push_back(c);
  }
  if (notes) dropped.push_back("注釈");
  if (branches) dropped.push_back("変化");
  return dropped;
}

std::string RecordUsiLine(RecordBoard& board) {
  board.SavePlace();
  const std::string start = PositionSfen(board, 1);
  std::string moves;
  while (board.StepForward()) {
    const std::string usi = UsiMoveText(board.current()->move);
    if (usi.empty()) break;
    moves += " " + usi;
  }
  board.RestorePlace();
  std::string out = start == kStartSfen ? "position startpos" : "position sfen " + start;
  return moves.empty() ? out : out + " moves" + moves;
}

}  // namespace record
