// Any bytes as a settings file: reading never fails, and a write followed by a read gives back what was
// written while the rest of the file keeps its keys.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/komaraku_fuzz_settings_" + std::to_string(::getpid()) + ".INI";
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!platform::WriteWholeFile(path, bytes)) return 0;
  platform::SettingsFile s(path);
  const int before = s.GetInt("SETTING", "KSound", 7);
  std::vector<std::string> list = s.ReadStringList("STRING_LIST", "Senkei");
  for (const std::string& item : list) {
    if (item.empty()) std::abort();
  }
  if (!s.WriteString("TOOLBAR", "VisiblePlayBar", "1")) return 0;
  if (s.GetInt("TOOLBAR", "VisiblePlayBar", 0) != 1) std::abort();
  if (s.GetInt("SETTING", "KSound", 7) != before) std::abort();
  if (!s.WriteStringList("STRING_LIST", "Senkei", {"a", "b"})) return 0;
  if (s.ReadStringList("STRING_LIST", "Senkei") != std::vector<std::string>{"a", "b"}) std::abort();
  platform::RemoveFile(path);
  return 0;
}
