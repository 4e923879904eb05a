#include "platform/settings_file.h"

#include "platform/files.h"

namespace platform {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// The file as lines, with the edits a write needs.
class Profile {
 public:
  void Parse(std::string_view text) {
    lines_.clear();
    while (!text.empty()) {
      size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.emplace_back(line);
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
  }

  std::string Text() const {
    std::string out;
    for (const std::string& l : lines_) out += l + "\r\n";
    return out;
  }

  // Index of the header line of a section, or -1.
  int SectionLine(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
      std::string_view name;
      if (IsHeader(lines_[i], &name) && SameName(name, section)) return static_cast<int>(i);
    }
    return -1;
  }

  // One past the last line that belongs to the section starting at `header`.
  int SectionEnd(int header) const {
    int i = header + 1;
    while (i < static_cast<int>(lines_.size()) && !IsHeader(lines_[i], nullptr)) ++i;
    return i;
  }

  int KeyLine(std::string_view section, std::string_view key, std::string_view* value) const {
    int header = SectionLine(section);
    if (header < 0) return -1;
    int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
      std::string_view k, v;
      if (IsEntry(lines_[i], &k, &v) && SameName(k, key)) {
        if (value) *value = v;
        return i;
      }
    }
    return -1;
  }

  void Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    int at = KeyLine(section, key, nullptr);
    if (at >= 0) {
      lines_[at] = line;
      return;
    }
    int header = SectionLine(section);
    if (header < 0) {
      lines_.push_back("[" + std::string(section) + "]");
      lines_.push_back(line);
      return;
    }
    // After the section's last entry, so blank lines that separate sections stay where they are.
    int end = SectionEnd(header);
    while (end > header + 1 && Trim(lines_[end - 1]).empty()) --end;
    lines_.insert(lines_.begin() + end, line);
  }

  bool Delete(std::string_view section, std::string_view key) {
    int at = KeyLine(section, key, nullptr);
    if (at < 0) return false;
    lines_.erase(lines_.begin() + at);
    return true;
  }

  bool DeleteSection(std::string_view section) {
    int header = SectionLine(section);
    if (header < 0) return false;
    lines_.erase(lines_.begin() + header, lines_.begin() + SectionEnd(header));
    return true;
  }

 private:
  static bool IsHeader(std::string_view line, std::string_view* name) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    if (name) *name = Trim(line.substr(1, close - 1));
    return true;
  }

  static bool IsEntry(std::string_view line, std::string_view* key, std::string_view* value) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    return true;
  }

  std::vector<std::string> lines_;
};

Profile Load(const std::string& path) {
  Profile p;
  std::string bytes;
  if (ReadWholeFile(path, bytes)) p.Parse(bytes);
  return p;
}

// Whole or not at all, so that a reader never sees half a file nor a full disk loses the old one.
bool Store(const std::string& path, const Profile& p) { return WriteWholeFile(path, p.Text()); }

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return std::string(v);
}

std::string NumKey(std::string_view stem) { return std::string(stem) + "StringNum"; }
std::string ItemKey(std::string_view stem, int i) { return std::string(stem) + "StringItem" + std::to_string(i); }

}  // namespace

int SettingsFile::ParseInt(std::string_view value) {
  value = Trim(value);
  bool negative = false;
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  long long n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > 0x7FFFFFFFLL) n = 0x80000000LL;  // saturate; keeps the arithmetic defined
  }
  if (negative) n = -n;
  if (n > 0x7FFFFFFFLL) n = 0x7FFFFFFFLL;
  return static_cast<int>(n);
}

std::optional<std::string> SettingsFile::Find(std::string_view section, std::string_view key) const {
  Profile p = Load(path_);
  std::string_view value;
  if (p.KeyLine(section, key, &value) < 0) return std::nullopt;
  return Unquote(value);
}

std::string SettingsFile::GetString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
  return Find(section, key).value_or(std::string(fallback));
}

int SettingsFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  std::optional<std::string> v = Find(section, key);
  return v ? ParseInt(*v) : fallback;
}

bool SettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Profile p = Load(path_);
  p.Set(section, key, value);
  return Store(path_, p);
}

bool SettingsFile::WriteInt(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool SettingsFile::DeleteKey(std::string_view section, std::string_view key) {
  Profile p = Load(path_);
  if (!p.Delete(section, key)) return true;
  return Store(path_, p);
}

bool SettingsFile::DeleteSection(std::string_view section) {
  Profile p = Load(path_);
  if (!p.DeleteSection(section)) return true;
  return Store(path_, p);
}

std::vector<std::string> SettingsFile::ReadStringList(std::string_view section, std::string_view stem) const {
  Profile p = Load(path_);
  std::string_view value;
  int count = p.KeyLine(section, NumKey(stem), &value) >= 0 ? ParseInt(value) : 0;
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) {
    if (p.KeyLine(section, ItemKey(stem, i), &value) < 0) continue;
    std::string item = Unquote(value);
    if (!item.empty()) items.push_back(std::move(item));
  }
  return items;
}

bool SettingsFile::WriteStringList(std::string_view section, std::string_view stem,
                                   const std::vector<std::string>& items) {
  Profile p = Load(path_);
  std::string_view value;
  int old_count = p.KeyLine(section, NumKey(stem), &value) >= 0 ? ParseInt(value) : 0;
  const int count = static_cast<int>(items.size());
  p.Set(section, NumKey(stem), std::to_string(count));
  for (int i = 0; i < count; ++i) p.Set(section, ItemKey(stem, i), items[i]);
  for (int i = count; i < old_count; ++i) p.Delete(section, ItemKey(stem, i));
  return Store(path_, p);
}

}  // namespace platform
