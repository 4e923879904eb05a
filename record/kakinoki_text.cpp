#include "record/kakinoki_text.h"

#include <cstdio>

#include "platform/sjis.h"
#include "platform/text_scan.h"

using namespace rules;

namespace record {

namespace {

const KakinokiHandicap kHandicaps[] = {
    {"平手", "PI", false},
    {"飛車香", "PI82HI11KY", true},
    {"飛車", "PI82HI", true},
    {"角香", "PI22KA11KY", true},
    {"角", "PI22KA", true},
    {"香落", "PI11KY", true},
    {"右香", "PI91KY", true},
    {"左香", "PI11KY", true},
    {"二枚", "PI82HI22KA", true},
    {"四枚", "PI82HI22KA11KY91KY", true},
    {"六枚", "PI82HI22KA11KY91KY21KE81KE", true},
    {"飛香", "PI82HI11KY", true},
    // Beyond six pieces the silvers and then the golds go as well.
    {"八枚", "PI82HI22KA11KY91KY21KE81KE31GI71GI", true},
    {"十枚", "PI82HI22KA11KY91KY21KE81KE31GI71GI41KI61KI", true},
};

// A run of digits at `at`; -1 when there is none.
int NumberAt(std::string_view s, size_t& at) {
  if (at >= s.size() || !platform::IsDigit(s[at])) return -1;
  int n = 0;
  while (at < s.size() && platform::IsDigit(s[at]) && n < 100000) n = n * 10 + (s[at++] - '0');
  return n;
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

const KakinokiHandicap& HandicapOf(std::string_view value) {
  for (const KakinokiHandicap& h : kHandicaps) {
    if (value.starts_with(h.prefix)) return h;
  }
  return kHandicaps[0];
}

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
      {"投了", GameEnd::kResign},        {"中断", GameEnd::kAbort},       {"千日手", GameEnd::kRepetition},
      {"持将棋", GameEnd::kImpasse},     {"詰み", GameEnd::kMate},
      {"切れ負け", GameEnd::kTimeUp},    {"時間切れ", GameEnd::kTimeUp},   {"反則勝ち", GameEnd::kIllegalWin},
      {"反則負け", GameEnd::kIllegalLoss}, {"入玉勝ち", GameEnd::kEnteringKing},
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

GameEnd ParseSummaryLine(std::string_view line) {
  GameEnd end;
  line = SkipKakinokiBlanks(line);
  if (!line.starts_with("まで")) return end;
  auto has = [&](std::string_view word) { return FindChars(line, word) != std::string_view::npos; };
  if (has("千日手")) {
    end.kind = GameEnd::kRepetition;
  } else if (has("持将棋")) {
    end.kind = GameEnd::kImpasse;
  } else if (has("中断")) {
    end.kind = GameEnd::kAbort;
  } else if (has("詰み") && !has("勝") && !has("負")) {
    end.kind = GameEnd::kMate;  // the side is the one that made the last move
  }
  if (end.kind != GameEnd::kNone) return end;
  static const struct {
    const char* word;
    Side side;
  } kSides[] = {{"先手の", kSente}, {"下手の", kSente}, {"後手の", kGote}, {"上手の", kGote}};
  Side side = kSideUnset;
  size_t at = std::string_view::npos;
  for (const auto& w : kSides) {
    const size_t p = FindChars(line, w.word);
    if (p != std::string_view::npos && p < at) {
      at = p;
      side = w.side;
    }
  }
  if (side == kSideUnset) return end;
  std::string_view rest = line.substr(at);
  if (FindChars(rest, "勝") != std::string_view::npos) {
    end.winner = side;
  } else if (FindChars(rest, "負") != std::string_view::npos) {
    end.winner = Opponent(side);
  } else {
    return end;
  }
  end.kind = has("反則") ? GameEnd::kIllegalWin : has("切れ") ? GameEnd::kTimeUp
           : has("入玉") ? GameEnd::kEnteringKing : has("詰") ? GameEnd::kMate : GameEnd::kResign;
  return end;
}

}  // namespace record
