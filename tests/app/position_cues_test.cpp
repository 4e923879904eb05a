// Where the board stands, without windows: the last move's cells and their tint in the composed picture,
// the status caption and title, and the sizes of a first-start main window and of new board windows.
#include <gtest/gtest.h>

#include "app/core/board_picture.h"
#include "app/core/last_move_mark.h"
#include "app/core/position_caption.h"
#include "app/core/window_placement.h"
#include "tests/app/app_test_support.h"

using namespace rules;

namespace app {
namespace {

Rect CellAt(int square, bool reversed) {
  const Point c = SquareCenter(square, reversed);
  const int half = kPieceSize / 2;
  return {c.x - half, c.y - half, c.x - half + kPieceSize, c.y - half + kPieceSize};
}

class LastMoveTest : public testing::Test {
 protected:
  LastMoveTest() : images_(TestImages()), board_(&host_.sink) {
    board_.SetImages(&images_);
    board_.SetUp(0);
    controller_ = std::make_unique<BoardController>(board_, picture_, host_, BoardKind::kGame);
    controller_->Attach();
  }
  void Play(int from, int to, Promotion promotion = Promotion::kKeep) {
    Piece* p = board_.PieceAt(ToBoardIndex(SquareNumber(from)));
    ASSERT_NE(p, nullptr) << from;
    p->MoveTo(ToBoardIndex(SquareNumber(to)), promotion, p->side());
  }
  void Drop(Side side, int kind, int to) {
    for (int i = 0; i < kPieceCount; ++i) {
      Piece& p = board_.piece(i);
      if (p.location() == Location::Hand(side) && p.kind() == kind) {
        p.MoveTo(ToBoardIndex(SquareNumber(to)), Promotion::kKeep, side);
        return;
      }
    }
    FAIL() << "no piece in hand";
  }

  BoardImages images_;
  RecordingHost host_;
  ScreenBoard board_;
  BoardPicture picture_;
  std::unique_ptr<BoardController> controller_;
};

TEST_F(LastMoveTest, MarksFollowTheCurrentMoveInBothOrientations) {
  EXPECT_EQ(LastMoveMarks(board_, false), MoveMarks{}) << "nothing at the start";
  Play(77, 76);
  EXPECT_EQ(LastMoveMarks(board_, false), (MoveMarks{CellAt(76, false), CellAt(77, false)}));
  EXPECT_EQ(LastMoveMarks(board_, true), (MoveMarks{CellAt(76, true), CellAt(77, true)}));
  EXPECT_EQ(CellAt(76, true).left, SquareCell(3, 4).x) << "reversed, ７六 shows where ３四 would";
  Play(33, 34);
  Play(88, 22, Promotion::kPromote);  // ▲２二角成 takes the bishop
  Play(31, 22);
  Drop(kSente, KA, 55);
  const MoveMarks drop = LastMoveMarks(board_, false);
  EXPECT_EQ(drop.to, CellAt(55, false));
  EXPECT_TRUE(drop.from.Empty()) << "a drop marks its square only";
  board_.GoToStart();
  EXPECT_EQ(LastMoveMarks(board_, false), MoveMarks{});
}

TEST_F(LastMoveTest, TintIsComposedUnderThePiecesAndGoesWithTheMark) {
  Play(77, 76);
  board_.SyncSprites();
  picture_.RenderDirty();
  const Rect to = CellAt(76, false), from = CellAt(77, false);
  const Point c = SquareCenter(76, false);
  const uint8_t corner = picture_.PixelAt(to.left, to.top), piece = picture_.PixelAt(c.x, c.y);
  const uint8_t origin = picture_.PixelAt(from.left, from.top);

  picture_.SetMarks(LastMoveMarks(board_, false));
  EXPECT_FALSE(picture_.dirty().empty()) << "a new mark dirties its cells";
  picture_.RenderDirty();
  EXPECT_EQ(picture_.PixelAt(to.left, to.top), TintedIndex(corner, MarkTint::kTo)) << "the background is tinted";
  EXPECT_EQ(picture_.PixelAt(from.left, from.top), TintedIndex(origin, MarkTint::kFrom));
  EXPECT_EQ(picture_.PixelAt(c.x, c.y), piece) << "the piece is drawn over the tint";
  EXPECT_EQ(picture_.PixelAt(to.right, to.top), corner) << "the grid line beside the cell stays";

  picture_.SetMarks({});
  picture_.RenderDirty();
  EXPECT_EQ(picture_.PixelAt(to.left, to.top), corner);
  EXPECT_EQ(picture_.PixelAt(from.left, from.top), origin);
}

TEST(PictureColours, TintBandsFollowThePaletteAndDiffer) {
  const std::vector<Rgb> colours = PictureColours();
  ASSERT_EQ(colours.size(), static_cast<size_t>(kPictureColourCount));
  for (int i = 0; i < kPaletteSize; ++i) {
    EXPECT_EQ(colours[i], kPalette[i]);
    EXPECT_NE(colours[TintedIndex(i, MarkTint::kTo)], kPalette[i]) << i;
    EXPECT_NE(colours[TintedIndex(i, MarkTint::kFrom)], colours[TintedIndex(i, MarkTint::kTo)]) << i;
  }
  EXPECT_EQ(TintedIndex(kTintBandTo + 1, MarkTint::kTo), kTintBandTo + 1) << "tinting twice changes nothing";
}

TEST_F(LastMoveTest, CaptionNamesThePlyAndTheMoveAsTheRecordWindowDoes) {
  EXPECT_EQ(PositionCaption(board_), "初期局面");
  Play(77, 76);
  EXPECT_EQ(PositionCaption(board_), "1手目 ▲７六歩");
  Play(33, 34);
  Play(88, 22, Promotion::kPromote);
  EXPECT_EQ(PositionCaption(board_), "3手目 ▲２二角成");
  Play(31, 22);
  EXPECT_EQ(PositionCaption(board_), "4手目 △同銀");
  EXPECT_EQ(TitleWithPly("sample-game.csa", 30), "sample-game.csa — 30手目");
  EXPECT_EQ(TitleWithPly("対局1", 0), "対局1");
}

TEST(WindowPlacement, FirstStartKeepsTheClassicRuleUpTo1024AndTakesTwoThirdsAbove) {
  EXPECT_EQ(FirstStartRect({0, 0, 640, 480}, {0, 0, 640, 450}), (Rect{0, 0, 640, 480}));
  EXPECT_EQ(FirstStartRect({0, 0, 1024, 768}, {0, 0, 1024, 740}), (Rect{112, 84, 912, 684}));
  EXPECT_EQ(FirstStartRect({0, 0, 1280, 900}, {0, 30, 1280, 900}), (Rect{213, 175, 1066, 755}))
      << "two thirds of the free area, centred in it";
  EXPECT_EQ(FirstStartRect({0, 0, 1920, 1080}, {}), (Rect{320, 180, 1600, 900}));
}

TEST(WindowPlacement, NewWindowsCascadeAndTheMainWindowGrowsWithinTheScreen) {
  const Size frame{660, 440}, area{700, 460};
  EXPECT_EQ(CascadePoint(std::nullopt, frame, area).x, 0);
  const Point second = CascadePoint(Point{10, 10}, frame, {800, 600});
  EXPECT_EQ(second.x, 10 + kCascadeStep);
  EXPECT_EQ(second.y, 10 + kCascadeStep);
  EXPECT_EQ(CascadePoint(Point{60, 30}, frame, area).x, 0) << "back to the top left when it would not fit";

  const Rect screen{0, 0, 1280, 900};
  const Rect window{200, 150, 1000, 750};
  EXPECT_EQ(GrownToHold(window, area, {660, 440}, screen), window) << "already holds it";
  EXPECT_EQ(GrownToHold(window, area, {960, 600}, screen), (Rect{200, 150, 1260, 890}));
  EXPECT_EQ(GrownToHold(window, area, {1500, 900}, screen), (Rect{0, 0, 1280, 900})) << "no larger than the screen";
}

}  // namespace
}  // namespace app
