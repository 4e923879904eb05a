#include "app/core/setup_bytes.h"

#include <cstring>

namespace km {
namespace {

const char kMagic[10] = {'W', 'I', 'N', 'K', 'Z', 'B', '.', 'S', 'K', 'B'};

void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

}  // namespace

std::string EncodeSetup(const CBform& form, int side, int reversed) {
  std::string out(kMagic, sizeof kMagic);
  out.append(reinterpret_cast<const char*>(form.data()), CBform::kSize);
  Put32(out, static_cast<uint32_t>(side));
  Put32(out, static_cast<uint32_t>(reversed));
  return out;
}

bool DecodeSetup(const std::string& bytes, CBform& form, int& side, int& reversed) {
  if (bytes.size() != 62 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return false;
  CBform f;
  std::memcpy(f.data(), bytes.data() + 10, CBform::kSize);
  const uint32_t s = Get32(bytes, 54), r = Get32(bytes, 58);
  if (!f.IsValid() || s > 2 || r > 1) return false;
  form = f;
  side = static_cast<int>(s);
  reversed = static_cast<int>(r);
  return true;
}

}  // namespace km
