// The editors' window-free part: the 追い詰め reflow on CP932 bytes, a move's annotation stored from and
// loaded into editor text, naming a move across record changes, and the EDITOR_SECTION settings.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/core/board_controller.h"
#include "app/core/editor_settings.h"
#include "app/core/move_annotation.h"
#include "app/core/reflow.h"
#include "platform/text_codec.h"
#include "tests/app/app_test_support.h"

namespace app {
namespace {

std::string Sjis(const char* utf8) { return platform::Utf8ToCp932(utf8); }

TEST(ReflowTest, ColumnsComeFromTheFontWidthOrHalfTheHeight) {
  EXPECT_EQ(ReflowColumns(600, 8, -16), 75);
  EXPECT_EQ(ReflowColumns(600, 0, -15), 75);  // (15 + 1) / 2 = 8
  EXPECT_EQ(ReflowColumns(600, 0, 0), 0);
}

TEST(ReflowTest, JoinsAParagraphRewrapsItAndKeepsTheBlankLine) {
  EXPECT_EQ(Reflow("abc\r\ndef\r\ngh\r\n\r\nij\r\nkl", 4), "abcd\r\nefgh\r\n\r\nijkl");
  // Two blank lines stay two.
  EXPECT_EQ(Reflow("ab\r\n\r\n\r\ncd", 10), "ab\r\n\r\n\r\ncd");
}

TEST(ReflowTest, NeverSplitsADoubleByteCharacter) {
  // "a" then three two-byte characters at five columns: the third character would straddle the edge.
  const std::string text = "a" + Sjis("角道を開ける");
  const std::string out = Reflow(text, 5);
  EXPECT_EQ(out, "a" + Sjis("角道") + "\r\n" + Sjis("を開") + "\r\n" + Sjis("ける"));
  // A second byte in the lead-byte range (0x95 of 表) is not taken for a lead byte.
  EXPECT_EQ(Reflow(Sjis("表表表"), 3), Sjis("表") + "\r\n" + Sjis("表") + "\r\n" + Sjis("表"));
}

TEST(ReflowTest, AWindowNarrowerThanTwoCharactersLeavesTheTextAlone) {
  const std::string text = "ab\r\ncd";
  EXPECT_EQ(Reflow(text, 1), text);
  EXPECT_EQ(Reflow(text, 0), text);
}

class MoveAnnotationTest : public testing::Test {
 protected:
  MoveAnnotationTest() : images_(TestImages()), board_(&host_.sink), controller_(board_, picture_, host_, BoardKind::kGame) {
    board_.SetImages(&images_);
    controller_.Attach();
    controller_.SetRecordEditing(true);
    Move(77, 76);
    Move(33, 34);
  }
  void Move(int from, int to) {
    for (int square : {from, to}) {
      const Point p = SquareCenter(square, false);
      controller_.LeftDown(p.x, p.y);
      controller_.LeftUp(p.x, p.y);
    }
  }

  RecordingHost host_;
  BoardImages images_;
  ScreenBoard board_;
  BoardPicture picture_;
  BoardController controller_;
};

TEST_F(MoveAnnotationTest, StoreAndDeleteRoundTrip) {
  rules::MoveNode& node = *board_.current();
  ASSERT_NE(&node, board_.root());
  StoreAnnotation(board_, node, Sjis("一行目\r\n\r\n二行目\r\n"));
  ASSERT_NE(node.note, nullptr);
  EXPECT_EQ(node.note->lines, (std::vector<std::string>{Sjis("一行目"), Sjis("二行目")}));
  EXPECT_EQ(AnnotationText(node), Sjis("一行目\r\n二行目\r\n"));
  // Storing again replaces, the last line needs no line end.
  StoreAnnotation(board_, node, "x\r\ny");
  EXPECT_EQ(AnnotationText(node), "x\r\ny\r\n");
  EXPECT_TRUE(DeleteAnnotation(node));
  EXPECT_FALSE(DeleteAnnotation(node)) << "nothing left to delete";
  EXPECT_EQ(AnnotationText(node), "");
  StoreAnnotation(board_, node, "\r\n\r\n");
  EXPECT_EQ(AnnotationText(node), "") << "an empty text stores nothing";
}

TEST_F(MoveAnnotationTest, ALocatorFindsItsMoveUntilTheRecordChanges) {
  const MoveLocator locator = MoveLocator::Of(board_, board_.current());
  EXPECT_EQ(locator.Find(board_), board_.current());
  EXPECT_EQ(AnnotationTitle(board_, board_.current()), "指し手 後手３四歩の注釈");
  EXPECT_EQ(AnnotationTitle(board_, board_.root()), "指し手 ???の注釈");
  // Another second move in place of the first: the locator finds nothing now.
  controller_.StepBack();
  board_.DeleteBranch(board_.current()->child);
  Move(83, 84);
  EXPECT_EQ(locator.Find(board_), nullptr);
  EXPECT_TRUE(MoveLocator::Of(board_, board_.root()).at_root());
}

TEST(EditorSettingsTest, FontsBarsAndRectanglesReadBackAndDefaultsApply) {
  const std::string file = testing::TempDir() + "editor_settings_test.ini";
  std::remove(file.c_str());
  platform::SettingsFile s(file);
  EXPECT_EQ(ReadEditorFont(s, EditorKind::kMoveAnnotation), EditorFont::Default());
  EXPECT_EQ(EditorFont::Default().height, -90);
  EditorFont f{-120, 0, 700, Sjis("IPAゴシック")};
  WriteEditorFont(s, EditorKind::kText, f);
  EXPECT_EQ(ReadEditorFont(s, EditorKind::kText), f);
  EXPECT_EQ(s.GetInt("EDITOR_SECTION", "FontValid", 0), 1);
  EXPECT_EQ(ReadEditorFont(s, EditorKind::kMoveAnnotation), EditorFont::Default()) << "each editor has its keys";
  WriteEditorBars(s, EditorKind::kMoveAnnotation, {false, true});
  EXPECT_EQ(s.GetInt("EDITOR_SECTION", "VisibleCEditorToolBar", 1), 0);
  EXPECT_TRUE(ReadEditorBars(s, EditorKind::kText).toolbar);
  WriteEditorRect(s, EditorKind::kMoveAnnotation, {10, 20, 610, 200});
  EXPECT_EQ(s.GetInt("EDITOR_SECTION", "CmntPosX2", 0), 610);
  EXPECT_EQ(ReadEditorRect(s, EditorKind::kMoveAnnotation), (Rect{10, 20, 610, 200}));
  std::remove(file.c_str());
}

TEST(EditorSettingsTest, PlacementUsesTheStoredRectangleOnlyOnTheScreen) {
  const Rect screen{0, 0, 1024, 768}, client{100, 100, 900, 700};
  EXPECT_EQ(PlaceEditor(EditorKind::kMoveAnnotation, {10, 20, 300, 200}, screen, client), (Rect{10, 20, 300, 200}));
  EXPECT_EQ(PlaceEditor(EditorKind::kMoveAnnotation, {2000, 20, 2300, 200}, screen, client), (Rect{200, 310, 800, 490}));
  EXPECT_EQ(PlaceEditor(EditorKind::kMoveAnnotation, {}, screen, client), (Rect{200, 310, 800, 490}));
  EXPECT_EQ(PlaceEditor(EditorKind::kText, {}, screen, client), (Rect{200, 220, 800, 580}));
}

}  // namespace
}  // namespace app
