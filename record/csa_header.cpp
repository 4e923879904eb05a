// The header layer, CP932 with CRLF, as written:
//
//   '----------------------------------------      separator (an apostrophe and 40 "-")
//   '後手座                                         only when the board is shown from gote's side
//   '対局日:20240110                                one line per non-empty field, in table order
//   '注釈:text                                      one line per line of the game or problem annotation
//   N+sente name                                    game: each when non-empty; tsume: always N+攻方, N-受方
//   N-gote name
//
// Reading first scans ahead to the first move line (or "/"), collecting every "'注釈:" text as an
// annotation line; then the lines before the first "P" line are taken again in order: "'" + a field key
// sets that field (an invalid value is ignored), "'後手座" the reversed flag, "N+"/"N-" a player, other
// comments are ignored, and anything else is an error. Lines that do not begin with "'" are split at ",".
// Files of the standard CSA format (other programs, game servers) also carry a version line ("V2.2",
// "V3.0"), an encoding line ("'CSA encoding=UTF-8", version 3.0) and "$KEY:value" lines: they are taken,
// not refused, and the keys with a field of ours fill it. A later version than 3.x, or an encoding this
// program does not read, is refused with a message naming the line rather than read as it may not be.
#include "record/csa_header.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/csa_body.h"
#include "record/csa_encoding.h"

namespace record {

namespace {

const char kSeparator[] = "'----------------------------------------";
const char kReversedMark[] = "'後手座";
const char kAnnotationKey[] = "'注釈:";

std::string_view SkipBlanksAndTabs(std::string_view s) {
  while (!s.empty() && (s[0] == ' ' || s[0] == '\t')) s.remove_prefix(1);
  return s;
}

// The tokens of a line: a comment line whole, any other line split at ",". Empty tokens are dropped, so
// a blank line is no error.
std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  if (line.starts_with("'") || line.starts_with("$")) {
    tokens.push_back(line);
    return tokens;
  }
  size_t start = 0;
  for (;;) {
    const size_t comma = line.find(',', start);
    std::string_view t = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    if (!SkipBlanksAndTabs(t).empty()) tokens.push_back(t);
    if (comma == std::string_view::npos) return tokens;
    start = comma + 1;
  }
}

bool WriteAnnotationLines(std::string_view text, Archive& ar, platform::MessageSink& messages) {
  try {
    while (!text.empty()) {
      const size_t lf = text.find('\n');
      std::string_view piece = text.substr(0, lf);
      if (lf != std::string_view::npos && !piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
      if (lf != std::string_view::npos || !piece.empty()) ar.WriteLine(std::string(kAnnotationKey).append(piece));
      if (lf == std::string_view::npos) break;
      text.remove_prefix(lf + 1);
    }
    return true;
  } catch (const std::bad_alloc&) {
    messages.Show("No memory!!");
    return false;
  }
}

void WriteFields(const HeaderFields& header, int reversed, Archive& ar) {
  ar.WriteLine(kSeparator);
  if (reversed == 1) ar.WriteLine(kReversedMark);
  for (int i = 0; i < header.FieldCount(); ++i) {
    if (!header.Field(i).empty()) ar.WriteLine(std::string("'") + header.FieldSpec(i).key + header.Field(i));
  }
}

// Step 1: scans ahead from the archive's position, collecting annotation lines, up to and including the
// first move line, or up to a "/" line (the next game's lines are not ours). Returns where the lines that
// may hold header tokens end, or nothing on a memory failure.
std::optional<size_t> ScanAhead(HeaderFields& header, Archive& ar) {
  constexpr size_t kKeyLength = sizeof kAnnotationKey - 1;
  std::string line;
  for (;;) {
    const size_t line_start = ar.Tell();
    if (!ar.ReadLine(line)) return ar.Tell();
    if (SkipCsaBlanks(line).substr(0, 1) == "/") return line_start;
    for (std::string_view t : Tokens(line)) {
      if (t.starts_with(kAnnotationKey) && t.size() > kKeyLength) {
        if (!header.AppendAnnotationLine(t.substr(kKeyLength))) return std::nullopt;
      }
      if (LooksLikeCsaMove(t)) return ar.Tell();
    }
  }
}

}  // namespace

bool IsVersionLine(std::string_view t) {
  if (t.size() < 2 || t[0] != 'V') return false;
  for (char c : t.substr(1)) {
    if (!platform::IsDigit(c) && c != '.') return false;
  }
  return true;
}

// Versions up to 3.x are read; a later one may mean what this reader does not know.
bool KnownVersion(std::string_view t) {
  const size_t digits = t.substr(1).find_first_not_of("0123456789") == std::string_view::npos
                            ? t.size() - 1
                            : t.substr(1).find_first_not_of("0123456789");
  return digits > 0 && digits <= 2 && std::stoi(std::string(t.substr(1, digits))) <= 3;
}

std::string DigitsOf(std::string_view s) {
  std::string digits;
  for (char c : s) {
    if (platform::IsDigit(c)) digits += c;
  }
  return digits;
}

namespace {

// "$NOTE:" text with its escapes: a backslash and "n" end a line, two backslashes are one. A CP932
// character whose second byte is a backslash stays whole. Empty lines are left out, as the annotation
// lines of our own text are.
bool AppendNoteLines(HeaderFields& header, std::string_view value) {
  std::string line;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (platform::IsSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < value.size()) {
      line.append(value.substr(i++, 2));
    } else if (c == '\\' && i + 1 < value.size() && (value[i + 1] == 'n' || value[i + 1] == '\\')) {
      if (value[++i] == '\\') {
        line += '\\';
        continue;
      }
      if (!line.empty() && !header.AppendAnnotationLine(line)) return false;
      line.clear();
    } else {
      line += c;
    }
  }
  return line.empty() || header.AppendAnnotationLine(line);
}

// The time of "$TIME:main+byoyomi+increment" (seconds, fractions allowed, version 3.0): the main time as
// hhmmss in the time field, the byoyomi in its field. False when the value has another form.
bool ReadTimeValue(GameHeader& game, std::string_view value) {
  long parts[3] = {};
  int n = 0;
  size_t i = 0;
  for (; i <= value.size() && n < 3; ++n) {
    if (i == value.size() || !platform::IsDigit(value[i])) return false;
    long v = 0;
    while (i < value.size() && platform::IsDigit(value[i]) && v < 10000000) v = v * 10 + (value[i++] - '0');
    if (i < value.size() && value[i] == '.') {
      for (++i; i < value.size() && platform::IsDigit(value[i]);) ++i;
    }
    parts[n] = v;
    if (i < value.size() && value[i] != '+') return false;
    ++i;
  }
  if (n != 3 || i != value.size() + 1 || parts[0] >= 100 * 3600) return false;
  char hms[8];
  std::snprintf(hms, sizeof hms, "%02ld%02ld%02ld", parts[0] / 3600, parts[0] / 60 % 60, parts[0] % 60);
  game.SetField(GameHeader::kTimeLimit, hms);
  if (parts[1] < 100) {
    char seconds[4];
    std::snprintf(seconds, sizeof seconds, "%02ld", parts[1]);
    game.SetField(GameHeader::kByoyomi, seconds);
  }
  return parts[2] == 0;  // an increment has no field of its own
}

}  // namespace

// A "$KEY:value" line of the standard format: $EVENT, $SITE, $OPENING, the date of $START_TIME,
// $TIME_LIMIT ("hh:mm+ss") and $TIME ("main+byoyomi+increment" in seconds) fill the game fields;
// $NOTE adds its lines to the annotation. The keys of version 3.0 without a field of ours ($TIME+ and
// $TIME- for one side, $MAX_MOVES, $JISHOGI, a $TIME with an increment) are kept as annotation lines,
// "KEY:value", so nothing the file says is lost; other keys, and every key but $NOTE of a problem, are
// taken without effect. A value our field refuses is ignored, as for our own lines.
void ReadStandardInfoLine(HeaderFields& header, std::string_view t) {
  GameHeader* game = dynamic_cast<GameHeader*>(&header);
  const size_t colon = t.find(':');
  if (colon == std::string_view::npos) return;
  const std::string_view key = t.substr(1, colon - 1);
  const std::string_view value = SkipBlanksAndTabs(t.substr(colon + 1));
  if (value.empty()) return;
  if (key == "NOTE") {
    AppendNoteLines(header, value);
    return;
  }
  if (!game) return;
  const bool keep = key == "TIME+" || key == "TIME-" || key == "MAX_MOVES" || key == "JISHOGI" ||
                    (key == "TIME" && !ReadTimeValue(*game, value));
  if (keep) {
    game->AppendAnnotationLine(t.substr(1));
  } else if (key == "EVENT") {
    game->SetField(GameHeader::kEvent, value);
  } else if (key == "SITE") {
    game->SetField(GameHeader::kPlace, value);
  } else if (key == "OPENING") {
    game->SetField(GameHeader::kOpening, value);
  } else if (key == "START_TIME") {
    // "yyyy/mm/dd hh:mm:ss": the date part only, when there is one.
    const std::string date = DigitsOf(value.substr(0, value.find(' ')));
    if (date.size() == 8) game->SetField(GameHeader::kDate, date);
  } else if (key == "TIME_LIMIT") {
    const size_t plus = value.find('+');
    const std::string hm = DigitsOf(value.substr(0, plus));
    if (hm.size() == 4) game->SetField(GameHeader::kTimeLimit, hm + "00");
    if (plus != std::string_view::npos) {
      std::string seconds = DigitsOf(value.substr(plus + 1));
      if (seconds.size() == 1) seconds = "0" + seconds;
      game->SetField(GameHeader::kByoyomi, seconds);
    }
  }
}

// The players text joins the two names with "-", so a "-" inside a name would move part of it to the
// other side when the text is split again: it becomes the full-width "－".
// A lead byte without a proper second byte is dropped, so no "-" can hide behind it.
std::string NameForPlayers(std::string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (platform::IsSjisLeadByte(c)) {
      const unsigned char t = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
      if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) out.append(name.substr(i++, 2));
    } else if (c == '-') {
      out += "－";
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

namespace {

struct Names {
  std::optional<std::string> sente, gote;
};

HeaderStatus ReadLayer(HeaderFields& header, Names* names, int& reversed, Archive& ar,
                       platform::MessageSink& messages, HeaderMode mode) {
  header.Clear();
  reversed = 0;
  const size_t start = ar.Tell();
  const std::optional<size_t> scanned_to = ScanAhead(header, ar);
  if (!scanned_to) return HeaderStatus::kNoMemory;
  ar.Seek(start);

  Names seen;
  std::string line;
  // Step 2: the header region, the tokens before the first one that begins with "P".
  while (ar.Tell() < *scanned_to) {
    const size_t line_start = ar.Tell();
    if (!ar.ReadLine(line)) break;
    for (std::string_view t : Tokens(line)) {
      if (t.starts_with("P")) {
        ar.Seek(line_start);
        if (names) *names = seen;
        return HeaderStatus::kOk;
      }
      HeaderStatus error = HeaderStatus::kOk;
      const char* refusal = nullptr;  // the message of a line taken as a refusal
      if (t.starts_with("'")) {
        if (CsaEncodingOfLine(t) == CsaEncoding::kUnknown) {
          error = HeaderStatus::kSyntaxError;
          refusal = "対応していない文字コードです。(";
        } else if (t == kReversedMark) {
          reversed = 1;
        } else if (const int field = header.FieldWithKeyAt(t.substr(1)); field >= 0) {
          std::string_view value = t.substr(1 + std::char_traits<char>::length(header.FieldSpec(field).key));
          value = SkipBlanksAndTabs(value);
          // An empty value keeps the cleared one (作者不詳 stays the author of an unnamed problem).
          if (!value.empty()) header.SetField(field, value);
        }
      } else if (IsVersionLine(t)) {
        if (!KnownVersion(t)) error = HeaderStatus::kSyntaxError, refusal = "対応していないバージョンです。(";
      } else if (t.starts_with("$")) {
        ReadStandardInfoLine(header, t);
      } else if (t.starts_with("N") && t.size() >= 2) {
        std::optional<std::string>& slot = t[1] == '+' ? seen.sente : seen.gote;
        if (slot) {
          error = HeaderStatus::kPlayerError;
        } else {
          slot = std::string(SkipBlanksAndTabs(NameForPlayers(t.substr(2))));
        }
      } else {
        error = HeaderStatus::kSyntaxError;
      }
      if (error == HeaderStatus::kOk) continue;
      if (names) *names = seen;
      if (mode == HeaderMode::kScan) return HeaderStatus::kOk;
      const char* format = refusal                                  ? refusal
                           : error == HeaderStatus::kPlayerError ? "対局者指定エラーです。("
                                                                 : "文法エラーです。(";
      messages.Show(std::string(format).append(error == HeaderStatus::kPlayerError ? std::string_view(line) : t) +
                    ")");
      return error;
    }
  }
  if (names) *names = seen;
  return HeaderStatus::kOk;
}

}  // namespace

void WriteGameHeaderLayer(const GameHeader& header, int reversed, Archive& ar, platform::MessageSink& messages) {
  WriteFields(header, reversed, ar);
  if (!WriteAnnotationLines(header.Annotation(), ar, messages)) return;
  const std::string sente = header.SenteName(), gote = header.GoteName();
  if (!sente.empty()) ar.WriteLine("N+" + sente);
  if (!gote.empty()) ar.WriteLine("N-" + gote);
}

void WriteTsumeHeaderLayer(const ProblemHeader& header, int reversed, Archive& ar, platform::MessageSink& messages) {
  WriteFields(header, reversed, ar);
  if (!WriteAnnotationLines(header.Annotation(), ar, messages)) return;
  ar.WriteLine("N+攻方");
  ar.WriteLine("N-受方");
}

HeaderStatus ReadGameHeaderLayer(GameHeader& header, int& reversed, Archive& ar, platform::MessageSink& messages,
                                 HeaderMode mode) {
  Names names;
  const HeaderStatus status = ReadLayer(header, &names, reversed, ar, messages, mode);
  // An empty name line names nobody: the side stays 対局者不詳.
  const std::string* sente = names.sente && !names.sente->empty() ? &*names.sente : nullptr;
  const std::string* gote = names.gote && !names.gote->empty() ? &*names.gote : nullptr;
  if (sente || gote) header.SetPlayers(sente, gote);
  return status;
}

HeaderStatus ReadTsumeHeaderLayer(ProblemHeader& header, int& reversed, Archive& ar, platform::MessageSink& messages,
                                  HeaderMode mode) {
  return ReadLayer(header, nullptr, reversed, ar, messages, mode);
}

}  // namespace record
