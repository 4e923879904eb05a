#include "tests/shogidb/shogidb_test_util.h"

#include "platform/files.h"
#include "record/plain_board.h"
#include "shogidb/schema.h"
#include "tests/support/reference_rules.h"
#include "tests/support/scratch_dir.h"

using namespace record;

namespace shogidb::testing {

void RemoveTree(const std::string& dir) { test_support::RemoveTree(dir); }

std::string FreshPath(const std::string& name, bool per_test) {
  std::string dir = test_support::ScratchPath("shogidb", name);
  if (per_test) test_support::RemoveAfterPassingTest(dir);
  return dir;
}

std::string NewDatabase(const std::string& name, bool per_test) {
  std::string dir = FreshPath(name, per_test);
  platform::RecordingProgressSink progress;
  platform::RecordingMessageSink messages;
  EXPECT_TRUE(CreateDatabase(dir, progress, messages)) << (messages.messages.empty() ? "" : messages.messages[0]);
  return dir + "/";
}

std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view l : lines) {
    text += l;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

std::vector<std::string> RandomGameMoves(std::mt19937& rng, int plies) {
  PlainBoard board;
  RefPosition p = Snapshot(board);
  std::vector<std::string> moves;
  for (int ply = 0; ply < plies; ++ply) {
    std::vector<RefMove> legal = RefLegalMoves(p, p.side_to_move);
    if (legal.empty()) break;
    const RefMove& m = legal[std::uniform_int_distribution<size_t>(0, legal.size() - 1)(rng)];
    moves.push_back(RefMoveKey(m));
    p = RefApply(p, m);
  }
  return moves;
}

std::string GameText(const std::vector<std::string>& moves, std::string_view players, std::string_view extra_header) {
  std::string text = "'対局日:20240101\r\n";
  text += extra_header;
  const size_t dash = players.find('-');
  text += "N+" + std::string(players.substr(0, dash)) + "\r\n";
  text += "N-" + std::string(players.substr(dash + 1)) + "\r\n";
  text += "PI\r\n+\r\n";
  for (const std::string& m : moves) text += m + "\r\n";
  return text;
}

std::string TestDataDir() {
  std::string dir = KOMARAKU_TESTDATA;
  return platform::IsDirectory(dir) ? dir : std::string();
}

}  // namespace shogidb::testing
