// komaraku_screenshots OUTDIR: renders the windows of the program without a display (offscreen) into PNG
// files, so a person can look at them: a game in progress, a tsume problem, a reversed board and the
// position set-up window.
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <cstdio>

#include "app/application.h"
#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "app/setup_window.h"
#include "rules/piece_code.h"

using namespace app;

namespace {

bool Save(QWidget* w, const QDir& dir, const char* name) {
  QApplication::processEvents();
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (!w->grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: komaraku_screenshots OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());
  // A private program directory: the images come from the build, the settings stay out of it.
  QTemporaryDir home;
  for (const char* f : {"back.dib", "kmfont.dib", "KBox.dib", "sg0.dib", "sg1.dib", "su0.dib", "su1.dib", "kmsound.wav"}) {
    QFile::copy(QCoreApplication::applicationDirPath() + '/' + f, home.filePath(QString::fromLatin1(f)));
  }
  AppOptions options;
  options.program_dir = home.path() + '/';
  options.title = false;
  options.files << QCoreApplication::applicationDirPath() + "/samples/sample-game.csa";
  Application app(options);
  if (app.Start() >= 0) return 1;
  MainWindow* frame = app.main_window();
  frame->resize(1000, 720);

  BoardView* game = frame->ActiveView();
  if (!game) return 1;
  game->Execute(cmd::kLast);
  for (int i = 0; i < 4; ++i) game->Execute(cmd::kBack);
  game->controller().SetRecordEditing(true);
  frame->UpdateCommandUi();
  bool ok = Save(frame, out, "main-game.png") && Save(game, out, "board-game.png");

  BoardView* tsume = app.OpenDocument(QCoreApplication::applicationDirPath() + "/samples/sample-tsume.pcl", DocKind::kTsume);
  if (!tsume) return 1;
  frame->mdi()->cascadeSubWindows();
  frame->UpdateCommandUi();
  ok = ok && Save(frame, out, "main-tsume.png") && Save(tsume, out, "board-tsume.png");

  frame->Activate(game);
  game->Execute(cmd::kFlip);
  ok = ok && Save(game, out, "board-reversed.png");
  game->Execute(cmd::kFlip);

  app.OpenSetupWindow(tsume);
  SetupWindow* setup = app.setup_window();
  setup->view()->Execute(cmd::kLayoutBox);
  setup->view()->Execute(cmd::kLayoutRookLance);
  ok = ok && Save(setup, out, "setup-window.png");
  return ok ? 0 : 1;
}
