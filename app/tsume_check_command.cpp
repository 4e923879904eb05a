#include "app/tsume_check_command.h"

#include <algorithm>
#include <memory>

#include "app/board_view.h"
#include "app/solver_engine_setting.h"
#include "app/solver_window.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "record/plain_board.h"
#include "solver/tsume_check.h"

namespace app {

namespace {

// Each defence's search is short: a small table is quicker to set up and enough.
constexpr size_t kDefenceTableMb = 16;

solver::SolveOutcome RunCheck(record::PlainBoard& board, const solver::EngineChoice& choice,
                              platform::ProgressSink& out, platform::AutoResetEvent* stop) {
  const platform::LocalTime now = platform::Now();
  // This file is UTF-8; the lines are CP932 like the solver's own.
  out.Line(platform::Utf8ToCp932("==== 余詰検討開始 ") + solver::SolveDateText(now) + " " + solver::SolveTimeText(now) + " ====");
  solver::TsumeCheckOptions options;
  options.memory_mb = std::min(choice.dfpn.memory_mb, kDefenceTableMb);
  const solver::TsumeCheckResult result = solver::CheckProblem(board, choice, options, stop, &out);
  for (const solver::TsumeFinding& f : result.findings) out.Line(solver::FindingText(f));
  out.Line("=== " + solver::SummaryText(result) + " ===");
  return result.sound() ? solver::SolveOutcome::kMate : solver::SolveOutcome::kNoMate;
}

}  // namespace

bool CheckTsumeHere(BoardView& view) {
  BoardDocument* doc = view.document();
  if (doc->kind() != DocKind::kTsume || view.controller().busy()) return false;
  // The worker checks a copy of the main line, so the window stays free to look at while it runs; the
  // busy flag still keeps a second solve from sharing the solver window.
  auto copy = std::make_shared<record::PlainBoard>(record::PlainBoard::kCopyPool);
  doc->board().CopyRecordTo(*copy, true, true);
  SolverWindow* window = OpenSolverWindow(view);
  view.controller().SetBusy(true);
  const solver::EngineChoice choice = SolverEngineChoice();
  BoardView* owner = &view;
  const bool started = window->StartJob(
      [copy, choice, window](platform::AutoResetEvent* stop) { return RunCheck(*copy, choice, window->queue(), stop); },
      [owner] {
        owner->controller().SetBusy(false);
        Q_EMIT owner->StateChanged();
      });
  if (!started) view.controller().SetBusy(false);
  Q_EMIT view.StateChanged();
  return started;
}

}  // namespace app
