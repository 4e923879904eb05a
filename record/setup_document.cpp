#include "record/setup_document.h"

#include "record/archive.h"
#include "record/record_board.h"
#include "record/skb_file.h"

using namespace rules;

namespace record {

Side PlacementSide(int number) {
  if (number == 0) return kSente;
  return number == 8 ? kSideUnset : kGote;
}

SetupDocument::SetupDocument(RecordBoard& board, platform::MessageSink* messages) : RecordDocument(board, messages) {}

void SetupDocument::NewSetup() {
  DeleteContents();
  board().SetUp(0);
  board().SetSideToMove(kSente);
  board().SetTurnOrder(0);
}

bool SetupDocument::ApplyPlacement(int number) {
  if (number < 0 || number >= kPlacementCount) return false;
  DeleteContents();
  board().SetUp(number);
  board().SetSideToMove(PlacementSide(number));
  board().SetTurnOrder(0);
  return true;
}

void SetupDocument::SetSide(Side side) { board().SetSideToMove(side); }

std::string SetupDocument::SetupBytes() const {
  return SkbBytes(board(), board().side_to_move(), reversed());
}

DocumentResult SetupDocument::SerializeRecord(Archive& ar, bool) {
  DocumentResult result;
  if (ar.IsStoring()) {
    WriteSkb(board(), reversed(), ar);
    return result;
  }
  int flag = 0;
  if (!ReadSkb(ar, board(), flag, messages())) {
    result.loaded = false;
    result.header = HeaderStatus::kSyntaxError;
    return result;
  }
  board().SetTurnOrder(0);
  SetReversed(flag);
  return result;
}

}  // namespace record
