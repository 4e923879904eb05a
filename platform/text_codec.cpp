#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>

#include "platform/sjis.h"

namespace platform {
namespace {

// One conversion through iconv. On an invalid or unconvertible input sequence, `skip` input bytes are
// passed over and `replacement` is written instead; returns false when that happened.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             std::string_view replacement, size_t (*skip)(std::string_view rest)) {
  out.clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    out.assign(in);
    return false;
  }
  bool clean = true;
  char buffer[4096];
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  while (src_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, dst - buffer);
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    clean = false;  // EILSEQ or EINVAL (truncated sequence at the end)
    size_t n = skip(std::string_view(src, src_left));
    src += n;
    src_left -= n;
    out.append(replacement);
  }
  iconv_close(cd);
  return clean;
}

// An unconvertible character is skipped whole when it has the shape of a double-byte one.
size_t SkipCp932Char(std::string_view rest) {
  if (rest.size() < 2 || !IsSjisLeadByte(static_cast<unsigned char>(rest[0]))) return 1;
  const unsigned char trail = static_cast<unsigned char>(rest[1]);
  return (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) ? 2 : 1;
}

// Length of the UTF-8 sequence at the start of rest, 1 when it is not a valid one.
size_t Utf8SequenceLength(std::string_view rest) {
  unsigned char c = static_cast<unsigned char>(rest[0]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || n > rest.size()) return 1;
  for (size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932, bool* lossless) {
  std::string out;
  bool clean = Convert("UTF-8", "CP932", cp932, out, "\xEF\xBF\xBD", SkipCp932Char);
  if (lossless) *lossless = clean;
  return out;
}

std::string Utf8ToCp932(std::string_view utf8, bool* lossless) {
  std::string out;
  bool clean = Convert("CP932", "UTF-8", utf8, out, "?", Utf8SequenceLength);
  if (lossless) *lossless = clean;
  return out;
}

bool HasUtf8Bom(std::string_view bytes) { return bytes.substr(0, 3) == "\xEF\xBB\xBF"; }

bool LooksLikeUtf8(std::string_view bytes) {
  if (HasUtf8Bom(bytes)) return true;
  bool multibyte = false;
  for (size_t i = 0; i < bytes.size();) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t n = Utf8SequenceLength(bytes.substr(i));
    if (n == 1) return false;
    // Overlong two-byte forms (C0, C1) are not UTF-8 text.
    if (c == 0xC0 || c == 0xC1) return false;
    multibyte = true;
    i += n;
  }
  return multibyte;
}

std::string InputTextToCp932(std::string_view bytes, bool* was_utf8) {
  bool utf8 = LooksLikeUtf8(bytes);
  if (was_utf8) *was_utf8 = utf8;
  if (!utf8) return std::string(bytes);
  if (HasUtf8Bom(bytes)) bytes.remove_prefix(3);
  return Utf8ToCp932(bytes);
}

}  // namespace platform
