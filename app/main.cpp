// komaraku: the 駒楽工房 GUI. Usage: komaraku [--no-title] [--quit-after-start] [FILE.csa | FILE.pcl | FILE.kif | FILE.ki2]
// (--no-title skips the title window's wait; tests and screenshots use it. --quit-after-start closes the
// main window as soon as the event loop runs, so a test sees what a start and an end write.)
#include <QApplication>
#include <QTimer>

#include "app/app_paths.h"
#include "app/application.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("komaraku"));
  app::AppOptions options;
  options.program_dir = QCoreApplication::applicationDirPath() + '/';
  options.folders = app::StandardFolders(options.program_dir);
  bool quit_after_start = false;
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--no-title")) {
      options.title = false;
    } else if (args[i] == QStringLiteral("--quit-after-start")) {
      quit_after_start = true;
    } else {
      options.files << args[i];
    }
  }
  app::Application app(options);
  const int code = app.Start();
  if (code >= 0) return code;
  if (quit_after_start) QTimer::singleShot(0, app.main_window(), [&app] { app.main_window()->close(); });
  return QApplication::exec();
}
