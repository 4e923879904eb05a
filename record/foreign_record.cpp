#include "record/foreign_record.h"

#include <vector>

#include "platform/message_sink.h"
#include "platform/text_codec.h"
#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/kakinoki_converter.h"
#include "record/kakinoki_text.h"
#include "record/record_document.h"
#include "record/sfen.h"

namespace record {

namespace {

bool IsCsaMoveLine(std::string_view s) {
  if (s.size() < 7 || (s[0] != '+' && s[0] != '-')) return false;
  for (size_t i = 1; i <= 4; ++i) {
    if (!platform::IsDigit(s[i])) return false;
  }
  return s[5] >= 'A' && s[5] <= 'Z' && s[6] >= 'A' && s[6] <= 'Z';
}

bool IsCsaLine(std::string_view s) {
  if (IsCsaMoveLine(s) || s.starts_with("N+") || s.starts_with("N-") || s.starts_with("V2") || s.starts_with("V3") ||
      s.starts_with("'CSA encoding=")) {
    return true;
  }
  return s.size() >= 2 && s[0] == 'P' && (s[1] == 'I' || s[1] == '+' || s[1] == '-' || (s[1] >= '1' && s[1] <= '9'));
}

// A square as Kakinoki writes it (a full-width file digit) or "同".
bool StartsWithSquare(std::string_view s) {
  static const char* const kFiles[] = {"１", "２", "３", "４", "５", "６", "７", "８", "９", "同"};
  for (const char* f : kFiles) {
    if (s.starts_with(f)) return true;
  }
  return false;
}

bool IsKakinokiLine(std::string_view line) {
  static const char* const kHeads[] = {"手合割：", "先手：", "後手：", "下手：", "上手：", "開始日時：",
                                       "棋戦：", "手数----", "後手の持駒：", "先手の持駒：", "上手の持駒：",
                                       "下手の持駒：", "変化："};
  const std::string_view s = SkipKakinokiBlanks(line);
  for (const char* h : kHeads) {
    if (s.starts_with(h)) return true;
  }
  if (s.starts_with("▲") || s.starts_with("△")) return StartsWithSquare(s.substr(2));
  size_t at = 0;
  while (at < s.size() && platform::IsDigit(s[at])) ++at;
  if (at == 0 || at == s.size() || s[at] != ' ') return false;
  const std::string_view rest = SkipKakinokiBlanks(s.substr(at));
  return StartsWithSquare(rest) || EndKeywordAt(rest) != GameEnd::kNone;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// CSA text as other programs write it carries a version line and "$" header lines, which the game file
// does not know. The event keeps its field; the rest are kept as lines of the game annotation.
std::string WithoutForeignHeaderLines(const std::string& cp932) {
  std::string out;
  for (std::string_view line : SplitLines(cp932)) {
    if (line.starts_with("V2") || line.starts_with("V3")) continue;
    if (line.starts_with("$EVENT:")) {
      out += "'棋戦名:" + std::string(line.substr(7)) + "\r\n";
    } else if (line.starts_with("$")) {
      out += "'注釈:" + std::string(line.substr(1)) + "\r\n";
    } else {
      out += std::string(line) + "\r\n";
    }
  }
  return out;
}

// Reads CSA text into the document: the header (when any) and the first game's moves.
bool ReadCsaText(const std::string& cp932, GameDocument& doc) {
  doc.DeleteContents();
  Archive in = Archive::FromBytes(WithoutForeignHeaderLines(cp932));
  const DocumentResult result = doc.Serialize(in);
  if (!result.body.ok()) doc.messages().Show(CsaBodyProblemText(result.body));
  return true;
}

// The first line that is not blank.
std::string_view FirstLine(std::string_view text) {
  for (std::string_view line : SplitLines(text)) {
    if (line.find_first_not_of(" \t") != std::string_view::npos) return line;
  }
  return {};
}

}  // namespace

std::string UsiTextProblem(std::string_view cp932) {
  UsiLine line;
  std::string problem = ReadUsiLine(FirstLine(cp932), line);
  return problem.empty() ? CheckSfenPosition(line.start) : problem;
}

bool ReadUsiText(std::string_view cp932, RecordDocument& doc) {
  if (const std::string problem = UsiTextProblem(cp932); !problem.empty()) {
    doc.messages().Show(problem);
    return false;
  }
  UsiLine line;
  ReadUsiLine(FirstLine(cp932), line);
  doc.DeleteContents();
  if (std::string stopped = LoadUsiLine(line, doc.board()); !stopped.empty()) doc.messages().Show(stopped);
  return true;
}

RecordTextKind DetectRecordText(std::string_view cp932) {
  if (LooksLikeSfenOrUsi(FirstLine(cp932))) return RecordTextKind::kUsi;
  for (std::string_view line : SplitLines(cp932)) {
    if (IsCsaLine(line)) return RecordTextKind::kCsa;
    if (IsKakinokiLine(line)) return RecordTextKind::kKakinoki;
  }
  return RecordTextKind::kNotRecord;
}

std::string ForeignTextToCp932(std::string_view bytes) {
  if (!platform::LooksLikeUtf8(bytes)) return std::string(bytes);
  std::string utf8(bytes);
  ReplaceAll(utf8, "\xE2\x98\x97", "\xE2\x96\xB2");  // ☗ -> ▲
  ReplaceAll(utf8, "\xE2\x98\x96", "\xE2\x96\xB3");  // ☖ -> △
  return platform::InputTextToCp932(utf8);
}

bool ReadKakinokiGame(std::string_view bytes, std::string_view source_name, GameDocument& doc) {
  platform::MessageSink& messages = doc.messages();
  const std::string text = ForeignTextToCp932(bytes);
  if (DetectRecordText(text) != RecordTextKind::kKakinoki) {
    messages.Show("柿木形式の棋譜ではありません。");
    return false;
  }
  Archive csa = Archive::ToMemory();
  bool separator_due = false;
  const KakinokiStats stats = ConvertKakinokiText(text, source_name, {}, csa, separator_due);
  if (stats.games == 0) {
    messages.Show(stats.problems.empty() ? std::string("柿木形式の棋譜ではありません。") : stats.problems.front());
    return false;
  }
  // Only the first game is read: the document's reader stops at the "/" before the second.
  doc.DeleteContents();
  Archive in = Archive::FromBytes(csa.text());
  doc.Serialize(in);
  if (stats.failed_games > 0) {
    messages.Show("本棋譜はこれ以降は正常に変換されませんでした。元棋譜に不整合の可能性があります。");
  }
  return true;
}

bool ReadPastedRecord(std::string_view bytes, GameDocument& doc) {
  const std::string text = ForeignTextToCp932(bytes);
  switch (DetectRecordText(text)) {
    case RecordTextKind::kCsa:
      return ReadCsaText(text, doc);
    case RecordTextKind::kKakinoki:
      return ReadKakinokiGame(text, "クリップボード", doc);
    case RecordTextKind::kUsi:
      return ReadUsiText(text, doc);
    case RecordTextKind::kNotRecord:
      break;
  }
  doc.messages().Show("クリップボードの内容は棋譜ではありません。");
  return false;
}

}  // namespace record
