#include "app/core/app_folders.h"

#include <filesystem>

namespace app {

namespace {

std::string AsFolder(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string Clean(const std::string& path) {
  return AsFolder(std::filesystem::path(path).lexically_normal().generic_string());
}

}  // namespace

AppFolders AppFolders::Inside(const std::string& root) {
  const std::string r = AsFolder(root);
  return AppFolders{r, r, r, r};
}

AppFolders ChooseFolders(const FolderPlaces& places, const std::function<bool(const std::string&)>& exists) {
  AppFolders f;
  const std::string beside = AsFolder(places.exe_dir);
  std::vector<std::string> candidates{beside, Clean(beside + "../share/komaraku")};
  for (const std::string& d : places.data_dirs) {
    if (!d.empty()) candidates.push_back(AsFolder(d) + "komaraku/");
  }
  f.assets = beside;
  for (const std::string& c : candidates) {
    if (exists(c + kAssetMarker)) {
      f.assets = c;
      break;
    }
  }
  f.config = AsFolder(places.config_home) + "komaraku/";
  f.data = AsFolder(places.data_home) + "komaraku/";
  f.cache = AsFolder(places.cache_home) + "komaraku/";
  return f;
}

std::string SettingsToCarryOver(const std::string& exe_dir, const AppFolders& folders,
                                const std::function<bool(const std::string&)>& exists) {
  const std::string old = AsFolder(exe_dir) + "komaraku.INI";
  if (!exists(old) || exists(folders.SettingsFile())) return {};
  return old;
}

}  // namespace app
