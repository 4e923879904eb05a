#include "record/kakinoki_moves.h"

#include "platform/text_scan.h"
#include "record/record_board.h"
#include "rules/move_rules.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {

constexpr unsigned kAllClasses = Relative::kAll;

struct PieceName {
  const char* text;
  int kind;
  bool promoted;
};
// Longer names first, so 成銀 is not read as a promotion word.
const PieceName kPieceNames[] = {
    {"成銀", GI, true}, {"成桂", KE, true}, {"成香", KY, true}, {"玉", OU, false}, {"王", OU, false},
    {"飛", HI, false},  {"角", KA, false},  {"金", KI, false},  {"銀", GI, false}, {"桂", KE, false},
    {"香", KY, false},  {"歩", FU, false},  {"龍", HI, true},   {"竜", HI, true},  {"馬", KA, true},
    {"と", FU, true},   {"全", GI, true},   {"圭", KE, true},   {"杏", KY, true},
};

struct Word {
  const char* text;
  unsigned mask;  // classes a relative word allows; 0 for 打 and the promotion words
};
const Word kRelativeWords[] = {{"右", Relative::kOnRight}, {"左", Relative::kOnLeft}, {"直", Relative::kBack},
                               {"寄", Relative::kBeside},  {"引", Relative::kAhead},  {"上", Relative::kBehind},
                               {"行", Relative::kBehind}};



// A file digit: full-width １..９ or ASCII 1..9.
int ReadFile(std::string_view& s) {
  for (int d = 1; d <= 9; ++d) {
    if (platform::ConsumePrefix(s, kFileDigits[d])) return d;
  }
  if (!s.empty() && s[0] >= '1' && s[0] <= '9') {
    const int d = s[0] - '0';
    s.remove_prefix(1);
    return d;
  }
  return 0;
}

// A rank: kanji 一..九, or a digit as for files.
int ReadRank(std::string_view& s) {
  for (int d = 1; d <= 9; ++d) {
    if (platform::ConsumePrefix(s, kRankNumerals[d])) return d;
  }
  return ReadFile(s);
}

bool StartsWithMark(std::string_view s) { return s.starts_with("▲") || s.starts_with("△") || s.starts_with("▽"); }

}  // namespace

struct KakinokiMoveReader::Parsed {
  BoardIndex to;
  int kind = 0;
  bool promoted = false;  // the piece as named (before the move)
  unsigned mask = kAllClasses;
  bool drop = false;
  int promote = -1;     // 1 成, 0 不成/生, -1 not said
  SquareNumber origin;  // from "(77)"; not a square when not given
};

bool KakinokiMoveReader::LooksLikeMoveLine(std::string_view line) {
  std::string_view s = SkipKakinokiBlanks(line);
  if (s.empty()) return false;
  if (platform::IsDigit(s[0]) || StartsWithMark(s) || s.starts_with("同")) return true;
  if (EndKeywordAt(s) != GameEnd::kNone) return true;  // "投了" on a line of its own
  for (int d = 1; d <= 9; ++d) {
    if (s.starts_with(kFileDigits[d])) return true;
  }
  return false;
}

bool KakinokiMoveReader::ParseMove(std::string_view& s, Parsed& m) const {
  if (platform::ConsumePrefix(s, "同")) {
    platform::ConsumePrefix(s, "　");
    const MoveNode* previous = board_.current();
    if (previous == board_.root() || !previous->move.To().IsSquare()) return false;
    m.to = previous->move.To().square();
  } else {
    const int file = ReadFile(s);
    const int rank = file ? ReadRank(s) : 0;
    if (!file || !rank) return false;
    m.to = BoardIndex::At(file, rank);
  }
  bool named = false;
  for (const PieceName& p : kPieceNames) {
    if (platform::ConsumePrefix(s, p.text)) {
      m.kind = p.kind;
      m.promoted = p.promoted;
      named = true;
      break;
    }
  }
  if (!named) return false;
  for (bool more = true; more;) {
    more = false;
    for (const Word& w : kRelativeWords) {
      if (platform::ConsumePrefix(s, w.text)) {
        m.mask &= w.mask;
        more = true;
      }
    }
    if (platform::ConsumePrefix(s, "打")) {
      m.drop = more = true;
    } else if (platform::ConsumePrefix(s, "不成") || platform::ConsumePrefix(s, "生")) {
      m.promote = 0;
      more = true;
    } else if (platform::ConsumePrefix(s, "成")) {
      m.promote = 1;
      more = true;
    }
  }
  if (s.starts_with("(")) {
    if (s.size() < 4 || !platform::IsDigit(s[1]) || !platform::IsDigit(s[2]) || s[3] != ')') return false;
    m.origin = SquareNumber::At(s[1] - '0', s[2] - '0');
    s.remove_prefix(4);
  }
  return true;
}

bool KakinokiMoveReader::PlayMove(const Parsed& m, Side side) {
  const Piece* mover = nullptr;
  auto named_piece = [&](const Piece& p) {
    return p.side() == side && p.kind() == m.kind && p.promoted() == m.promoted;
  };
  if (m.origin.value() != 0) {
    const BoardIndex from = ToBoardIndex(m.origin);
    if (!from.IsSquare()) return false;
    mover = board_.PieceAt(from);
    if (!mover || !named_piece(*mover)) return false;
  } else if (!m.drop) {
    // The pieces able to reach the square, highest index first; the relative words choose among them.
    for (unsigned mask = m.mask;;) {
      for (int i = kPieceCount - 1; i >= 0 && !mover; --i) {
        const Piece& p = board_.piece(i);
        if (p.on_board() && named_piece(p) && p.CanReach(m.to) &&
            (RelativeClass(m.to, p.location().square(), side) & mask)) {
          mover = &p;
        }
      }
      // Nothing found: words that name a side (右, 左, 上...) also admit the piece straight ahead or
      // behind, once.
      constexpr unsigned kStraight = Relative::kFront | Relative::kBack;
      if (mover || (mask & ~kStraight) == 0 || (mask & kStraight) == kStraight) break;
      mask |= kStraight;
    }
  }
  if (!mover) {
    // A drop, said or implied by no piece being able to get there.
    if (m.promoted || board_.HandCount(side, m.kind) == 0) return false;
    mover = &board_.piece(board_.LastPieceOfKind(Location::Hand(side), m.kind));
  }
  const bool drop = !mover->on_board();
  const Promotion promotion = drop              ? Promotion::kDemote
                              : m.promote == 1  ? Promotion::kPromote
                              : mover->promoted() ? Promotion::kKeep
                                                : Promotion::kDemote;
  if (ValidateMove(board_, board_.BuildMoveWord(*mover, m.to, promotion, side)) != kLegal) return false;
  return board_.piece(mover->index()).MoveTo(m.to, promotion, side) == 1;
}

KakinokiMoveReader::Result KakinokiMoveReader::EndWith(GameEnd::Kind kind) {
  end_ = GameEnd::StatedBy(kind, board_.side_to_move() == kGote ? kGote : kSente);
  return Result::kEnd;
}

KakinokiMoveReader::Result KakinokiMoveReader::ReadLine(std::string_view line) {
  std::string_view s = SkipKakinokiBlanks(line);
  GameEnd::Kind kind;
  if (!s.empty() && platform::IsDigit(s[0])) {
    // KIF: the move number, the move, then its time and marks, which are not moves.
    int number = 0;
    while (!s.empty() && platform::IsDigit(s[0])) {
      if (number < 1000000) number = number * 10 + (s[0] - '0');
      s.remove_prefix(1);
    }
    s = SkipKakinokiBlanks(s);
    if (s.empty()) return EndWith(GameEnd::kNone);
    if ((kind = EndKeywordAt(s)) != GameEnd::kNone) return EndWith(kind);
    const Side side = (number % 2 == 1) ? first_mover_ : Opponent(first_mover_);
    Parsed m;
    return ParseMove(s, m) && PlayMove(m, side) ? Result::kMoves : Result::kFailed;
  }
  // KI2: moves separated by blanks, each with an optional side mark.
  for (;;) {
    s = SkipKakinokiBlanks(s);
    if (s.empty()) return Result::kMoves;
    if ((kind = EndKeywordAt(s)) != GameEnd::kNone) return EndWith(kind);
    const Side side = board_.side_to_move() == kGote ? kGote : kSente;
    if (platform::ConsumePrefix(s, "▲")) {
      if (side != kSente) return Result::kFailed;
    } else if (platform::ConsumePrefix(s, "△") || platform::ConsumePrefix(s, "▽")) {
      if (side != kGote) return Result::kFailed;
    }
    if ((kind = EndKeywordAt(s)) != GameEnd::kNone) return EndWith(kind);
    if (s.starts_with("先手") || s.starts_with("後手")) return EndWith(GameEnd::kNone);
    Parsed m;
    if (!ParseMove(s, m) || !PlayMove(m, side)) return Result::kFailed;
    // The next move needs a separator (or its own mark).
    if (!s.empty() && s[0] != ' ' && s[0] != '\t' && !s.starts_with("　") && !StartsWithMark(s)) {
      return Result::kFailed;
    }
  }
}

}  // namespace record
