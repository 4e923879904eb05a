// Pages of a print job: the geometry of a printable area, a long game cut into the pages its print text
// implies (one and two columns), a record without moves, and a wrapped plain text.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/print_pages.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/plain_board.h"
#include "record/print_lines.h"
#include "record/record_document.h"

namespace app {
namespace {

constexpr double kA4Width = 595, kA4Height = 842, kMargin = 28;  // about 10 mm

// A game of `moves` rook shuffles read from CSA text.
void ReadShuffleGame(record::GameDocument& doc, int moves) {
  const char* const shuffle[] = {"+2838HI", "-8272HI", "+3828HI", "-7282HI"};
  std::string csa = "PI\r\n+\r\n";
  for (int i = 0; i < moves; ++i) csa += std::string(shuffle[i % 4]) + "\r\n";
  record::Archive in = record::Archive::FromText(csa);
  ASSERT_TRUE(doc.Serialize(in).ok());
}

size_t Count(std::string_view text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

size_t LineCount(const std::vector<PrintPage>& pages) {
  size_t n = 0;
  for (const PrintPage& p : pages) n += p.size();
  return n;
}

bool AnyLineContains(const std::vector<PrintPage>& pages, std::string_view what) {
  for (const PrintPage& p : pages) {
    for (const std::string& line : p) {
      if (line.find(what) != std::string::npos) return true;
    }
  }
  return false;
}

TEST(PrintGeometry, ColumnsFollowThePageWidth) {
  const double w = kA4Width - 2 * kMargin, h = kA4Height - 2 * kMargin;
  const PrintGeometry portrait = GeometryFor(w, h);
  EXPECT_TRUE(portrait.two_columns);
  EXPECT_DOUBLE_EQ(portrait.font_size, 10.0);
  EXPECT_GE(portrait.width, kTwoColumnWidth);
  EXPECT_EQ(portrait.lines_per_page, static_cast<int>(h / 12.5) - kHeaderLines - kFooterLines);

  const PrintGeometry landscape = GeometryFor(h, w);
  EXPECT_TRUE(landscape.two_columns);
  EXPECT_GT(landscape.width, portrait.width);
  EXPECT_LT(landscape.lines_per_page, portrait.lines_per_page);

  // Two columns would need a font below 8 points: one column of at least 72 cells.
  const PrintGeometry narrow = GeometryFor(360, 500);
  EXPECT_FALSE(narrow.two_columns);
  EXPECT_GE(narrow.width, kOneColumnWidth);
  EXPECT_LE(narrow.width * narrow.cell_width(), 360 + 1e-9);

  // Exactly 103 cells at 8 points fit: the last cell is not lost to rounding.
  const PrintGeometry exact = GeometryFor(103 * 4.0, 400);
  EXPECT_TRUE(exact.two_columns);
  EXPECT_EQ(exact.width, kTwoColumnWidth);
  EXPECT_GE(GeometryFor(10, 10).lines_per_page, 1);
}

class RecordPagesTest : public testing::Test {
 protected:
  record::PlainBoard board_;
  record::GameDocument doc_{board_};
};

TEST_F(RecordPagesTest, LongGameInOneColumnHasTheFormFeedPagesOfItsPrintText) {
  ReadShuffleGame(doc_, 150);
  const PrintGeometry g = GeometryFor(360, 500);
  ASSERT_FALSE(g.two_columns);
  const std::string printed = doc_.GetRecordText(g.width, g.lines_per_page, true);
  const std::vector<PrintPage> pages = RecordPages(doc_, g);
  EXPECT_GT(pages.size(), 2u);
  EXPECT_EQ(pages.size(), Count(printed, "\f"));
  EXPECT_EQ(LineCount(pages), Count(printed, "\r\n"));
  for (size_t i = 0; i < pages.size(); ++i) {
    EXPECT_LE(pages[i].size(), static_cast<size_t>(g.lines_per_page));
    if (i + 1 < pages.size()) {
      EXPECT_EQ(pages[i].size(), static_cast<size_t>(g.lines_per_page));
    }
  }
  EXPECT_TRUE(AnyLineContains(pages, "150 "));
}

TEST_F(RecordPagesTest, LongGameInTwoColumnsIsCountedAfterTheLayout) {
  ReadShuffleGame(doc_, 150);
  const PrintGeometry g = GeometryFor(kA4Width - 2 * kMargin, kA4Height - 2 * kMargin);
  ASSERT_TRUE(g.two_columns);
  const std::string columns = record::TwoColumnLayout(doc_.GetRecordText(g.width, 9999, false));
  const size_t lines = Count(columns, "\r\n");
  const std::vector<PrintPage> pages = RecordPages(doc_, g);
  EXPECT_EQ(pages.size(), (lines + g.lines_per_page - 1) / g.lines_per_page);
  EXPECT_EQ(LineCount(pages), lines);
  // Moves 1 and 21 share a row: the rows of move pairs 1-2 and 21-22.
  bool side_by_side = false;
  for (const PrintPage& p : pages) {
    for (const std::string& line : p) side_by_side |= line.rfind("  1 ", 0) == 0 && line.find(" 21 ") == 52;
  }
  EXPECT_TRUE(side_by_side);
  for (const PrintPage& p : pages) {
    for (const std::string& line : p) EXPECT_LE(line.size(), static_cast<size_t>(g.width)) << line;
  }
}

TEST_F(RecordPagesTest, RecordWithoutMovesIsOnePageWithoutMoveList) {
  ReadShuffleGame(doc_, 0);
  for (const PrintGeometry& g : {GeometryFor(360, 500), GeometryFor(kA4Width, kA4Height)}) {
    const std::vector<PrintPage> pages = RecordPages(doc_, g);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_FALSE(AnyLineContains(pages, platform::Utf8ToCp932("指し手:")));
    EXPECT_TRUE(AnyLineContains(pages, "========"));
  }
}

TEST(TextPages, WrapsToTheWidthAndCountsPages) {
  PrintGeometry g;
  g.width = 10;
  g.lines_per_page = 3;
  // 26 bytes of full-width text wrap into pieces of 10, 10 and 6 (never half a character).
  const std::string wide = platform::Utf8ToCp932("あいうえおかきくけこさしつ");
  const std::vector<PrintPage> pages = TextPages(wide + "\n\tx\r\n", g);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].size(), 3u);
  EXPECT_EQ(pages[0][2].size(), 6u);
  EXPECT_EQ(pages[1], PrintPage{"        x"});
  const std::vector<PrintPage> empty = TextPages("", g);
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_TRUE(empty[0].empty());
}

TEST(SplitPages, LinesBetweenFormFeeds) {
  EXPECT_EQ(SplitPages("a\r\nb\r\n\fc\r\n\f"), (std::vector<PrintPage>{{"a", "b"}, {"c"}}));
  EXPECT_EQ(SplitPages("a\rb\r\n"), (std::vector<PrintPage>{{"a", "b"}}));
}

}  // namespace
}  // namespace app
