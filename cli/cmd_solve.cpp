// kzb solve FILE|--sfen TEXT [--max-depth N] [-o OUT.pcl]: the mate solver on the start position of a
// record file, or on a position given as an SFEN or a USI line, the side to move attacking. The solver's lines appear as they come; Ctrl-C stops the search the way
// the stop button does (a second Ctrl-C ends the program at once). Exit status 0 when a mate was found
// (and written), 1 otherwise: no mate, none within the depth, stopped, or a file not read or written.
#include <signal.h>
#include <time.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/record_io.h"
#include "cli/usage.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"
#include "record/record_file.h"
#include "solver/dfpn_procedure.h"
#include "solver/record_solve.h"
#include "solver/solve_procedure.h"

using namespace record;
using namespace solver;

namespace kzb {

extern const Usage kSolveUsage = {
    .usage = "kzb solve FILE|--sfen TEXT [--max-depth N] [--engine mate|pn] [--time-limit S] [--memory MB]\n"
             "          [-o OUT.pcl]",
    .summary = "mate search on a record's start position",
    .about = "Searches for a mate from the start position of a record, the side to move attacking, and prints\n"
             "the mating line. In place of FILE, an SFEN (\"sfen ...\" or bare) or a USI line\n"
             "(\"position sfen|startpos ... [moves ...]\") gives the position: the one after its moves.\n"
             "Ctrl-C stops the search; a second Ctrl-C ends kzb at once.",
    .options = "  --sfen TEXT     the position as an SFEN or a USI position line\n"
               "  --max-depth N   search at most N plies deep (1 to 999; pn: none unless given)\n"
               "  --engine E      mate (the default) or pn: proof-number search, for long problems\n"
               "  --time-limit S  give up after S seconds (default: no limit)\n"
               "  --memory MB     the pn engine's table size (default 256)\n"
               "  -o OUT.pcl      write the problem with its solution tree as PCL",
    .failed = "no mate (or none within the depth), stopped, or a file not read or written",
};

namespace {

class ConsoleLines final : public platform::ProgressSink {
 public:
  void Line(std::string_view text) override {
    OutLine(text);
    std::fflush(stdout);
  }
};

struct SolveArgs {
  std::string file;
  std::string output;
  bool sfen = false;  // `file` holds an SFEN or USI line
  int max_depth = MateEngine::kDefaultMaxDepth;
  bool max_depth_given = false;
  bool pn = false;  // --engine pn
  long time_limit_s = 0;
  long memory_mb = 256;
};

// A whole number in [low, high], or false.
bool ParseNumber(const std::string& text, long low, long high, long& out) {
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || text.empty() || *end != '\0' || n < low || n > high) return false;
  out = n;
  return true;
}

bool ParseArgs(const Args& args, SolveArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--max-depth" && i + 1 < args.size()) {
      long n = 0;
      if (!ParseNumber(args[++i], 1, 999, n)) return false;
      out.max_depth = static_cast<int>(n);
      out.max_depth_given = true;
    } else if (a == "--engine" && i + 1 < args.size()) {
      const std::string& e = args[++i];
      if (e != "mate" && e != "pn") return false;
      out.pn = e == "pn";
    } else if (a == "--time-limit" && i + 1 < args.size()) {
      if (!ParseNumber(args[++i], 1, 1000000, out.time_limit_s)) return false;
    } else if (a == "--memory" && i + 1 < args.size()) {
      if (!ParseNumber(args[++i], 1, 1 << 20, out.memory_mb)) return false;
    } else if (a == "-o" && i + 1 < args.size()) {
      out.output = args[++i];
    } else if (a == "--sfen" && i + 1 < args.size() && out.file.empty() && !out.sfen) {
      out.file = args[++i];
      out.sfen = true;
    } else if (!a.empty() && a[0] != '-' && out.file.empty()) {
      out.file = a;
    } else {
      return false;
    }
  }
  return !out.file.empty();
}

// The worker's end, sent to the waiting thread by the worker itself so the wait ends at once.
constexpr int kSolveEndSignal = SIGUSR1;

// The next of `signals`, or 0 once the monotonic clock reaches `deadline` (null: none).
int NextSignal(const sigset_t& signals, const timespec* deadline) {
  if (!deadline) return sigwaitinfo(&signals, nullptr);
  for (;;) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long left_ns =
        (deadline->tv_sec - now.tv_sec) * 1000000000LL + (deadline->tv_nsec - now.tv_nsec);
    if (left_ns <= 0) return 0;
    const timespec wait{static_cast<time_t>(left_ns / 1000000000LL), static_cast<long>(left_ns % 1000000000LL)};
    const int sig = sigtimedwait(&signals, nullptr, &wait);
    if (sig > 0) return sig;
  }
}

// Waits for the worker's end signal while passing Ctrl-C (and a termination request) on as a stop
// request, and asks the stop itself once `limit_s` seconds have passed (0: no limit). The end signal is
// taken here in any case, so none is left pending once the mask is restored. True when the time limit
// asked the stop.
bool WaitForSolve(SolveWorker& worker, const sigset_t& signals, long limit_s) {
  bool stop_requested = false, timed_out = false;
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += limit_s;
  for (;;) {
    const int sig = NextSignal(signals, limit_s > 0 && !stop_requested ? &deadline : nullptr);
    if (sig == kSolveEndSignal) break;
    if (sig == 0) {
      stop_requested = timed_out = true;
      worker.RequestStop();
      continue;
    }
    if (sig != SIGINT && sig != SIGTERM) continue;
    if (stop_requested && !timed_out) {
      // Asked twice: leave now, as a terminal user expects.
      std::fflush(stdout);
      std::_Exit(128 + sig);
    }
    timed_out = false;
    stop_requested = true;
    worker.RequestStop();
  }
  worker.Wait();
  return timed_out;
}

// What the search ended with, when it is not a whole solution.
const char* OutcomeText(SolveOutcome outcome) {
  switch (outcome) {
    case SolveOutcome::kMate: return nullptr;
    case SolveOutcome::kMatePartial: return "stopped while completing the solution; the side lines may be incomplete";
    case SolveOutcome::kMateUnconfirmed: return "the mate found could not be confirmed; nothing written";
    case SolveOutcome::kNoMate: return "no mate";
    case SolveOutcome::kUndecided: return "no mate found within the maximum depth (--max-depth)";
    case SolveOutcome::kInterrupted: return "stopped before a mate was found";
    case SolveOutcome::kNoProblem: return "the position has no king to mate or no side to move";
  }
  return nullptr;
}

// The proof-number engine ends undecided at its time limit or, with --max-depth, when no mate fits.
const char* PnUndecidedText(const SolveArgs& a) {
  if (!a.max_depth_given) return "no decision within the time limit (--time-limit)";
  if (a.time_limit_s == 0) return OutcomeText(SolveOutcome::kUndecided);
  return "no mate found within the maximum depth (--max-depth) or the time limit (--time-limit)";
}

}  // namespace

int RunSolve(const Args& args) {
  SolveArgs a;
  if (!ParseArgs(args, a)) {
    return UsageError(kSolveUsage);
  }
  platform::ConsoleMessageSink messages;
  RecordFile file(&messages);
  const RecordFileResult loaded = a.sfen ? file.LoadUsiText(a.file) : file.Load(a.file);
  if (!a.output.empty() && OutputIsInput("solve", a.file, a.output)) return kFailed;
  if (!loaded.opened) {
    Err("kzb solve: " + ProblemText(a.file, loaded));
    return kFailed;
  }
  if (!loaded.complete) Err("kzb solve: " + ProblemText(a.file, loaded) + " (solving what was read)");

  PlainBoard& board = file.board();
  if (file.kind() == RecordFileKind::kUsi) {
    // A USI line asks about the position its moves reach.
    board.GoToEnd();
    board.BeginRecord();
  }
  PrepareForSolving(board);

  // The signals are taken by this thread alone: block them before the worker starts, so it inherits
  // the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, kSolveEndSignal);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &signals, &previous);
  ConsoleLines lines;
  SolveWorker worker;
  const auto ended = [waiting = pthread_self()](SolveOutcome) { pthread_kill(waiting, kSolveEndSignal); };
  if (a.pn) {
    const DfpnOptions options{static_cast<size_t>(a.memory_mb), a.time_limit_s * 1000, nullptr,
                               a.max_depth_given ? a.max_depth : 0};
    worker.StartJob(
        [&board, &lines, options](platform::AutoResetEvent* stop) {
          return RunDfpnSolveProcedure(board, lines, stop, options);
        },
        ended);
  } else {
    worker.Start(board, lines, ended, a.max_depth);
  }
  // The proof-number engine keeps its own clock (and finishes the tree of a mate it has proven); the
  // first one is stopped from here, as Ctrl-C would.
  const bool timed_out = WaitForSolve(worker, signals, a.pn ? 0 : a.time_limit_s);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);

  const SolveOutcome outcome = worker.outcome();
  const char* why = a.pn && outcome == SolveOutcome::kUndecided ? PnUndecidedText(a) : OutcomeText(outcome);
  if (timed_out && outcome == SolveOutcome::kInterrupted) why = "no mate found within the time limit (--time-limit)";
  if (why) Err(std::string("kzb solve: ") + why);
  if (!SolutionWritten(outcome)) return kFailed;

  if (!a.output.empty() && !WriteSolvedProblem(file.problem(), a.output)) {
    Err("kzb solve: cannot write " + a.output + ": " + std::strerror(errno));
    return kFailed;
  }
  const std::vector<std::string> main_line = MainLineTexts(board);
  OutLine("詰手順 (" + std::to_string(main_line.size()) + "手)");
  std::string line;
  for (size_t i = 0; i < main_line.size(); ++i) {
    line += (line.empty() ? "  " : " ") + main_line[i];
    if ((i + 1) % 5 == 0 || i + 1 == main_line.size()) {
      OutLine(line);
      line.clear();
    }
  }
  return outcome == SolveOutcome::kMate ? kOk : kFailed;
}

}  // namespace kzb
