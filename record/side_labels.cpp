#include "record/side_labels.h"

#include "rules/position.h"

using namespace rules;

namespace record {

int SideLabelKindOf(const Position& position) {
  const PieceStore& box = position.store(kPieceBox);
  if (box.total() == 0) return kEvenGameLabels;
  return box.Count(OU) > 0 ? kProblemLabels : kHandicapLabels;
}

}  // namespace record
