#include "tests/support/reference_rules.h"

#include <algorithm>
#include <array>
#include <cstdlib>

using namespace rules;

namespace {

struct Vec {
  int dx, dy;  // dy > 0 is toward the opponent
  bool slides;
};

// Movement written out per kind, in the mover's own view.
std::vector<Vec> MakeMovement(int kind, bool promoted) {
  const std::vector<Vec> gold = {{0, 1, false}, {1, 1, false}, {-1, 1, false},
                                 {1, 0, false}, {-1, 0, false}, {0, -1, false}};
  if (promoted) {
    if (kind == HI) {
      return {{0, 1, true}, {0, -1, true}, {1, 0, true}, {-1, 0, true},
              {1, 1, false}, {1, -1, false}, {-1, 1, false}, {-1, -1, false}};
    }
    if (kind == KA) {
      return {{1, 1, true}, {1, -1, true}, {-1, 1, true}, {-1, -1, true},
              {0, 1, false}, {0, -1, false}, {1, 0, false}, {-1, 0, false}};
    }
    return gold;
  }
  switch (kind) {
    case OU:
      return {{0, 1, false}, {1, 1, false}, {-1, 1, false}, {1, 0, false},
              {-1, 0, false}, {0, -1, false}, {1, -1, false}, {-1, -1, false}};
    case HI: return {{0, 1, true}, {0, -1, true}, {1, 0, true}, {-1, 0, true}};
    case KA: return {{1, 1, true}, {1, -1, true}, {-1, 1, true}, {-1, -1, true}};
    case KI: return gold;
    case GI: return {{0, 1, false}, {1, 1, false}, {-1, 1, false}, {1, -1, false}, {-1, -1, false}};
    case KE: return {{1, 2, false}, {-1, 2, false}};
    case KY: return {{0, 1, true}};
    default: return {{0, 1, false}};
  }
}

// Built once: the solver tests ask for it millions of times.
const std::vector<Vec>& Movement(int kind, bool promoted) {
  static const std::array<std::vector<Vec>, 16> table = [] {
    std::array<std::vector<Vec>, 16> t;
    for (int k = 0; k < kKindCount; ++k) {
      t[k] = MakeMovement(k, false);
      t[k + 8] = MakeMovement(k, true);
    }
    return t;
  }();
  return table[(kind & 7) + (promoted ? 8 : 0)];
}

bool OnBoard(int f, int r) { return f >= 1 && f <= 9 && r >= 1 && r <= 9; }

// Ranks counted from the mover's side: 1 is the far rank.
int FarRank(int side, int rank) { return side == kRefSente ? rank : 10 - rank; }

const char* const kNames[16] = {"玉", "飛", "角", "金", "銀", "桂", "香", "歩",
                                "", "龍", "馬", "", "成銀", "成桂", "成香", "と"};
const char* const kFiles[10] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
const char* const kRanks[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

// Where a square lies from the target, as the player of `side` sees the board: `ahead` counts ranks
// toward the opponent, `right` files toward the player's right hand.
struct Offset {
  int ahead, right;
};
Offset OffsetFrom(int side, int tf, int tr, int f, int r) {
  // Sente sits at rank 9 with file 1 on the right; gote sits opposite.
  return side == kRefSente ? Offset{tr - r, tf - f} : Offset{r - tr, f - tf};
}

// The words a player adds to tell the moving piece from the others of its kind that could go to the
// same square. Worked through for two sente golds on 6三 and 4三 going to 5二: the one on 6三 stands left
// of the target (右 and 左 are the player's hands), the other right, both behind: 「５二金左」 and
// 「５二金右」; "上" is not needed, as neither comes from anywhere but behind. In general:
//   打       a drop, while a piece on the board could go there too;
//   直 / 行  the mover comes straight up the file from behind (行 for an unpromoted rook); nothing else;
//   左 / 右  the mover stands left / right of the target's file and some other piece does not;
//   寄       the mover comes along the target's rank and some other piece does not;
//   引       the mover comes back from ahead of the target;
//   上       the mover comes up from behind and some other piece does not.
// Position words come first, then the motion word.
std::string RelativeWords(const RefMove& m, const std::vector<Offset>& others, bool is_rook) {
  if (others.empty()) return "";
  if (m.is_drop()) return "打";
  const Offset mover = OffsetFrom(m.side, m.to_file, m.to_rank, m.from_file, m.from_rank);
  if (mover.right == 0 && mover.ahead < 0) return is_rook ? "行" : "直";
  auto any = [&](auto predicate) { return std::any_of(others.begin(), others.end(), predicate); };
  std::string position, motion;
  if (mover.right < 0 && any([](Offset o) { return o.right >= 0; })) position = "左";
  if (mover.right > 0 && any([](Offset o) { return o.right <= 0; })) position = "右";
  if (mover.ahead == 0 && any([](Offset o) { return o.ahead != 0; })) motion = "寄";
  if (mover.ahead > 0) motion = "引";
  if (mover.ahead < 0 && any([](Offset o) { return o.ahead >= 0; })) motion = "上";
  return position + motion;
}

}  // namespace

RefPosition Snapshot(const Position& position) {
  RefPosition p;
  for (int i = 0; i < kPieceCount; ++i) {
    const Piece& piece = position.piece(i);
    const Location loc = piece.location();
    if (loc.IsHand()) {
      ++p.hand[SideIndex(loc.hand_side())][piece.kind()];
    } else if (loc.IsSquare()) {
      const SquareNumber square = ToSquareNumber(loc.square());
      p.at[square.file()][square.rank()] = {piece.kind(), piece.promoted(), SideIndex(piece.side()), i};
    }
  }
  p.side_to_move = SideIndex(position.side_to_move());
  p.turn_order = position.turn_order();
  return p;
}

bool RefCanReach(const RefPosition& p, int ff, int fr, int tf, int tr) {
  const RefPiece& piece = p.at[ff][fr];
  const int flip = piece.side == kRefSente ? -1 : 1;  // sente's forward is toward rank 1
  for (const Vec& v : Movement(piece.kind, piece.promoted)) {
    int f = ff, r = fr;
    while (true) {
      f += v.dx * flip;
      r += v.dy * flip;
      if (!OnBoard(f, r)) break;
      if (f == tf && r == tr) return true;
      if (!v.slides || p.at[f][r].kind >= 0) break;
    }
  }
  return false;
}

int RefPromotionClass(int kind, bool promoted, int side, int from_rank, int to_rank) {
  if (promoted || kind == OU || kind == KI || from_rank == 0) return 0;
  const bool zone = FarRank(side, from_rank) <= 3 || FarRank(side, to_rank) <= 3;
  if (!zone) return 0;
  const int far = FarRank(side, to_rank);
  if ((kind == FU || kind == KY) && far == 1) return 2;
  if (kind == KE && far <= 2) return 2;
  return 1;
}

bool RefDropAllowed(const RefPosition& p, int kind, int side, int tf, int tr) {
  if (p.at[tf][tr].kind >= 0) return false;
  const int far = FarRank(side, tr);
  if ((kind == FU || kind == KY) && far == 1) return false;
  if (kind == KE && far <= 2) return false;
  return true;
}

bool RefTwoPawns(const RefPosition& p, int side, int tf, int tr) {
  for (int r = 1; r <= 9; ++r) {
    const RefPiece& q = p.at[tf][r];
    if (r != tr && q.kind == FU && !q.promoted && q.side == side) return true;
  }
  return false;
}

int RefValidate(const RefPosition& p, const RefMove& m) {
  if (m.is_drop() && m.kind == FU && RefTwoPawns(p, m.side, m.to_file, m.to_rank)) return 1;
  if (m.is_drop() && !RefDropAllowed(p, m.kind, m.side, m.to_file, m.to_rank)) return 2;
  const int c = RefPromotionClass(m.kind, m.promoted_before, m.side, m.from_rank, m.to_rank);
  if (c == 2 && !m.promote) return 4;
  if (c == 0 && m.promote && !m.promoted_before) return 3;
  const bool reach = m.is_drop() ? p.at[m.to_file][m.to_rank].kind < 0
                                 : RefCanReach(p, m.from_file, m.from_rank, m.to_file, m.to_rank);
  if (!reach) return 6;
  if (p.turn_order && p.side_to_move != kRefNoSide && m.side != p.side_to_move) return 8;
  if (m.promoted_before && !m.promote) return 9;
  const RefPiece& target = p.at[m.to_file][m.to_rank];
  if (target.kind >= 0 && target.side == m.side) return 6;
  return 0;
}

std::string RefMoveText(const RefPosition& p, const RefMove& m, int previous_to_square) {
  std::vector<Offset> others;
  for (int f = 1; f <= 9; ++f) {
    for (int r = 1; r <= 9; ++r) {
      const RefPiece& q = p.at[f][r];
      if (q.kind != m.kind || q.promoted != m.promoted_before || q.side != m.side) continue;
      if (f == m.from_file && r == m.from_rank) continue;
      if (RefCanReach(p, f, r, m.to_file, m.to_rank)) others.push_back(OffsetFrom(m.side, m.to_file, m.to_rank, f, r));
    }
  }
  const std::string words = RelativeWords(m, others, m.kind == HI && !m.promoted_before);
  std::string text = m.side == kRefSente ? "先手" : "後手";
  if (previous_to_square == m.to_file * 10 + m.to_rank) {
    text += "同";
  } else {
    text += std::string(kFiles[m.to_file]) + kRanks[m.to_rank];
  }
  text += kNames[m.kind + (m.promoted_before ? 8 : 0)];
  text += words;
  if (RefPromotionClass(m.kind, m.promoted_before, m.side, m.from_rank, m.to_rank) != 0) {
    text += m.promote ? "成" : "不成";
  }
  return text;
}

RefPosition RefApply(const RefPosition& p, const RefMove& m) {
  RefPosition q = p;
  RefPiece moved{m.kind, m.promote, m.side, -1};
  if (m.is_drop()) {
    --q.hand[m.side][m.kind];
  } else {
    moved.index = q.at[m.from_file][m.from_rank].index;
    q.at[m.from_file][m.from_rank] = RefPiece{};
  }
  RefPiece& target = q.at[m.to_file][m.to_rank];
  if (target.kind >= 0) ++q.hand[m.side][target.kind];
  target = moved;
  q.side_to_move = 1 - m.side;
  return q;
}

bool RefKingAttacked(const RefPosition& p, int side) {
  for (int kf = 1; kf <= 9; ++kf) {
    for (int kr = 1; kr <= 9; ++kr) {
      const RefPiece& k = p.at[kf][kr];
      if (k.kind != OU || k.side != side) continue;
      for (int f = 1; f <= 9; ++f) {
        for (int r = 1; r <= 9; ++r) {
          const RefPiece& q = p.at[f][r];
          if (q.kind >= 0 && q.side != side && RefCanReach(p, f, r, kf, kr)) return true;
        }
      }
    }
  }
  return false;
}

std::vector<RefMove> RefLegalMoves(const RefPosition& p, int side, bool allow_self_check) {
  std::vector<RefMove> moves;
  auto add = [&](const RefMove& m) {
    if (allow_self_check || !RefKingAttacked(RefApply(p, m), side)) moves.push_back(m);
  };
  for (int ff = 1; ff <= 9; ++ff) {
    for (int fr = 1; fr <= 9; ++fr) {
      const RefPiece& q = p.at[ff][fr];
      if (q.kind < 0 || q.side != side) continue;
      for (int tf = 1; tf <= 9; ++tf) {
        for (int tr = 1; tr <= 9; ++tr) {
          const RefPiece& t = p.at[tf][tr];
          if ((t.kind >= 0 && t.side == side) || !RefCanReach(p, ff, fr, tf, tr)) continue;
          RefMove m{q.kind, q.promoted, side, ff, fr, tf, tr, q.promoted};
          const int c = RefPromotionClass(q.kind, q.promoted, side, fr, tr);
          if (c != 2) add(m);
          if (c != 0) {
            m.promote = true;
            add(m);
          }
        }
      }
    }
  }
  for (int kind = HI; kind < kKindCount; ++kind) {
    if (p.hand[side][kind] == 0) continue;
    for (int tf = 1; tf <= 9; ++tf) {
      for (int tr = 1; tr <= 9; ++tr) {
        if (!RefDropAllowed(p, kind, side, tf, tr)) continue;
        if (kind == FU && RefTwoPawns(p, side, tf, tr)) continue;
        add(RefMove{kind, false, side, 0, 0, tf, tr, false});
      }
    }
  }
  return moves;
}

RefMove RefMoveOfWord(const RefPosition& p, MoveWord w) {
  RefMove m;
  m.side = SideIndex(w.SideBefore());
  m.promote = w.PromotedAfter();
  const SquareNumber to = ToSquareNumber(w.To().square());
  m.to_file = to.file();
  m.to_rank = to.rank();
  if (w.IsDrop()) {
    m.kind = KindOfIndex(w.Piece());
    return m;
  }
  const SquareNumber from = ToSquareNumber(w.From().square());
  m.from_file = from.file();
  m.from_rank = from.rank();
  const RefPiece& q = p.at[m.from_file][m.from_rank];
  m.kind = q.kind;
  m.promoted_before = q.promoted;
  return m;
}

bool RefSameMove(const RefMove& a, const RefMove& b) {
  return a.kind == b.kind && a.promoted_before == b.promoted_before && a.side == b.side &&
         a.from_file == b.from_file && a.from_rank == b.from_rank && a.to_file == b.to_file &&
         a.to_rank == b.to_rank && a.promote == b.promote;
}

std::string RefMoveKey(const RefMove& m) {
  static const char* const kCodes[16] = {"OU", "HI", "KA", "KI", "GI", "KE", "KY", "FU",
                                         "??", "RY", "UM", "??", "NG", "NK", "NY", "TO"};
  std::string key = m.side == kRefSente ? "+" : "-";
  key += std::to_string(m.from_file) + std::to_string(m.from_rank);
  key += std::to_string(m.to_file) + std::to_string(m.to_rank);
  key += kCodes[(m.kind & 7) + (m.promote ? 8 : 0)];
  return key;
}

bool RefGivesCheck(const RefPosition& p, const RefMove& m) {
  return RefKingAttacked(RefApply(p, m), 1 - m.side);
}

std::vector<RefMove> RefCheckingMoves(const RefPosition& p, int side) {
  std::vector<RefMove> checks;
  for (const RefMove& m : RefLegalMoves(p, side, true)) {
    if (RefGivesCheck(p, m)) checks.push_back(m);
  }
  return checks;
}

bool RefHasKing(const RefPosition& p, int side) {
  for (int f = 1; f <= 9; ++f) {
    for (int r = 1; r <= 9; ++r) {
      if (p.at[f][r].kind == OU && p.at[f][r].side == side) return true;
    }
  }
  return false;
}
