// The select-read dialogs (CSA 217, PCL 242) without their window: which file they offer first, the scan of
// a multi-game or multi-problem file into list lines, the texts the dialog shows while and after it scans,
// and the loading of the chosen entry into a record document.
#pragma once
#include <string>

#include "platform/events.h"
#include "platform/settings_file.h"
#include "record/record_document.h"
#include "record/select_read.h"

namespace app {

// What differs between the two dialogs. Texts are UTF-8 (they go to Qt), the heading CP932.
struct SelectReadKind {
  bool problems;             // PCL problems rather than CSA games
  const char* title;         // "CSAファイル選択読込" / "PCLファイル選択読込"
  const char* filter;        // the file dialog's filter in Qt form
  const char* heading;       // the list's column heading (CP932)
  const char* settings_key;  // where KF_Section remembers the file
};
const SelectReadKind& SelectReadKindOf(bool problems);

// The file the dialog offers first (CP932 path): the remembered one, else kzbkif.csa/.pcl in $SHGDB.
std::string FirstSelectReadFile(const platform::SettingsFile& settings, const SelectReadKind& kind);
void RememberSelectReadFile(platform::SettingsFile& settings, const SelectReadKind& kind, const std::string& path);

// A scanned file: its bytes, to which the entries' offsets refer, and the list.
struct SelectReadList {
  std::string path;  // CP932
  std::string bytes;
  bool readable = false;  // false: the file could not be read, and nothing was listed
  record::SelectScan scan;
};

// Reads and scans the file; safe to run on a worker thread (it touches nothing but its arguments).
SelectReadList ScanSelectReadFile(const std::string& path, const SelectReadKind& kind,
                                  const platform::StopFlag* stop, const record::ScanProgress& progress);

// An entry's list line as the dialog shows it (CP932): an entry without a number (most files give none)
// keeps the number's column blank, so the line's columns stay under the heading's.
std::string ShownListLine(const record::SelectEntry& entry, const SelectReadKind& kind);

// The progress line while scanning ("20 件") and the line after it, UTF-8.
std::string ScanCountText(int entries);
std::string ScanEndText(const SelectReadList& list);
// The message box owed when a scan listed nothing (CP932), empty when the list is fine or was stopped.
std::string ScanProblemMessage(const SelectReadList& list, const SelectReadKind& kind);

// Loads entry k into the document (a GameDocument for CSA, a ProblemDocument for PCL), which is cleared
// first. REQUIRES: 0 <= k < entries.
record::DocumentResult LoadSelectReadEntry(const SelectReadList& list, const SelectReadKind& kind, int k,
                                           record::RecordDocument& doc);

}  // namespace app
