// Any bytes as Kakinoki text for the batch converter: every game it writes reads back whole (header and
// moves), since every move was played on a board before it was written.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/kakinoki_converter.h"
#include "record/plain_board.h"
#include "record/select_read.h"

using namespace record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = platform::InputTextToCp932(std::string_view(reinterpret_cast<const char*>(data), size));
  Archive csa = Archive::ToMemory();
  bool separator_due = false;
  KakinokiOptions options;
  options.full_width_names = size % 2 == 0;
  const KakinokiStats stats = ConvertKakinokiText(text, "fuzz.kif", options, csa, separator_due);
  Archive in = Archive::FromBytes(csa.text());
  const SelectScan scan = ScanGames(in);
  if (static_cast<int>(scan.entries.size()) != stats.games) std::abort();
  PlainBoard board;
  GameDocument doc(board);
  for (size_t i = 0; i < scan.entries.size() && i < 4; ++i) {
    const DocumentResult r = ReadSelectedGame(in, scan.entries[i], doc);
    if (!r.ok() || !board.CheckConsistency().empty()) std::abort();
  }
  return 0;
}
