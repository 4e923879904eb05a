#include "cli/convert_records.h"

#include <cctype>
#include <set>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/record_io.h"
#include "platform/files.h"
#include "platform/message_sink.h"
#include "record/record_file.h"

using namespace record;

namespace kzb {

namespace {

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The output of an input: its base name with the format's extension, numbered from "-2" on when an
// earlier input of the run has the name, so no output of the run replaces another.
std::string OutputFor(const RecordConversion& c, const std::string& input, std::set<std::string>& taken) {
  const std::string base = BaseName(input), ext = GameFileExtension(c.to);
  std::string name = base + ext;
  for (int n = 2; !taken.insert(Lower(name)).second; ++n) name = base + "-" + std::to_string(n) + ext;
  return c.out_dir.empty() || c.out_dir.back() == '/' ? c.out_dir + name : c.out_dir + "/" + name;
}

// Converts one input; false when it was not written whole (said why).
bool ConvertOne(const RecordConversion& c, const std::string& input, const std::string& output) {
  RecordFile file;
  bool opened = false;
  if (LoadRecordFile("convert", input, 0, file, opened) != kOk || !opened) {
    Err("kzb convert: " + input + ": not converted");
    return false;
  }
  if (file.is_problem() || file.kind() == RecordFileKind::kSkb || file.kind() == RecordFileKind::kUnknown) {
    Err("kzb convert: " + input + ": not a game record (.csa .kif .kifu .ki2)");
    return false;
  }
  GameHeader& header = file.game().header();
  if (header.Field(GameHeader::kEvent).empty() && !c.event.empty()) header.SetField(GameHeader::kEvent, c.event);
  if (header.Field(GameHeader::kDate).empty() && !c.date.empty()) header.SetField(GameHeader::kDate, c.date);
  if (OutputIsInput("convert", input, output)) return false;
  if (!c.overwrite && platform::FileExists(output)) {
    Err("kzb convert: " + output + " exists; not written (--overwrite replaces it)");
    return false;
  }
  if (!WriteOutputFile("convert", output, GameFileBytes(file.game(), c.to))) return false;
  RecordFile second;
  if (second.Load(input, 1).opened) {
    Err("kzb convert: " + input + ": holds more than one game; only the first was converted");
    return false;
  }
  return true;
}

}  // namespace

int ConvertRecords(const RecordConversion& c) {
  if (!platform::IsDirectory(c.out_dir)) {
    Err("kzb convert: the output folder " + c.out_dir + " does not exist");
    return kFailed;
  }
  std::set<std::string> taken;
  int written = 0, failed = 0;
  for (const std::string& input : c.inputs) {
    const std::string output = OutputFor(c, input, taken);
    if (ConvertOne(c, input, output)) {
      ++written;
    } else {
      ++failed;
    }
  }
  Err(std::to_string(written) + " files written, " + std::to_string(failed) + " not");
  return failed == 0 ? kOk : kFailed;
}

}  // namespace kzb
