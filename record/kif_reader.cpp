#include "record/kif_reader.h"

#include <new>
#include <vector>

#include "platform/text_codec.h"
#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/kakinoki_diagram.h"
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

// One conversion: lines in, CSA lines out, in three phases (header, moves, the rest, which is ignored).
class SimpleConversion {
 public:
  explicit SimpleConversion(platform::MessageSink& messages) : messages_(messages) {}

  // Takes one line; false when the conversion stops at it (the message has been shown).
  bool Take(const std::string& raw);
  // At the end of the input: a diagram that no move list followed still gives the position. Without a
  // move list or a diagram the text is no KIF record (another kind of file, a KI2 record), and none of
  // it is kept.
  bool Finish();
  std::string Text() const;

 private:
  bool Header(const std::string& raw);
  bool StartMoves();
  bool Moves(const std::string& raw);
  void EndMoves(const GameEnd& end);

  platform::MessageSink& messages_;
  enum class Phase { kHeader, kMoves, kRest } phase_ = Phase::kHeader;
  std::vector<std::string> out_;
  std::string date_;
  int date_lines_ = 0;
  KakinokiDiagram diagram_;
  std::string other_line_;  // "手合割：その他": only a diagram can give the position
  Side side_ = kSente;      // to move
  int previous_to_ = 0;
  int moves_ = 0;
  GameEnd end_;
};

bool SimpleConversion::Take(const std::string& raw) {
  switch (phase_) {
    case Phase::kHeader: return Header(raw);
    case Phase::kMoves: return Moves(raw);
    case Phase::kRest: return true;
  }
  return true;
}

bool SimpleConversion::Finish() {
  if (phase_ != Phase::kHeader) return true;
  if (diagram_.present()) return StartMoves();
  out_.clear();
  messages_.Show("柿木形式の棋譜ではありません。");
  return false;
}

bool SimpleConversion::Header(const std::string& raw) {
  const std::string_view line = raw;
  auto value_after = [&](std::string_view key, std::string_view& value) {
    if (!line.starts_with(key)) return false;
    value = line.substr(key.size());
    return true;
  };
  std::string_view v;
  if (value_after("# 対  局  日：", v) || value_after("開始日時：", v) || value_after("対局日：", v)) {
    if (date_lines_++ < 3 && !DateOf(v).empty()) date_ = DateOf(v);
  } else if (value_after("終了日時：", v)) {
    if (date_.empty()) date_ = DateOf(v);
  } else if (value_after("# コメント  ：", v) || value_after("コメント：", v)) {
    if (!v.empty()) out_.push_back("'注釈:" + std::string(v));
  } else if (value_after("手合割：", v)) {
    const KakinokiHandicap* handicap = HandicapOf(v);
    if (handicap && !*handicap->pi) {
      other_line_ = raw;
    } else if (!v.starts_with("平手")) {
      messages_.Show("手合は平手しか変換できません(" + raw + ")。");
      return false;
    }
  } else if (value_after("先手：", v)) {
    out_.push_back("N+" + std::string(v.empty() ? "対局者不詳" : v));
  } else if (value_after("後手：", v)) {
    out_.push_back("N-" + std::string(v.empty() ? "対局者不詳" : v));
  } else if (value_after("戦型：", v)) {
    if (!v.empty()) out_.push_back("'戦型:" + std::string(v));
  } else if (value_after("棋戦：", v)) {
    if (!v.empty()) out_.push_back("'棋戦名:" + std::string(v));
  } else if (diagram_.Take(line)) {
    // a part of the start position
  } else if (line.starts_with("手数")) {
    return StartMoves();
  }
  return true;
}

// The start position: the diagram's, read whole, with its side to move; otherwise the even game.
bool SimpleConversion::StartMoves() {
  phase_ = Phase::kMoves;
  if (diagram_.present()) {
    if (const std::string problem = diagram_.Problem(); !problem.empty()) {
      messages_.Show(problem + "。");
      return false;
    }
    for (const std::string& line : diagram_.PositionLines()) out_.push_back(line);
  } else if (!other_line_.empty()) {
    messages_.Show("手合は平手しか変換できません(" + other_line_ + ")。");
    return false;
  } else {
    out_.push_back("PI");
  }
  side_ = diagram_.side_to_move() == kGote ? kGote : kSente;
  out_.push_back(side_ == kGote ? "-" : "+");
  return true;
}

// The ending the main line states; its CSA line when other readers read that line the same way.
void SimpleConversion::EndMoves(const GameEnd& end) {
  end_ = end;
  if (const std::string line = CsaEndLineFor(end, side_); !line.empty()) out_.push_back(line);
  phase_ = Phase::kRest;
}

bool SimpleConversion::Moves(const std::string& raw) {
  const std::string_view line = raw;
  if (line.starts_with("*")) {
    out_.push_back("'注釈:" + std::string(line.substr(1)));
    return true;
  }
  if (VariationMove(line) >= 0) {
    phase_ = Phase::kRest;  // variations are not the main line, and say nothing of its end
    return true;
  }
  if (IsSummaryLine(line)) {
    EndMoves(ParseSummaryLine(line, side_));
    return true;
  }
  const std::vector<std::string_view> tokens = Tokens(line);
  if (tokens.empty() || !platform::AllDigits(tokens[0])) return true;
  if (tokens.size() < 2) {
    phase_ = Phase::kRest;
    return true;
  }
  if (const GameEnd::Kind kind = EndKeywordAt(tokens[1]); kind != GameEnd::kNone) {
    EndMoves(GameEnd::StatedBy(kind, side_));
    return true;
  }
  const std::string move = CsaMoveOf(tokens[1], side_ == kSente ? '+' : '-', previous_to_);
  if (move.empty()) {
    messages_.Show("指し手エラーです。(" + raw + ")");
    return false;
  }
  out_.push_back(move);
  ++moves_;
  side_ = Opponent(side_);
  return true;
}

// The lines, with the date, the move count and the result put in before the first "N+" line.
std::string SimpleConversion::Text() const {
  std::string csa;
  const std::string result = ResultText(end_, false);
  bool inserted = false;
  for (const std::string& l : out_) {
    if (!inserted && l.starts_with("N+")) {
      if (!date_.empty()) csa += "'対局日:" + date_ + "\r\n";
      csa += "'手数:" + std::to_string(moves_) + "\r\n";
      if (!result.empty()) csa += "'試合結果:" + result + "\r\n";
      inserted = true;
    }
    csa += l + "\r\n";
  }
  return csa;
}

}  // namespace

KifReader::KifReader(platform::MessageSink* messages)
    : messages_(messages ? messages : &platform::NullMessageSink::Instance()) {}

bool KifReader::Convert(std::string_view kif, std::string& csa) {
  csa.clear();
  if (kif.empty()) return false;
  SimpleConversion conversion(*messages_);
  bool ok = true;
  try {
    Archive in = Archive::FromBytes(std::string(kif));
    std::string raw;
    while (ok && in.ReadLine(raw)) ok = conversion.Take(raw);
    if (ok) ok = conversion.Finish();
    csa = conversion.Text();
  } catch (const std::bad_alloc&) {
    messages_->Show("メモリが足りません。");
    ok = false;
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
