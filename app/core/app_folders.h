// Where komaraku keeps its files, decided once at start from the executable's folder and the XDG base
// directories: the program's read-only assets (images, sound, samples), the settings file, the default
// database and the regenerable files (drawn stand labels). Nothing is ever written beside the executable.
// Paths are UTF-8 and every folder ends in '/'.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace app {

// What the choice is made from: the XDG homes (already defaulted: $XDG_CONFIG_HOME or ~/.config, ...)
// and the data folders searched for assets, most important first.
struct FolderPlaces {
  std::string exe_dir;
  std::string config_home, data_home, cache_home;
  std::vector<std::string> data_dirs;
};

struct AppFolders {
  std::string assets;  // back.dib, kmfont.dib, KBox.dib, labels, kmsound.wav, samples/
  std::string config;  // the settings file
  std::string data;    // the default database
  std::string cache;   // stand labels drawn because the assets lack them

  std::string SettingsFile() const { return config + "komaraku.ini"; }
  std::string DefaultDatabase() const { return data + "database"; }
  // All four in one folder: tests and screenshots keep everything in a temporary folder of their own.
  static AppFolders Inside(const std::string& root);
};

// The marker of a complete asset folder: the piece images, without which no board can be drawn.
inline constexpr char kAssetMarker[] = "kmfont.dib";

// Assets: beside the executable when the marker is there (a build tree), else <exe>/../share/komaraku
// (an installed prefix), else the first data folder's komaraku holding the marker; with none of these,
// beside the executable, so the missing-image message names a place the user knows.
AppFolders ChooseFolders(const FolderPlaces& places, const std::function<bool(const std::string&)>& exists);

// The settings file of an older layout, beside the program, to carry over once: the old path when it
// exists and the new one does not, else empty.
std::string SettingsToCarryOver(const std::string& exe_dir, const AppFolders& folders,
                                const std::function<bool(const std::string&)>& exists);

}  // namespace app
