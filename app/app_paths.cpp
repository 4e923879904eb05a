#include "app/app_paths.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace app {

AppFolders StandardFolders(const QString& exe_dir) {
  // The generic locations, not the application ones: they do not depend on the names a test or the
  // screenshot program gives their QApplication.
  FolderPlaces places;
  places.exe_dir = exe_dir.toStdString();
  places.config_home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
  places.data_home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
  places.cache_home = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation).toStdString();
  for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
    places.data_dirs.push_back(d.toStdString());
  }
  return ChooseFolders(places, [](const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); });
}

}  // namespace app
