#include "record/kif_reader.h"

#include <new>
#include <vector>

#include "platform/text_codec.h"
#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/kakinoki_text.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {


// yyyy?mm?dd from the first ten bytes of a value; empty when they are not digits where expected.
std::string DateOf(std::string_view v) {
  if (v.size() < 10) return "";
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!platform::IsDigit(v[i])) return "";
  }
  return std::string(v.substr(0, 4)) + std::string(v.substr(5, 2)) + std::string(v.substr(8, 2));
}

// The blank-separated tokens of a line (half-width blanks and tabs).
std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}


// One move token ("７六歩(77)", "同　歩(33)", "５五角打", "２二角成(88)") as CSA: sign, origin (00 for a
// drop), destination and the code after the move. Empty when it cannot be read.
std::string CsaMoveOf(std::string_view token, char sign, int& previous_to) {
  if (token.size() < 4) return "";
  std::string_view s = token;
  int to = 0;
  if (platform::ConsumePrefix(s, "同")) {
    platform::ConsumePrefix(s, "　");
    to = previous_to;
  } else {
    int file = 0, rank = 0;
    for (int d = 1; d <= 9 && !file; ++d) {
      if (platform::ConsumePrefix(s, kFileDigits[d])) file = d;
    }
    for (int d = 1; d <= 9 && file && !rank; ++d) {
      if (platform::ConsumePrefix(s, kRankNumerals[d])) rank = d;
    }
    if (!file || !rank) return "";
    to = file * 10 + rank;
  }
  if (to == 0) return "";
  static const struct {
    const char* name;
    const char* code;
    const char* promoted_code;  // when 成 follows
  } kNames[] = {{"成香", "NY", nullptr}, {"成桂", "NK", nullptr}, {"成銀", "NG", nullptr}, {"玉", "OU", nullptr},
                {"王", "OU", nullptr},   {"飛", "HI", "RY"},      {"角", "KA", "UM"},      {"金", "KI", nullptr},
                {"銀", "GI", "NG"},      {"桂", "KE", "NK"},      {"香", "KY", "NY"},      {"歩", "FU", "TO"},
                {"龍", "RY", nullptr},   {"竜", "RY", nullptr},   {"馬", "UM", nullptr},   {"と", "TO", nullptr}};
  const char* code = nullptr;
  for (const auto& n : kNames) {
    if (platform::ConsumePrefix(s, n.name)) {
      code = n.promoted_code && s.starts_with("成") ? n.promoted_code : n.code;
      break;
    }
  }
  if (!code) return "";
  // The origin is inside the token: a time field after it is no origin.
  int from = 0;
  const size_t paren = token.find('(');
  if (paren != std::string_view::npos) {
    if (paren + 2 >= token.size() || !platform::IsDigit(token[paren + 1]) || !platform::IsDigit(token[paren + 2])) return "";
    from = (token[paren + 1] - '0') * 10 + (token[paren + 2] - '0');
  }
  previous_to = to;
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d%02d%s", sign, from, to, code);
  return text;
}

// The result a summary line states, in the words of this reader.
void TakeResult(std::string_view line, std::string& result) {
  const GameEnd stated = ParseSummaryLine(line);
  if (stated.winner != kSideUnset) {
    result = stated.winner == kSente ? "先手勝" : "後手勝";
  } else if (stated.kind == GameEnd::kRepetition) {
    result = "千日手";
  } else if (stated.kind == GameEnd::kImpasse) {
    result = "持将棋";
  } else if (stated.kind == GameEnd::kAbort) {
    result = "中断";
  }
}

}  // namespace

KifReader::KifReader(platform::MessageSink* messages)
    : messages_(messages ? messages : &platform::NullMessageSink::Instance()) {}

bool KifReader::Convert(std::string_view kif, std::string& csa) {
  csa.clear();
  if (kif.empty()) return false;
  std::vector<std::string> out;
  std::string date, result;
  bool ok = true;
  try {
    Archive in = Archive::FromBytes(std::string(kif));
    std::string raw;
    enum class Phase { kHeader, kMoves, kRest } phase = Phase::kHeader;
    int previous_to = 0;
    char sign = '+';
    int date_lines = 0;
    while (ok && in.ReadLine(raw)) {
      std::string_view line = raw;
      if (phase == Phase::kRest) {
        TakeResult(line, result);
        continue;
      }
      if (phase == Phase::kHeader) {
        auto value_after = [&](std::string_view key, std::string_view& value) {
          if (!line.starts_with(key)) return false;
          value = line.substr(key.size());
          return true;
        };
        std::string_view v;
        if (value_after("# 対  局  日：", v) || value_after("開始日時：", v) || value_after("対局日：", v)) {
          if (date_lines++ < 3 && !DateOf(v).empty()) date = DateOf(v);
        } else if (value_after("終了日時：", v)) {
          if (date.empty()) date = DateOf(v);
        } else if (value_after("# コメント  ：", v) || value_after("コメント：", v)) {
          if (!v.empty()) out.push_back("'注釈:" + std::string(v));
        } else if (value_after("手合割：", v)) {
          if (!v.starts_with("平手")) {
            messages_->Show("手合は平手しか変換できません(" + raw + ")。");
            ok = false;
          }
        } else if (value_after("先手：", v)) {
          out.push_back("N+" + std::string(v.empty() ? "対局者不詳" : v));
        } else if (value_after("後手：", v)) {
          out.push_back("N-" + std::string(v.empty() ? "対局者不詳" : v));
        } else if (value_after("戦型：", v)) {
          if (!v.empty()) out.push_back("'戦型:" + std::string(v));
        } else if (value_after("棋戦：", v)) {
          if (!v.empty()) out.push_back("'棋戦名:" + std::string(v));
        } else if (line.starts_with("手数")) {
          out.push_back("PI\r\n+");
          phase = Phase::kMoves;
        }
        continue;
      }
      // Moves.
      if (line.starts_with("*")) {
        out.push_back("'注釈:" + std::string(line.substr(1)));
        continue;
      }
      if (SkipKakinokiBlanks(line).starts_with("変化：")) {
        phase = Phase::kRest;  // variations are not the main line
        continue;
      }
      if (IsSummaryLine(line)) {
        TakeResult(line, result);
        phase = Phase::kRest;
        continue;
      }
      const std::vector<std::string_view> tokens = Tokens(line);
      if (tokens.empty()) continue;
      bool number = true;
      for (char c : tokens[0]) number = number && platform::IsDigit(c);
      if (!number) continue;
      if (tokens.size() < 2) {
        phase = Phase::kRest;
        continue;
      }
      static const struct {
        const char* word;
        const char* line;
      } kEnds[] = {{"投了", "%TORYO"}, {"中断", "%CHUDAN"}, {"千日手", "%SENNICHITE"}, {"持将棋", "%JISHOGI"},
                   {"詰み", "%TSUMI"}};
      bool ended = false;
      for (const auto& e : kEnds) {
        if (tokens[1] == e.word) {
          out.push_back(e.line);
          ended = true;
        }
      }
      if (ended) {
        phase = Phase::kRest;
        continue;
      }
      const std::string move = CsaMoveOf(tokens[1], sign, previous_to);
      if (move.empty()) {
        messages_->Show("指し手エラーです。(" + raw + ")");
        ok = false;
        break;
      }
      out.push_back(move);
      sign = sign == '+' ? '-' : '+';
    }
  } catch (const std::bad_alloc&) {
    messages_->Show("メモリが足りません。");
    ok = false;
  }

  int count = 0;
  for (const std::string& l : out) {
    if ((l[0] == '+' || l[0] == '-') && l.size() > 5) ++count;
  }
  if (result.empty() && !out.empty()) {
    const std::string& last = out.back();
    if (last == "%TORYO" || last == "%TSUMI") result = count % 2 ? "先手勝" : "後手勝";
    if (last == "%CHUDAN") result = "中断";
    if (last == "%SENNICHITE") result = "千日手";
    if (last == "%JISHOGI") result = "持将棋";
  }
  bool inserted = false;
  for (const std::string& l : out) {
    if (!inserted && l.starts_with("N+")) {
      if (!date.empty()) csa += "'対局日:" + date + "\r\n";
      csa += "'手数:" + std::to_string(count) + "\r\n";
      if (!result.empty()) csa += "'試合結果:" + result + "\r\n";
      inserted = true;
    }
    csa += l + "\r\n";
  }
  return ok;
}

DocumentResult ReadKifIntoGame(std::string_view file_bytes, GameDocument& doc, bool* converted) {
  KifReader reader(&doc.messages());
  std::string csa;
  const bool ok = reader.Convert(platform::InputTextToCp932(file_bytes), csa);
  if (converted) *converted = ok;
  doc.DeleteContents();
  Archive in = Archive::FromBytes(csa);
  return doc.Serialize(in);
}

}  // namespace record
