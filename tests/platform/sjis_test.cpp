#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Sjis, LeadBytesAreTheTwoRanges) {
  EXPECT_FALSE(IsSjisLeadByte(0x80));
  EXPECT_TRUE(IsSjisLeadByte(0x81));
  EXPECT_TRUE(IsSjisLeadByte(0x9F));
  EXPECT_FALSE(IsSjisLeadByte(0xA0));
  EXPECT_FALSE(IsSjisLeadByte(0xB1));  // half-width katakana is one byte
  EXPECT_TRUE(IsSjisLeadByte(0xE0));
  EXPECT_TRUE(IsSjisLeadByte(0xFC));
  EXPECT_FALSE(IsSjisLeadByte(0xFD));
}

TEST(Sjis, CutDropsOnlyALoneLeadByte) {
  std::string name = "羽生善治";  // 8 bytes
  EXPECT_EQ(CutToWidth(name, 8), name);
  EXPECT_EQ(CutToWidth(name, 5), "羽生");
  EXPECT_EQ(CutToWidth(name, 4), "羽生");
  EXPECT_EQ(CutToWidth("ab" + name, 5), "ab羽");
  // 亜 is 0x88 0x9F: its second byte lies in the lead range but is not a lead byte here.
  EXPECT_EQ(CutToWidth("亜亜", 2), "亜");
  EXPECT_EQ(CutToWidth("ｱｲｳ", 2), "ｱｲ");
}

}  // namespace
}  // namespace platform
