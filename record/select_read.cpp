#include "record/select_read.h"

#include "platform/environment.h"
#include "record/archive.h"
#include "record/csa_body.h"
#include "record/summary_line.h"

namespace record {

namespace {

// Passes lines up to and including the next "/" line; false at the end of the input.
bool SkipPastSeparator(Archive& ar) {
  std::string line;
  while (ar.ReadLine(line)) {
    if (SkipCsaBlanks(line).substr(0, 1) == "/") return true;
  }
  return false;
}

// True when nothing but blank lines remains.
bool OnlyBlankLeft(Archive& ar) {
  const size_t at = ar.Tell();
  std::string line;
  bool blank = true;
  while (blank && ar.ReadLine(line)) blank = SkipCsaBlanks(line).empty();
  ar.Seek(at);
  return blank;
}

template <typename Header, typename ReadHeader, typename ListLine>
SelectScan Scan(Archive& ar, const platform::StopFlag* stop, const ScanProgress& progress, ReadHeader read,
                ListLine list_line) {
  SelectScan scan;
  platform::NullMessageSink quiet;
  Header header;
  header.SetMessageSink(&quiet);
  while (!OnlyBlankLeft(ar)) {
    if (stop && stop->IsRaised()) {
      scan.stopped = true;
      break;
    }
    SelectEntry entry;
    entry.offset = ar.Tell();
    int reversed = 0;
    if (read(header, reversed, ar, quiet, HeaderMode::kScan) == HeaderStatus::kNoMemory) {
      scan.no_memory = true;
      break;
    }
    entry.line = list_line(header);
    scan.entries.push_back(std::move(entry));
    if (progress && scan.entries.size() % 10 == 0) progress(static_cast<int>(scan.entries.size()));
    if (!SkipPastSeparator(ar)) break;
  }
  return scan;
}

void GoToEntry(Archive& ar, const SelectEntry& entry) {
  ar.Seek(entry.offset);
  for (int i = 0; i < entry.skip; ++i) SkipPastSeparator(ar);
}

}  // namespace

SelectScan ScanGames(Archive& ar, const platform::StopFlag* stop, const ScanProgress& progress) {
  return Scan<GameHeader>(ar, stop, progress, ReadGameHeaderLayer, [](const GameHeader& h) { return GameListLine(h); });
}

SelectScan ScanProblems(Archive& ar, const platform::StopFlag* stop, const ScanProgress& progress) {
  return Scan<ProblemHeader>(ar, stop, progress, ReadTsumeHeaderLayer, ProblemListLine);
}

DocumentResult ReadSelectedGame(Archive& ar, const SelectEntry& entry, GameDocument& doc) {
  GoToEntry(ar, entry);
  doc.DeleteContents();
  return doc.Serialize(ar);
}

DocumentResult ReadSelectedProblem(Archive& ar, const SelectEntry& entry, ProblemDocument& doc) {
  GoToEntry(ar, entry);
  doc.DeleteContents();
  return doc.Serialize(ar);
}

std::string DefaultSelectReadFile(const std::string& remembered, bool problems) {
  if (!remembered.empty()) return remembered;
  std::string folder = platform::GetEnv("SHGDB").value_or("");
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + (problems ? "kzbkif.pcl" : "kzbkif.csa");
}

std::string SelectedTitle(std::string_view path, int k) {
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name) + std::to_string(k);
}

}  // namespace record
