// The settings file beside the program: a private profile file, read and written with the semantics the
// program has always relied on.
//
// Layout (CP932 text, CRLF line ends when written; LF alone is accepted on reading):
//   ; comment
//   [Section]
//   Key=value
// - Section and key names compare without regard to ASCII case; the first occurrence wins on reading and
//   is the one updated on writing. Spaces around names and values are ignored; a value enclosed in a
//   matching pair of double or single quotes loses them.
// - Integers are written in decimal. Reading one takes an optional sign and the leading decimal digits
//   (a value without digits reads 0); a missing key gives the caller's default.
// - A write of a key that does not exist appends it at the end of its section, creating the section at the
//   end of the file when needed. Comments, blank lines and the order of everything else are kept.
// - Every call reads the file afresh and every write goes straight to disk (through a temporary file and
//   a rename), so two processes that share the file see each other's writes, as a second start that hands
//   a file name to the running one needs.
// - String lists: `<stem>StringNum` holds the count and `<stem>StringItem0`, `...Item1`, ... the items.
//   Writing a shorter list deletes the items from the new count up to the old one; reading skips empty
//   items and missing ones.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class SettingsFile {
 public:
  explicit SettingsFile(std::string cp932_path) : path_(std::move(cp932_path)) {}

  const std::string& path() const { return path_; }

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
  int GetInt(std::string_view section, std::string_view key, int fallback) const;

  // False when the file could not be written; the file is then unchanged.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInt(std::string_view section, std::string_view key, int value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  std::vector<std::string> ReadStringList(std::string_view section, std::string_view stem) const;
  bool WriteStringList(std::string_view section, std::string_view stem, const std::vector<std::string>& items);

  // The integer a value reads as (see above).
  static int ParseInt(std::string_view value);

 private:
  std::string path_;
};

}  // namespace platform
