#include "record/header_fields.h"

#include <gtest/gtest.h>

using namespace record;

namespace {

TEST(GameHeader, ValueRules) {
  GameHeader h;
  EXPECT_TRUE(h.SetField(GameHeader::kDate, "20240230"));  // day 30 in February passes: days go to 31
  EXPECT_EQ(h.Field(GameHeader::kDate), "20240230");
  EXPECT_FALSE(h.SetField(GameHeader::kDate, "2024023"));   // seven digits
  EXPECT_FALSE(h.SetField(GameHeader::kDate, "20241301"));  // month 13
  EXPECT_FALSE(h.SetField(GameHeader::kDate, "20240132"));
  EXPECT_EQ(h.Field(GameHeader::kDate), "20240230");        // the old value stays
  EXPECT_FALSE(h.SetField(GameHeader::kByoyomi, "5"));
  EXPECT_TRUE(h.SetField(GameHeader::kByoyomi, "60"));
  EXPECT_TRUE(h.SetField(GameHeader::kTimeLimit, "015959"));
  EXPECT_FALSE(h.SetField(GameHeader::kTimeLimit, "240000"));
  EXPECT_FALSE(h.SetField(GameHeader::kTimeLimit, "006000"));
  EXPECT_TRUE(h.SetField(GameHeader::kMoveCount, "77"));
  EXPECT_FALSE(h.SetField(GameHeader::kMoveCount, "12345"));
  EXPECT_FALSE(h.SetField(GameHeader::kMoveCount, "7a"));
  EXPECT_TRUE(h.SetField(GameHeader::kRegistered, "20261206235959"));
  EXPECT_FALSE(h.SetField(GameHeader::kRegistered, "20261206246000"));
  EXPECT_FALSE(h.SetField(GameHeader::kGameNumber, "12345"));
  EXPECT_TRUE(h.SetField(GameHeader::kGameNumber, "000123"));
}

TEST(GameHeader, TextIsKeptWholeWhateverItsColumnsWidth) {
  GameHeader h;
  EXPECT_TRUE(h.SetField(GameHeader::kSenteRank, "名人九段竜王"));  // 12 bytes, the column holds 10
  EXPECT_EQ(h.Field(GameHeader::kSenteRank), "名人九段竜王");
  EXPECT_EQ(h.FieldWithKeyAt("対局日:20240101"), GameHeader::kDate);
  EXPECT_EQ(h.FieldWithKeyAt("先手残時間:000100"), GameHeader::kSenteTimeLeft);
  EXPECT_EQ(h.FieldWithKeyAt("その他:x"), -1);
}

TEST(GameHeader, PlayersMerge) {
  GameHeader h;
  EXPECT_EQ(h.Players(), "対局者不詳-対局者不詳");
  std::string sente = "羽生善治", gote = "藤井聡太";
  h.SetPlayers(&sente, &gote);
  EXPECT_EQ(h.Players(), "羽生善治-藤井聡太");
  std::string other = "谷川浩司";
  h.SetPlayers(nullptr, &other);
  EXPECT_EQ(h.Players(), "羽生善治-谷川浩司");
  EXPECT_EQ(h.SenteName(), "羽生善治");
  EXPECT_EQ(h.GoteName(), "谷川浩司");

  // The header keeps long names whole; the database's column shortens them. Both longer than 14 bytes:
  // both cut to 14.
  std::string long_a = "一二三四五六七八", long_b = "九十百千万億兆京";  // 16 bytes each
  h.SetPlayers(&long_a, &long_b);
  EXPECT_EQ(h.Players(), "一二三四五六七八-九十百千万億兆京");
  EXPECT_EQ(h.ShortPlayers(), "一二三四五六七-九十百千万億兆");
  // A short sente name leaves the rest to gote.
  std::string short_a = "ab";
  std::string long_c = "あいうえおかきくけこさしすせそ";  // 30 bytes, cut to 28 then to 26
  h.SetPlayers(&short_a, &long_c);
  EXPECT_EQ(h.ShortPlayers(), "ab-あいうえおかきくけこさしす");
  // An odd cut drops the lone lead byte.
  std::string three = "abc";
  h.SetPlayers(&three, &long_c);
  EXPECT_EQ(h.ShortPlayers(), "abc-あいうえおかきくけこさし");
  // No gote name: the sente name alone.
  std::string empty;
  h.SetPlayers(&sente, &empty);
  EXPECT_EQ(h.Players(), "羽生善治");
  h.Clear();
  EXPECT_EQ(h.Players(), "対局者不詳-対局者不詳");
}

TEST(TsumeHeader, ValueRulesAndTheUnknownAuthor) {
  ProblemHeader t;
  EXPECT_EQ(t.Field(ProblemHeader::kAuthor), "作者不詳");
  EXPECT_TRUE(t.SetField(ProblemHeader::kMateLength, "17"));
  EXPECT_FALSE(t.SetField(ProblemHeader::kMateLength, "17手"));
  EXPECT_FALSE(t.SetField(ProblemHeader::kRegistered, "2024"));
  EXPECT_TRUE(t.SetField(ProblemHeader::kRegistered, "20241206120000"));
  EXPECT_FALSE(t.SetField(ProblemHeader::kProblemNumber, "12"));
  EXPECT_TRUE(t.SetField(ProblemHeader::kProblemNumber, "000012"));
  t.SetProblemPosition("123456789");
  EXPECT_EQ(t.ProblemPosition(), "12345678");
  t.Clear();
  EXPECT_EQ(t.Field(ProblemHeader::kAuthor), "作者不詳");
  EXPECT_EQ(t.Field(ProblemHeader::kMateLength), "");
  EXPECT_EQ(t.ProblemPosition(), "");
}

TEST(Headers, AnnotationLinesAndClearing) {
  ProblemHeader t;
  EXPECT_EQ(t.FieldCount(), 7);
  EXPECT_TRUE(t.SetField(ProblemHeader::kTitle, "第一番"));
  EXPECT_TRUE(t.AppendAnnotationLine("初手が妙手"));
  EXPECT_TRUE(t.AppendAnnotationLine(""));
  EXPECT_EQ(t.Annotation(), "初手が妙手\r\n\r\n");
  t.Clear();
  EXPECT_EQ(t.Field(ProblemHeader::kTitle), "");
  EXPECT_EQ(t.Annotation(), "");
}

}  // namespace
