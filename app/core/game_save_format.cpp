#include "app/core/game_save_format.h"

#include "platform/text_codec.h"

using record::GameFileFormat;

namespace app {

namespace {

struct Offered {
  GameFileFormat format;
  const char* filter;  // "" for the template's own
};
constexpr Offered kOffered[] = {{GameFileFormat::kCsa, ""},
                                {GameFileFormat::kKif, "KIFファイル(*.kif)"},
                                {GameFileFormat::kKifu, "KIFUファイル(*.kifu)"},
                                {GameFileFormat::kKi2, "KI2ファイル(*.ki2)"}};

std::string FilterText(const Offered& o, std::string_view csa_filter) {
  return *o.filter ? o.filter : std::string(csa_filter);
}

const char* FormatName(GameFileFormat format) {
  switch (format) {
    case GameFileFormat::kCsa: return "CSA";
    case GameFileFormat::kKif: return "KIF";
    case GameFileFormat::kKifu: return "KIFU";
    case GameFileFormat::kKi2: return "KI2";
    case GameFileFormat::kKi2u: return "KI2U";
    case GameFileFormat::kSfen: return "SFEN";
  }
  return "";
}

}  // namespace

std::vector<std::string> GameSaveFilters(std::string_view csa_filter) {
  std::vector<std::string> filters;
  for (const Offered& o : kOffered) filters.push_back(FilterText(o, csa_filter));
  return filters;
}

std::string GameSaveFilterFor(std::string_view csa_filter, std::string_view path) {
  const auto format = record::GameFileFormatOfPath(path);
  for (const Offered& o : kOffered) {
    if (format == o.format) return FilterText(o, csa_filter);
  }
  return std::string(csa_filter);
}

std::string GameSavePath(std::string_view csa_filter, std::string_view chosen, std::string_view filter) {
  if (record::GameFileFormatOfPath(chosen)) return std::string(chosen);
  for (const Offered& o : kOffered) {
    if (FilterText(o, csa_filter) == filter) return std::string(chosen) + record::GameFileExtension(o.format);
  }
  return std::string(chosen) + record::GameFileExtension(GameFileFormat::kCsa);
}

std::string DroppedFieldsQuestion(GameFileFormat format, const std::vector<std::string>& dropped) {
  std::string names;
  for (const std::string& name : dropped) names += (names.empty() ? "" : platform::Utf8ToCp932("、")) + name;
  return FormatName(format) + platform::Utf8ToCp932("形式では次の項目が保存されません。\n  ") + names +
         platform::Utf8ToCp932("\n保存しますか？");
}

}  // namespace app
