#include "platform/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/small_fs.h"

namespace platform {
namespace {

class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override {
    // One file per test process: tests run in parallel, also from other checkouts.
    path_ = CorePath(testing::TempDir()) + "駒楽工房_settings_test_" + std::to_string(::getpid()) + ".INI";
    RemoveFile(path_);
  }
  void TearDown() override { RemoveFile(path_); }

  std::string Contents() const {
    std::string bytes;
    ReadWholeFile(path_, bytes);
    return bytes;
  }

  std::string path_;
};

TEST_F(SettingsFileTest, MissingFileAndKeysGiveDefaults) {
  SettingsFile s(path_);
  EXPECT_EQ(s.GetInt("KSPEED_SECTION", "ValueOfSlider1", 5), 5);
  EXPECT_EQ(s.GetString("SHGDB", "ShgdbDir", "/opt/db"), "/opt/db");
  EXPECT_FALSE(s.Find("SHGDB", "ShgdbDir").has_value());
  EXPECT_TRUE(s.ReadStringList("STRING_LIST", "Senkei").empty());
}

TEST_F(SettingsFileTest, WritesSectionsAndKeysInOrderWithCrlf) {
  SettingsFile s(path_);
  ASSERT_TRUE(s.WriteInt("SETTING", "KifWindow", 1));
  ASSERT_TRUE(s.WriteInt("SETTING", "KSound", 0));
  ASSERT_TRUE(s.WriteInt("KSPEED_SECTION", "WindowOffsetX", -1000));
  ASSERT_TRUE(s.WriteInt("SETTING", "KifWindow", 0));  // updates in place
  EXPECT_EQ(Contents(), "[SETTING]\r\nKifWindow=0\r\nKSound=0\r\n[KSPEED_SECTION]\r\nWindowOffsetX=-1000\r\n");
  EXPECT_EQ(s.GetInt("KSPEED_SECTION", "WindowOffsetX", 0), -1000);
}

TEST_F(SettingsFileTest, NamesIgnoreCaseAndKeepCommentsAndBlankLines) {
  ASSERT_TRUE(WriteWholeFile(path_, "; 駒楽工房\n[Setting]\n  ksound = 1 \n\n[Other]\nA=\"quoted value\"\n"));
  SettingsFile s(path_);
  EXPECT_EQ(s.GetInt("SETTING", "KSound", 0), 1);
  EXPECT_EQ(s.GetString("other", "a", ""), "quoted value");
  ASSERT_TRUE(s.WriteInt("SETTING", "KifWindow", 1));
  EXPECT_EQ(Contents(), "; 駒楽工房\r\n[Setting]\r\n  ksound = 1 \r\nKifWindow=1\r\n\r\n[Other]\r\nA=\"quoted value\"\r\n");
}

TEST_F(SettingsFileTest, IntegersReadTheirLeadingDigits) {
  EXPECT_EQ(SettingsFile::ParseInt("42abc"), 42);
  EXPECT_EQ(SettingsFile::ParseInt(" -7"), -7);
  EXPECT_EQ(SettingsFile::ParseInt("abc"), 0);
  EXPECT_EQ(SettingsFile::ParseInt(""), 0);
  EXPECT_EQ(SettingsFile::ParseInt("99999999999999999999"), 2147483647);
  EXPECT_EQ(SettingsFile::ParseInt("-99999999999999999999"), -2147483647 - 1);
}

TEST_F(SettingsFileTest, StringListsRoundTripAndShrink) {
  SettingsFile s(path_);
  std::vector<std::string> three = {"相矢倉改", "矢倉中飛車", "棒銀"};
  ASSERT_TRUE(s.WriteStringList("STRING_LIST", "Senkei", three));
  EXPECT_EQ(s.ReadStringList("STRING_LIST", "Senkei"), three);
  EXPECT_EQ(s.GetInt("STRING_LIST", "SenkeiStringNum", 0), 3);
  EXPECT_EQ(s.GetString("STRING_LIST", "SenkeiStringItem2", ""), "棒銀");

  // A shorter list deletes the surplus items; another list in the same section is untouched.
  ASSERT_TRUE(s.WriteStringList("STRING_LIST", "Shgdb", {"/db/a"}));
  ASSERT_TRUE(s.WriteStringList("STRING_LIST", "Senkei", {"棒銀"}));
  EXPECT_FALSE(s.Find("STRING_LIST", "SenkeiStringItem1").has_value());
  EXPECT_FALSE(s.Find("STRING_LIST", "SenkeiStringItem2").has_value());
  EXPECT_EQ(s.ReadStringList("STRING_LIST", "Senkei"), std::vector<std::string>{"棒銀"});
  EXPECT_EQ(s.ReadStringList("STRING_LIST", "Shgdb"), std::vector<std::string>{"/db/a"});
}

TEST_F(SettingsFileTest, StringListReadingSkipsEmptyAndMissingItems) {
  ASSERT_TRUE(WriteWholeFile(path_,
                             "[STRING_LIST]\r\nSenkeiStringNum=5\r\nSenkeiStringItem0=a\r\n"
                             "SenkeiStringItem1=\r\nSenkeiStringItem3=d\r\n"));
  SettingsFile s(path_);
  EXPECT_EQ(s.ReadStringList("STRING_LIST", "Senkei"), (std::vector<std::string>{"a", "d"}));
}

TEST_F(SettingsFileTest, DeletesKeysAndSections) {
  SettingsFile s(path_);
  ASSERT_TRUE(s.WriteString("KF_Section", "KF_WakeUpFile", "/tmp/a.csa"));
  ASSERT_TRUE(s.WriteInt("SETTING", "KSound", 1));
  ASSERT_TRUE(s.DeleteKey("KF_Section", "KF_WakeUpFile"));
  EXPECT_FALSE(s.Find("KF_Section", "KF_WakeUpFile").has_value());
  ASSERT_TRUE(s.DeleteSection("SETTING"));
  EXPECT_EQ(Contents(), "[KF_Section]\r\n");
  EXPECT_TRUE(s.DeleteKey("NoSuch", "Key"));
}

TEST_F(SettingsFileTest, ReadsSeeWritesOfAnotherWriter) {
  SettingsFile first(path_), second(path_);
  ASSERT_TRUE(second.WriteString("KF_Section", "KF_WakeUpFile", "/tmp/棋譜.CSA"));
  EXPECT_EQ(first.GetString("KF_Section", "KF_WakeUpFile", ""), "/tmp/棋譜.CSA");
}

TEST_F(SettingsFileTest, UnwritableFileReportsFailure) {
  SettingsFile s(CorePath(testing::TempDir()) + "no/such/dir/x.INI");
  EXPECT_FALSE(s.WriteInt("SETTING", "KSound", 1));
}

TEST(SettingsFileOnAFullDisk, AFailedWriteKeepsEverySetting) {
  test_support::SmallFileSystem fs(test_support::ScratchPath("settings", "full"));
  SKIP_UNLESS_MOUNTED(fs);
  SettingsFile s(fs.path() + "/KOMARAKU.INI");
  ASSERT_TRUE(s.WriteString("SHGDB", "ShgdbDir", "/opt/db"));
  ASSERT_TRUE(fs.Fill());
  EXPECT_FALSE(s.WriteString("SHGDB", "Note", std::string(8192, 'x')));
  EXPECT_EQ(s.GetString("SHGDB", "ShgdbDir", ""), "/opt/db");
  EXPECT_FALSE(s.Find("SHGDB", "Note").has_value());
}

}  // namespace
}  // namespace platform
