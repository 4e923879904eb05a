#include "app/core/convert_form.h"

#include "platform/text_codec.h"
#include "record/select_read.h"

namespace app {

using record::kKif2CsaSection;

ConvertForm ReadConvertForm(const platform::SettingsFile& settings) {
  ConvertForm form;
  form.in_dir = settings.GetString(kKif2CsaSection, record::kKif2CsaInDir, "");
  form.out_dir = settings.GetString(kKif2CsaSection, record::kKif2CsaOutDir, "");
  form.out_file = settings.GetString(kKif2CsaSection, record::kKif2CsaOutFile, "");
  form.overwrite = settings.GetInt(kKif2CsaSection, record::kKif2CsaWriteMode, 0) == 1;
  return form;
}

void WriteConvertForm(platform::SettingsFile& settings, const ConvertForm& form) {
  settings.WriteString(kKif2CsaSection, record::kKif2CsaInDir, form.in_dir);
  settings.WriteString(kKif2CsaSection, record::kKif2CsaOutDir, form.out_dir);
  settings.WriteString(kKif2CsaSection, record::kKif2CsaOutFile, form.out_file);
  settings.WriteInt(kKif2CsaSection, record::kKif2CsaWriteMode, form.overwrite ? 1 : 0);
}

std::string CheckConvertDate(const std::string& date) {
  const bool digits = date.find_first_not_of("0123456789") == std::string::npos;
  if (digits && (date.empty() || date.size() == 8)) return {};
  return platform::Utf8ToCp932("対局日は yyyymmdd の８桁で入力してください。");
}

record::KakinokiBatch BatchOf(const ConvertForm& form) {
  record::KakinokiBatch batch;
  batch.inputs = form.inputs;
  batch.out_dir = form.out_dir;
  batch.bulk = form.bulk;
  batch.out_file = form.bulk ? form.out_file : std::string();
  // 書込モード is off with 個別: an output that exists is then left alone (and named), never replaced unasked.
  batch.overwrite = form.bulk && form.overwrite;
  batch.options.event = form.event;
  batch.options.date = form.date;
  batch.options.full_width_names = form.full_width_names;
  return batch;
}

void RememberConvertedFile(platform::SettingsFile& settings, const record::KakinokiBatchResult& result) {
  if (result.csa_file.empty()) return;
  settings.WriteString(record::kSelectReadSection, record::kCsaFileKey, result.csa_file);
}

std::string ConvertProgressText(int input, int inputs) {
  return "変換中 " + std::to_string(input) + " / " + std::to_string(inputs) + " ファイル目";
}

}  // namespace app
