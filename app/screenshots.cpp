// komaraku_screenshots OUTDIR: renders the windows of the program without a display (offscreen) into PNG
// files, so a person can look at them: a game in progress, a tsume problem, a reversed board and the
// position set-up window.
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <cstdio>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_frame.h"
#include "app/setup_frame.h"
#include "app/winkzb_app.h"
#include "rules/piece_code.h"

namespace {

void Play(km::CKBase& board, int from, int to, int promote = -1) {
  PIECE* p = board.PieceAt(ToBoardIndex(from));
  if (p) p->MoveTo(ToBoardIndex(to), promote, -1);
}

void Drop(km::CKBase& board, int side, int kind, int to) {
  const int index = board.LastPieceOfKind(side, kind);
  if (index >= 0) board.piece(index).MoveTo(ToBoardIndex(to), 0, -1);
}

void PlayOpening(km::CKBase& b) {
  // 角換わり: 7六歩 8四歩 2六歩 8五歩 7七角 3四歩 8八銀 7七角成 同銀 2二銀 4八銀 3三銀 ... 角打ち
  Play(b, 77, 76); Play(b, 83, 84); Play(b, 27, 26); Play(b, 84, 85); Play(b, 88, 77); Play(b, 33, 34);
  Play(b, 79, 88); Play(b, 22, 77, 1); Play(b, 88, 77); Play(b, 31, 22); Play(b, 39, 48); Play(b, 22, 33);
  Play(b, 59, 68); Play(b, 71, 62); Play(b, 26, 25); Play(b, 41, 32); Play(b, 48, 37); Play(b, 62, 63);
  Drop(b, kSente, KA, 65); Play(b, 51, 41); Play(b, 65, 43, 1);
}

void SetTsume(km::CKBase& b) {
  // A three-move problem: gote's king on 1一 behind its lance, sente with a gold and a silver in hand.
  CBform::Expanded e;
  for (auto& x : e) x = {CBform::kBoxLocation, 0, 0};
  e[1] = {11, 1, 0};                  // 玉 1一
  e[20] = {12, 1, 0};                 // 香 1二 (gote)
  e[31] = {13, 1, 0};                 // 歩 1三 (gote)
  e[14] = {33, 0, 0};                 // 桂 3三 (sente)
  e[6] = {0, 0, 0};                   // 金 in sente's hand
  e[10] = {0, 0, 0};                  // 銀 in sente's hand
  e[2] = {28, 0, 0};                  // 飛 2八
  CBform f;
  f.Encode(e);
  b.ApplyBoardForm(f);
  b.SetSideToMove(kSente);
  b.BeginRecord();
  b.MarkStale();
}

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
  CWinKZBApp app(options);
  if (app.Start() >= 0) return 1;
  CMainFrame* frame = app.main_frame();
  frame->resize(1000, 720);

  CKZBView* game = frame->ActiveView();
  game->document()->SetTitle(QString::fromUtf8("角換わり.csa"));
  PlayOpening(game->document()->board());
  game->controller().Refresh();
  game->controller().SetRecordEditing(true);
  frame->UpdateCommandUi();
  bool ok = Save(frame, out, "main-game.png") && Save(game, out, "board-game.png");

  CKZBView* tsume = app.NewDocument(DocKind::kTsume);
  SetTsume(tsume->document()->board());
  tsume->document()->SetTitle(QString::fromUtf8("三手詰.pcl"));
  tsume->controller().Refresh();
  frame->mdi()->cascadeSubWindows();
  frame->UpdateCommandUi();
  ok = ok && Save(frame, out, "main-tsume.png") && Save(tsume, out, "board-tsume.png");

  frame->Activate(game);
  game->Execute(cmd::kFlip);
  ok = ok && Save(game, out, "board-reversed.png");
  game->Execute(cmd::kFlip);

  app.OpenSetupWindow(tsume);
  CSFrameWnd* setup = app.setup_frame();
  setup->view()->Execute(cmd::kLayoutBox);
  setup->view()->Execute(cmd::kLayoutRookLance);
  ok = ok && Save(setup, out, "setup-window.png");
  return ok ? 0 : 1;
}
