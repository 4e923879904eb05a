// The conversion dialog (棋譜→CSAファイル変換, 246) without its window: the values of its controls, where
// they come from and go to in the settings (section KIF2CSA), the check of the default date, and the batch
// they make.
#pragma once
#include <string>
#include <vector>

#include "platform/settings_file.h"
#include "record/kakinoki_converter.h"

namespace app {

// Strings are CP932.
struct ConvertForm {
  std::vector<std::string> inputs;
  std::string in_dir;      // where 選択 starts
  bool bulk = true;        // 変換方法: 一括, else 個別
  bool overwrite = false;  // 書込モード: 上書, else 追加
  std::string event;       // 棋戦名 for games that name none
  std::string date;        // 対局日 (yyyymmdd) for games that give none
  std::string out_dir;
  std::string out_file;
  bool full_width_names = false;
};

// The remembered fields (InDir, OutDir, OutFile, Wmode); the others keep their defaults.
ConvertForm ReadConvertForm(const platform::SettingsFile& settings);
void WriteConvertForm(platform::SettingsFile& settings, const ConvertForm& form);

// Empty when the default date is usable (empty or eight digits), else the message to show (CP932).
std::string CheckConvertDate(const std::string& date);

record::KakinokiBatch BatchOf(const ConvertForm& form);

// After a run: the CSA file written last becomes the one the CSA select-read offers (KF_CsaFileName).
void RememberConvertedFile(platform::SettingsFile& settings, const record::KakinokiBatchResult& result);

// The progress line of a run, UTF-8: "変換中 2 / 5 ファイル目".
std::string ConvertProgressText(int input, int inputs);

}  // namespace app
