// Select-read of a multi-game CSA file or a multi-problem PCL file (games and problems separated by "/"
// lines): a scan that lists every entry with the place where it starts, and the loading of one of them.
// The scan runs on a worker thread in the GUI: it polls a stop flag between entries and reports its
// count every 10 entries.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/events.h"
#include "record/record_document.h"

namespace record {

class Archive;

// Offsets are places in the archive's text, that is after a UTF-8 file has been converted: load the entry
// from an archive made the same way (Archive::FromText of the same bytes).
struct SelectEntry {
  size_t offset = 0;  // a place at or before the start of the entry
  int skip = 0;       // "/" lines to pass from there
  std::string line;   // the list line (CP932)
};

struct SelectScan {
  std::vector<SelectEntry> entries;
  bool stopped = false;    // the stop flag ended the scan
  bool no_memory = false;  // an annotation could not be kept
};

using ScanProgress = std::function<void(int entries_so_far)>;

// Scans from the archive's position to its end. `stop` and `progress` may be null.
SelectScan ScanGames(Archive& ar, const platform::StopFlag* stop = nullptr, const ScanProgress& progress = {});
SelectScan ScanProblems(Archive& ar, const platform::StopFlag* stop = nullptr, const ScanProgress& progress = {});

// Loads one entry into a document, which is cleared first.
DocumentResult ReadSelectedGame(Archive& ar, const SelectEntry& entry, GameDocument& doc);
DocumentResult ReadSelectedProblem(Archive& ar, const SelectEntry& entry, ProblemDocument& doc);

// The file the select-read dialogs offer first: the one remembered (profile section "KF_Section", key
// "KF_CsaFileName" or "KF_PclFileName"), else "kzbkif.csa" / "kzbkif.pcl" in the database folder named by
// the environment variable SHGDB.
constexpr char kSelectReadSection[] = "KF_Section";
constexpr char kCsaFileKey[] = "KF_CsaFileName";
constexpr char kPclFileKey[] = "KF_PclFileName";
std::string DefaultSelectReadFile(const std::string& remembered, bool problems);

// The title of a document loaded by select-read: the file name without folder and extension, then k.
std::string SelectedTitle(std::string_view path, int k);

}  // namespace record
