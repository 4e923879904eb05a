// kzb show FILE [--diagram | --mail | --sfen | --usi] [--ply N] [--game K]: the print text of a game or
// problem (width 72, no paging), the board diagram, the mail position text or the SFEN after N moves of the
// selected line, the USI position line of the selected line, or the diagram of a position file.
#include "cli/command.h"
#include "cli/console.h"
#include "cli/record_io.h"
#include "cli/usage.h"
#include "platform/message_sink.h"
#include "record/board_diagram.h"
#include "record/sfen.h"

using namespace record;

namespace kzb {

extern const Usage kShowUsage = {
    .usage = "kzb show FILE [--diagram | --mail | --sfen | --usi] [--ply N] [--game K]",
    .summary = "print text, diagram, mail text, SFEN or USI line",
    .about = "Prints a game or problem as the print text (72 columns), the board diagram after N moves of\n"
             "its main line, the mail text or the SFEN of that position, or its main line as a USI position\n"
             "line (for engines). A position file (.skb) prints as a diagram.",
    .options = "  --diagram    the board diagram instead of the record text\n"
               "  --mail       the mail text of the position (games only)\n"
               "  --sfen       the SFEN of the position (pieces in the box are left out)\n"
               "  --usi        the main line as \"position sfen ... moves ...\" (or \"position startpos\")\n"
               "  --ply N      the position after N moves (with --diagram, --mail or --sfen; 0 the start)\n"
               "  --game K     game or problem K of the file (0 the first; kzb list numbers them)",
    .failed = "FILE could not be read, or only in part (what was read is still printed), or is shorter than N",
};

namespace {

struct ShowArgs {
  std::string file;
  bool diagram = false;
  bool mail = false;
  bool sfen = false;
  bool usi = false;
  int ply = 0;
  int game = 0;
};

bool ParseArgs(const Args& args, ShowArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--diagram") {
      out.diagram = true;
    } else if (a == "--mail") {
      out.mail = true;
    } else if (a == "--sfen") {
      out.sfen = true;
    } else if (a == "--usi") {
      out.usi = true;
    } else if (a == "--ply" && i + 1 < args.size()) {
      if (!ParseCount(args[++i], 100000, out.ply)) return false;
    } else if (a == "--game" && i + 1 < args.size()) {
      if (!ParseCount(args[++i], 10000000, out.game)) return false;
    } else if (!a.empty() && a[0] != '-' && out.file.empty()) {
      out.file = a;
    } else {
      return false;
    }
  }
  return !out.file.empty() && out.diagram + out.mail + out.sfen + out.usi <= 1;
}

}  // namespace

int RunShow(const Args& args) {
  ShowArgs a;
  if (!ParseArgs(args, a)) {
    return UsageError(kShowUsage);
  }
  platform::ConsoleMessageSink messages;
  RecordFile file(&messages);
  bool opened = false;
  int status = LoadRecordFile("show", a.file, a.game, file, opened);
  if (!opened) return kFailed;
  if (a.mail && file.is_problem()) {
    Err("kzb show: the mail text is made of game records, not problems");
    return kUsage;
  }
  PlainBoard& board = file.board();
  if (a.usi) {
    OutLine(RecordUsiLine(board));
    return status;
  }
  if (file.kind() == RecordFileKind::kSkb || a.diagram || a.mail || a.sfen) {
    for (int i = 0; i < a.ply; ++i) {
      if (!board.StepForward()) {
        Err("kzb show: " + a.file + ": the selected line has only " + std::to_string(i) + " moves");
        return kFailed;
      }
    }
  }
  if (a.sfen) {
    OutLine(PositionSfen(board, a.ply + 1));
  } else if (a.mail) {
    PrintText(file.game().MailPositionText());
  } else if (file.kind() == RecordFileKind::kSkb || a.diagram) {
    std::string sente, gote;
    file.document().GetSideNames(board, sente, gote);
    WriteBoardDiagram(board, sente, gote, [](std::string_view line) { OutLine(line); });
  } else {
    PrintText(file.document().GetRecordText(72, 9999, false));
  }
  return status;
}

}  // namespace kzb
