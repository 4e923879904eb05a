// The mate search on the shared tsume problems an independent solver mates in at most 15 moves: per
// problem and in total the nodes searched, the seconds and the nodes per second, and the node-count
// signature (the sum of the node counts), which changes only when the search itself changes.
//
// Seconds are CPU seconds of the solving thread (one core), so other work on the machine does not
// distort them.
//
//   bench_solver [--max-length N] [--check] [ID...]
// --check compares the signature with the one recorded below and fails on a difference.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "record/plain_board.h"
#include "solver/mate_engine.h"
#include "tests/support/sfen.h"
#include "tests/support/tsume_data.h"

using namespace record;
using namespace solver;

namespace {

// CPU time of this thread: the figure stays true while other programs share the machine.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// The node-count signature of the default set (reference length <= 15).
constexpr long long kSignature = 16503838;

struct Options {
  int max_length = 15;
  bool check = false;
  std::vector<std::string> ids;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--max-length") == 0 && i + 1 < argc) {
      o.max_length = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--check") == 0) {
      o.check = true;
    } else {
      o.ids.emplace_back(argv[i]);
    }
  }
  return o;
}

bool Selected(const Options& o, const TsumeProblem& p) {
  if (!o.ids.empty()) {
    for (const std::string& id : o.ids) {
      if (id == p.id) return true;
    }
    return false;
  }
  const int length = p.ReferenceLength();
  return length >= 0 && length <= o.max_length;
}

const char* OutcomeName(SolveOutcome o) {
  switch (o) {
    case SolveOutcome::kMate: return "mate";
    case SolveOutcome::kMatePartial: return "mate(partial)";
    case SolveOutcome::kMateUnconfirmed: return "unconfirmed";
    case SolveOutcome::kNoMate: return "nomate";
    case SolveOutcome::kUndecided: return "undecided";
    case SolveOutcome::kInterrupted: return "interrupted";
    case SolveOutcome::kNoProblem: return "noproblem";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  const std::string folder = TsumeFolder(KOMARAKU_TESTDATA);
  if (folder.empty()) {
    std::fprintf(stderr, "bench_solver: no test data under %s\n", KOMARAKU_TESTDATA);
    return 2;
  }
  long long total_nodes = 0;
  double total_seconds = 0;
  int count = 0;
  std::printf("%-14s %6s %-12s %6s %12s %9s %12s\n", "problem", "ref", "result", "limit", "nodes", "seconds",
              "nodes/s");
  for (const TsumeProblem& p : LoadTsumeIndex(folder)) {
    if (!Selected(options, p)) continue;
    PlainBoard board;
    if (!SetPositionFromSfen(board, p.sfen)) {
      std::fprintf(stderr, "bench_solver: %s: bad SFEN\n", p.id.c_str());
      return 2;
    }
    MateEngine engine(board);
    const double start = ThreadSeconds();
    engine.Solve(MateEngine::kDefaultMaxDepth, nullptr, nullptr);
    const double seconds = ThreadSeconds() - start;
    const long nodes = engine.node_count();
    std::printf("%-14s %6s %-12s %6d %12ld %9.3f %12.0f\n", p.id.c_str(), p.reference.c_str(),
                OutcomeName(engine.outcome()), engine.mate_depth_limit(), nodes, seconds,
                seconds > 0 ? nodes / seconds : 0.0);
    std::fflush(stdout);
    total_nodes += nodes;
    total_seconds += seconds;
    ++count;
  }
  std::printf("total %d problems: %lld nodes, %.3f s, %.0f nodes/s\n", count, total_nodes, total_seconds,
              total_seconds > 0 ? total_nodes / total_seconds : 0.0);
  std::printf("signature %lld\n", total_nodes);
  if (options.check && options.ids.empty() && options.max_length == 15 && total_nodes != kSignature) {
    std::printf("signature differs from the recorded %lld\n", kSignature);
    return 1;
  }
  return 0;
}
