// Any bytes as text pasted into a game window: whatever is read leaves a consistent board, and text that
// is refused leaves the record as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/message_sink.h"
#include "record/foreign_record.h"
#include "record/plain_board.h"
#include "record/record_document.h"

using namespace record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  platform::NullMessageSink quiet;
  PlainBoard board(PlainBoard::kCopyPool, &quiet);
  GameDocument doc(board, &quiet);
  doc.NewGame();
  const std::string before = doc.CopyRecordText();
  if (!ReadPastedRecord(bytes, doc) && doc.CopyRecordText() != before) std::abort();
  if (!board.CheckConsistency().empty()) std::abort();
  return 0;
}
