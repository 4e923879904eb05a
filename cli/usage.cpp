#include "cli/usage.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/console.h"

namespace kzb {
namespace {

// The option lines as (option, what it does), split at the first two blanks after the option; the
// help page aligns them, so the tables need not.
std::vector<std::pair<std::string, std::string>> OptionRows(const char* options, bool asks) {
  std::vector<std::pair<std::string, std::string>> rows;
  std::string_view rest = options ? options : "";
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    const size_t gap = line.find("  ");
    const size_t text = gap == std::string_view::npos ? line.size() : line.find_first_not_of(' ', gap);
    rows.emplace_back(line.substr(0, gap), text == std::string_view::npos ? "" : line.substr(text));
  }
  if (asks) rows.emplace_back("--yes", "answer yes to every question (without it: asked on the terminal)");
  rows.emplace_back("-h, --help", "this help");
  return rows;
}

}  // namespace

std::string UsageLines(const Usage& usage) {
  std::string text = "usage: ";
  for (const char* c = usage.usage; *c; ++c) {
    text += *c;
    if (*c == '\n') text += "       ";
  }
  return text;
}

int PrintHelp(const Usage& usage) {
  OutLine(UsageLines(usage));
  OutLine("");
  OutLine(usage.about);
  OutLine("");
  OutLine("options:");
  const auto rows = OptionRows(usage.options, usage.asks);
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.first.size());
  for (const auto& [option, text] : rows) OutLine("  " + option + std::string(width + 3 - option.size(), ' ') + text);
  OutLine("");
  OutLine("exit status:");
  OutLine("  0  success");
  OutLine(std::string("  1  ") + usage.failed);
  OutLine("  2  a usage error");
  return kOk;
}

int UsageError(const Usage& usage) {
  Err(UsageLines(usage));
  return kUsage;
}

}  // namespace kzb
