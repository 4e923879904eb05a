// kzb table load|dump|check|rebuild DIR TABLE [FILE]: tab-separated records in and out of a table, and its
// integrity check and repair.
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/db_lock_guard.h"
#include "cli/usage.h"
#include "dbengine/check.h"
#include "dbengine/record_text.h"
#include "dbengine/table.h"
#include "dbengine/table_path.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace kzb {

extern const Usage kTableUsage = {
    .usage = "kzb table load DIR TABLE FILE.tsv\n"
             "kzb table dump|check|rebuild DIR TABLE",
    .summary = "records in and out, check, repair",
    .about = "Loads tab-separated records into a table of DIR, dumps its records the same way, checks the\n"
             "table and its indexes, or rebuilds them from its data.",
    .failed = "a record or file could not be read or written, or the check found problems",
};

namespace {

int Failed(const std::string& what, int code) {
  Err("kzb table: " + what + "error " + std::to_string(code) + " (" + dbengine::ResultCodeText(code) + ")");
  return kFailed;
}

// The lines of a text, without their CR LF or LF; no line after a final line end.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

int Load(const std::string& path, const std::string& file) {
  std::string bytes;
  if (!platform::ReadWholeFile(file, bytes)) {
    Err("kzb table: cannot read " + file);
    return kFailed;
  }
  dbengine::TableHandle table(dbengine::OpenTable(path));
  if (!table) return Failed("", dbengine::LastResult());
  std::vector<std::string> lines = Lines(platform::InputTextToCp932(bytes));
  std::vector<uint8_t> record(static_cast<size_t>(table->RecordLength()));
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string where = file + ": line " + std::to_string(i + 1) + " (" + std::to_string(i) + " records loaded before it): ";
    std::string problem;
    int rc = dbengine::ParseRecord(*table, lines[i], record.data(), &problem);
    if (rc != dbengine::kOk) {
      return Failed(where + problem + ": ", rc);
    }
    int32_t number;
    if (rc = dbengine::InsertRecord(table.get(), record.data(), &number); rc != dbengine::kOk) return Failed(where, rc);
  }
  if (int rc = dbengine::CloseTable(table.release()); rc != dbengine::kOk) return Failed("closing: ", rc);
  OutLine("loaded " + std::to_string(lines.size()) + " records");
  return kOk;
}

int Dump(const std::string& path) {
  dbengine::TableHandle table(dbengine::OpenTable(path));
  if (!table) return Failed("", dbengine::LastResult());
  std::vector<uint8_t> record(static_cast<size_t>(table->RecordLength()));
  int32_t r = 0;
  int rc;
  for (; (rc = dbengine::ScanRecord(table->table, r, record.data(), &r)) == dbengine::kOk; ++r) {
    OutLine(dbengine::FormatRecord(*table, record.data()));
  }
  return rc == dbengine::kNotFound ? kOk : Failed("record " + std::to_string(r) + ": ", rc);
}

int Check(const std::string& path, const std::string& name) {
  dbengine::TableCheck check;
  if (int rc = dbengine::CheckTable(path, &check); rc != dbengine::kOk) return Failed("", rc);
  if (check.read_only) OutLine(name + ": read-only (can be read, not changed or repaired)");
  for (const dbengine::CheckProblem& p : check.problems) OutLine(name + ": " + dbengine::DescribeProblem(p));
  std::string summary = name + ": " + std::to_string(check.records_in_use) + " records in use";
  for (size_t k = 0; k < check.index_entries.size(); ++k) {
    summary += ", index " + std::to_string(k) + " " + std::to_string(check.index_entries[k]) + " entries";
  }
  OutLine(summary + (check.Ok() ? "; no problems" : "; " + std::to_string(check.problems.size()) + " problems"));
  return check.Ok() ? kOk : kFailed;
}

// One line for a list of records: how many, what, and their numbers (the first 20).
void Records(const std::string& name, const std::vector<int32_t>& records, const std::string& what) {
  if (records.empty()) return;
  std::string line = name + ": " + std::to_string(records.size()) + " records " + what + ":";
  for (size_t i = 0; i < records.size() && i < 20; ++i) line += " " + std::to_string(records[i]);
  OutLine(line + (records.size() > 20 ? " ..." : ""));
}

int Rebuild(const std::string& path, const std::string& name) {
  dbengine::RebuildReport report;
  int rc = dbengine::RebuildTable(path, &report);
  if (report.bitmap_restored) OutLine(name + ": bitmap rewritten from the data and index files");
  Records(name, report.unconfirmed, "in use that no index entry names (perhaps deleted ones)");
  Records(name, report.duplicates_freed, "freed again: other records hold their unique keys");
  Records(name, report.left_out, "left out of a unique index (duplicate keys)");
  if (report.slots_freed > 0) OutLine(name + ": " + std::to_string(report.slots_freed) + " records lost beyond the data file freed");
  if (rc != dbengine::kOk) return Failed("", rc);
  OutLine(name + ": rebuilt, " + std::to_string(report.records) + " records in use");
  return kOk;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

int RunTable(const Args& args) {
  if (args.size() < 3 || LooksLikeOption(args[1]) || LooksLikeOption(args[2])) return UsageError(kTableUsage);
  const std::string& verb = args[0];
  std::string path = dbengine::TablePath(args[1], args[2]);
  // A table is read or changed only while no other program (an import) is changing the database.
  ScopedDatabaseLock lock("kzb table", DirectoryOf(path));
  if (verb == "load" && args.size() == 4) return Load(path, args[3]);
  if (args.size() != 3) return UsageError(kTableUsage);
  if (verb == "dump") return Dump(path);
  if (verb == "check") return Check(path, args[2]);
  if (verb == "rebuild") return Rebuild(path, args[2]);
  return UsageError(kTableUsage);
}

}  // namespace kzb
