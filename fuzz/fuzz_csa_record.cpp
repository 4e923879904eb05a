// Any bytes as a game (.csa) and as a tsume (.pcl) document: reading never breaks the board, what the
// document writes reads back to the same text (the written form is a fixed point), and the print and
// mail texts of it can be made.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "record/archive.h"
#include "record/plain_board.h"
#include "record/print_lines.h"
#include "record/record_document.h"

using namespace record;

namespace {

template <typename Doc>
void Check(std::string_view bytes) {
  PlainBoard board;
  Doc doc(board);
  Archive in = Archive::FromText(bytes);
  doc.Serialize(in);
  if (!board.CheckConsistency().empty()) std::abort();
  const std::string first = doc.GetRecordCsaText();
  PlainBoard again_board;
  Doc again(again_board);
  Archive in2 = Archive::FromText(first);
  if (!again.Serialize(in2).ok()) std::abort();
  if (!again_board.CheckConsistency().empty()) std::abort();
  if (again.GetRecordCsaText() != first) std::abort();
  // The text outputs of whatever was read.
  const std::string print = doc.GetRecordText(40, 7, true);
  TwoColumnLayout(print);
  if constexpr (std::is_same_v<Doc, GameDocument>) {
    board.GoToEnd();
    doc.MailPositionText();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Check<GameDocument>(bytes);
  Check<ProblemDocument>(bytes);
  return 0;
}
