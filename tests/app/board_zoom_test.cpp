// The arithmetic of the board zoom: which step a screen starts with, the steps the commands choose, the
// fit factor, and the mapping that must send every view point back to the picture pixel it shows.
#include "app/core/board_zoom.h"

#include <gtest/gtest.h>

#include "app/core/command_ids.h"

namespace app {
namespace {

TEST(BoardZoom, StoredStepOrTheScreensScale) {
  EXPECT_EQ(EffectiveZoom(150, 1.0), 150);
  EXPECT_EQ(EffectiveZoom(200, 1.0), 200);
  // Nothing stored, or a value that is no step: the step nearest to the screen's scale.
  EXPECT_EQ(EffectiveZoom(0, 1.0), 100);
  EXPECT_EQ(EffectiveZoom(125, 0.75), 100);
  EXPECT_EQ(EffectiveZoom(0, 1.25), 150);
  EXPECT_EQ(EffectiveZoom(-5, 1.5), 150);
  EXPECT_EQ(EffectiveZoom(0, 2.0), 200);
  EXPECT_EQ(EffectiveZoom(0, 3.0), 200);
}

TEST(BoardZoom, CommandsChooseStepsAndStopAtTheEnds) {
  EXPECT_EQ(ZoomAfterCommand(cmd::kZoom150, 100), 150);
  EXPECT_EQ(ZoomAfterCommand(cmd::kZoom100, 200), 100);
  EXPECT_EQ(ZoomAfterCommand(cmd::kZoomIn, 100), 150);
  EXPECT_EQ(ZoomAfterCommand(cmd::kZoomIn, 150), 200);
  EXPECT_EQ(ZoomAfterCommand(cmd::kZoomIn, 200), 200);
  EXPECT_EQ(ZoomAfterCommand(cmd::kZoomOut, 200), 150);
  EXPECT_EQ(ZoomAfterCommand(cmd::kZoomOut, 100), 100);
  EXPECT_EQ(ZoomAfterCommand(cmd::kFlip, 150), 150);
  EXPECT_EQ(ZoomOfCommand(cmd::kFlip), 0);
}

TEST(BoardZoom, FitScaleKeepsTheWholePictureInside) {
  EXPECT_DOUBLE_EQ(FitScale(2 * kPictureWidth, 2 * kPictureHeight), 2.0);
  EXPECT_DOUBLE_EQ(FitScale(3000, kPictureHeight), 1.0);  // the height limits
  EXPECT_DOUBLE_EQ(FitScale(kPictureWidth, 3000), 1.0);
  const ZoomMapping fit(FitScale(1234, 777));
  EXPECT_LE(fit.ViewWidth(), 1234);
  EXPECT_LE(fit.ViewHeight(), 777);
  EXPECT_GT(FitScale(0, 0), 0.0);  // a collapsed frame still draws something
}

TEST(BoardZoom, EveryViewPixelMapsBackToThePicturePixelItShows) {
  for (double scale : {1.0, 1.5, 2.0, FitScale(1111, 700)}) {
    const ZoomMapping m(scale);
    SCOPED_TRACE(scale);
    EXPECT_EQ(m.ViewWidth(), int(kPictureWidth * scale));
    // The centre of each picture pixel, scaled, lands on that pixel again; so do both edges of a square.
    for (int x = 0; x < kPictureWidth; ++x) {
      const Point p = m.ToPicture((x + 0.5) * scale, (x % kPictureHeight + 0.5) * scale);
      ASSERT_EQ(p.x, x);
      ASSERT_EQ(p.y, x % kPictureHeight);
    }
    // The same place is hit at the same picture point, whatever the zoom.
    const Point cell = SquareCell(7, 7);
    const Point back = m.ToPicture(cell.x * scale, (cell.y + kPieceSize - 1) * scale);
    EXPECT_EQ(HitPlace(back.x, back.y, false).area, PictureArea::kSquare);
    EXPECT_EQ(HitPlace(back.x, back.y, false).file, 7);
    EXPECT_EQ(HitPlace(back.x, back.y, false).rank, 7);
    // A dirty picture rectangle covers every view pixel showing it.
    const Rect dirty{101, 53, 140, 92};
    const Rect view = m.ToView(dirty);
    for (int vx = int(dirty.left * scale) - 2; vx < int(dirty.right * scale) + 2; ++vx) {
      const Point p = m.ToPicture(vx + 0.5, view.top + 1.5);
      if (p.x >= dirty.left && p.x < dirty.right) {
        EXPECT_TRUE(view.Contains(vx, view.top + 1)) << vx;
      }
    }
  }
}

}  // namespace
}  // namespace app
