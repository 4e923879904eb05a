#include "record/document_diagram.h"

#include "record/record_document.h"

namespace record {

DiagramOptions DocumentDiagramOptions(const RecordDocument& document, const rules::Position& position, bool names,
                                      bool last_move) {
  DiagramOptions options;
  document.GetSideNames(position, options.sente_label, options.gote_label);
  if (const auto* game = dynamic_cast<const GameDocument*>(&document); game && names) {
    options.sente_name = game->header().SenteName();
    options.gote_name = game->header().GoteName();
  }
  if (last_move) options.marked_square = LastMoveSquare(position);
  return options;
}

}  // namespace record
