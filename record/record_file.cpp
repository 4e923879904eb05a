#include "record/record_file.h"

#include <cctype>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/kakinoki_converter.h"
#include "record/select_read.h"
#include "record/sfen.h"

using namespace rules;

namespace record {

RecordFileKind RecordFileKindOf(std::string_view path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos) return RecordFileKind::kUnknown;
  std::string ext;
  for (char c : path.substr(dot + 1)) ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "csa") return RecordFileKind::kCsa;
  if (ext == "pcl") return RecordFileKind::kPcl;
  if (ext == "skb") return RecordFileKind::kSkb;
  if (ext == "kif" || ext == "kifu") return RecordFileKind::kKif;
  if (ext == "ki2" || ext == "ki2u") return RecordFileKind::kKi2;
  if (ext == "sfen") return RecordFileKind::kUsi;
  return RecordFileKind::kUnknown;
}

RecordFile::RecordFile(platform::MessageSink* messages)
    : messages_(messages ? messages : &platform::NullMessageSink::Instance()),
      board_(Position::PoolSizes{}, messages_),
      game_(board_, messages_),
      problem_(board_, messages_) {}

RecordFileResult RecordFile::Load(std::string_view path, int index) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) {
    if (LooksLikeSfenOrUsi(path) && index == 0) return LoadUsiText(path);
    RecordFileResult r;
    r.problem = "cannot read " + std::string(path);
    return r;
  }
  return LoadText(bytes, RecordFileKindOf(path), path, index);
}

RecordFileResult RecordFile::LoadText(std::string_view bytes, RecordFileKind kind, std::string_view name, int index) {
  RecordFileResult r;
  kind_ = kind;
  switch (kind) {
    case RecordFileKind::kKif:
    case RecordFileKind::kKi2: {
      // Converted as the batch converter does, then read as the CSA text it gives.
      Archive csa = Archive::ToMemory();
      bool separator_due = false;
      const KakinokiStats stats =
          ConvertKakinokiText(platform::InputTextToCp932(bytes), name, KakinokiOptions{}, csa, separator_due);
      if (stats.games == 0 && !stats.problems.empty()) {
        // Every game refused (a diagram that cannot be read, an unknown handicap): no board to show.
        kind_ = kind;
        r.problem = stats.problems.front();
        return r;
      }
      r = LoadText(csa.text(), RecordFileKind::kCsa, name, index);
      r.line = 0;  // a line of the converted text, not of the file
      kind_ = kind;
      if (r.opened && stats.refused_games > 0) {
        r.complete = false;
        r.problem = stats.problems.empty() ? "some games could not be read" : stats.problems.front();
      } else if (r.opened && (stats.failed_games > 0 || stats.failed_variations > 0)) {
        r.complete = false;
        r.problem = "some moves could not be converted (see the annotations)";
      }
      return r;
    }
    case RecordFileKind::kCsa:
    case RecordFileKind::kPcl: {
      Archive ar = Archive::FromText(bytes);
      DocumentResult d;
      if (index > 0) {
        const SelectScan scan = kind == RecordFileKind::kCsa ? ScanGames(ar) : ScanProblems(ar);
        if (index >= static_cast<int>(scan.entries.size())) {
          r.problem = "there is no entry " + std::to_string(index) + " (the file holds " +
                      std::to_string(scan.entries.size()) + ")";
          return r;
        }
        d = kind == RecordFileKind::kCsa ? ReadSelectedGame(ar, scan.entries[index], game_)
                                          : ReadSelectedProblem(ar, scan.entries[index], problem_);
      } else {
        document().DeleteContents();
        d = document().Serialize(ar);
      }
      // A start position that was refused leaves no board worth showing.
      r.opened = d.loaded && d.body.status != CsaBodyResult::kBadPosition;
      r.complete = d.ok();
      if (!d.loaded) {
        r.problem = "no record could be read";
      } else if (d.header != HeaderStatus::kOk) {
        r.problem = "the header was not read whole";
      } else if (!d.body.ok()) {
        r.problem = CsaBodyProblemText(d.body);
        r.line = d.body.bad_line_number;
      }
      return r;
    }
    case RecordFileKind::kUsi:
      // A .sfen file: its first line.
      return LoadUsiText(bytes.substr(0, bytes.find('\n')));
    case RecordFileKind::kSkb: {
      Archive ar = Archive::FromBytes(std::string(bytes));
      game_.DeleteContents();
      r.opened = r.complete = game_.ReceiveSetup(ar);
      if (!r.opened) r.problem = "not a position file";
      return r;
    }
    default:
      r.problem = "unknown kind of file: " + std::string(name);
      return r;
  }
}

RecordFileResult RecordFile::LoadUsiText(std::string_view text) {
  RecordFileResult r;
  kind_ = RecordFileKind::kUsi;
  UsiLine line;
  r.problem = ReadUsiLine(text, line);
  if (r.problem.empty()) r.problem = CheckSfenPosition(line.start);
  if (!r.problem.empty()) return r;
  game_.DeleteContents();
  r.problem = LoadUsiLine(line, board_);
  r.opened = true;
  r.complete = r.problem.empty();
  return r;
}

std::string RecordFile::Text() { return document().GetRecordCsaText(); }

}  // namespace record
