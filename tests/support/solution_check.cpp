#include "tests/support/solution_check.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "tests/support/reference_rules.h"

using namespace rules;

namespace {

struct Judge {
  SolutionReport report;

  bool Fail(const std::string& what, const RefMove* m) {
    if (report.error.empty()) report.error = what + (m ? " (" + RefMoveKey(*m) + ")" : "");
    return false;
  }

  // The squares strictly between `side`'s king and its single distant checker; empty otherwise.
  std::set<int> InterpositionSquares(const RefPosition& p, int side) {
    int kf = 0, kr = 0;
    for (int f = 1; f <= 9; ++f) {
      for (int r = 1; r <= 9; ++r) {
        if (p.at[f][r].kind == OU && p.at[f][r].side == side) kf = f, kr = r;
      }
    }
    int checkers = 0, cf = 0, cr = 0;
    for (int f = 1; f <= 9; ++f) {
      for (int r = 1; r <= 9; ++r) {
        const RefPiece& q = p.at[f][r];
        if (q.kind >= 0 && q.side != side && RefCanReach(p, f, r, kf, kr)) ++checkers, cf = f, cr = r;
      }
    }
    std::set<int> squares;
    if (checkers != 1) return squares;
    const int df = cf > kf ? 1 : cf < kf ? -1 : 0, dr = cr > kr ? 1 : cr < kr ? -1 : 0;
    const bool line = cf == kf || cr == kr || std::abs(cf - kf) == std::abs(cr - kr);
    if (!line) return squares;
    for (int f = kf + df, r = kr + dr; f != cf || r != cr; f += df, r += dr) squares.insert(f * 10 + r);
    return squares;
  }

  bool AttackerNode(const RefPosition& p, const MoveNode& node, int attacker, int ply) {
    if (!node.child) return Fail("a line ends with the defender's move", nullptr);
    if (node.child->next) report.single_reply = false;
    const std::vector<RefMove> legal = RefLegalMoves(p, attacker);
    for (const MoveNode* c = node.child; c; c = c->next) {
      const RefMove m = RefMoveOfWord(p, c->move);
      bool found = false;
      for (const RefMove& l : legal) found = found || RefSameMove(l, m);
      if (!found) return Fail("an attacker move is not legal", &m);
      const RefPosition next = RefApply(p, m);
      if (!RefKingAttacked(next, 1 - attacker)) return Fail("an attacker move does not check", &m);
      ++report.attacker_moves;
      if (!DefenderNode(next, *c, attacker, m, ply + 1)) return false;
    }
    return true;
  }

  bool DefenderNode(const RefPosition& p, const MoveNode& node, int attacker, const RefMove& check, int ply) {
    const int defender = 1 - attacker;
    const std::vector<RefMove> legal = RefLegalMoves(p, defender);
    std::set<std::string> in_tree;
    for (const MoveNode* c = node.child; c; c = c->next) {
      const RefMove m = RefMoveOfWord(p, c->move);
      bool found = false;
      for (const RefMove& l : legal) found = found || RefSameMove(l, m);
      if (!found) return Fail("a defender move is not legal", &m);
      if (!in_tree.insert(RefMoveKey(m)).second) return Fail("a defender move is listed twice", &m);
    }
    const std::set<int> between = InterpositionSquares(p, defender);
    for (const RefMove& l : legal) {
      if (in_tree.count(RefMoveKey(l))) continue;
      if (l.is_drop() && between.count(l.to_file * 10 + l.to_rank)) {
        ++report.pruned_interpositions;
        continue;
      }
      return Fail("a legal answer is missing", &l);
    }
    if (!node.child) {
      if (check.is_drop() && check.kind == FU) return Fail("mate by a pawn drop", &check);
      ++report.leaves;
      report.depth = std::max(report.depth, ply);
      return true;
    }
    for (const MoveNode* c = node.child; c; c = c->next) {
      const RefMove m = RefMoveOfWord(p, c->move);
      ++report.defender_moves;
      if (!AttackerNode(RefApply(p, m), *c, attacker, ply + 1)) return false;
    }
    return true;
  }
};

}  // namespace

SolutionReport CheckSolutionTree(const Position& position) {
  Judge judge;
  const RefPosition start = Snapshot(position);
  const int attacker = SideIndex(position.side_to_move());
  if (attacker != kRefSente && attacker != kRefGote) {
    judge.Fail("no side to move", nullptr);
    return judge.report;
  }
  if (RefKingAttacked(start, 1 - attacker)) {
    judge.Fail("the defender is in check at the start", nullptr);
    return judge.report;
  }
  judge.AttackerNode(start, *position.current(), attacker, 0);
  return judge.report;
}
