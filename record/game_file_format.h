// The file formats a game record can be written in, chosen by the file's extension or by name: CSA (the
// program's own), KIF and KI2 in CP932 (.kif .ki2) or UTF-8 (.kifu .ki2u). kzb and the GUI both write
// through here, so a file's bytes always match its extension.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace record {

class GameDocument;

// kSfen: the main line as one USI position line (.sfen), for engines; nothing else of the record goes.
enum class GameFileFormat { kCsa, kKif, kKifu, kKi2, kKi2u, kSfen };

// By the extension, case ignored; nullopt for one that names no game format.
std::optional<GameFileFormat> GameFileFormatOfPath(std::string_view path);
// By its name as options give it ("csa", "kif", "kifu", "ki2", "ki2u", "sfen"); nullopt for another.
std::optional<GameFileFormat> GameFileFormatNamed(std::string_view name);
// ".csa", ".kif" ...
const char* GameFileExtension(GameFileFormat format);

// The file's bytes: CSA as the document writes it, Kakinoki text in the format's encoding; CRLF lines.
std::string GameFileBytes(GameDocument& doc, GameFileFormat format);

// What the format cannot carry of this document (CP932 names, see DroppedKakinokiFields); empty for CSA.
std::vector<std::string> DroppedGameFields(const GameDocument& doc, GameFileFormat format);

}  // namespace record
