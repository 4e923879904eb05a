// What the record window shows of a record: the move list (the line now followed, from the start to its
// end) and the move tree (the alternatives below a move), as texts and alternative indexes.
//
// Windows name a move by its path, never by a node pointer: a move entered or a branch deleted frees
// nodes, and a path that no longer leads anywhere is simply refused.
#pragma once
#include <string>
#include <vector>

#include "record/record_board.h"

namespace app {

// The index of the move among its parent's alternatives at each ply, from the first move on.
using MovePath = std::vector<int>;

// Appended to the line of a move that has an annotation, so commented moves are easy to find.
inline constexpr char kAnnotationMark[] = " ※";

struct MoveListLine {
  std::string text;      // UTF-8: "  初期局面", or "%3d %s%s" (ply, ▲ or △, move text) and the mark
  int alternative = -1;  // the move's index among its parent's alternatives; -1 for the start
  bool operator==(const MoveListLine&) const = default;
};

struct MoveTreeItem {
  std::string text;  // as in the list
  int alternative;
  bool has_children;
};

// The line the board follows: the way from the start to the current move, then the selected line (the
// one forward steps take) to its end. `annotated` tells which of those moves carry an annotation.
struct FollowedLine {
  MovePath path;
  std::vector<bool> annotated;
  bool operator==(const FollowedLine&) const = default;
};

MovePath CurrentPath(const rules::Position& board);
// The node a path leads to; nullptr when some index has no move.
const rules::MoveNode* NodeAt(const rules::Position& board, const MovePath& path);
FollowedLine LineFollowed(record::RecordBoard& board);

bool HasAnnotation(const rules::MoveNode& node);
// The move text without its side label ("７六歩" of "先手７六歩"), CP932.
std::string MoveTextAfterSide(const rules::Position& board, const rules::MoveNode& node);
// "%3d %s%s" for a move at ply `ply`, with the annotation mark when it has one; UTF-8.
std::string MoveLabel(const rules::Position& board, const rules::MoveNode& node, int ply);

// The list: "  初期局面" and one line per move of the line followed.
std::vector<MoveListLine> MoveListLines(record::RecordBoard& board);
// The tree's root text, and the children of the move at `parent` (the start for an empty path); empty
// when the path leads nowhere.
inline constexpr char kTreeRootText[] = "初期局面";
std::vector<MoveTreeItem> MoveTreeChildren(const rules::Position& board, const MovePath& parent);

}  // namespace app
