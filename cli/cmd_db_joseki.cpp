// kzb db joseki add|show|export|delete: the joseki database, at the position after N plies of a record
// file's selected line.
#include "cli/console.h"
#include "cli/db_cli.h"
#include "cli/record_io.h"
#include "cli/usage.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/record_file.h"
#include "shogidb/joseki_lines.h"

using namespace rules;
using namespace record;

namespace kzb {

extern const Usage kJosekiAddUsage = {
    .usage = "kzb db joseki add DIR FILE [--depth N] [--eval E] [--value V] [--annotations] [--details]",
    .summary = "register a record's lines as joseki",
    .about = "Registers every line of the record in FILE (all its alternatives) as joseki, from its start down\n"
             "to N moves; the joseki lines of a .csa or .pcl text bring their own values.",
    .options = "  --depth N      down to move N (default 30)\n"
               "  --eval E       the evaluation of new positions (0 to 256, default 100)\n"
               "  --value V      the value of new moves (0 to 16383, default 100)\n"
               "  --annotations  register the annotations as well\n"
               "  --details      print what was registered, position by position",
    .asks = true,
    .failed = "FILE could not be read or the registration failed",
};

extern const Usage kJosekiShowUsage = {
    .usage = "kzb db joseki show DIR FILE [--ply N]",
    .summary = "the joseki moves at a position",
    .about = "Prints the evaluation, the notes and the joseki moves at the position after N moves of FILE.",
    .options = "  --ply N      the position after N moves of FILE's main line (default 0)",
    .failed = "FILE could not be read or is shorter than N, or the database could not be read",
};

extern const Usage kJosekiExportUsage = {
    .usage = "kzb db joseki export DIR FILE [--ply N] --depth D -o OUT [--annotations] [--yes]",
    .summary = "write the joseki below a position as PCL",
    .about = "Writes the joseki moves below the position after N moves of FILE, D moves deep, to OUT as PCL.",
    .options = "  --ply N        the position after N moves of FILE's main line (default 0)\n"
               "  --depth D      D moves deep\n"
               "  -o OUT         the file to write (asked before it is replaced)\n"
               "  --annotations  with the notes",
    .asks = true,
    .failed = "FILE could not be read, or OUT not written",
};

extern const Usage kJosekiDeleteUsage = {
    .usage = "kzb db joseki delete DIR FILE [--ply N] --depth D --backup OUT --yes",
    .summary = "delete the joseki below a position",
    .about = "Deletes the joseki moves below the position after N moves of FILE, D moves deep, once they are\n"
             "written to OUT as PCL.",
    .options = "  --ply N        the position after N moves of FILE's main line (default 0)\n"
               "  --depth D      D moves deep\n"
               "  --backup OUT   the file the deleted moves are written to first",
    .asks = true,
    .failed = "FILE could not be read, OUT not written, or the deletion failed or was declined",
};

namespace {

bool ParseLimit(const DbOptions& o, const char* name, long def, long max, long& value) {
  return ParseNumber(o.Value(name).value_or(std::to_string(def)), max, value);
}

// The joseki database and the position after `ply` plies of the record file a command names.
struct JosekiAt {
  JosekiAt(const DbOptions& o, bool yes) : session(o.positional[0], yes) {}
  bool Begin(const DbOptions& o, long ply) {
    if (!session.Begin() ||
        !PositionFromFile("joseki", o.positional[1], static_cast<int>(ply), form, side)) {
      return false;
    }
    db.SetDatabase(session.directory());
    db.SetJob(session.job());
    return true;
  }
  DbSession session;
  BoardForm form;
  Side side = kSente;
  shogidb::JosekiDatabase db;
};

int Add(const DbOptions& o) {
  long depth, evaluation, value;
  if (o.positional.size() != 2 || !ParseLimit(o, "--depth", 30, 2000, depth) ||
      !ParseLimit(o, "--eval", 100, 256, evaluation) || !ParseLimit(o, "--value", 100, 16383, value)) {
    return kUsage;
  }
  DbSession session(o.positional[0], o.Has("--yes"));
  if (!session.Begin()) return kFailed;
  shogidb::JosekiDatabase db;
  db.SetDatabase(session.directory());
  db.SetJob(session.job());
  shogidb::JosekiOptions options;
  options.depth = static_cast<int>(depth);
  options.evaluation = static_cast<int>(evaluation);
  options.value = static_cast<int>(value);
  options.annotations = o.Has("--annotations");
  options.details = o.Has("--details");
  const std::string& path = o.positional[1];
  const RecordFileKind kind = RecordFileKindOf(path);
  long count;
  if (kind == RecordFileKind::kCsa || kind == RecordFileKind::kPcl) {
    // CSA and PCL text carries the joseki data of its annotation lines.
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
      Err("kzb db joseki: cannot read " + path);
      return kFailed;
    }
    count = shogidb::RegisterJosekiFromText(db, platform::InputTextToCp932(bytes), options);
  } else {
    platform::RecordingMessageSink messages;
    RecordFile file(&messages);
    if (!file.Load(path).opened) {
      Err("kzb db joseki: cannot read " + path);
      return kFailed;
    }
    count = shogidb::RegisterJosekiFromRecord(db, file.board(), options);
  }
  return session.Status(count >= 0);
}

int Show(const DbOptions& o) {
  long ply;
  if (o.positional.size() != 2 || !ParseLimit(o, "--ply", 0, 2000, ply)) return kUsage;
  JosekiAt at(o, false);
  if (!at.Begin(o, ply)) return kFailed;
  shogidb::JosekiDatabase& db = at.db;
  const BoardForm& form = at.form;
  const Side side = at.side;
  shogidb::OpenTables open;
  if (db.OpenAll(open) != 0) return kFailed;
  shogidb::JosekiPosition position;
  if (db.FindJosekiPosition(form, side, position) != 0) {
    OutLine("no joseki at this position");
    return kOk;
  }
  std::vector<shogidb::JosekiMove> moves;
  if (db.ReadJosekiMoves(position, moves) != 0) return kFailed;
  OutLine("形勢評価値:" + std::to_string(position.evaluation) + (position.reversed ? "  (reversed)" : ""));
  auto note_lines = [](const std::string& note) {
    size_t at = 0;
    while (at < note.size()) {
      size_t end = note.find("\r\n", at);
      if (end == std::string::npos) end = note.size();
      OutLine("    " + note.substr(at, end - at));
      at = end + 2;
    }
  };
  note_lines(db.PositionNote(position));
  for (const shogidb::JosekiMove& m : moves) {
    OutLine("  " + shogidb::JosekiMoveText(form, side, m.move) + "  属性:" + std::to_string(m.value));
    note_lines(db.MoveNote(position, m.move));
  }
  return kOk;
}

int ExportOrDelete(const DbOptions& o, bool del) {
  long ply, depth;
  const auto out = o.Value(del ? "--backup" : "-o");
  if (o.positional.size() != 2 || !o.Value("--depth") || !out || !ParseLimit(o, "--ply", 0, 2000, ply) ||
      !ParseLimit(o, "--depth", 0, 2000, depth)) {
    return kUsage;
  }
  if (OutputIsInput(del ? "db joseki delete" : "db joseki export", o.positional[1], *out)) return kFailed;
  JosekiAt at(o, o.Has("--yes"));
  if (!at.Begin(o, ply)) return kFailed;
  const int d = static_cast<int>(depth);
  const long count = del ? shogidb::DeleteJosekiBelow(at.db, at.form, at.side, d, *out)
                         : shogidb::ExportJoseki(at.db, at.form, at.side, d, *out, o.Has("--annotations"));
  return at.session.Status(count >= 0);
}

}  // namespace

int RunDbJoseki(const Args& args) {
  if (args.size() < 2) return kUsage;
  DbOptions o;
  if (!ParseDbOptions(args, 2, {"--depth", "--eval", "--value", "--ply", "-o", "--backup"},
                      {"--annotations", "--details", "--yes"}, o)) {
    return kUsage;
  }
  const std::string& verb = args[1];
  if (verb == "add") return Add(o);
  if (verb == "show") return Show(o);
  if (verb == "export") return ExportOrDelete(o, false);
  if (verb == "delete") return ExportOrDelete(o, true);
  return kUsage;
}

}  // namespace kzb
