// A board window as a new user meets it: it opens whole and cascaded, the stepping keys work at once, the
// last move is tinted in the picture (and the 表示 toggle takes it away), and the status bar and title say
// where the board stands.
#include <QApplication>
#include <QMdiArea>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/core/last_move_mark.h"
#include "app/core/window_placement.h"
#include "app/main_window.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui_test_home.h"

using namespace app;

class BoardCuesTest : public GuiSuite {
  Q_OBJECT

 private:
  BoardView* OpenSample(const char* name, DocKind kind) {
    BoardView* view = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/") + name, kind);
    QTest::qWait(20);  // the deferred placement
    return view;
  }
  static BoardWindow* FrameOf(BoardView* view) {
    for (QWidget* w = view->parentWidget(); w; w = w->parentWidget()) {
      if (auto* frame = qobject_cast<BoardWindow*>(w)) return frame;
    }
    return nullptr;
  }
  // The colour the window shows at a picture point (the view is at 100 %).
  static QRgb Shown(BoardView* view, Point p) { return view->grab().toImage().pixel(p.x, p.y); }
  static QRgb Colour(int index) {
    const Rgb c = PictureColours()[index];
    return qRgb(c.r, c.g, c.b);
  }
  // A background pixel of the cell of a square: the top-left corner, which no piece covers.
  static Point CellCorner(BoardView* view, int square) {
    const Point c = SquareCenter(square, view->document()->board().reversed());
    return {c.x - (kPieceSize - 1) / 2, c.y - (kPieceSize - 1) / 2};
  }

 private Q_SLOTS:
  void initTestCase() {
    StartSuite();
    QVERIFY(QTest::qWaitForWindowActive(frame()));
  }
  void cleanupTestCase() { EndSuite(); }

  void opensWholeCascadedAndFocused() {
    BoardView* first = frame()->ActiveView();
    QVERIFY(first);
    BoardView* game = OpenSample("sample-game.csa", DocKind::kGame);
    QVERIFY(game);
    for (BoardView* view : {first, game}) {
      BoardWindow* child = FrameOf(view);
      auto* scroll = qobject_cast<QScrollArea*>(child->widget());
      QVERIFY(!scroll->horizontalScrollBar()->isVisible());
      QVERIFY(!scroll->verticalScrollBar()->isVisible());
      QVERIFY(scroll->viewport()->width() >= view->width());
      QVERIFY(scroll->viewport()->height() >= view->height());
      QVERIFY2(frame()->mdi()->viewport()->rect().contains(child->geometry()), "the main window holds it");
    }
    QCOMPARE(FrameOf(game)->pos(), FrameOf(first)->pos() + QPoint(kCascadeStep, kCascadeStep));
    QCOMPARE(QApplication::focusWidget(), game);

    frame()->Activate(first);
    QCOMPARE(QApplication::focusWidget(), first);
    frame()->Activate(game);
    QCOMPARE(QApplication::focusWidget(), game);
    QTest::keyClick(game, Qt::Key_Right);
    QCOMPARE(game->document()->board().depth(), 1);
    QTest::keyClick(game, Qt::Key_Left);
  }

  void lastMoveTintedAndToggled() {
    BoardView* game = frame()->ActiveView();
    QCOMPARE(game->document()->board().depth(), 0);
    const Point to = CellCorner(game, 76), from = CellCorner(game, 77);
    const int plain = game->picture().PixelAt(to.x, to.y), origin = game->picture().PixelAt(from.x, from.y);
    QVERIFY(plain < kPaletteSize);
    QCOMPARE(Shown(game, to), Colour(plain));

    Trigger(cmd::kForward);  // ▲７六歩
    QCOMPARE(Shown(game, to), Colour(TintedIndex(plain, MarkTint::kTo)));
    QCOMPARE(Shown(game, from), Colour(TintedIndex(origin, MarkTint::kFrom)));

    Trigger(cmd::kFlip);
    const Point flipped = CellCorner(game, 76);
    QVERIFY(game->picture().PixelAt(flipped.x, flipped.y) >= kTintBandTo);
    QVERIFY(game->picture().PixelAt(to.x, to.y) < kPaletteSize);
    Trigger(cmd::kFlip);

    QVERIFY(frame()->commands().Action(cmd::kLastMoveMark)->isChecked());
    Trigger(cmd::kLastMoveMark);
    QCOMPARE(Shown(game, to), Colour(plain));
    QCOMPARE(app_->settings().GetInt("SETTING", "LastMoveMark", 1), 0);
    Trigger(cmd::kLastMoveMark);
    QCOMPARE(app_->settings().GetInt("SETTING", "LastMoveMark", 0), 1);

    Trigger(cmd::kFirst);
    QCOMPARE(Shown(game, to), Colour(plain));
  }

  void statusAndTitleSayWhereTheBoardStands() {
    BoardView* game = frame()->ActiveView();
    for (int i = 0; i < 3; ++i) Trigger(cmd::kForward);
    QCOMPARE(frame()->statusBar()->currentMessage(), QStringLiteral("3手目 ▲７八金"));
    QCOMPARE(FrameOf(game)->windowTitle(), QStringLiteral("sample-game.csa — 3手目"));
    game->document()->SetModified(true);  // a document change keeps the ply in the title
    QCOMPARE(FrameOf(game)->windowTitle(), QStringLiteral("sample-game.csa — 3手目"));
    game->document()->SetModified(false);
    Trigger(cmd::kFirst);
    QCOMPARE(frame()->statusBar()->currentMessage(), QStringLiteral("初期局面"));
    QCOMPARE(FrameOf(game)->windowTitle(), QStringLiteral("sample-game.csa"));
  }
};

QTEST_MAIN(BoardCuesTest)
#include "board_cues_test.moc"
