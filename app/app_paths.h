// The folders of a normal run (see app/core/app_folders.h), found through Qt's XDG base directories.
#pragma once
#include <QString>

#include "app/core/app_folders.h"

namespace app {

// From the executable's folder and the XDG variables (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME,
// XDG_CACHE_HOME, XDG_DATA_DIRS).
AppFolders StandardFolders(const QString& exe_dir);

// A folder of AppFolders as a QString ending in '/'.
inline QString FolderText(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace app
