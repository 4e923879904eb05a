// The record window's model without a window: the move list and tree of a record with branches, the
// stepping to a chosen move with its sound and notifications, and the branch selection and deletion.
#include <gtest/gtest.h>

#include "app/core/record_navigation.h"
#include "platform/text_codec.h"
#include "tests/app/app_test_support.h"

using namespace rules;

namespace app {
namespace {

struct CountingHost : RecordingHost {
  int header_redraws = 0, annotation_closes = 0, joseki = 0, focus = 0;
  void RedrawHeader() override { ++header_redraws; }
  void CloseAnnotation() override { ++annotation_closes; }
  void JosekiRefresh() override { ++joseki; }
  void TakeFocus() override { ++focus; }
};

class RecordLinesTest : public testing::Test {
 protected:
  RecordLinesTest() : images_(TestImages()), board_(&host_.sink) {
    board_.SetImages(&images_);
    board_.SetUp(0);
    controller_ = std::make_unique<BoardController>(board_, picture_, host_, BoardKind::kGame);
    controller_->Attach();
  }

  void Play(int from, int to) {
    Piece* p = board_.PieceAt(ToBoardIndex(SquareNumber(from)));
    ASSERT_NE(p, nullptr) << from;
    p->MoveTo(ToBoardIndex(SquareNumber(to)), Promotion::kKeep, p->side());
  }
  // 1 ▲７六歩, then at ply 2 △３四歩 (continued by ▲２六歩) and △８四歩; the board stands on △８四歩.
  void BranchedGame() {
    Play(77, 76);
    Play(33, 34);
    Play(27, 26);
    board_.StepBack();
    board_.StepBack();
    Play(83, 84);
    host_ = {};
  }
  std::vector<std::string> ListTexts() {
    std::vector<std::string> texts;
    for (const MoveListLine& line : MoveListLines(board_)) texts.push_back(line.text);
    return texts;
  }

  BoardImages images_;
  CountingHost host_;
  ScreenBoard board_;
  BoardPicture picture_;
  std::unique_ptr<BoardController> controller_;
};

TEST_F(RecordLinesTest, NoMovesShowsOnlyTheStart) {
  EXPECT_EQ(ListTexts(), std::vector<std::string>{"  初期局面"});
  EXPECT_TRUE(MoveTreeChildren(board_, {}).empty());
  EXPECT_FALSE(StepBoardTo(*controller_, host_, {0}));
  EXPECT_FALSE(CanSelectBranch(*controller_));
  EXPECT_FALSE(CanDeleteMoves(*controller_));
}

TEST_F(RecordLinesTest, ListFollowsTheChosenLineAndTreeShowsEveryAlternative) {
  BranchedGame();
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"  初期局面", "  1 ▲７六歩", "  2 △８四歩"}));
  EXPECT_EQ(MoveListLines(board_)[2].alternative, 1);
  const std::vector<MoveTreeItem> children = MoveTreeChildren(board_, {0});
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0].text, "  2 △３四歩");
  EXPECT_TRUE(children[0].has_children);
  EXPECT_EQ(children[1].alternative, 1);
  EXPECT_FALSE(children[1].has_children);
  EXPECT_TRUE(MoveTreeChildren(board_, {0, 5}).empty());

  // From the start the list shows the longest line, the one forward steps take.
  board_.GoToStart();
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"  初期局面", "  1 ▲７六歩", "  2 △３四歩", "  3 ▲２六歩"}));
  board_.AddAnnotation(board_.root()->child, platform::Utf8ToCp932("定跡の一手"));
  EXPECT_EQ(ListTexts()[1], "  1 ▲７六歩 ※");
  EXPECT_EQ(MoveTreeChildren(board_, {})[0].text, "  1 ▲７六歩 ※");
}

TEST_F(RecordLinesTest, TheLineTwoPliesAheadStepsTwiceAndSoundsOnce) {
  BranchedGame();
  board_.GoToStart();
  host_ = {};
  ASSERT_TRUE(StepBoardTo(*controller_, host_, {0, 0}));
  EXPECT_EQ(CurrentPath(board_), (MovePath{0, 0}));
  EXPECT_EQ(host_.sounds, 1);
  EXPECT_EQ(host_.header_redraws, 2);
  EXPECT_EQ(host_.annotation_closes, 1);
  EXPECT_EQ(host_.current_changed, 1);
  EXPECT_EQ(host_.focus, 0);  // the list keeps the keyboard focus

  // Across a branch: back one, forward into the other alternative; backward only is silent.
  host_ = {};
  ASSERT_TRUE(StepBoardTo(*controller_, host_, {0, 1}));
  EXPECT_EQ(CurrentPath(board_), (MovePath{0, 1}));
  EXPECT_EQ(host_.sounds, 1);
  ASSERT_TRUE(StepBoardTo(*controller_, host_, {}));
  EXPECT_EQ(board_.depth(), 0);
  EXPECT_EQ(host_.sounds, 1);

  // Unreachable moves and running auto-play leave the board where it is.
  EXPECT_FALSE(StepBoardTo(*controller_, host_, {0, 2}));
  ASSERT_TRUE(controller_->StartAutoPlay(kForwardTimer));
  EXPECT_FALSE(StepBoardTo(*controller_, host_, {0}));
  EXPECT_EQ(board_.depth(), 0);
}

TEST_F(RecordLinesTest, AnAnnotatedMoveReachedFromTheListOpensItsAnnotation) {
  BranchedGame();
  board_.AddAnnotation(board_.current(), platform::Utf8ToCp932("急戦含み"));
  board_.GoToStart();
  ASSERT_TRUE(StepBoardTo(*controller_, host_, {0, 1}));
  EXPECT_EQ(host_.annotations_opened, 1);
}

TEST_F(RecordLinesTest, BranchSelection) {
  BranchedGame();
  ASSERT_TRUE(CanSelectBranch(*controller_));
  const AlternativeList list = AlternativesOfCurrentMove(board_);
  EXPECT_EQ(list.lines, (std::vector<std::string>{"後手３四歩", "後手８四歩"}));
  EXPECT_EQ(list.current, 1);
  EXPECT_FALSE(ChooseAlternative(*controller_, host_, 1));  // already on the board
  ASSERT_TRUE(ChooseAlternative(*controller_, host_, 0));
  EXPECT_EQ(CurrentPath(board_), (MovePath{0, 0}));
  EXPECT_EQ(host_.sounds, 1);
  EXPECT_EQ(host_.current_changed, 1);
  EXPECT_EQ(host_.focus, 1);
  // The next forward step continues the chosen alternative.
  EXPECT_EQ(ListTexts().back(), "  3 ▲２六歩");

  board_.GoToStart();
  board_.StepForward();
  EXPECT_FALSE(CanSelectBranch(*controller_));  // ▲７六歩 has no alternative
  controller_->SetBusy(true);
  board_.StepForward();
  EXPECT_FALSE(CanSelectBranch(*controller_));
  EXPECT_FALSE(CanDeleteMoves(*controller_));
}

TEST_F(RecordLinesTest, DeletingTheAlternativeOnTheBoardStepsBackFirst) {
  BranchedGame();
  ASSERT_TRUE(DeleteAlternative(*controller_, host_, 1));
  EXPECT_EQ(board_.depth(), 1);
  EXPECT_EQ(board_.root()->child->ChildCount(), 1);
  EXPECT_TRUE(host_.modified);
  EXPECT_EQ(host_.record_changed, 1);
  EXPECT_EQ(host_.annotation_closes, 1);

  // Another alternative goes without moving the board.
  board_.StepForward();
  Play(27, 26);
  board_.StepBack();
  Play(87, 86);  // ply 3 now has ▲２六歩 and ▲８六歩; the board is on the second
  host_ = {};
  ASSERT_TRUE(DeleteAlternative(*controller_, host_, 0));
  EXPECT_EQ(CurrentPath(board_), (MovePath{0, 0, 0}));
  EXPECT_EQ(AlternativesOfCurrentMove(board_).lines, std::vector<std::string>{"先手８六歩"});
  EXPECT_EQ(host_.annotation_closes, 0);
  EXPECT_FALSE(DeleteAlternative(*controller_, host_, 3));
  EXPECT_EQ(board_.CheckConsistency(), "");
}

TEST_F(RecordLinesTest, HandicapGamesLabelTheSidesUpperAndLower) {
  board_.SetUp(3);  // rook handicap: 上手 (gote) moves first
  board_.SetSideToMove(kGote);
  Play(33, 34);
  board_.StepBack();
  Play(83, 84);
  EXPECT_EQ(AlternativesOfCurrentMove(board_).lines, (std::vector<std::string>{"上手３四歩", "上手８四歩"}));
  EXPECT_EQ(ListTexts()[1], "  1 △８四歩");
}

}  // namespace
}  // namespace app
