// The annotation of one move as the move-annotation editor shows and stores it, and how the editor names
// the move it edits without holding on to its node.
//
// Text is CP932 with CR LF line ends: each annotation line followed by "\r\n".
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "rules/position.h"

namespace app {

// The editor's text for a move's annotation lines.
std::string AnnotationText(const rules::MoveNode& node);
// The annotation lines a text makes: its pieces between "\r\n", empty ones dropped.
std::vector<std::string> AnnotationLines(std::string_view text);
// Replaces the move's lines by those of the text (an empty text leaves none).
void StoreAnnotation(rules::Position& position, rules::MoveNode& node, std::string_view text);
// Clears the move's lines; true when it had any.
bool DeleteAnnotation(rules::MoveNode& node);

// A move named by the way to it from the root (child indices) and its move word. The record's nodes may be
// freed or replaced while an editor is open (a branch deleted, a record pasted); the name then finds
// nothing rather than a stale node.
class MoveLocator {
 public:
  MoveLocator() = default;
  static MoveLocator Of(const rules::Position& position, const rules::MoveNode* node);
  // The node named, or nullptr when the record no longer holds that move at that place.
  rules::MoveNode* Find(const rules::Position& position) const;
  bool at_root() const { return steps_.empty(); }

 private:
  std::vector<int> steps_;  // from the root down
  std::vector<uint32_t> moves_;
};

// The editor's title: "指し手 %sの注釈" with the move's text, "???" at the start position (UTF-8).
std::string AnnotationTitle(const rules::Position& position, const rules::MoveNode* node);

}  // namespace app
