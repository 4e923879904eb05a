#include "app/core/record_lines.h"

#include <cstdio>

#include "platform/text_codec.h"
#include "rules/notation.h"

using namespace rules;

namespace app {

namespace {

constexpr char kStartLine[] = "  初期局面";

// Side labels a move text may begin with (CP932, two double-byte characters each).
bool StartsWithSideLabel(const std::string& text) {
  static const std::string kLabels[] = {platform::Utf8ToCp932("先手"), platform::Utf8ToCp932("後手"),
                                        platform::Utf8ToCp932("下手"), platform::Utf8ToCp932("上手"),
                                        platform::Utf8ToCp932("攻方"), platform::Utf8ToCp932("受方")};
  for (const std::string& label : kLabels) {
    if (text.compare(0, label.size(), label) == 0) return true;
  }
  return false;
}

}  // namespace

MovePath CurrentPath(const Position& board) {
  MovePath path(board.depth());
  int d = board.depth();
  for (const MoveNode* n = board.current(); n != board.root() && d > 0; n = n->parent) {
    path[--d] = n->parent->IndexOfChild(n);
  }
  return path;
}

const MoveNode* NodeAt(const Position& board, const MovePath& path) {
  const MoveNode* n = board.root();
  for (int i : path) {
    n = n->ChildAt(i);
    if (!n) return nullptr;
  }
  return n;
}

FollowedLine LineFollowed(record::RecordBoard& board) {
  FollowedLine line;
  line.path = CurrentPath(board);
  const MoveNode* n = board.root();
  for (int i : line.path) {
    n = n->ChildAt(i);
    line.annotated.push_back(HasAnnotation(*n));
  }
  for (int d = board.depth(); n->child; ++d) {
    int i = board.SelectedChildIndex(d);
    const MoveNode* next = n->ChildAt(i);
    if (!next) {  // the forward step falls back to the first alternative too
      i = 0;
      next = n->child;
    }
    line.path.push_back(i);
    line.annotated.push_back(HasAnnotation(*next));
    n = next;
  }
  return line;
}

bool HasAnnotation(const MoveNode& node) { return node.note && !node.note->lines.empty(); }

std::string MoveTextAfterSide(const Position& board, const MoveNode& node) {
  const std::string text = NodeMoveText(board, node);
  return StartsWithSideLabel(text) ? text.substr(4) : text;
}

std::string MoveLabel(const Position& board, const MoveNode& node, int ply) {
  char number[16];
  std::snprintf(number, sizeof number, "%3d ", ply);
  std::string label = number;
  label += node.move.SideBefore() == kSente ? "▲" : "△";
  label += platform::Cp932ToUtf8(MoveTextAfterSide(board, node));
  if (HasAnnotation(node)) label += kAnnotationMark;
  return label;
}

std::vector<MoveListLine> MoveListLines(record::RecordBoard& board) {
  const FollowedLine line = LineFollowed(board);
  std::vector<MoveListLine> lines;
  lines.reserve(line.path.size() + 1);
  lines.push_back({kStartLine, -1});
  const MoveNode* n = board.root();
  for (size_t i = 0; i < line.path.size(); ++i) {
    n = n->ChildAt(line.path[i]);
    lines.push_back({MoveLabel(board, *n, static_cast<int>(i) + 1), line.path[i]});
  }
  return lines;
}

std::vector<MoveTreeItem> MoveTreeChildren(const Position& board, const MovePath& parent) {
  std::vector<MoveTreeItem> items;
  const MoveNode* at = NodeAt(board, parent);
  if (!at) return items;
  const int ply = static_cast<int>(parent.size()) + 1;
  int index = 0;
  for (const MoveNode* c = at->child; c; c = c->next, ++index) {
    items.push_back({MoveLabel(board, *c, ply), index, c->child != nullptr});
  }
  return items;
}

}  // namespace app
