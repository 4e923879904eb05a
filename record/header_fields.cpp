#include "record/header_fields.h"

#include <new>

#include "platform/sjis.h"
#include "platform/text_scan.h"

namespace record {

namespace {

const HeaderFieldSpec kGameFields[] = {
    {"対局日:", 8, FieldRule::kDate8},
    {"先手段位:", 10, FieldRule::kText},
    {"後手段位:", 10, FieldRule::kText},
    {"手合:", 6, FieldRule::kText},
    {"持時間:", 6, FieldRule::kTime6},
    {"秒読:", 2, FieldRule::kTwoDigits},
    {"試合結果:", 6, FieldRule::kText},
    {"手数:", 4, FieldRule::kUpToFourDigits},
    {"先手残時間:", 6, FieldRule::kTime6},
    {"後手残時間:", 6, FieldRule::kTime6},
    {"戦型:", 40, FieldRule::kText},
    {"棋戦名:", 40, FieldRule::kText},
    {"対局場所:", 40, FieldRule::kText},
    {"登録日時:", 14, FieldRule::kDateTime14},
    {"対局番号:", 6, FieldRule::kSixDigits},
};

const HeaderFieldSpec kTsumeFields[] = {
    {"作者:", 18, FieldRule::kText},
    {"詰手数:", 4, FieldRule::kUpToFourDigits},
    {"ヒント:", 40, FieldRule::kText},
    {"難易度:", 14, FieldRule::kText},
    {"表題:", 50, FieldRule::kText},
    {"登録日時:", 14, FieldRule::kDateTime14},
    {"詰将棋番号:", 6, FieldRule::kSixDigits},
};

int Number(std::string_view s, size_t at, size_t len) { return std::stoi(std::string(s.substr(at, len))); }

bool DateOk(std::string_view s) { return Number(s, 4, 2) <= 12 && Number(s, 6, 2) <= 31; }
bool TimeOk(std::string_view s, size_t at) {
  return Number(s, at, 2) <= 23 && Number(s, at + 2, 2) <= 59 && Number(s, at + 4, 2) <= 59;
}

}  // namespace

HeaderFields::HeaderFields(const HeaderFieldSpec* specs, int count)
    : specs_(specs, specs + count), values_(count), messages_(&platform::NullMessageSink::Instance()) {}

void HeaderFields::SetMessageSink(platform::MessageSink* messages) {
  messages_ = messages ? messages : &platform::NullMessageSink::Instance();
}

bool HeaderFields::KeepsRule(FieldRule rule, std::string_view v) {
  switch (rule) {
    case FieldRule::kText:
      return true;
    case FieldRule::kDate8:
      return v.size() == 8 && platform::AllDigits(v) && DateOk(v);
    case FieldRule::kTime6:
      return v.size() == 6 && platform::AllDigits(v) && TimeOk(v, 0);
    case FieldRule::kTwoDigits:
      return v.size() == 2 && platform::AllDigits(v);
    case FieldRule::kUpToFourDigits:
      return v.size() <= 4 && (v.empty() || platform::AllDigits(v));  // an empty count is no count
    case FieldRule::kDateTime14:
      return v.size() == 14 && platform::AllDigits(v) && DateOk(v) && TimeOk(v, 8);
    case FieldRule::kSixDigits:
      return v.size() == 6 && platform::AllDigits(v);
  }
  return false;
}

bool HeaderFields::SetField(int i, std::string_view value) {
  if (i < 0 || i >= FieldCount()) return false;
  const HeaderFieldSpec& spec = specs_[i];
  if (spec.rule == FieldRule::kText) {
    values_[i] = std::string(value);
    return true;
  }
  if (!KeepsRule(spec.rule, value)) return false;
  values_[i] = std::string(value);
  return true;
}

int HeaderFields::FieldWithKeyAt(std::string_view text) const {
  for (int i = 0; i < FieldCount(); ++i) {
    if (text.starts_with(specs_[i].key)) return i;
  }
  return -1;
}

void HeaderFields::SetAnnotation(std::string_view text) { annotation_ = std::string(text); }

bool HeaderFields::AppendAnnotationLine(std::string_view line) {
  const size_t before = annotation_.size();
  try {
    annotation_.append(line).append("\r\n");
    return true;
  } catch (const std::bad_alloc&) {
    annotation_.resize(before);
    messages_->Show("No memory!!");
    return false;
  }
}

void HeaderFields::Clear() {
  for (std::string& v : values_) v.clear();
  annotation_.clear();
}

// ---------------------------------------------------------------------------------------------------

const char GameHeader::kUnknownPlayer[] = "対局者不詳";

GameHeader::GameHeader() : HeaderFields(kGameFields, kFieldCount) { Clear(); }

void GameHeader::Clear() {
  HeaderFields::Clear();
  players_ = std::string(kUnknownPlayer) + "-" + kUnknownPlayer;
}

std::string GameHeader::SenteName() const { return players_.substr(0, players_.find('-')); }

std::string GameHeader::GoteName() const {
  size_t dash = players_.find('-');
  return dash == std::string::npos ? std::string() : players_.substr(dash + 1);
}

void GameHeader::SetPlayers(const std::string* sente, const std::string* gote) {
  const std::string s = sente ? *sente : SenteName(), g = gote ? *gote : GoteName();
  players_ = g.empty() ? s : s + "-" + g;
}

std::string GameHeader::ShortPlayers() const {
  constexpr size_t kHalf = kPlayersWidth / 2;
  std::string s = platform::CutToWidth(SenteName(), kPlayersWidth), g = platform::CutToWidth(GoteName(), kPlayersWidth);
  if (s.size() + g.size() > kPlayersWidth) {
    if (s.size() > kHalf && g.size() > kHalf) {
      s = platform::CutToWidth(s, kHalf);
      g = platform::CutToWidth(g, kHalf);
    } else if (s.size() <= kHalf) {
      g = platform::CutToWidth(g, kPlayersWidth - s.size());
    } else {
      s = platform::CutToWidth(s, kPlayersWidth - g.size());
    }
  }
  return g.empty() ? s : s + "-" + g;
}

const char ProblemHeader::kUnknownAuthor[] = "作者不詳";

ProblemHeader::ProblemHeader() : HeaderFields(kTsumeFields, kFieldCount) { Clear(); }

void ProblemHeader::Clear() {
  HeaderFields::Clear();
  SetField(kAuthor, kUnknownAuthor);
  problem_position_.clear();
}

void ProblemHeader::SetProblemPosition(std::string_view id) { problem_position_ = platform::CutToWidth(id, 8); }

}  // namespace record
