// The board window at each zoom, driven by the mouse as a user would: the same clicks at the scaled
// places make the same move, the held piece stays under the pointer, the choice is remembered, and a
// maximized frame scales the board to fill it.
#include <algorithm>

#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTest>

#include "app/board_view.h"
#include "app/board_zoom_setting.h"
#include "app/core/board_zoom.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui_test_home.h"
#include "platform/text_codec.h"

using namespace app;
using namespace rules;

namespace {

std::string U8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

}  // namespace

class BoardZoomTest : public GuiSuite {
  Q_OBJECT

 private:
  static QPoint At(BoardView* view, int square) {
    const Point p = SquareCenter(square, view->document()->board().reversed());
    return QPoint(qRound(p.x * view->scale()), qRound(p.y * view->scale()));
  }
  // A new game at `zoom_id`, with record editing on.
  BoardView* NewGameAt(int zoom_id) {
    Trigger(cmd::kNewGame);
    BoardView* view = frame()->ActiveView();
    if (view->zoom() != ZoomOfCommand(zoom_id)) Trigger(zoom_id);
    view->controller().SetRecordEditing(true);
    return view;
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }
  void cleanupTestCase() { EndSuite(); }

  void sameMoveAtEveryZoom_data() {
    QTest::addColumn<int>("zoom_id");
    QTest::newRow("100") << cmd::kZoom100;
    QTest::newRow("150") << cmd::kZoom150;
    QTest::newRow("200") << cmd::kZoom200;
  }
  void sameMoveAtEveryZoom() {
    QFETCH(int, zoom_id);
    BoardView* view = NewGameAt(zoom_id);
    const double scale = ZoomOfCommand(zoom_id) / 100.0;
    QCOMPARE(view->scale(), scale);
    QCOMPARE(view->size(), QSize(int(kPictureWidth * scale), int(kPictureHeight * scale)));
    ScreenBoard& board = view->document()->board();
    const int pawn = board.PieceAt(ToBoardIndex(SquareNumber(77)))->index();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(view, 77));
    // Held, the pawn follows the pointer one square up, just as far as at 100 %.
    const QPoint to = At(view, 76);
    QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QCOMPARE(board.sprite(pawn).x(), SquareCell(7, 6).x);
    QCOMPARE(board.sprite(pawn).y(), SquareCell(7, 6).y);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(view, 76));
    QCOMPARE(board.depth(), 1);
    QCOMPARE(U8(board.current()->note->text), std::string("先手７六歩"));
    // An illegal drop at the scaled place is refused as at 100 %, and the pawn goes home.
    sink_.messages.clear();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(view, 33));
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(view, 35));
    QCOMPARE(sink_.messages.size(), size_t{1});
    QCOMPARE(board.depth(), 1);
    // The frame shows the whole scaled board.
    auto* scroll = qobject_cast<QScrollArea*>(frame()->ActiveChild()->widget());
    QTRY_VERIFY2(scroll->viewport()->width() >= view->width() && scroll->viewport()->height() >= view->height(),
                 qPrintable(QStringLiteral("%1x%2 in %3x%4").arg(view->width()).arg(view->height())
                                .arg(scroll->viewport()->width()).arg(scroll->viewport()->height())));
    frame()->ActiveChild()->close();
  }

  // A dirty part painted alone shows what painting the whole picture shows there, up to the filter's
  // rounding: no seams where the smoothing meets the edge of the part.
  void partPaintsLikeTheWhole() {
    QImage picture(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
    }
    for (double scale : {1.5, 2.0, FitScale(1111, 700)}) {
      const ZoomMapping m(scale);
      QImage whole(m.ViewWidth(), m.ViewHeight(), QImage::Format_RGB32);
      QImage part = whole;
      part.fill(Qt::black);
      const QRect dirty(151, 83, 61, 47);
      {
        QPainter p(&whole);
        PaintScaledPicture(p, picture, scale, whole.rect());
        QPainter q(&part);
        PaintScaledPicture(q, picture, scale, dirty);
      }
      int worst = 0;
      for (int y = dirty.top(); y <= dirty.bottom(); ++y) {
        for (int x = dirty.left(); x <= dirty.right(); ++x) {
          const QRgb a = whole.pixel(x, y), b = part.pixel(x, y);
          worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
      }
      QVERIFY2(worst <= 1, qPrintable(QStringLiteral("%1: %2").arg(scale).arg(worst)));  // rounding only
    }
  }

  void choiceIsRememberedAndKeysStep() {
    BoardView* view = NewGameAt(cmd::kZoom150);
    QCOMPARE(app_->settings().GetInt("SETTING", "BoardZoom", 0), 150);
    QVERIFY(Enabled(cmd::kZoomIn) && Enabled(cmd::kZoomOut));
    Trigger(cmd::kZoomIn);
    QCOMPARE(view->zoom(), 200);
    QVERIFY(!Enabled(cmd::kZoomIn));
    QCOMPARE(app_->settings().GetInt("SETTING", "BoardZoom", 0), 200);
    // A window opened later starts at the remembered step.
    Trigger(cmd::kNewTsume);
    QCOMPARE(frame()->ActiveView()->scale(), 2.0);
    Trigger(cmd::kZoomOut);
    QCOMPARE(frame()->ActiveView()->zoom(), 150);
    frame()->ActiveChild()->close();
    frame()->ActiveChild()->close();
  }

  void maximizedFrameFitsTheBoard() {
    frame()->resize(1200, 900);
    BoardView* view = NewGameAt(cmd::kZoom100);
    BoardWindow* child = frame()->ActiveChild();
    child->showMaximized();
    QTRY_VERIFY(view->scale() > 1.0);
    auto* scroll = qobject_cast<QScrollArea*>(child->widget());
    QVERIFY(view->width() <= scroll->viewport()->width() && view->height() <= scroll->viewport()->height());
    QVERIFY(view->width() >= scroll->viewport()->width() - 2 || view->height() >= scroll->viewport()->height() - 2);
    // Input still lands where it shows.
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(view, 27));
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(view, 26));
    QCOMPARE(U8(view->document()->board().current()->note->text), std::string("先手２六歩"));
    child->showNormal();
    QTRY_COMPARE(view->scale(), 1.0);
    QCOMPARE(view->zoom(), 100);
    // Choosing a step while maximized restores the frame around the board at that step.
    child->showMaximized();
    QTRY_VERIFY(view->scale() > 1.0);
    Trigger(cmd::kZoom150);
    QVERIFY(!child->isMaximized());
    QCOMPARE(view->scale(), 1.5);
    QTRY_VERIFY(qobject_cast<QScrollArea*>(child->widget())->viewport()->width() >= view->width());
    child->close();
  }
};

QTEST_MAIN(BoardZoomTest)

#include "board_zoom_gui_test.moc"
