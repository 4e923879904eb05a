#include "record/csa_encoding.h"

#include "platform/text_codec.h"

namespace record {

namespace {

constexpr std::string_view kEncodingKey = "'CSA encoding=";

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

}  // namespace

CsaEncoding CsaEncodingOfLine(std::string_view line) {
  if (!line.starts_with(kEncodingKey)) return CsaEncoding::kUndeclared;
  std::string_view name = line.substr(kEncodingKey.size());
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r')) name.remove_suffix(1);
  if (SameLetters(name, "UTF-8")) return CsaEncoding::kUtf8;
  if (SameLetters(name, "SHIFT_JIS")) return CsaEncoding::kShiftJis;
  return CsaEncoding::kUnknown;
}

std::string CsaTextToCp932(std::string_view bytes) {
  std::string_view first = bytes;
  if (platform::HasUtf8Bom(first)) first.remove_prefix(3);
  first = first.substr(0, first.find('\n'));
  switch (CsaEncodingOfLine(first)) {
    case CsaEncoding::kUtf8:
      if (platform::HasUtf8Bom(bytes)) bytes.remove_prefix(3);
      return platform::Utf8ToCp932(bytes);
    case CsaEncoding::kShiftJis:
      return std::string(bytes);
    default:
      return platform::InputTextToCp932(bytes);
  }
}

}  // namespace record
