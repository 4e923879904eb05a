// komaraku: the 駒楽工房 GUI. Usage: komaraku [--no-title] [FILE.csa | FILE.pcl | FILE.kif | FILE.ki2]
// (--no-title skips the title window's wait; tests and screenshots use it).
#include <QApplication>

#include "app/application.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("komaraku"));
  app::AppOptions options;
  options.program_dir = QCoreApplication::applicationDirPath() + '/';
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--no-title")) {
      options.title = false;
    } else {
      options.files << args[i];
    }
  }
  app::Application app(options);
  const int code = app.Start();
  if (code >= 0) return code;
  return QApplication::exec();
}
