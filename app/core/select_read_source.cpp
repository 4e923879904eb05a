#include "app/core/select_read_source.h"

#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/summary_line.h"

namespace app {

namespace {

const SelectReadKind kGames{false, "CSAファイル選択読込", "CSAファイル (*.csa);;全ファイル (*)",
                            record::kGameListHeading, record::kCsaFileKey};
const SelectReadKind kProblems{true, "PCLファイル選択読込", "PCLファイル (*.pcl);;全ファイル (*)",
                               record::kProblemListHeading, record::kPclFileKey};

}  // namespace

const SelectReadKind& SelectReadKindOf(bool problems) { return problems ? kProblems : kGames; }

std::string FirstSelectReadFile(const platform::SettingsFile& settings, const SelectReadKind& kind) {
  return record::DefaultSelectReadFile(settings.GetString(record::kSelectReadSection, kind.settings_key, ""),
                                       kind.problems);
}

void RememberSelectReadFile(platform::SettingsFile& settings, const SelectReadKind& kind, const std::string& path) {
  settings.WriteString(record::kSelectReadSection, kind.settings_key, path);
}

SelectReadList ScanSelectReadFile(const std::string& path, const SelectReadKind& kind,
                                  const platform::StopFlag* stop, const record::ScanProgress& progress) {
  SelectReadList list;
  list.path = path;
  list.readable = platform::ReadWholeFile(path, list.bytes);
  if (!list.readable) return list;
  record::Archive ar = record::Archive::FromText(list.bytes);
  list.scan = kind.problems ? record::ScanProblems(ar, stop, progress) : record::ScanGames(ar, stop, progress);
  return list;
}

std::string ShownListLine(const record::SelectEntry& entry, const SelectReadKind& kind) {
  if (entry.line.empty() || entry.line[0] != ' ') return entry.line;
  // The number's column ends where the heading's second column begins, less its separating blank.
  const std::string_view heading(kind.heading);
  const size_t second = heading.find_first_not_of(' ', heading.find(' '));
  return std::string(second - 1, ' ') + entry.line;
}

std::string ScanCountText(int entries) { return std::to_string(entries) + " 件"; }

std::string ScanEndText(const SelectReadList& list) {
  const std::string count = ScanCountText(static_cast<int>(list.scan.entries.size()));
  if (list.scan.stopped) return count + " (中断しました)";
  return "全 " + count;
}

std::string ScanProblemMessage(const SelectReadList& list, const SelectReadKind& kind) {
  using platform::Utf8ToCp932;
  if (!list.readable) return Utf8ToCp932("ファイル ") + list.path + Utf8ToCp932(" がオープンできません。");
  if (list.scan.no_memory) return "No memory!!";
  if (list.scan.entries.empty() && !list.scan.stopped) {
    return Utf8ToCp932("ファイル ") + list.path + Utf8ToCp932(kind.problems ? " に詰将棋がありません。" : " に棋譜がありません。");
  }
  return {};
}

record::DocumentResult LoadSelectReadEntry(const SelectReadList& list, const SelectReadKind& kind, int k,
                                           record::RecordDocument& doc) {
  record::Archive ar = record::Archive::FromText(list.bytes);
  const record::SelectEntry& entry = list.scan.entries[static_cast<size_t>(k)];
  if (kind.problems) return record::ReadSelectedProblem(ar, entry, static_cast<record::ProblemDocument&>(doc));
  return record::ReadSelectedGame(ar, entry, static_cast<record::GameDocument&>(doc));
}

}  // namespace app
