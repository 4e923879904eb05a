// Where the program looks for its assets and keeps its settings, database and drawn labels.
#include "app/core/app_folders.h"

#include <gtest/gtest.h>

#include <set>

namespace app {
namespace {

FolderPlaces Places() {
  FolderPlaces p;
  p.exe_dir = "/opt/k/bin";
  p.config_home = "/home/u/.config";
  p.data_home = "/home/u/.local/share";
  p.cache_home = "/home/u/.cache/";
  p.data_dirs = {"/home/u/.local/share", "/usr/share/"};
  return p;
}

AppFolders Choose(std::set<std::string> files) {
  return ChooseFolders(Places(), [&](const std::string& f) { return files.count(f) > 0; });
}

TEST(AppFolders, TheWritableFoldersAreTheXdgHomesKomaraku) {
  const AppFolders f = Choose({});
  EXPECT_EQ(f.config, "/home/u/.config/komaraku/");
  EXPECT_EQ(f.SettingsFile(), "/home/u/.config/komaraku/komaraku.ini");
  EXPECT_EQ(f.DefaultDatabase(), "/home/u/.local/share/komaraku/database");
  EXPECT_EQ(f.cache, "/home/u/.cache/komaraku/");
}

TEST(AppFolders, AssetsAreLookedForBesideTheProgramThenInItsPrefixThenInTheDataFolders) {
  EXPECT_EQ(Choose({"/opt/k/bin/kmfont.dib", "/opt/k/share/komaraku/kmfont.dib"}).assets, "/opt/k/bin/");
  EXPECT_EQ(Choose({"/opt/k/share/komaraku/kmfont.dib", "/usr/share/komaraku/kmfont.dib"}).assets,
            "/opt/k/share/komaraku/");
  EXPECT_EQ(Choose({"/usr/share/komaraku/kmfont.dib"}).assets, "/usr/share/komaraku/");
  // Other files than the piece images do not make an asset folder; with none, the program's own folder
  // is named, so the missing-image message points somewhere the user knows.
  EXPECT_EQ(Choose({"/opt/k/share/komaraku/back.dib"}).assets, "/opt/k/bin/");
}

TEST(AppFolders, AnOldSettingsFileBesideTheProgramIsCarriedOverOnlyWhileTheNewOneIsMissing) {
  const AppFolders f = Choose({});
  const std::string old = "/opt/k/bin/komaraku.INI";
  auto with = [](std::set<std::string> files) { return [files](const std::string& p) { return files.count(p) > 0; }; };
  EXPECT_EQ(SettingsToCarryOver("/opt/k/bin", f, with({old})), old);
  EXPECT_EQ(SettingsToCarryOver("/opt/k/bin/", f, with({old, f.SettingsFile()})), "");
  EXPECT_EQ(SettingsToCarryOver("/opt/k/bin/", f, with({})), "");
}

TEST(AppFolders, InsideOneFolderKeepsEverythingThere) {
  const AppFolders f = AppFolders::Inside("/tmp/x");
  EXPECT_EQ(f.assets, "/tmp/x/");
  EXPECT_EQ(f.SettingsFile(), "/tmp/x/komaraku.ini");
  EXPECT_EQ(f.DefaultDatabase(), "/tmp/x/database");
  EXPECT_EQ(f.cache, "/tmp/x/");
}

}  // namespace
}  // namespace app
