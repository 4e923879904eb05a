// The joseki browser's items read from a joseki database made in the test: children and their positions,
// a position found from its reversed form with its moves turned, and annotations of a position that is
// not yet a joseki position.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "app/core/joseki_tree.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"
#include "platform/text_codec.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/schema.h"

using namespace app;
using namespace rules;
using namespace shogidb;

namespace {

class JosekiTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test its own directory: ctest runs them side by side.
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = (std::filesystem::path(::testing::TempDir()) / ("joseki_tree_" + name + "_" + std::to_string(getpid()))).string();
    std::filesystem::remove_all(dir_);
    platform::RecordingProgressSink progress;
    platform::RecordingMessageSink messages;
    ASSERT_TRUE(CreateDatabase(dir_, progress, messages));
    // ▲７六歩 △３四歩 as joseki.
    JosekiDatabase db;
    db.SetDatabase(dir_);
    const BoardForm even = FormBoard().Form();
    pawn_ = FormBoard(even).Encode({kSente, 77, 0, 76, false});
    FormBoard after(even);
    after.Apply(pawn_);
    after_pawn_ = after.Form();
    ASSERT_EQ(RegisterJosekiMove(db, even, kSente, pawn_, {}), 0);
    ASSERT_EQ(RegisterJosekiMove(db, after_pawn_, kGote, after.Encode({kGote, 33, 0, 34, false}), {}), 0);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static JosekiCell Root(const BoardForm& form, Side side) {
    JosekiCell root;
    root.form = form;
    root.side = side;
    return root;
  }
  static std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

  std::string dir_;
  BoardMove pawn_ = kNoMove;
  BoardForm after_pawn_;
};

TEST_F(JosekiTreeTest, ChildrenStandOnThePositionBeforeTheirMove) {
  JosekiSession session(dir_, {});
  ASSERT_TRUE(session.ready());
  std::vector<JosekiCell> first, second;
  ASSERT_EQ(ReadChildCells(session.db(), Root(FormBoard().Form(), kSente), first), 0);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].text, Cp932("先手７六歩"));
  EXPECT_EQ(first[0].depth, 1);
  EXPECT_EQ(first[0].value, 100);
  EXPECT_TRUE(first[0].FormAfter() == after_pawn_);
  EXPECT_EQ(first[0].SideAfter(), kGote);
  ASSERT_EQ(ReadChildCells(session.db(), first[0], second), 0);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].text, Cp932("後手３四歩"));
  EXPECT_EQ(second[0].depth, 2);
  EXPECT_TRUE(second[0].form == after_pawn_);
  // A position without joseki has no children.
  std::vector<JosekiCell> none;
  ASSERT_EQ(ReadChildCells(session.db(), second[0], none), 0);
  EXPECT_TRUE(none.empty());
}

TEST_F(JosekiTreeTest, ReversedPositionShowsTheMovesTurned) {
  // After ▲７六歩 with gote to move, seen from the other side: sente to move, and △３四歩 is ▲７六歩.
  BoardForm turned = after_pawn_;
  turned.Reverse();
  JosekiSession session(dir_, {});
  std::vector<JosekiCell> children;
  ASSERT_EQ(ReadChildCells(session.db(), Root(turned, kSente), children), 0);
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].text, Cp932("先手７六歩"));
}

TEST_F(JosekiTreeTest, NoteOfAPositionNotYetJosekiRegistersItFirst) {
  JosekiSession session(dir_, {});
  std::vector<JosekiCell> first, second;
  ASSERT_EQ(ReadChildCells(session.db(), Root(FormBoard().Form(), kSente), first), 0);
  ASSERT_EQ(ReadChildCells(session.db(), first[0], second), 0);
  const JosekiNoteTarget leaf{second[0], false};  // the position after △３四歩 has no joseki
  JosekiPosition position;
  EXPECT_EQ(ReadJosekiNote(session.db(), leaf), "");
  EXPECT_EQ(WriteJosekiNote(session.db(), leaf, ""), 0);  // nothing to delete, nothing made
  EXPECT_NE(session.db().FindJosekiPosition(second[0].FormAfter(), kSente, position), 0);
  EXPECT_EQ(WriteJosekiNote(session.db(), leaf, Cp932("相居飛車")), 0);
  EXPECT_EQ(ReadJosekiNote(session.db(), leaf), Cp932("相居飛車"));
  EXPECT_EQ(session.db().FindJosekiPosition(second[0].FormAfter(), kSente, position), 0);
  // A move's note and the position's are apart.
  EXPECT_EQ(WriteJosekiNote(session.db(), {first[0], true}, Cp932("角道")), 0);
  EXPECT_EQ(ReadJosekiNote(session.db(), {first[0], true}), Cp932("角道"));
  EXPECT_EQ(ReadJosekiNote(session.db(), {first[0], false}), "");
  EXPECT_EQ(JosekiNoteTarget({first[0], false}).Title(), "定跡局面(先手７六歩まで)の注釈");
}

}  // namespace
