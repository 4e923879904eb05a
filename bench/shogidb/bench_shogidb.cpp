// The game database at the size of a real collection: a fresh database in a temporary directory (TMPDIR
// or /tmp), N games (10,000 unless given) of random legal play from a fixed seed, about 120 plies each,
// registered from CSA text in batches as an import does; then a header search ("matches"), position
// searches over every ply of every game (whole position, board pieces) and the duplicate searches (by
// moves, by final position). Prints games per second for the registration and each search's time and
// hit count, with the expected hits where the corpus knows them, and the targets: registration at least
// 1,000 games per second, a whole-position search under 2 seconds. Times are wall-clock seconds, with the
// processor seconds of the process beside them (on a shared machine the wall clock counts the others too).
// Exits 1 when an operation fails or a hit count is wrong; the targets are reported, not enforced.
// Run from a Release build:
//   scripts/bench bench_shogidb     or     build-release/bench/shogidb/bench_shogidb [N [BATCH]]
#include <ftw.h>
#include <stdlib.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/shogidb/game_corpus.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/csa_body.h"
#include "record/plain_board.h"
#include "shogidb/game_database.h"
#include "shogidb/schema.h"

using namespace rules;
using namespace record;

namespace {

constexpr uint32_t kSeed = 20240917;
constexpr int kPlies = 120;
constexpr double kRegistrationTarget = 1000.0;  // games per second
constexpr double kPositionSearchTarget = 2.0;   // seconds for a whole-position search

// Shows nothing, counts the failures and prints the first few (UTF-8) to standard error.
class CountingMessages final : public platform::MessageSink {
 public:
  void Show(std::string_view text) override {
    if (++count <= 5) std::fprintf(stderr, "message: %s\n", platform::Cp932ToUtf8(text).c_str());
  }
  platform::Answer Ask(std::string_view question, platform::Buttons) override {
    std::fprintf(stderr, "question (answered no): %s\n", platform::Cp932ToUtf8(question).c_str());
    return platform::Answer::kNo;
  }
  int count = 0;
};

double Now(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Timing {
  double wall = 0, cpu = 0;
};

Timing Timed(const std::function<void()>& f) {
  const double wall = Now(CLOCK_MONOTONIC), cpu = Now(CLOCK_PROCESS_CPUTIME_ID);
  f();
  return {Now(CLOCK_MONOTONIC) - wall, Now(CLOCK_PROCESS_CPUTIME_ID) - cpu};
}

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "bench_shogidb: %s\n", what.c_str());
  std::exit(1);
}

int failures = 0;
void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_shogidb: %s\n", what.c_str());
  ++failures;
}

int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return std::remove(path); }

// The positions of one game after each ply, from ply 0.
std::vector<BoardForm> Forms(const std::vector<std::string>& moves) {
  PlainBoard board;
  std::vector<BoardForm> forms{board.CurrentBoardForm()};
  for (const std::string& m : moves) {
    CsaMove move;
    if (!ParseCsaMoveLine(board, m, move)) Die("a generated move does not fit: " + m);
    board.piece(move.piece).MoveTo(move.to, PromotionTo(move.promote), move.side);
    forms.push_back(board.CurrentBoardForm());
  }
  return forms;
}

// Every third piece the position has on the board; the others go to the box.
BoardForm SomeBoardPieces(const BoardForm& form) {
  BoardForm::Expanded e = form.Decode();
  int kept = 0;
  for (auto& entry : e) {
    if (entry.location >= 11 && entry.location <= 99 && kept++ % 3 == 0) continue;
    entry = BoardForm::Entry{};
  }
  BoardForm target;
  target.Encode(e);
  return target;
}

void PrintRow(const char* what, const Timing& t, const std::string& result) {
  std::printf("  %-34s %8.3f s wall %8.3f s cpu   %s\n", what, t.wall, t.cpu, result.c_str());
}

std::string Hits(size_t hits, const std::string& expected) {
  return std::to_string(hits) + " hits" + (expected.empty() ? "" : " (expected " + expected + ")");
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int batch = argc > 2 ? std::atoi(argv[2]) : 250;
  if (count < 100 || batch < 1) Die("usage: bench_shogidb [GAMES >= 100 [BATCH]]");

  std::printf("bench_shogidb: %d games of random legal play (seed %u, up to %d plies), batches of %d\n", count,
              kSeed, kPlies, batch);
  bench::Corpus corpus;
  const Timing generated = Timed([&] { corpus = bench::MakeCorpus(kSeed, count, kPlies); });
  std::vector<std::string> batches;
  long plies = 0;
  for (int i = 0; i < count; ++i) {
    if (i % batch == 0) batches.emplace_back();
    batches.back() += bench::CorpusGameText(corpus.games[static_cast<size_t>(i)], i) + "/\r\n";
    plies += static_cast<long>(corpus.games[static_cast<size_t>(i)].moves.size());
  }
  std::printf("  generated in %.1f s: %ld plies, %.1f per game\n", generated.wall, plies,
              static_cast<double>(plies) / count);

  const char* tmp = std::getenv("TMPDIR");
  std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_shogidb_XXXXXX";
  if (!mkdtemp(base.data())) Die("cannot make a temporary directory under " + base);
  const std::string dir = platform::CorePath(base) + "/db";
  CountingMessages messages;
  if (!shogidb::CreateDatabase(dir, shogidb::NullProgressSink::Instance(), messages)) Die("cannot create " + dir);
  shogidb::GameDatabase db;
  db.SetDatabase(dir);
  db.SetJob({&messages, &shogidb::NullProgressSink::Instance(), nullptr});

  std::printf("results:\n");
  int registered = 0;
  std::vector<double> batch_seconds;
  const Timing reg = Timed([&] {
    for (const std::string& text : batches) {
      const double start = Now(CLOCK_MONOTONIC);
      registered += db.RegisterFromCsa(text, false);
      batch_seconds.push_back(Now(CLOCK_MONOTONIC) - start);
    }
  });
  if (registered != count) Fail("registered " + std::to_string(registered) + " of " + std::to_string(count));
  const double rate = registered / reg.wall;
  PrintRow("registration", reg,
           std::to_string(registered) + " games, " + std::to_string(static_cast<long>(rate)) + " games/s (" +
               std::to_string(static_cast<long>(registered / reg.cpu)) + " per cpu s)");
  // Whether the rate holds as the tables grow: the first and the last batch.
  const int last_batch = count - (count - 1) / batch * batch;
  std::printf("    first batch %.0f games/s, last batch %.0f games/s\n", batch / batch_seconds.front(),
              last_batch / batch_seconds.back());

  // Header search: the games one player took part in.
  const std::string condition = "対局者 matches \"藤井\"";
  size_t expected_header = 0;
  for (int i = 0; i < count; ++i) {
    const std::string text = bench::CorpusGameText(corpus.games[static_cast<size_t>(i)], i);
    if (text.find("N+藤井") != std::string::npos || text.find("N-藤井") != std::string::npos) ++expected_header;
  }
  std::vector<shogidb::ListEntry> found;
  Timing t = Timed([&] {
    if (db.Search(condition, {}, found) != 0) Fail("header search failed");
  });
  PrintRow("header search (matches)", t,
           Hits(found.size(), std::to_string(expected_header)) + "  " + platform::Cp932ToUtf8(condition));
  if (found.size() != expected_header) Fail("header search: wrong hit count");

  // Whole position: the position where the first shared opening ends, in either orientation.
  const std::vector<BoardForm> opening = Forms(corpus.openings[0]);
  size_t expected_whole = 0;
  for (const bench::CorpusGame& g : corpus.games) expected_whole += g.opening == 0 ? 1 : 0;
  shogidb::PositionSpec whole;
  whole.mode = shogidb::PositionSpec::kWhole;
  whole.target = opening.back();
  whole.side = SideOfBit(bench::kOpeningPlies % 2);
  whole.reversed = true;
  t = Timed([&] {
    if (db.Search("", whole, found) != 0) Fail("whole-position search failed");
  });
  PrintRow("position, mode 1 (whole position)", t, Hits(found.size(), "at least " + std::to_string(expected_whole)));
  if (found.size() < expected_whole) Fail("whole-position search: too few hits");
  const bool whole_fast = t.wall < kPositionSearchTarget;

  // Board pieces: every third piece on the board where the second shared opening ends, either side to move.
  shogidb::PositionSpec pieces;
  pieces.mode = shogidb::PositionSpec::kBoard;
  pieces.target = SomeBoardPieces(Forms(corpus.openings[1]).back());
  pieces.side = kSideUnset;
  pieces.reversed = true;
  t = Timed([&] {
    if (db.Search("", pieces, found) != 0) Fail("board-pieces search failed");
  });
  PrintRow("position, mode 2 (board pieces)", t, Hits(found.size(), ""));

  // Duplicates: the copies, each grouped with the game it repeats.
  std::map<std::vector<std::string>, int> by_moves;
  for (const bench::CorpusGame& g : corpus.games) ++by_moves[g.moves];
  size_t expected_groups = 0;
  for (const auto& [moves, n] : by_moves) expected_groups += n > 1 ? 1 : 0;
  for (auto mode : {shogidb::GameDatabase::DuplicateMode::kMoves, shogidb::GameDatabase::DuplicateMode::kFinalPosition}) {
    std::vector<std::vector<shogidb::ListEntry>> groups;
    t = Timed([&] {
      if (db.FindDuplicates("", mode, groups) != 0) Fail("duplicate search failed");
    });
    size_t games = 0;
    for (const auto& g : groups) games += g.size();
    const bool moves = mode == shogidb::GameDatabase::DuplicateMode::kMoves;
    PrintRow(moves ? "duplicates by moves" : "duplicates by final position", t,
             std::to_string(groups.size()) + " groups of " + std::to_string(games) + " games (expected " +
                 (moves ? "" : "at least ") + std::to_string(expected_groups) + " groups)");
    if (moves ? groups.size() != expected_groups : groups.size() < expected_groups) Fail("duplicates: wrong groups");
  }

  std::printf("targets:\n  registration >= %.0f games/s: %s\n  whole-position search < %.1f s: %s\n",
              kRegistrationTarget, rate >= kRegistrationTarget ? "met" : "MISSED", kPositionSearchTarget,
              whole_fast ? "met" : "MISSED");
  if (messages.count > 0) Fail(std::to_string(messages.count) + " messages shown");
  nftw(base.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  return failures == 0 ? 0 : 1;
}
