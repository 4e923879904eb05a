#include "cli/record_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/console.h"
#include "platform/files.h"

using namespace record;

namespace kzb {

std::string ProblemText(const std::string& path, const RecordFileResult& result) {
  return path + (result.line > 0 ? ":" + std::to_string(result.line) : "") + ": " + result.problem;
}

int LoadRecordFile(std::string_view command, const std::string& path, int index, RecordFile& file, bool& opened) {
  const RecordFileResult r = file.Load(path, index);
  opened = r.opened;
  if (r.complete) return kOk;
  Err("kzb " + std::string(command) + ": " + ProblemText(path, r));
  return kFailed;
}

bool WriteOutputFile(std::string_view command, const std::string& path, std::string_view cp932_text) {
  if (platform::WriteWholeFile(path, cp932_text)) return true;
  Err("kzb " + std::string(command) + ": cannot write " + path + ": " + std::strerror(errno));
  return false;
}

bool OutputIsInput(std::string_view command, const std::string& input, const std::string& output) {
  if (!platform::SameFile(input, output)) return false;
  Err("kzb " + std::string(command) + ": the output " + output + " is the input file; nothing written");
  return true;
}

void PrintText(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (char c : text) {
    if (c != '\r') lines += c;
  }
  Out(lines);
}

bool ParseCount(const std::string& text, int max, int& value) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || n < 0 || n > max) return false;
  value = static_cast<int>(n);
  return true;
}

}  // namespace kzb
