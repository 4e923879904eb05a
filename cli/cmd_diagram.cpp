// kzb diagram FILE [--ply N] [--game K] [--size PX] [--no-names] [--no-last-move] [--overwrite] -o OUT:
// the board diagram of a position of a record as an SVG picture or a PNG image, as OUT's name ends.
#include "cli/command.h"
#include "cli/console.h"
#include "cli/record_io.h"
#include "cli/usage.h"
#include "imaging/diagram_file.h"
#include "platform/files.h"
#include "platform/message_sink.h"
#include "record/document_diagram.h"

using namespace record;

namespace kzb {

extern const Usage kDiagramUsage = {
    .usage = "kzb diagram FILE [--ply N] [--game K] [--size PX] [--no-names] [--no-last-move]\n"
             "            [--overwrite] -o OUT.svg|OUT.png",
    .summary = "the board diagram as an SVG or PNG picture",
    .about = "Draws the position after N moves of the main line of a record (any kind kzb reads) as a printed\n"
             "diagram: grid, coordinates, pieces in kanji, both hands, the players' names and the last move\n"
             "tinted. OUT ending in .svg gets the SVG picture, .png a PNG image of it.",
    .options = "  -o OUT          the picture to write (.svg or .png)\n"
               "  --ply N         the position after N moves (default 0, the start)\n"
               "  --game K        game or problem K of the file (0 the first; kzb list numbers them)\n"
               "  --size PX       width of the picture in pixels, 16..8000 (default 800)\n"
               "  --no-names      leave out the players' names\n"
               "  --no-last-move  do not tint the square of the last move\n"
               "  --overwrite     replace OUT when it exists",
    .failed = "FILE could not be read or is shorter than N, OUT exists (without --overwrite), or OUT not written",
};

namespace {

struct DiagramArgs {
  std::string file;
  std::string output;
  int ply = 0;
  int game = 0;
  int size = 800;
  bool names = true;
  bool last_move = true;
  bool overwrite = false;
};

bool ParseArgs(const Args& args, DiagramArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "-o" && has_value) {
      out.output = args[++i];
    } else if (a == "--ply" && has_value) {
      if (!ParseCount(args[++i], 100000, out.ply)) return false;
    } else if (a == "--game" && has_value) {
      if (!ParseCount(args[++i], 10000000, out.game)) return false;
    } else if (a == "--size" && has_value) {
      if (!ParseCount(args[++i], 8000, out.size) || out.size < 16) return false;
    } else if (a == "--no-names") {
      out.names = false;
    } else if (a == "--no-last-move") {
      out.last_move = false;
    } else if (a == "--overwrite") {
      out.overwrite = true;
    } else if (!LooksLikeOption(a) && out.file.empty()) {
      out.file = a;
    } else {
      return false;
    }
  }
  return !out.file.empty() && !out.output.empty();
}

}  // namespace

int RunDiagram(const Args& args) {
  DiagramArgs a;
  if (!ParseArgs(args, a)) return UsageError(kDiagramUsage);
  const imaging::DiagramFormat format = imaging::DiagramFormatOf(a.output);
  if (format == imaging::DiagramFormat::kUnknown) {
    Err("kzb diagram: " + a.output + ": the output must end in .svg or .png");
    return kUsage;
  }
  if (OutputIsInput("diagram", a.file, a.output)) return kFailed;
  if (!a.overwrite && platform::FileExists(a.output)) {
    Err("kzb diagram: " + a.output + " exists; nothing written (--overwrite replaces it)");
    return kFailed;
  }
  platform::ConsoleMessageSink messages;
  RecordFile file(&messages);
  bool opened = false;
  const int status = LoadRecordFile("diagram", a.file, a.game, file, opened);
  if (!opened) return kFailed;
  PlainBoard& board = file.board();
  for (int i = 0; i < a.ply; ++i) {
    if (!board.StepForward()) {
      Err("kzb diagram: " + a.file + ": the selected line has only " + std::to_string(i) + " moves");
      return kFailed;
    }
  }
  DiagramOptions options = DocumentDiagramOptions(file.document(), board, a.names, a.last_move);
  options.width = a.size;
  std::string error;
  const std::string bytes = imaging::DiagramFileBytes(board, options, format, &error);
  if (bytes.empty()) {
    Err("kzb diagram: " + a.output + ": " + error);
    return kFailed;
  }
  if (!WriteOutputFile("diagram", a.output, bytes)) return kFailed;
  return status;
}

}  // namespace kzb
