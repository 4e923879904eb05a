// A record as long as the node pool's limit: showing it, copying its tree and its selected line, writing
// it as CSA and reading it back, and freeing it must never take a call stack as deep as the record (the
// sanitizer build's larger frames overflow early on any such recursion).
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "tests/record/record_test_util.h"

using namespace rules;
using namespace record;

namespace {

constexpr int kPlies = Position::PoolSizes{}.limit - 1;  // with the root, the limit's node count

// Rooks and kings of both sides shuttling, legal for as long as needed. The record takes the repeated
// positions as they come (ending a game on them is not its business).
const char* const kShuttle[] = {"+2838HI", "-8272HI", "+5958OU", "-5152OU",
                                "+3828HI", "-7282HI", "+5859OU", "-5251OU"};
// A ply near the end where the main line plays kShuttle[5] (the gote rook back) and a variation the gote
// king back instead.
constexpr int kLateBranchPly = (kPlies - 8) / 8 * 8 + 5;

std::string BodyText(const RecordBoard& board) {
  Archive ar = Archive::ToMemory();
  board.WriteCsaBody(ar);
  return ar.text();
}

// One long game shared by the tests (building it takes a while in the sanitizer build): the shuttle to
// kPlies with a note on the last move, a two-move variation at the first move and a one-move variation
// with a note near the end. Tests leave it at its start.
class LongRecord : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    board_ = std::make_unique<PlainBoard>();
    doc_ = std::make_unique<GameDocument>(*board_);
    PlainBoard& b = *board_;
    for (int i = 0; i < kPlies; ++i) PlayCsa(b, kShuttle[i % 8]);
    b.AddAnnotation(b.current(), "終局");
    b.GoToStart();
    PlayCsa(b, "+7776FU");
    PlayCsa(b, "-3334FU");
    b.GoToStart();
    for (int i = 0; i < kLateBranchPly; ++i) b.StepForward();
    PlayCsa(b, kShuttle[7]);
    b.AddAnnotation(b.current(), "分岐");
    b.GoToStart();
  }
  static void TearDownTestSuite() {
    doc_.reset();
    board_.reset();  // frees the whole tree
  }
  void TearDown() override { board_->GoToStart(); }

  static std::unique_ptr<PlainBoard> board_;
  static std::unique_ptr<GameDocument> doc_;
};
std::unique_ptr<PlainBoard> LongRecord::board_;
std::unique_ptr<GameDocument> LongRecord::doc_;

TEST_F(LongRecord, IsWholeAndNavigates) {
  PlainBoard& b = *board_;
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(b.pool().in_use(), kPlies + 1 + 2 + 1);
  EXPECT_EQ(b.SelectedLineLength(), kPlies);
  b.GoToEnd();
  EXPECT_EQ(b.depth(), kPlies);
  EXPECT_EQ(b.CheckConsistency(), "");
  ASSERT_NE(b.current()->note, nullptr);
  EXPECT_EQ(b.current()->note->lines, std::vector<std::string>{"終局"});
}

TEST_F(LongRecord, PrintTextShowsTheWholeSelectedLine) {
  const std::string text = doc_->GetRecordText();
  const std::string last = std::to_string(kPlies);
  EXPECT_NE(text.find("\r\n" + last + " 先手"), std::string::npos);
  EXPECT_NE(text.find("\r\n" + last + "手目: 終局\r\n"), std::string::npos);
  EXPECT_EQ(text.find("分岐"), std::string::npos);  // a variation is not part of the print
}

TEST_F(LongRecord, CopiesOfTheTreeAndOfTheLineAreWhole) {
  PlainBoard& b = *board_;
  b.GoToEnd();
  const MoveNode* place = b.current();
  PlainBoard tree(PlainBoard::kCopyPool);
  b.CopyRecordTo(tree, true, false);
  EXPECT_EQ(b.current(), place);
  EXPECT_EQ(tree.depth(), kPlies);
  EXPECT_EQ(tree.pool().in_use(), b.pool().in_use());
  EXPECT_EQ(BodyText(tree), BodyText(b));

  b.GoToStart();
  PlainBoard line(PlainBoard::kCopyPool);
  b.CopyRecordTo(line, false, true);
  EXPECT_EQ(line.pool().in_use(), kPlies + 1);
  EXPECT_EQ(line.SelectedLineLength(), kPlies);

  // Freeing the deep subtree (the board standing at its far end steps out of it first).
  tree.DeleteBranch(tree.root()->ChildAt(0));
  EXPECT_EQ(tree.depth(), 0);
  EXPECT_EQ(tree.pool().in_use(), 1 + 2);
  EXPECT_EQ(tree.CheckConsistency(), "");
}

TEST_F(LongRecord, CsaTextAndTheRecordCopyRoundTrip) {
  const std::string text = WriteDoc(*doc_);
  EXPECT_NE(text.find("'手数目:" + std::to_string(kLateBranchPly + 1) + "\r\n" + kShuttle[7] + "\r\n'注釈:分岐\r\n"),
            std::string::npos);
  PlainBoard other;
  GameDocument again(other);
  const DocumentResult r = ReadDoc(again, text);
  ASSERT_TRUE(r.ok()) << r.body.bad_line;
  EXPECT_EQ(other.pool().in_use(), board_->pool().in_use());
  EXPECT_EQ(WriteDoc(again), text);

  const std::string copied = doc_->CopyRecordText();
  PlainBoard pasted_board;
  GameDocument pasted(pasted_board);
  ASSERT_TRUE(pasted.PasteRecordText(copied, false));
  EXPECT_EQ(pasted_board.pool().in_use(), board_->pool().in_use());  // the branches came along
  EXPECT_EQ(pasted.CopyRecordText(), copied);
}

// The copy walks the tree with a stack of its own; every variation must come out where it stood.
TEST(TreeCopies, KeepEveryVariationInItsPlace) {
  std::mt19937 rng(271828);
  for (int round = 0; round < 30; ++round) {
    PlainBoard board;
    BuildRandomRecord(board, rng, 8 + round, 2 + round % 7);
    PlainBoard copy(PlainBoard::kCopyPool);
    board.CopyRecordTo(copy, true, false);
    ASSERT_EQ(BodyText(copy), BodyText(board)) << round;
  }
}

}  // namespace
