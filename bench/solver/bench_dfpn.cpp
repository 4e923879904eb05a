// The proof-number engine on the Edo-period problems (muso, zuko) whose reference length is 15 to 35:
// per problem the result, the length found against the reference's, the nodes and the seconds within a
// time limit each (both in the CPU time of the search's thread, so that a busy machine measures alike),
// then the totals compared with the reference solver (reference-times.tsv): how many each solves, the
// median time of both on the problems both solve, and the lengths that differ where the reference
// confirmed its length as the shortest.
//
//   bench_dfpn [--min-length N] [--max-length N] [--limit N] [--seconds S] [--memory MB] [ID...]
// --limit takes every k-th problem so that N are run (a sample across the set). Every solution tree is
// judged by the tests' independent checker; a tree it refuses is named.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "record/plain_board.h"
#include "solver/dfpn_engine.h"
#include "tests/support/sfen.h"
#include "tests/support/solution_check.h"
#include "tests/support/tsume_data.h"

using namespace record;
using namespace solver;

namespace {

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

int64_t ThreadMilliseconds() { return static_cast<int64_t>(ThreadSeconds() * 1000); }

struct Options {
  int min_length = 15;
  int max_length = 35;
  int limit = 0;
  double seconds = 20;
  size_t memory_mb = 512;
  std::vector<std::string> ids;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const bool more = i + 1 < argc;
    if (std::strcmp(argv[i], "--min-length") == 0 && more) {
      o.min_length = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--max-length") == 0 && more) {
      o.max_length = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--limit") == 0 && more) {
      o.limit = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--seconds") == 0 && more) {
      o.seconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--memory") == 0 && more) {
      o.memory_mb = static_cast<size_t>(std::atol(argv[++i]));
    } else {
      o.ids.emplace_back(argv[i]);
    }
  }
  return o;
}

struct Reference {
  std::string result;
  int length = -1;
  double seconds = 0;
  bool confirmed = false;
};

std::map<std::string, Reference> LoadReference(const std::string& folder) {
  std::map<std::string, Reference> out;
  std::ifstream in(folder + "/reference-times.tsv");
  std::string line;
  std::getline(in, line);  // the heading
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, result, length, ms, nodes, confirmed;
    std::getline(fields, id, '\t');
    std::getline(fields, result, '\t');
    std::getline(fields, length, '\t');
    std::getline(fields, ms, '\t');
    std::getline(fields, nodes, '\t');
    std::getline(fields, confirmed, '\t');
    Reference r;
    r.result = result;
    r.length = result == "mate" ? std::atoi(length.c_str()) : -1;
    r.seconds = std::atof(ms.c_str()) / 1000;
    r.confirmed = confirmed == "yes";
    out[id] = r;
  }
  return out;
}

bool Edo(const std::string& id) { return id.rfind("muso", 0) == 0 || id.rfind("zuko", 0) == 0; }

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  const std::string folder = TsumeFolder(KOMARAKU_TESTDATA);
  if (folder.empty()) {
    std::fprintf(stderr, "bench_dfpn: no test data under %s\n", KOMARAKU_TESTDATA);
    return 2;
  }
  const std::map<std::string, Reference> reference = LoadReference(folder);
  std::vector<TsumeProblem> chosen;
  for (const TsumeProblem& p : LoadTsumeIndex(folder)) {
    const auto r = reference.find(p.id);
    if (!o.ids.empty()) {
      if (std::find(o.ids.begin(), o.ids.end(), p.id) != o.ids.end()) chosen.push_back(p);
      continue;
    }
    if (!Edo(p.id) || r == reference.end() || r->second.length < o.min_length || r->second.length > o.max_length) {
      continue;
    }
    chosen.push_back(p);
  }
  if (o.limit > 0 && static_cast<int>(chosen.size()) > o.limit) {
    std::vector<TsumeProblem> sample;
    for (int i = 0; i < o.limit; ++i) sample.push_back(chosen[i * chosen.size() / o.limit]);
    chosen = sample;
  }

  // "proof s": when the first proof came, before the shortening (CPU time, as the seconds).
  std::printf("%-10s %4s %4s %-10s %12s %8s %8s %8s\n", "problem", "ref", "len", "result", "nodes", "seconds", "proof s",
              "ref s");
  int solved = 0, proven = 0, reference_solved = 0, wrong_length = 0, bad_trees = 0;
  long long total_nodes = 0;
  double total_seconds = 0;
  std::vector<double> ours_both, theirs_both;
  for (const TsumeProblem& p : chosen) {
    PlainBoard board;
    if (!SetPositionFromSfen(board, p.sfen)) continue;
    const auto found = reference.find(p.id);
    const Reference ref = found == reference.end() ? Reference{} : found->second;
    // The limit in CPU time: other work on the machine does not eat into it.
    DfpnEngine engine(board, DfpnOptions{o.memory_mb, static_cast<int64_t>(o.seconds * 1000), ThreadMilliseconds});
    const double start = ThreadSeconds();
    const SolveOutcome outcome = engine.Solve(nullptr, nullptr);
    const double seconds = ThreadSeconds() - start;
    const bool mate = outcome == SolveOutcome::kMate;
    const bool ref_solved = ref.length > 0 && ref.seconds <= o.seconds;
    const char* result = mate ? (engine.shortest_confirmed() ? "mate" : "mate<=")
                         : outcome == SolveOutcome::kNoMate ? "NOMATE"
                         : engine.first_proof_nodes() > 0  ? "proven"
                                                           : "timeout";
    std::string judged;
    if (mate) {
      engine.WriteSolution();
      const SolutionReport report = CheckSolutionTree(board);
      if (!report.error.empty()) judged = "  TREE REFUSED: " + report.error;
      bad_trees += !report.error.empty();
    }
    const double proof_seconds = engine.first_proof_nodes() > 0 ? engine.first_proof_ms() / 1000.0 : -1;
    std::printf("%-10s %4d %4d %-10s %12ld %8.2f %8.2f %8.2f%s\n", p.id.c_str(), ref.length,
                mate ? engine.mate_length() : 0, result, engine.node_count(), seconds, proof_seconds, ref.seconds,
                mate && ref.confirmed && engine.mate_length() != ref.length ? "  length differs" : "");
    if (!judged.empty()) std::printf("%s\n", judged.c_str());
    std::fflush(stdout);
    solved += mate && engine.shortest_confirmed();
    proven += engine.first_proof_nodes() > 0;
    reference_solved += ref_solved;
    wrong_length += mate && ref.confirmed && engine.mate_length() != ref.length;
    total_nodes += engine.node_count();
    total_seconds += seconds;
    if (mate && engine.shortest_confirmed() && ref_solved) {
      ours_both.push_back(seconds);
      theirs_both.push_back(ref.seconds);
    }
  }
  std::printf("problems %zu: solved %d with the shortest confirmed, %d proven mate (reference %d within %.0f s), "
              "%lld nodes, %.1f s, %.0f nodes/s\n",
              chosen.size(), solved, proven, reference_solved, o.seconds, total_nodes, total_seconds,
              total_seconds > 0 ? total_nodes / total_seconds : 0.0);
  std::printf("both solved %zu: median %.2f s here, %.2f s reference; confirmed lengths that differ: %d; "
              "trees refused: %d\n",
              ours_both.size(), Median(ours_both), Median(theirs_both), wrong_length, bad_trees);
  return 0;
}
