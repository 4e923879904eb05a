#include "solver/record_solve.h"

#include "record/archive.h"
#include "rules/notation.h"

using namespace rules;
using namespace record;

namespace solver {

void PrepareForSolving(RecordBoard& board) {
  board.GoToStart();
  board.BeginRecord();
}

void CopyProblemForSolving(const RecordDocument& source, ProblemDocument& target) {
  target.board().SetPositionFrom(source.board());
  target.SetReversed(source.reversed());
  if (const auto* problem = dynamic_cast<const ProblemDocument*>(&source)) {
    const ProblemHeader& from = problem->header();
    ProblemHeader& to = target.header();
    for (int i = 0; i < from.FieldCount(); ++i) {
      to.ClearField(i);
      to.SetField(i, from.Field(i));
    }
    to.SetAnnotation(from.Annotation());
    to.SetProblemPosition(from.ProblemPosition());
  }
}

std::vector<std::string> MainLineTexts(RecordBoard& board) {
  std::vector<std::string> texts;
  board.GoToStart();
  while (board.StepForward()) texts.push_back(NodeMoveText(board, *board.current()));
  board.GoToStart();
  return texts;
}

bool WriteSolvedProblem(ProblemDocument& doc, std::string_view cp932_path) {
  doc.board().GoToStart();
  doc.UpdateMoveCountField();
  Archive out = Archive::ToFile(cp932_path, false);
  if (!out.ok()) return false;
  doc.Serialize(out);
  return out.Commit();
}

}  // namespace solver
