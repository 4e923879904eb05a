// Records as tab-separated text (kzb table load/dump, kzb sql output).
#include <gtest/gtest.h>

#include "dbengine/record_text.h"
#include "tests/dbengine/db_test_util.h"

namespace dbengine {
namespace {

using testing::Column;

TEST(RecordText, RoundTripWithEscapesAndDoubleByteText) {
  DbSchema s = testing::MakeSchema({Column("name", kChar, 12), Column("day", kDate, 6), Column("raw", kBin, 3)});
  // 十 and ソ end in the byte of "\", which must not be taken for an escape either way.
  std::vector<uint8_t> r = testing::Record(s, {"十ソ\t\\x\n", "\x01\x02\xFF"});
  std::string line = FormatRecord(s, r.data());
  EXPECT_EQ(line, "十ソ\\t\\\\x\\n\t0102ff000000\t000000");
  std::vector<uint8_t> back(s.RecordLength());
  std::string problem;
  ASSERT_EQ(ParseRecord(s, line, back.data(), &problem), kOk) << problem;
  EXPECT_EQ(back, r);
  ASSERT_EQ(ParseRecord(s, "a\t01\tABCDEF", back.data(), &problem), kOk);  // short hex is padded
  EXPECT_EQ(back[12], 1);
  EXPECT_EQ(back[13], 0);
  EXPECT_EQ(back[18], 0xAB);
}

TEST(RecordText, RejectsWhatDoesNotFit) {
  DbSchema s = testing::MakeSchema({Column("name", kChar, 4), Column("raw", kBin, 2)});
  std::vector<uint8_t> r(6);
  std::string problem;
  EXPECT_EQ(ParseRecord(s, "abcde\t00", r.data(), &problem), kInvalid);
  EXPECT_EQ(ParseRecord(s, "abcd\t000000", r.data(), &problem), kInvalid);
  EXPECT_EQ(ParseRecord(s, "abcd\t0g", r.data(), &problem), kInvalid);
  EXPECT_EQ(ParseRecord(s, "abcd\t0", r.data(), &problem), kInvalid);
  EXPECT_EQ(ParseRecord(s, "abcd", r.data(), &problem), kInvalid);
  EXPECT_EQ(problem, "1 columns, the table has 2");
  EXPECT_EQ(ParseRecord(s, "a\\q\t", r.data(), &problem), kInvalid);
  EXPECT_EQ(ParseRecord(s, "a\\\t", r.data(), &problem), kInvalid);
  EXPECT_EQ(ParseRecord(s, "abcd\t", r.data(), &problem), kOk);
}

TEST(RecordText, RowsOfASelect) {
  std::vector<ResultColumn> columns = {{"a", kChar, 3, 0, 0, 0}, {"b", kTime, 6, 0, 1, 3}};
  const uint8_t row[] = {'x', 0, 'z', 1, 2, 3, 4, 5, 6};
  EXPECT_EQ(FormatRow(columns, row), "x\t010203040506");
}

}  // namespace
}  // namespace dbengine
