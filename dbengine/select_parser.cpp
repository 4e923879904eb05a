#include "dbengine/select_parser.h"

#include "dbengine/create_tokenizer.h"
#include "dbengine/result_codes.h"
#include "platform/sjis.h"

namespace dbengine {
namespace {

enum Clause { kSelect, kFrom, kWhere, kOrder, kBy, kClauses };
const char* const kLower[kClauses] = {"select", "from", "where", "order", "by"};
const char* const kUpper[kClauses] = {"SELECT", "FROM", "WHERE", "ORDER", "BY"};

int KeywordAt(std::string_view word) {
  for (int k = 0; k < kClauses; ++k) {
    if (word == kLower[k] || word == kUpper[k]) return k;
  }
  return -1;
}

// Start and end of each clause's text (after its keyword), or npos when it is absent.
struct ClauseSpans {
  size_t start[kClauses], end[kClauses];
};

ClauseSpans FindClauses(std::string_view s) {
  ClauseSpans spans;
  for (int k = 0; k < kClauses; ++k) spans.start[k] = spans.end[k] = std::string_view::npos;
  int open = -1;
  bool quoted = false;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '"') quoted = !quoted;
    bool word_start = !quoted && !IsBlank(s[i]) && (i == 0 || IsBlank(s[i - 1]));
    if (word_start) {
      size_t e = i;
      while (e < s.size() && !IsBlank(s[e])) e += platform::SjisCharLength(s, e);
      int k = KeywordAt(s.substr(i, e - i));
      if (k == kBy && spans.start[kOrder] == std::string_view::npos) k = -1;
      if (k >= 0 && spans.start[k] == std::string_view::npos) {
        if (open >= 0) spans.end[open] = i;
        spans.start[k] = e;
        open = k;
      } else if (k >= 0 && open >= 0) {  // a repeated keyword ends the clause before it
        spans.end[open] = i;
        open = -1;
      }
      if (k >= 0) {
        i = e;
        continue;
      }
    }
    i += platform::SjisCharLength(s, i);
  }
  if (open >= 0) spans.end[open] = s.size();
  return spans;
}

size_t SkipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

// Up to a blank or one of the stop characters, whole Shift-JIS characters.
size_t WordEnd(std::string_view s, size_t i, std::string_view stops) {
  while (i < s.size()) {
    size_t n = platform::SjisCharLength(s, i);
    if (n == 1 && (IsBlank(s[i]) || stops.find(s[i]) != std::string_view::npos)) break;
    i += n;
  }
  return i;
}

int ParseList(std::string_view s, bool order, std::vector<std::string>* items, std::vector<OrderItem>* order_items) {
  size_t i = SkipBlanks(s, 0);
  if (i == s.size()) return kOk;
  while (true) {
    size_t e = WordEnd(s, i, ",");
    if (e == i || KeywordAt(s.substr(i, e - i)) >= 0) return kQueryError;
    std::string item(s.substr(i, e - i));
    if (static_cast<int>(items ? items->size() : order_items->size()) + 1 >= kMaxListItems) return kQueryError;
    i = SkipBlanks(s, e);
    bool descending = false;
    if (order && s.substr(i, 4) == "desc" && (i + 4 == s.size() || IsBlank(s[i + 4]) || s[i + 4] == ',')) {
      descending = true;
      i = SkipBlanks(s, i + 4);
    }
    if (items) items->push_back(std::move(item));
    else order_items->push_back({std::move(item), descending});
    if (i == s.size()) return kOk;
    if (s[i] != ',') return kQueryError;
    while (i < s.size() && (IsBlank(s[i]) || s[i] == ',')) ++i;
  }
}

int ParseWhere(std::string_view s, std::vector<std::string>* tokens) {
  size_t i = 0;
  int slot = 0;  // 0 column, 1 operator, 2 value, 3 connector
  while (true) {
    i = SkipBlanks(s, i);
    if (i == s.size()) break;
    if (static_cast<int>(tokens->size()) >= kMaxListItems) return kQueryError;
    size_t e;
    if (slot == 0) {
      e = WordEnd(s, i, "=<>!");
    } else if (slot == 1 && std::string_view("=<>!").find(s[i]) != std::string_view::npos) {
      e = i;
      while (e < s.size() && std::string_view("=<>!").find(s[e]) != std::string_view::npos) ++e;
    } else if (slot == 2 && s[i] == '"') {
      e = s.find('"', i + 1);
      if (e == std::string_view::npos) return kQueryError;
      ++e;
    } else {
      e = WordEnd(s, i, "");
    }
    if (e == i) return kQueryError;
    tokens->emplace_back(s.substr(i, e - i));
    i = e;
    slot = (slot + 1) % 4;
  }
  // Complete after a value (slot 3) or a connector (slot 0).
  return slot == 0 || slot == 3 ? kOk : kQueryError;
}

}  // namespace

int ParseSelect(std::string_view s, SelectStatement* out) {
  *out = SelectStatement{};
  ClauseSpans c = FindClauses(s);
  auto text = [&](int k) {
    return c.start[k] == std::string_view::npos ? std::string_view() : s.substr(c.start[k], c.end[k] - c.start[k]);
  };
  if (c.start[kFrom] == std::string_view::npos) return kQueryError;
  if (c.start[kOrder] != std::string_view::npos &&
      (c.start[kBy] == std::string_view::npos || SkipBlanks(text(kOrder), 0) != text(kOrder).size())) {
    return kQueryError;
  }
  if (int rc = ParseList(text(kSelect), false, &out->columns, nullptr); rc != kOk) return rc;
  if (out->columns.size() == 1 && out->columns[0] == "*") out->columns.clear();
  if (int rc = ParseList(text(kFrom), false, &out->tables, nullptr); rc != kOk) return rc;
  if (out->tables.empty()) return kQueryError;
  if (int rc = ParseWhere(text(kWhere), &out->where); rc != kOk) return rc;
  return ParseList(text(kBy), true, nullptr, &out->order);
}

}  // namespace dbengine
