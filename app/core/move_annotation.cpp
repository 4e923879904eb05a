#include "app/core/move_annotation.h"

#include <algorithm>

#include "platform/text_codec.h"
#include "rules/notation.h"

using namespace rules;

namespace app {

std::string AnnotationText(const MoveNode& node) {
  std::string text;
  if (!node.note) return text;
  for (const std::string& line : node.note->lines) text += line + "\r\n";
  return text;
}

std::vector<std::string> AnnotationLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find("\r\n", start), text.size());
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void StoreAnnotation(Position& position, MoveNode& node, std::string_view text) {
  DeleteAnnotation(node);
  for (const std::string& line : AnnotationLines(text)) position.AddAnnotation(&node, line);
}

bool DeleteAnnotation(MoveNode& node) {
  if (!node.note || node.note->lines.empty()) return false;
  node.note->lines.clear();
  return true;
}

MoveLocator MoveLocator::Of(const Position& position, const MoveNode* node) {
  MoveLocator path;
  for (const MoveNode* n = node; n && n != position.root() && n->parent; n = n->parent) {
    path.steps_.push_back(n->parent->IndexOfChild(n));
    path.moves_.push_back(n->move.bits);
  }
  std::reverse(path.steps_.begin(), path.steps_.end());
  std::reverse(path.moves_.begin(), path.moves_.end());
  return path;
}

MoveNode* MoveLocator::Find(const Position& position) const {
  MoveNode* n = position.root();
  for (size_t i = 0; n && i < steps_.size(); ++i) {
    n = n->ChildAt(steps_[i]);
    if (n && n->move.bits != moves_[i]) n = nullptr;
  }
  return n;
}

std::string AnnotationTitle(const Position& position, const MoveNode* node) {
  if (!node || node == position.root()) return "指し手 ???の注釈";
  std::string move = NodeMoveText(position, *node);
  if (move.empty()) move = ListMoveText(node->move);  // a note made for its annotation alone has no text
  return "指し手 " + platform::Cp932ToUtf8(move) + "の注釈";
}

}  // namespace app
