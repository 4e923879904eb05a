#include "record/game_file_format.h"

#include <cctype>

#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/kakinoki_writer.h"
#include "record/record_document.h"
#include "record/sfen.h"

namespace record {

namespace {

struct FormatName {
  const char* name;
  GameFileFormat format;
};
constexpr FormatName kFormats[] = {{"csa", GameFileFormat::kCsa},
                                   {"kif", GameFileFormat::kKif},
                                   {"kifu", GameFileFormat::kKifu},
                                   {"ki2", GameFileFormat::kKi2},
                                   {"ki2u", GameFileFormat::kKi2u},
                                   {"sfen", GameFileFormat::kSfen}};

}  // namespace

std::optional<GameFileFormat> GameFileFormatNamed(std::string_view name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const FormatName& f : kFormats) {
    if (lower == f.name) return f.format;
  }
  return std::nullopt;
}

std::optional<GameFileFormat> GameFileFormatOfPath(std::string_view path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return std::nullopt;
  return GameFileFormatNamed(path.substr(dot + 1));
}

const char* GameFileExtension(GameFileFormat format) {
  switch (format) {
    case GameFileFormat::kCsa: return ".csa";
    case GameFileFormat::kKif: return ".kif";
    case GameFileFormat::kKifu: return ".kifu";
    case GameFileFormat::kKi2: return ".ki2";
    case GameFileFormat::kKi2u: return ".ki2u";
    case GameFileFormat::kSfen: return ".sfen";
  }
  return "";
}

std::string GameFileBytes(GameDocument& doc, GameFileFormat format) {
  switch (format) {
    case GameFileFormat::kCsa: {
      Archive out = Archive::ToMemory();
      doc.Serialize(out);
      return out.text();
    }
    case GameFileFormat::kKif: return WriteKakinokiText(doc, KakinokiForm::kKif);
    case GameFileFormat::kKi2: return WriteKakinokiText(doc, KakinokiForm::kKi2);
    case GameFileFormat::kKifu: return platform::Cp932ToUtf8(WriteKakinokiText(doc, KakinokiForm::kKif));
    case GameFileFormat::kKi2u: return platform::Cp932ToUtf8(WriteKakinokiText(doc, KakinokiForm::kKi2));
    case GameFileFormat::kSfen: return RecordUsiLine(doc.board()) + "\r\n";
  }
  return "";
}

std::vector<std::string> DroppedGameFields(const GameDocument& doc, GameFileFormat format) {
  if (format == GameFileFormat::kCsa) return {};
  if (format == GameFileFormat::kSfen) return DroppedUsiParts(doc);
  return DroppedKakinokiFields(doc);
}

}  // namespace record
