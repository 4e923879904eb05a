// kzb's subcommands. Each lives in a file of its own and is listed in the table of main.cpp.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kzb {

// Exit statuses shared by every subcommand.
enum Exit { kOk = 0, kFailed = 1, kUsage = 2 };

using Args = std::vector<std::string>;  // the words after the subcommand name, CP932

// "-x" or "--word" (a negative number is not): never taken as a file or directory name, so that
// `kzb db create --help` cannot make a database named "--help".
inline bool LooksLikeOption(std::string_view word) {
  return word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9');
}

struct Usage;

struct Command {
  const char* name;
  const Usage* usage;  // its line in `kzb help`, its usage errors and its --help page
  int (*run)(const Args& args);
  int (*help)(const Args& args) = nullptr;  // a --help of its own (one page per subcommand); else usage's
};

}  // namespace kzb
