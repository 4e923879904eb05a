// The board window's behaviour without a window: mouse input with the move check and the promotion
// question, branch input, free placement, playback and its timers, the set-up layouts and hand-over.
#include "app/core/board_controller.h"

#include <gtest/gtest.h>

#include "app/core/command_ids.h"
#include "platform/text_codec.h"
#include "tests/app/app_test_support.h"

using namespace rules;
using namespace app;

namespace app {
namespace {

using platform::Answer;

class BoardControllerTest : public testing::Test {
 protected:
  BoardControllerTest() : images_(TestImages()), board_(&host_.sink) {
    board_.SetImages(&images_);
  }

  BoardController& Make(BoardKind kind = BoardKind::kGame) {
    controller_ = std::make_unique<BoardController>(board_, picture_, host_, kind);
    controller_->Attach();
    return *controller_;
  }

  // Clicks (press and release) at the middle of a square as the picture shows it now.
  void ClickSquare(int square) {
    Point p = SquareCenter(square, board_.reversed());
    controller_->LeftDown(p.x, p.y);
    controller_->LeftUp(p.x, p.y);
  }
  void Move(int from, int to) {
    ClickSquare(from);
    ClickSquare(to);
  }
  void SetPosition(std::initializer_list<Placed> pieces, Side side = kSente) {
    PlacePosition(board_, pieces, side);
    controller_->Refresh();
  }
  bool SpriteAtItsPiece(int index) {
    int depth = 0;
    Point at = board_.PlaceOfPiece(index, &depth);
    return board_.sprite(index).x() == at.x && board_.sprite(index).y() == at.y;
  }

  BoardImages images_;
  RecordingHost host_;
  ScreenBoard board_;
  BoardPicture picture_;
  std::unique_ptr<BoardController> controller_;
};

TEST_F(BoardControllerTest, NothingMovesOutsideRecordEditing) {
  Make();
  Move(77, 76);
  EXPECT_EQ(board_.root()->child, nullptr);
  EXPECT_FALSE(controller_->holding());
}

TEST_F(BoardControllerTest, LegalMoveByTwoClicksEntersTheRecord) {
  Make().SetRecordEditing(true);
  ClickSquare(77);
  ASSERT_TRUE(controller_->holding());
  EXPECT_EQ(board_.sprite(controller_->HeldPiece()).z(), kHeldDepth);
  ClickSquare(76);
  EXPECT_FALSE(controller_->holding());
  ASSERT_NE(board_.root()->child, nullptr);
  EXPECT_EQ(board_.current(), board_.root()->child);
  EXPECT_EQ(platform::Cp932ToUtf8(board_.current()->note->text), "先手７六歩");
  EXPECT_EQ(board_.side_to_move(), kGote);
  EXPECT_TRUE(host_.modified);
  EXPECT_EQ(host_.sounds, 1);
  EXPECT_GE(host_.current_changed, 1);
  EXPECT_TRUE(host_.sink.messages.empty());
  EXPECT_TRUE(SpriteAtItsPiece(board_.PieceAt(ToBoardIndex(SquareNumber(76)))->index()));
  EXPECT_TRUE(board_.CheckConsistency().empty());
}

TEST_F(BoardControllerTest, DragAndReleaseOnAnotherSquareMoves) {
  Make().SetRecordEditing(true);
  Point from = SquareCenter(27, false), to = SquareCenter(26, false);
  controller_->LeftDown(from.x, from.y);
  controller_->MouseMove(from.x + 5, from.y - 20);
  EXPECT_EQ(board_.sprite(controller_->HeldPiece()).y(), SquareCell(2, 7).y - 20);
  controller_->MouseMove(to.x, to.y);
  controller_->LeftUp(to.x, to.y);
  EXPECT_NE(board_.PieceAt(ToBoardIndex(SquareNumber(26))), nullptr);
  EXPECT_EQ(board_.PieceAt(ToBoardIndex(SquareNumber(27))), nullptr);
}

TEST_F(BoardControllerTest, IllegalMovesShowTheirMessageAndThePieceReturns) {
  Make().SetRecordEditing(true);
  const int pawn = board_.PieceAt(ToBoardIndex(SquareNumber(77)))->index();
  Move(77, 75);
  ASSERT_EQ(host_.sink.messages.size(), 1u);
  EXPECT_EQ(platform::Cp932ToUtf8(host_.sink.messages[0]), "そこへは動けません");
  EXPECT_EQ(board_.root()->child, nullptr);
  EXPECT_TRUE(SpriteAtItsPiece(pawn));
  EXPECT_EQ(board_.sprite(pawn).z(), kBoardDepth);

  Move(73, 74);  // gote's pawn while sente is to move
  ASSERT_EQ(host_.sink.messages.size(), 2u);
  EXPECT_EQ(platform::Cp932ToUtf8(host_.sink.messages[1]), "手番が違います");
}

TEST_F(BoardControllerTest, DroppingOutsideEveryPlaceReturnsSilently) {
  Make().SetRecordEditing(true);
  ClickSquare(77);
  controller_->LeftDown(60, 300);  // lower-left corner: no square, no stand
  EXPECT_FALSE(controller_->holding());
  EXPECT_TRUE(host_.sink.messages.empty());
  EXPECT_EQ(board_.root()->child, nullptr);
}

TEST_F(BoardControllerTest, RightButtonPutsTheHeldPieceBack) {
  Make().SetRecordEditing(true);
  ClickSquare(77);
  Point p = SquareCenter(55, false);
  controller_->MouseMove(p.x, p.y);
  controller_->RightDown(p.x, p.y);
  EXPECT_FALSE(controller_->holding());
  EXPECT_EQ(host_.captured, false);
  EXPECT_TRUE(SpriteAtItsPiece(board_.PieceAt(ToBoardIndex(SquareNumber(77)))->index()));
}

TEST_F(BoardControllerTest, PromotionQuestionAnsweredYesAndNo) {
  Make().SetRecordEditing(true);
  SetPosition({{OU, kSente, 59}, {OU, kGote, 51}, {GI, kSente, 44}, {GI, kSente, 64}});
  host_.sink.answers = {Answer::kYes, Answer::kNo};
  Move(44, 43);
  ASSERT_EQ(host_.sink.questions.size(), 1u);
  EXPECT_EQ(platform::Cp932ToUtf8(host_.sink.questions[0]), "成りますか？");
  EXPECT_TRUE(board_.current()->move.PromotedAfter());
  EXPECT_TRUE(board_.PieceAt(ToBoardIndex(SquareNumber(43)))->promoted());

  board_.SetSideToMove(kSente);  // a second sente move for the test
  Move(64, 63);
  ASSERT_EQ(host_.sink.questions.size(), 2u);
  EXPECT_FALSE(board_.PieceAt(ToBoardIndex(SquareNumber(63)))->promoted());
}

TEST_F(BoardControllerTest, PawnToTheLastRankPromotesWithoutAQuestion) {
  Make().SetRecordEditing(true);
  SetPosition({{OU, kSente, 59}, {OU, kGote, 51}, {FU, kSente, 12}});
  Move(12, 11);
  EXPECT_TRUE(host_.sink.questions.empty());
  EXPECT_TRUE(host_.sink.messages.empty());
  EXPECT_TRUE(board_.PieceAt(ToBoardIndex(SquareNumber(11)))->promoted());
}

TEST_F(BoardControllerTest, SpaceTurnsTheHeldPieceBeforeTheDrop) {
  Make().SetRecordEditing(true);
  SetPosition({{OU, kSente, 59}, {OU, kGote, 51}, {GI, kSente, 44}});
  ClickSquare(44);
  ASSERT_TRUE(controller_->KeyPress(Key::kSpace, false));
  ClickSquare(33);
  EXPECT_TRUE(host_.sink.questions.empty());  // the promoted face needs no question
  EXPECT_TRUE(board_.PieceAt(ToBoardIndex(SquareNumber(33)))->promoted());
}

TEST_F(BoardControllerTest, DropFromTheStandAndTwoPawns) {
  Make().SetRecordEditing(true);
  SetPosition({{OU, kSente, 59}, {OU, kGote, 51}, {FU, kSente, 57}, {FU, kSente, 0}, {FU, kSente, 0}});
  const int in_hand = board_.LastPieceOfKind(kSenteHand, FU);
  Point stand{board_.sprite(in_hand).x() + 5, board_.sprite(in_hand).y() + 20};
  controller_->LeftDown(stand.x, stand.y);
  ASSERT_TRUE(controller_->holding());
  EXPECT_EQ(controller_->HeldPiece(), in_hand);  // the drop takes the last pawn of the stand
  ClickSquare(54);
  ASSERT_EQ(host_.sink.messages.size(), 1u);
  EXPECT_EQ(platform::Cp932ToUtf8(host_.sink.messages[0]), "二歩です");
  EXPECT_EQ(board_.LocationOf(in_hand), kSenteHand);
  EXPECT_TRUE(SpriteAtItsPiece(in_hand));

  controller_->LeftDown(stand.x, stand.y);
  ClickSquare(44);
  EXPECT_TRUE(board_.current()->move.IsDrop());
  EXPECT_EQ(board_.HandCount(kSente, FU), 1);
}

TEST_F(BoardControllerTest, EnteringAMoveMidRecordDeletesWhatFollowsUnlessBranchInput) {
  Make().SetRecordEditing(true);
  Move(77, 76);
  Move(33, 34);
  Move(27, 26);
  controller_->GoFirst();
  Move(27, 26);
  EXPECT_EQ(board_.root()->ChildCount(), 1);
  EXPECT_EQ(board_.root()->child->child, nullptr) << "the moves after the entered one are gone";

  controller_->StepBack();
  Move(77, 76);
  ASSERT_TRUE(controller_->Execute(cmd::kBranchInput));
  EXPECT_TRUE(controller_->branch_input());
  EXPECT_EQ(controller_->CursorId(), 1001);
  controller_->StepBack();
  Move(57, 56);
  EXPECT_FALSE(controller_->branch_input()) << "branch input lasts one move";
  EXPECT_EQ(board_.root()->ChildCount(), 2);
  EXPECT_TRUE(board_.CheckConsistency().empty());
}

TEST_F(BoardControllerTest, PlaybackStepsAndKeys) {
  Make().SetRecordEditing(true);
  Move(77, 76);
  Move(33, 34);
  controller_->SetRecordEditing(false);
  EXPECT_TRUE(controller_->KeyPress(Key::kHome, false));
  EXPECT_EQ(board_.depth(), 0);
  EXPECT_FALSE(controller_->Query(cmd::kBack).enabled);
  host_.sounds = 0;
  controller_->KeyPress(Key::kRight, false);
  EXPECT_EQ(board_.depth(), 1);
  EXPECT_EQ(host_.sounds, 1);
  controller_->KeyPress(Key::kEnd, false);
  EXPECT_EQ(board_.depth(), 2);
  EXPECT_FALSE(controller_->Query(cmd::kForward).enabled);
  controller_->KeyPress(Key::kUp, false);
  EXPECT_EQ(board_.depth(), 1);
  EXPECT_TRUE(SpriteAtItsPiece(board_.PieceAt(ToBoardIndex(SquareNumber(33)))->index()));
}

TEST_F(BoardControllerTest, AutoForwardTimersAndStop) {
  Make().SetRecordEditing(true);
  Move(77, 76);
  Move(33, 34);
  Move(27, 26);
  controller_->GoFirst();
  host_.slider[1] = 1;  // 3000 ms
  ASSERT_TRUE(controller_->Execute(cmd::kAutoForward));
  EXPECT_EQ(host_.timer_ms[1], kFirstTickMs) << "the first step comes after 30 ms";
  controller_->TimerTick(kForwardTimer);
  EXPECT_EQ(board_.depth(), 1);
  EXPECT_EQ(host_.timer_ms[1], 3000);
  host_.slider[1] = 10;
  controller_->TimerTick(kForwardTimer);
  EXPECT_EQ(host_.timer_ms[1], 30) << "a slider change takes effect at the next tick";
  EXPECT_TRUE(controller_->Query(cmd::kStop).enabled);
  controller_->KeyPress(Key::kDelete, false);
  controller_->TimerTick(kForwardTimer);
  EXPECT_EQ(board_.depth(), 2);
  EXPECT_EQ(controller_->auto_direction(), 0);
  EXPECT_EQ(host_.timer_ms[1], 0);
}

TEST_F(BoardControllerTest, AutoPlayStopsAtTheEndAndWaitsForAnOpenAnnotation) {
  Make().SetRecordEditing(true);
  Move(77, 76);
  Move(33, 34);
  controller_->GoFirst();
  EXPECT_FALSE(controller_->StartAutoPlay(kBackwardTimer));
  ASSERT_TRUE(controller_->StartAutoPlay(kForwardTimer));
  host_.annotation_open = true;
  controller_->TimerTick(kForwardTimer);
  EXPECT_EQ(board_.depth(), 0);
  host_.annotation_open = false;
  controller_->TimerTick(kForwardTimer);
  controller_->TimerTick(kForwardTimer);
  EXPECT_EQ(board_.depth(), 2);
  EXPECT_EQ(controller_->auto_direction(), 0) << "stopped at the last move";
  EXPECT_FALSE(controller_->StartAutoPlay(kForwardTimer)) << "auto-forward at the end does nothing";
}

TEST_F(BoardControllerTest, AutoForwardOpensAnnotationsAndPauses) {
  Make().SetRecordEditing(true);
  Move(77, 76);
  Move(33, 34);
  board_.AddAnnotation(board_.root()->child, "note");
  controller_->GoFirst();
  ASSERT_TRUE(controller_->StartAutoPlay(kForwardTimer));
  controller_->TimerTick(kForwardTimer);
  EXPECT_EQ(host_.annotations_opened, 1);
  EXPECT_EQ(host_.timer_ms[1], kFirstTickMs);
}

TEST_F(BoardControllerTest, FlipTwiceRestoresEverySprite) {
  Make().SetRecordEditing(true);
  Move(77, 76);
  Move(33, 34);
  Move(88, 22);  // a capture into gote's camp: the question is answered no
  int before[kPieceCount][3];
  for (int i = 0; i < kPieceCount; ++i) {
    before[i][0] = board_.sprite(i).x();
    before[i][1] = board_.sprite(i).y();
    before[i][2] = board_.sprite(i).image() == nullptr;
  }
  controller_->Execute(cmd::kFlip);
  EXPECT_TRUE(board_.reversed());
  EXPECT_EQ(controller_->LabelIndex(), kLabelGote);
  const int king = board_.PieceAt(ToBoardIndex(SquareNumber(59)))->index();
  EXPECT_EQ(board_.sprite(king).x(), SquareCell(5, 1).x) << "5九 shows at the top when reversed";
  EXPECT_EQ(board_.sprite(king).y(), SquareCell(5, 1).y);
  controller_->Execute(cmd::kFlip);
  for (int i = 0; i < kPieceCount; ++i) {
    EXPECT_EQ(board_.sprite(i).x(), before[i][0]) << i;
    EXPECT_EQ(board_.sprite(i).y(), before[i][1]) << i;
  }
  picture_.RenderDirty();
  EXPECT_EQ(picture_.PixelAt(1, 1), images_.backgrounds.At(1, 1)) << "the first background again";
}

TEST_F(BoardControllerTest, ReversedClicksNameTheTurnedSquares) {
  Make().SetRecordEditing(true);
  controller_->Flip();
  Move(77, 76);  // SquareCenter maps through the orientation
  EXPECT_NE(board_.PieceAt(ToBoardIndex(SquareNumber(76))), nullptr);
  EXPECT_EQ(board_.root()->ChildCount(), 1);
}

TEST_F(BoardControllerTest, RecordEditingNeedsASideToMove) {
  Make();
  board_.SetSideToMove(kSideUnset);
  EXPECT_FALSE(controller_->Query(cmd::kRecordEditing).enabled);
  board_.SetSideToMove(kSente);
  CommandState s = controller_->Query(cmd::kRecordEditing);
  EXPECT_TRUE(s.enabled);
  EXPECT_EQ(s.text, "棋譜編集開始(&K)");
  controller_->Execute(cmd::kRecordEditing);
  EXPECT_EQ(controller_->Query(cmd::kRecordEditing).text, "棋譜編集終了(&K)");
  EXPECT_EQ(controller_->CursorId(), 1000);
}

// --- set-up window ------------------------------------------------------------------------------

class SetupControllerTest : public BoardControllerTest {
 protected:
  void SetUp() override {
    Make(BoardKind::kSetup);
    board_.SetTurnOrder(0);
    controller_->SetRecordEditing(true);
    controller_->SetFreePlacement(true);
  }
};

TEST_F(SetupControllerTest, FreePlacementMovesPiecesAnywhereWithoutRecording) {
  const int rook = board_.PieceAt(ToBoardIndex(SquareNumber(28)))->index();
  ClickSquare(28);
  controller_->LeftDown(560, 60);  // the piece box
  EXPECT_EQ(board_.LocationOf(rook), kPieceBox);
  EXPECT_NE(board_.sprite(rook).image(), nullptr) << "pieces in the box show while it is shown";
  EXPECT_EQ(board_.root()->child, nullptr);
  EXPECT_TRUE(host_.modified);

  ClickSquare(77);
  ClickSquare(55);  // a pawn two squares forward: free placement checks nothing
  EXPECT_NE(board_.PieceAt(ToBoardIndex(SquareNumber(55))), nullptr);
  EXPECT_TRUE(host_.sink.messages.empty());

  controller_->SetFreePlacement(false);
  EXPECT_EQ(board_.sprite(rook).image(), nullptr) << "hidden with the box";
  EXPECT_TRUE(board_.CheckConsistency().empty());
}

TEST_F(SetupControllerTest, RightClicksTurnAndGiveAway) {
  const int pawn = board_.PieceAt(ToBoardIndex(SquareNumber(77)))->index();
  Point p = SquareCenter(77, false);
  controller_->RightDown(p.x, p.y);
  EXPECT_TRUE(board_.PromotedOf(pawn));
  // A double click arrives after a single click: together they change the side and keep the face.
  controller_->RightDown(p.x, p.y);
  controller_->RightDoubleClick(p.x, p.y);
  EXPECT_EQ(board_.SideOf(pawn), kGote);
  EXPECT_TRUE(board_.PromotedOf(pawn));
  EXPECT_TRUE(board_.CheckConsistency().empty());
}

TEST_F(SetupControllerTest, ShiftSpaceGivesTheHeldPieceToTheOtherSide) {
  const int silver = board_.PieceAt(ToBoardIndex(SquareNumber(39)))->index();
  ClickSquare(39);
  controller_->KeyPress(Key::kSpace, true);
  ClickSquare(55);
  EXPECT_EQ(board_.SideOf(silver), kGote);
  EXPECT_EQ(board_.LocationOf(silver), ToBoardIndex(SquareNumber(55)));
}

TEST_F(SetupControllerTest, LayoutsAndSides) {
  controller_->Execute(cmd::kLayoutBox);
  EXPECT_EQ(board_.CountIn(kPieceBox, FU), 18);
  EXPECT_EQ(board_.side_to_move(), kSideUnset);
  controller_->Execute(cmd::kLayoutRookLance);
  EXPECT_EQ(board_.LocationOf(3), kPieceBox);
  EXPECT_EQ(board_.LocationOf(20), kPieceBox);
  EXPECT_EQ(board_.side_to_move(), kGote);
  EXPECT_TRUE(controller_->Query(cmd::kSideGote).checked);
  host_.modified = false;
  EXPECT_FALSE(controller_->SetSideCommand(kGote));
  EXPECT_FALSE(host_.modified) << "a side command that changes nothing marks nothing";
  controller_->Execute(cmd::kSideUnset);
  EXPECT_EQ(board_.side_to_move(), kSideUnset);
  EXPECT_TRUE(host_.modified);
}

TEST_F(SetupControllerTest, TsumeLayoutFollowsTheOrientation) {
  controller_->Execute(cmd::kLayoutTsume);
  const Piece* king = board_.PieceAt(ToBoardIndex(SquareNumber(51)));
  ASSERT_NE(king, nullptr);
  EXPECT_EQ(king->kind(), OU);
  EXPECT_EQ(king->side(), kGote);
  EXPECT_EQ(board_.HandCount(kGote, FU), 18);
  EXPECT_EQ(board_.CountIn(kPieceBox, OU), 1);
  EXPECT_EQ(board_.side_to_move(), kSente);

  controller_->Flip();
  controller_->Execute(cmd::kLayoutTsume);
  king = board_.PieceAt(ToBoardIndex(SquareNumber(59)));
  ASSERT_NE(king, nullptr);
  EXPECT_EQ(king->side(), kSente);
  EXPECT_EQ(board_.HandCount(kSente, HI), 2);
}

TEST_F(BoardControllerTest, ReceivingASetupAsksBeforeDroppingMovesAndEndsEditingWithoutASide) {
  Make().SetRecordEditing(true);
  Move(77, 76);
  auto all_in_box = [this](bool* reversed) {
    board_.SetUp(8);
    board_.SetSideToMove(kSideUnset);
    *reversed = true;
    return true;
  };
  host_.sink.answers = {Answer::kNo};
  EXPECT_FALSE(controller_->ReceiveSetup(all_in_box));
  EXPECT_EQ(platform::Cp932ToUtf8(host_.sink.questions.back()), "このバッファの指し手は全て破棄されます。よろしいですか？");
  EXPECT_NE(board_.root()->child, nullptr);

  host_.sink.answers = {Answer::kYes};
  EXPECT_TRUE(controller_->ReceiveSetup(all_in_box));
  EXPECT_EQ(board_.root()->child, nullptr);
  EXPECT_EQ(board_.CountIn(kPieceBox, OU), 2);
  EXPECT_TRUE(board_.reversed()) << "the window turns round to the set-up's orientation";
  EXPECT_EQ(platform::Cp932ToUtf8(host_.sink.messages.back()), "手番未設定の為、棋譜の編集は終了します。");
  EXPECT_FALSE(controller_->record_editing());
}

}  // namespace
}  // namespace app
