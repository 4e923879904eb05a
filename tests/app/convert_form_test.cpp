// The conversion dialog's values without the window: the default date check, the batch the values make,
// and the KIF2CSA section they are kept in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/core/convert_form.h"

using namespace app;

TEST(ConvertForm, TheDefaultDateIsEmptyOrEightDigits) {
  EXPECT_EQ(CheckConvertDate(""), "");
  EXPECT_EQ(CheckConvertDate("20261207"), "");
  EXPECT_NE(CheckConvertDate("2026127"), "");
  EXPECT_NE(CheckConvertDate("2026/12/07"), "");
}

TEST(ConvertForm, OnePerInputNeverReplacesAndAllInOneKeepsItsMode) {
  ConvertForm form;
  form.inputs = {"a.kif"};
  form.out_dir = "out";
  form.out_file = "all";
  form.overwrite = true;
  form.bulk = false;
  record::KakinokiBatch each = BatchOf(form);
  EXPECT_FALSE(each.bulk);
  EXPECT_FALSE(each.overwrite);
  EXPECT_EQ(each.out_file, "");
  form.bulk = true;
  record::KakinokiBatch bulk = BatchOf(form);
  EXPECT_TRUE(bulk.overwrite);
  EXPECT_EQ(bulk.out_file, "all");
}

TEST(ConvertForm, TheSettingsSectionKeepsFoldersFileAndMode) {
  const std::string path = testing::TempDir() + "convert_form_" + std::to_string(::getpid()) + ".ini";
  platform::SettingsFile settings(path);
  ConvertForm form;
  form.in_dir = "in";
  form.out_dir = "out";
  form.out_file = "all.csa";
  form.overwrite = true;
  form.event = "not kept";
  WriteConvertForm(settings, form);
  const ConvertForm read = ReadConvertForm(settings);
  EXPECT_EQ(read.in_dir, "in");
  EXPECT_EQ(read.out_dir, "out");
  EXPECT_EQ(read.out_file, "all.csa");
  EXPECT_TRUE(read.overwrite);
  EXPECT_EQ(read.event, "");
  EXPECT_EQ(settings.GetInt("KIF2CSA", "Wmode", 0), 1);
  std::remove(path.c_str());
}
