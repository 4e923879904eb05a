#include "app/core/header_form.h"

#include <algorithm>

#include "platform/text_codec.h"
#include "platform/text_scan.h"

namespace app {
namespace {

using record::FieldRule;
using record::GameHeader;
using record::ProblemHeader;
using K = FormFieldKind;

constexpr int kAnnotationWidth = 4096;
constexpr int kNameWidth = 14;

std::string Cp932(std::string_view utf8) { return platform::Utf8ToCp932(utf8); }
std::string Utf8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

// The annotation is CRLF lines in the header and plain lines in the dialog.
std::string AnnotationForForm(const std::string& cp932) {
  std::string text = Utf8(cp932), out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') out += text[i];
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string AnnotationForHeader(std::string_view utf8) {
  std::string out;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    if (end == std::string_view::npos) end = utf8.size();
    std::string_view line = utf8.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out += Cp932(line) + "\r\n";
    start = end + 1;
  }
  return out;
}

int FirstBad(const std::vector<FormField>& fields, const FormValues& values) {
  for (size_t i = 0; i < fields.size() && i < values.size(); ++i) {
    const FormField& f = fields[i];
    if (f.kind == K::kFixed) continue;
    if (f.kind == K::kDigits) {
      const std::string digits = DigitsOf(values[i]);
      if (!digits.empty() && !record::HeaderFields::KeepsRule(f.rule, digits)) return static_cast<int>(i);
      // Anything but digits and their separators would be lost without a word.
      if (DigitsToDisplay(f.rule, digits) != values[i] && digits != values[i]) return static_cast<int>(i);
      continue;
    }
    if (Cp932Length(values[i]) > f.width) return static_cast<int>(i);
    const std::string cp932 = Cp932(values[i]);
    if (!cp932.empty() && !record::HeaderFields::KeepsRule(f.rule, cp932)) return static_cast<int>(i);
  }
  return -1;
}

void StoreField(const FormField& f, const std::string& value, record::HeaderFields& header) {
  const std::string stored = f.kind == K::kDigits ? DigitsOf(value) : Cp932(value);
  if (stored.empty()) {
    header.ClearField(f.header_index);
  } else {
    header.SetField(f.header_index, stored);
  }
}

}  // namespace

const std::vector<FormField>& GameFormFields() {
  static const std::vector<FormField> fields = {
      {"対局者(先手)", K::kText, kNameWidth, -1},
      {"対局者(後手)", K::kText, kNameWidth, -1},
      {"先手段位", K::kText, 10, GameHeader::kSenteRank},
      {"後手段位", K::kText, 10, GameHeader::kGoteRank},
      {"対局日", K::kDigits, 8, GameHeader::kDate, FieldRule::kDate8},
      {"手数", K::kText, 4, GameHeader::kMoveCount, FieldRule::kUpToFourDigits},
      {"試合結果", K::kChoice, 6, GameHeader::kResult, FieldRule::kText, {"先手勝", "後手勝", "持将棋", "千日手"}},
      {"戦型", K::kChoice, 40, GameHeader::kOpening},
      {"棋戦名", K::kText, 40, GameHeader::kEvent},
      {"対局場所", K::kText, 40, GameHeader::kPlace},
      {"手合", K::kChoice, 6, GameHeader::kHandicap, FieldRule::kText,
       {"平手", "右香落", "左香落", "飛車落", "角行落", "２枚落", "４枚落", "６枚落"}},
      {"持時間", K::kDigits, 6, GameHeader::kTimeLimit, FieldRule::kTime6},
      {"秒読", K::kDigits, 2, GameHeader::kByoyomi, FieldRule::kTwoDigits},
      {"先手残時間", K::kDigits, 6, GameHeader::kSenteTimeLeft, FieldRule::kTime6},
      {"後手残時間", K::kDigits, 6, GameHeader::kGoteTimeLeft, FieldRule::kTime6},
      {"登録日時", K::kDigits, 14, GameHeader::kRegistered, FieldRule::kDateTime14},
      {"対局番号", K::kText, 6, GameHeader::kGameNumber, FieldRule::kSixDigits},
      {"対局注釈", K::kAnnotation, kAnnotationWidth, -1},
  };
  return fields;
}

const std::vector<FormField>& ProblemFormFields() {
  static const std::vector<FormField> fields = {
      {"表題", K::kText, 50, ProblemHeader::kTitle},
      {"作者", K::kText, 18, ProblemHeader::kAuthor},
      {"難易度", K::kText, 14, ProblemHeader::kDifficulty},
      {"ヒント", K::kText, 40, ProblemHeader::kHint},
      {"詰手数", K::kText, 4, ProblemHeader::kMateLength, FieldRule::kUpToFourDigits},
      {"出題図", K::kFixed, 8, -1},
      {"登録日時", K::kDigits, 14, ProblemHeader::kRegistered, FieldRule::kDateTime14},
      {"詰将棋番号", K::kText, 6, ProblemHeader::kProblemNumber, FieldRule::kSixDigits},
      {"詰将棋注釈", K::kAnnotation, kAnnotationWidth, -1},
  };
  return fields;
}

const std::vector<std::string>& StandardOpeningTypes() {
  static const std::vector<std::string> types = {
      "相矢倉", "矢倉中飛車", "相振り飛車", "相掛かり", "角換わり", "角換わり棒銀", "角換わり早繰り銀",
      "角換わり腰掛け銀", "角換わり筋違い角", "相横歩取り", "横歩取り", "横歩取り３三角", "横歩取り４五角",
      "横歩取り２三歩", "ひねり飛車", "先手四間飛車対後手急戦", "先手四間飛車対後手左美濃",
      "先手四間飛車対後手居飛車穴熊", "後手四間飛車対先手急戦", "後手四間飛車対先手左美濃",
      "後手四間飛車対先手居飛車穴熊", "先手三間飛車対後手急戦", "先手三間飛車対後手左美濃",
      "先手三間飛車対後手居飛車穴熊", "後手三間飛車対先手急戦", "後手三間飛車対先手左美濃",
      "後手三間飛車対先手居飛車穴熊", "先手向飛車対後手急戦", "先手向飛車対後手左美濃",
      "先手向飛車対後手居飛車穴熊", "後手向飛車対先手急戦", "後手向飛車対先手左美濃",
      "後手向飛車対先手居飛車穴熊", "先手中飛車対後手急戦", "先手中飛車対後手左美濃",
      "先手中飛車対後手居飛車穴熊", "後手中飛車対先手急戦", "後手中飛車対先手左美濃",
      "後手中飛車対先手居飛車穴熊", "陽動振り飛車", "急戦矢倉", "相掛かり腰掛け銀", "急戦相居飛車",
  };
  return types;
}

bool IsNewOpeningType(std::string_view type, const std::vector<std::string>& remembered) {
  if (type.empty()) return false;
  const auto& standard = StandardOpeningTypes();
  return std::find(standard.begin(), standard.end(), type) == standard.end() &&
         std::find(remembered.begin(), remembered.end(), type) == remembered.end();
}

std::string DigitsToDisplay(FieldRule rule, std::string_view d) {
  auto piece = [&](size_t at, size_t n) { return std::string(d.substr(at, n)); };
  const bool whole = platform::AllDigits(d);
  if (rule == FieldRule::kDate8 && d.size() == 8 && whole) return piece(0, 4) + "/" + piece(4, 2) + "/" + piece(6, 2);
  if (rule == FieldRule::kTime6 && d.size() == 6 && whole) return piece(0, 2) + ":" + piece(2, 2) + ":" + piece(4, 2);
  if (rule == FieldRule::kDateTime14 && d.size() == 14 && whole) {
    return piece(0, 4) + "/" + piece(4, 2) + "/" + piece(6, 2) + " " + piece(8, 2) + ":" + piece(10, 2) + ":" +
           piece(12, 2);
  }
  return std::string(d);
}

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

int Cp932Length(std::string_view utf8) {
  int bytes = 0;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    // Half-width katakana (U+FF61..U+FF9F) take one byte; other non-ASCII characters two.
    const bool half_kana = n == 3 && c == 0xEF &&
                           ((static_cast<unsigned char>(utf8[i + 1]) == 0xBD && static_cast<unsigned char>(utf8[i + 2]) >= 0xA1) ||
                            static_cast<unsigned char>(utf8[i + 1]) == 0xBE);
    bytes += n == 1 || half_kana ? 1 : 2;
    i += n;
  }
  return bytes;
}

FormValues GameFormValues(const GameHeader& h) {
  FormValues values;
  for (const FormField& f : GameFormFields()) {
    if (f.kind == K::kAnnotation) {
      values.push_back(AnnotationForForm(h.Annotation()));
    } else if (f.header_index < 0) {
      values.push_back(Utf8(values.empty() ? h.SenteName() : h.GoteName()));
    } else {
      values.push_back(DigitsToDisplay(f.rule, Utf8(h.Field(f.header_index))));
    }
  }
  // A cleared header names no one: the dialog shows empty names rather than the placeholder.
  for (int side = 0; side < 2; ++side) {
    if (values[side] == Utf8(GameHeader::kUnknownPlayer)) values[side].clear();
  }
  return values;
}

FormValues ProblemFormValues(const ProblemHeader& h) {
  FormValues values;
  for (const FormField& f : ProblemFormFields()) {
    if (f.kind == K::kAnnotation) {
      values.push_back(AnnotationForForm(h.Annotation()));
    } else if (f.kind == K::kFixed) {
      values.push_back(Utf8(h.ProblemPosition()));
    } else {
      values.push_back(DigitsToDisplay(f.rule, Utf8(h.Field(f.header_index))));
    }
  }
  return values;
}

int FirstBadGameValue(const FormValues& values) { return FirstBad(GameFormFields(), values); }
int FirstBadProblemValue(const FormValues& values) { return FirstBad(ProblemFormFields(), values); }

void StoreGameValues(const FormValues& values, GameHeader& header) {
  const auto& fields = GameFormFields();
  std::string names[2];
  for (int side = 0; side < 2; ++side) {
    names[side] = values[side].empty() ? std::string(GameHeader::kUnknownPlayer) : Cp932(values[side]);
  }
  header.SetPlayersText(names[0] + "-" + names[1]);
  for (size_t i = 2; i < fields.size(); ++i) {
    if (fields[i].kind == K::kAnnotation) {
      header.SetAnnotation(AnnotationForHeader(values[i]));
    } else {
      StoreField(fields[i], values[i], header);
    }
  }
}

void StoreProblemValues(const FormValues& values, ProblemHeader& header) {
  const auto& fields = ProblemFormFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].kind == K::kAnnotation) {
      header.SetAnnotation(AnnotationForHeader(values[i]));
    } else if (fields[i].kind != K::kFixed) {
      StoreField(fields[i], values[i], header);
    }
  }
}

}  // namespace app
