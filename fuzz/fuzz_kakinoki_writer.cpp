// Any bytes as a Kakinoki record read into a game, written back as KIF and as KI2, and read again: the
// start, every move and every branch come back as they were, since the writers must name each move so
// that a reader finds the piece that made it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "record/archive.h"
#include "record/foreign_record.h"
#include "record/kakinoki_writer.h"
#include "record/plain_board.h"
#include "record/record_document.h"
#include "rules/notation.h"

using namespace record;

namespace {

void Moves(const rules::MoveNode& node, std::string& out) {
  for (const rules::MoveNode* c = node.child; c; c = c->next) {
    out += rules::CsaMoveText(c->move) + "(";
    Moves(*c, out);
    out += ")";
  }
}

// The start position and the tree's moves.
std::string Shape(const RecordBoard& board) {
  Archive start = Archive::ToMemory();
  board.WriteCsaPosition(start);
  std::string out = start.text();
  Moves(*board.root(), out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PlainBoard board;
  GameDocument doc(board);
  if (!ReadKakinokiGame(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.kif", doc)) return 0;
  const std::string shape = Shape(board);
  for (KakinokiForm form : {KakinokiForm::kKif, KakinokiForm::kKi2}) {
    PlainBoard again_board;
    GameDocument again(again_board);
    if (!ReadKakinokiGame(WriteKakinokiText(doc, form), "again.kif", again)) std::abort();
    if (Shape(again_board) != shape || !again_board.CheckConsistency().empty()) std::abort();
  }
  return 0;
}
