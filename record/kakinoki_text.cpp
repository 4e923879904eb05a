#include "record/kakinoki_text.h"

#include <cstdio>

#include "platform/sjis.h"
#include "platform/text_scan.h"

using namespace rules;

namespace record {

namespace {

// The names of the Kakinoki format, and other names for the same (飛車香落ち, 左香落ち) or rarer
// handicaps (角香落ち) that programs write. Squares are sente's numbers: 上手's left is the 1 file, so
// 左五枚落ち loses the knight on 2一 and 五枚落ち the one on 8一.
const KakinokiHandicap kHandicaps[] = {
    {"平手", "PI", false},
    {"香落ち", "PI11KY", true},
    {"右香落ち", "PI91KY", true},
    {"角落ち", "PI22KA", true},
    {"飛車落ち", "PI82HI", true},
    {"飛香落ち", "PI82HI11KY", true},
    {"二枚落ち", "PI82HI22KA", true},
    {"三枚落ち", "PI82HI22KA11KY", true},
    {"四枚落ち", "PI82HI22KA11KY91KY", true},
    {"五枚落ち", "PI82HI22KA11KY91KY81KE", true},
    {"左五枚落ち", "PI82HI22KA11KY91KY21KE", true},
    {"六枚落ち", "PI82HI22KA11KY91KY21KE81KE", true},
    {"左七枚落ち", "PI82HI22KA11KY91KY21KE81KE31GI", true},
    {"右七枚落ち", "PI82HI22KA11KY91KY21KE81KE71GI", true},
    {"八枚落ち", "PI82HI22KA11KY91KY21KE81KE31GI71GI", true},
    {"十枚落ち", "PI82HI22KA11KY91KY21KE81KE31GI71GI41KI61KI", true},
    {"その他", "", false},
    {"飛車香落ち", "PI82HI11KY", true},
    {"角香落ち", "PI22KA11KY", true},
    {"左香落ち", "PI11KY", true},
};

// A run of digits at `at`; -1 when there is none.
int NumberAt(std::string_view s, size_t& at) {
  if (at >= s.size() || !platform::IsDigit(s[at])) return -1;
  int n = 0;
  while (at < s.size() && platform::IsDigit(s[at]) && n < 100000) n = n * 10 + (s[at++] - '0');
  return n;
}

// The text without blanks, tabs and full-width spaces at either end.
std::string_view WithoutBlanksAround(std::string_view s) {
  s = SkipKakinokiBlanks(s);
  size_t end = 0;
  for (size_t at = 0; at < s.size();) {
    const size_t next = at + platform::SjisCharLength(s, at);
    if (s[at] != ' ' && s[at] != '\t' && s.substr(at, next - at) != "　") end = next;
    at = next;
  }
  return s.substr(0, end);
}

int TwoDigits(std::string_view s, size_t at) {
  if (at + 2 > s.size() || !platform::IsDigit(s[at]) || !platform::IsDigit(s[at + 1])) return -1;
  return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

}  // namespace

size_t FindChars(std::string_view text, std::string_view word) {
  for (size_t i = 0; i < text.size(); i += platform::SjisCharLength(text, i)) {
    if (text.substr(i).starts_with(word)) return i;
  }
  return std::string_view::npos;
}

std::string_view SkipKakinokiBlanks(std::string_view s) {
  for (;;) {
    if (!s.empty() && (s[0] == ' ' || s[0] == '\t')) {
      s.remove_prefix(1);
    } else if (s.starts_with("　")) {
      s.remove_prefix(2);
    } else {
      return s;
    }
  }
}

const KakinokiHandicap* HandicapOf(std::string_view value) {
  // Kakinoki pads the name with full-width spaces.
  value = WithoutBlanksAround(value);
  if (value.empty()) return &kHandicaps[0];
  for (const KakinokiHandicap& h : kHandicaps) {
    if (value == h.name) return &h;
  }
  return nullptr;
}

std::span<const KakinokiHandicap> KnownHandicaps() { return kHandicaps; }

std::string ConvertKakinokiDate(std::string_view v) {
  if (v.size() <= 7) return std::string(v);
  int year = -1, month = -1, day = -1;
  bool two_digit_year = false;
  if (v.size() >= 8 && v[2] == '/' && v[5] == '/') {
    year = TwoDigits(v, 0);
    month = TwoDigits(v, 3);
    day = TwoDigits(v, 6);
    two_digit_year = true;
  } else if (v.size() >= 10 && v[4] == '/' && v[7] == '/') {
    size_t at = 0;
    year = NumberAt(v, at);
    if (at != 4) year = -1;
    month = TwoDigits(v, 5);
    day = TwoDigits(v, 8);
  } else {
    constexpr size_t npos = std::string_view::npos;
    auto find_from = [&](size_t from, std::string_view unit) {
      if (from == npos) return npos;
      const size_t p = FindChars(v.substr(from), unit);
      return p == npos ? npos : from + p;
    };
    const size_t y = find_from(0, "年");
    const size_t m = find_from(y, "月");
    const size_t d = find_from(m, "日");
    if (d == std::string_view::npos) return std::string(v);
    // The numbers stand right before their units.
    auto number_before = [&](size_t unit) {
      size_t start = unit;
      while (start > 0 && platform::IsDigit(v[start - 1])) --start;
      size_t at = start;
      return start == unit ? -1 : NumberAt(v, at);
    };
    year = number_before(y);
    month = number_before(m);
    day = number_before(d);
    two_digit_year = year >= 0 && year < 100;
  }
  if (year < 0 || month < 0 || day < 0) return std::string(v);
  if (two_digit_year) year += year < 50 ? 2000 : 1900;
  // 対局日 holds eight digits; a time of day would make the reader refuse the whole date.
  char text[32];
  std::snprintf(text, sizeof text, "%4d%02d%02d", year % 10000, month % 100, day % 100);
  return text;
}

std::string FullWidthName(std::string_view name) {
  static const char kFrom[] = ".,!\"#$%&'()=^`|~@[]{}<>-+*/?_\\";
  static const char* const kTo[] = {"．", "，", "！", "”", "＃", "＄", "％", "＆", "’", "（", "）", "＝", "＾", "｀", "｜",
                                    "～", "＠", "［", "］", "｛", "｝", "＜", "＞", "－", "＋", "＊", "／", "？", "＿", "￥"};
  static_assert(sizeof kFrom - 1 == sizeof kTo / sizeof kTo[0]);
  std::string out;
  for (size_t i = 0; i < name.size() && name[i] != '\n'; ++i) {
    if (platform::IsSjisLeadByte(static_cast<unsigned char>(name[i]))) {
      // A lead byte without its second byte is dropped: nothing may hide behind it.
      if (i + 1 < name.size() && IsCp932TrailByte(static_cast<unsigned char>(name[i + 1]))) out.append(name.substr(i++, 2));
      continue;
    }
    bool replaced = false;
    for (size_t k = 0; kFrom[k]; ++k) {
      if (name[i] == kFrom[k]) {
        out += kTo[k];
        replaced = true;
        break;
      }
    }
    if (!replaced) out += name[i];
  }
  return out;
}

GameEnd::Kind EndKeywordAt(std::string_view token, size_t* length) {
  static const struct {
    const char* word;
    GameEnd::Kind kind;
  } kWords[] = {
      {"投了", GameEnd::kResign},         {"中断", GameEnd::kAbort},          {"千日手", GameEnd::kRepetition},
      {"持将棋", GameEnd::kImpasse},      {"詰み", GameEnd::kMate},           {"不詰", GameEnd::kNoMate},
      {"切れ負け", GameEnd::kTimeUp},     {"時間切れ", GameEnd::kTimeUp},     {"反則勝ち", GameEnd::kIllegalWin},
      {"反則負け", GameEnd::kIllegalLoss}, {"入玉勝ち", GameEnd::kEnteringKing}, {"不戦勝", GameEnd::kDefaultWin},
      {"不戦敗", GameEnd::kDefaultLoss},  {"封じ手", GameEnd::kSealed},       {"トライ", GameEnd::kTry},
  };
  for (const auto& w : kWords) {
    if (token.starts_with(w.word)) {
      if (length) *length = std::char_traits<char>::length(w.word);
      return w.kind;
    }
  }
  return GameEnd::kNone;
}

bool IsSummaryLine(std::string_view line) { return SkipKakinokiBlanks(line).starts_with("まで"); }

namespace {

// The ending a summary line's words name, wherever they stand; the first of the list wins, so 不詰 is
// not read as 詰 and 反則勝ち not as a bare 反則.
GameEnd::Kind SummaryKind(std::string_view line) {
  static const struct {
    const char* word;
    GameEnd::Kind kind;
  } kWords[] = {
      {"千日手", GameEnd::kRepetition}, {"持将棋", GameEnd::kImpasse},      {"中断", GameEnd::kAbort},
      {"封じ手", GameEnd::kSealed},     {"不詰", GameEnd::kNoMate},         {"反則負け", GameEnd::kIllegalLoss},
      {"反則", GameEnd::kIllegalWin},   {"切れ", GameEnd::kTimeUp},         {"入玉", GameEnd::kEnteringKing},
      {"宣言", GameEnd::kEnteringKing}, {"トライ", GameEnd::kTry},          {"不戦勝", GameEnd::kDefaultWin},
      {"不戦敗", GameEnd::kDefaultLoss}, {"詰", GameEnd::kMate},            {"投了", GameEnd::kResign},
  };
  for (const auto& w : kWords) {
    if (FindChars(line, w.word) != std::string_view::npos) return w.kind;
  }
  return GameEnd::kNone;
}

// The side a summary line names first ("先手の勝ち", "上手の反則負け"), and where; kSideUnset for none.
rules::Side NamedSide(std::string_view line, size_t& at) {
  static const struct {
    const char* word;
    Side side;
  } kSides[] = {{"先手", kSente}, {"下手", kSente}, {"後手", kGote}, {"上手", kGote}};
  Side side = kSideUnset;
  at = std::string_view::npos;
  for (const auto& w : kSides) {
    const size_t p = FindChars(line, w.word);
    if (p != std::string_view::npos && p < at) {
      at = p;
      side = w.side;
    }
  }
  return side;
}

}  // namespace

GameEnd ParseSummaryLine(std::string_view line, Side side_to_move) {
  line = SkipKakinokiBlanks(line);
  if (!line.starts_with("まで")) return {};
  GameEnd::Kind kind = SummaryKind(line);
  size_t at = 0;
  const Side side = NamedSide(line, at);
  if (side == kSideUnset) return GameEnd::StatedBy(kind, side_to_move);
  const std::string_view rest = line.substr(at);
  const bool won = FindChars(rest, "勝") != std::string_view::npos;
  const bool lost = FindChars(rest, "負") != std::string_view::npos || FindChars(rest, "敗") != std::string_view::npos;
  // "後手投了": the side named says the ending, as the side to move says an ending word.
  if (!won && !lost) return GameEnd::StatedBy(kind, side);
  GameEnd end;
  end.winner = won ? side : Opponent(side);
  // A winner beside a word for a drawn ending: a repetition of checks is the checker's foul, an impasse
  // is won on points, as a declaration is; a foul is written as the offender's, whoever moves; a winner
  // alone is a resignation.
  switch (kind) {
    case GameEnd::kNone: kind = GameEnd::kResign; break;
    case GameEnd::kRepetition:
    case GameEnd::kIllegalLoss: kind = GameEnd::kIllegalWin; break;  // the CSA line names the offender
    case GameEnd::kImpasse: kind = GameEnd::kEnteringKing; break;
    case GameEnd::kAbort:
    case GameEnd::kSealed:
    case GameEnd::kNoMate: return GameEnd::StatedBy(kind, side_to_move);
    default: break;
  }
  end.kind = kind;
  return end;
}

std::string CsaEndLineFor(const GameEnd& end, Side side_to_move) {
  std::string line = CsaEndLine(end);
  if (line.empty()) return line;
  const GameEnd back = CsaEndOf(line, side_to_move);
  return back.kind == end.kind && back.winner == end.winner ? line : std::string();
}

int VariationMove(std::string_view line) {
  line = SkipKakinokiBlanks(line);
  if (!platform::ConsumePrefix(line, "変化")) return -1;
  if (!platform::ConsumePrefix(line, "：") && !platform::ConsumePrefix(line, ":")) return -1;
  line = SkipKakinokiBlanks(line);
  static const char* const kWideDigits[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  int number = 0;
  for (bool more = true; more && number < 100000;) {
    more = false;
    for (int d = 0; d <= 9 && !more; ++d) {
      if (line.starts_with(kWideDigits[d]) || (!line.empty() && line[0] == '0' + d)) {
        line.remove_prefix(line[0] == '0' + d ? 1 : 2);
        number = number * 10 + d;
        more = true;
      }
    }
  }
  return number;
}

}  // namespace record
