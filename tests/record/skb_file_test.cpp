// Position files: the exact layout, the placements, and refusals that change nothing.
#include <gtest/gtest.h>

#include "record/setup_document.h"
#include "record/skb_file.h"
#include "tests/record/record_test_util.h"

using namespace rules;
using namespace record;

namespace {

class SetupFile : public testing::Test {
 protected:
  std::string Bytes() {
    Archive ar = Archive::ToMemory();
    doc.Serialize(ar);
    return ar.text();
  }
  bool Read(SetupDocument& d, const std::string& bytes) {
    Archive ar = Archive::FromBytes(bytes);
    return d.Serialize(ar).loaded;
  }

  platform::RecordingMessageSink messages;
  PlainBoard board;
  SetupDocument doc{board, &messages};
};

TEST_F(SetupFile, LayoutIsMagicFormSideAndFlag) {
  doc.NewSetup();
  doc.SetSide(kGote);
  doc.SetReversed(1);
  const std::string bytes = Bytes();
  ASSERT_EQ(bytes.size(), 62u);
  EXPECT_EQ(bytes.substr(0, 10), "WINKZB.SKB");
  const BoardForm even;
  EXPECT_EQ(bytes.substr(10, 44), std::string(reinterpret_cast<const char*>(even.data()), 44));
  EXPECT_EQ(bytes.substr(54, 8), std::string("\x01\0\0\0\x01\0\0\0", 8));
  EXPECT_EQ(doc.SetupBytes(), bytes);
}

TEST_F(SetupFile, PieceBoxPlacementReadsBackAsAnEmptyBoardWithoutTurn) {
  ASSERT_TRUE(doc.ApplyPlacement(8));
  EXPECT_EQ(board.side_to_move(), kSideUnset);
  const std::string bytes = Bytes();
  PlainBoard other;
  SetupDocument again(other, &messages);
  again.NewSetup();
  ASSERT_TRUE(Read(again, bytes));
  EXPECT_EQ(other.store(kPieceBox).total(), 40);
  EXPECT_EQ(other.side_to_move(), kSideUnset);
  EXPECT_FALSE(other.turn_order());
  EXPECT_EQ(other.CheckConsistency(), "");
}

TEST_F(SetupFile, HandicapPlacementsGiveGoteTheMove) {
  for (int n = 1; n < SetupDocument::kPlacementCount; ++n) {
    ASSERT_TRUE(doc.ApplyPlacement(n));
    EXPECT_EQ(board.side_to_move(), n == 8 ? kSideUnset : kGote) << n;
  }
  ASSERT_TRUE(doc.ApplyPlacement(9));  // 飛香落
  EXPECT_EQ(board.store(kPieceBox).total(), 2);
  EXPECT_FALSE(doc.ApplyPlacement(11));
}

TEST_F(SetupFile, AReversedFileTurnsANonReversedDocumentAround) {
  doc.SetReversed(1);
  const std::string bytes = Bytes();
  PlainBoard other;
  SetupDocument again(other, &messages);
  EXPECT_EQ(again.reversed(), 0);
  ASSERT_TRUE(Read(again, bytes));
  EXPECT_EQ(again.reversed(), 1);
}

TEST_F(SetupFile, DamagedFilesAreRefusedAndNothingChanges) {
  doc.ApplyPlacement(4);
  const std::string good = Bytes();
  PlainBoard other;
  SetupDocument again(other, &messages);
  again.ApplyPlacement(1);
  const BoardForm before = other.CurrentBoardForm();

  std::string lower = good;
  lower[0] = 'w';  // the magic is compared as raw bytes
  std::string bad_form = good;
  bad_form[10] = static_cast<char>(55);  // sente's king onto the square of ...
  bad_form[11] = static_cast<char>(55);  // ... gote's king: two pieces on one square
  std::string bad_side = good;
  bad_side[54] = 3;
  std::string bad_flag = good;
  bad_flag[58] = 2;
  for (const std::string& damaged :
       {lower, good.substr(0, 61), good.substr(0, 9), std::string(), bad_form, bad_side, bad_flag}) {
    messages.messages.clear();
    EXPECT_FALSE(Read(again, damaged));
    EXPECT_EQ(messages.messages, std::vector<std::string>{"ファイル形式が違います"});
    EXPECT_EQ(other.CurrentBoardForm(), before);
    EXPECT_EQ(other.side_to_move(), kGote);
  }
  EXPECT_TRUE(Read(again, good));
  EXPECT_NE(other.CurrentBoardForm(), before);
}

TEST(ReceivingASetup, ReplacesTheRecordButKeepsTheHeader) {
  PlainBoard setup_board;
  SetupDocument setup(setup_board);
  setup.ApplyPlacement(3);
  PlainBoard board;
  GameDocument game(board);
  game.header().SetField(GameHeader::kEvent, "名人戦");
  PlayCsa(board, "+7776FU");
  Archive ar = Archive::FromBytes(setup.SetupBytes());
  ASSERT_TRUE(game.ReceiveSetup(ar));
  EXPECT_EQ(board.root()->child, nullptr);
  EXPECT_EQ(board.side_to_move(), kGote);
  EXPECT_EQ(board.store(kPieceBox).total(), 1);
  EXPECT_EQ(game.header().Field(GameHeader::kEvent), "名人戦");
}

}  // namespace
