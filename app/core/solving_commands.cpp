#include "app/core/solving_commands.h"

#include "app/core/command_ids.h"

namespace app {

bool RefusedWhileSolving(int id) {
  switch (id) {
    // The worker writes the record: saving, printing or copying it would read it half made.
    case cmd::kFileSave:
    case cmd::kFileSaveAs:
    case cmd::kPrint:
    case cmd::kPrintPreview:
    case cmd::kCopyRecord:
    case cmd::kCopySfen:
    case cmd::kClipRecordText:
    case cmd::kClipRecordCsa:
    case cmd::kClipTsumeText:
    case cmd::kClipTsumePcl:
    case cmd::kMailPosition:
    // Replacing the record under the worker.
    case cmd::kPasteRecord:
    case cmd::kSelectReadGame:
    case cmd::kSelectReadTsume:
    case cmd::kReadKakinoki:
    case cmd::kDbSearch:
    case cmd::kInitialPosition:
    case cmd::kProblemDiagram:
    case cmd::kGameHeader:
    case cmd::kTsumeHeader:
    // Windows that read the board as it stands.
    case cmd::kOpenAux:
    case cmd::kOpenRecordWindow:
    case cmd::kMoveAnnotation:
    case cmd::kJosekiBrowser:
    case cmd::kDbRegister:
    case cmd::kJosekiRegister:
    // Moving the pieces.
    case cmd::kFlip:
    case cmd::kFirst:
    case cmd::kLast:
    case cmd::kForward:
    case cmd::kBack:
    case cmd::kAutoForward:
    case cmd::kAutoBack:
    case cmd::kSelectBranch:
    case cmd::kDeleteMoves:
    case cmd::kRecordEditing:
    case cmd::kEditAtEnd:
    case cmd::kBranchInput:
    case cmd::kJosekiEditing:
    // One solve at a time on a board.
    case cmd::kSolveNew:
    case cmd::kSolveHere:
    case cmd::kSolveDatabase:
      return true;
    default:
      return false;
  }
}

}  // namespace app
