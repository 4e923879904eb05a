// kzb db joseki add|show|export|delete: the joseki database, at the position after N plies of a record
// file's selected line.
#include "cli/console.h"
#include "cli/db_cli.h"
#include "cli/record_io.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/record_file.h"
#include "shogidb/joseki_lines.h"

using namespace rules;
using namespace record;

namespace kzb {
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
