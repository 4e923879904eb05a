#include "app/core/wave.h"

namespace app {
namespace {

uint32_t U16(std::string_view b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

}  // namespace

bool ParseWave(std::string_view bytes, WaveFormat& out) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") return false;
  WaveFormat f;
  bool have_format = false;
  size_t at = 12;
  while (bytes.size() - at >= 8) {
    const std::string_view id = bytes.substr(at, 4);
    const size_t size = U32(bytes, at + 4);
    const size_t body = at + 8;
    if (size > bytes.size() - body) return false;
    if (id == "fmt ") {
      if (size < 16 || U16(bytes, body) != 1) return false;
      f.channels = static_cast<int>(U16(bytes, body + 2));
      f.rate = static_cast<int>(U32(bytes, body + 4));
      f.bits = static_cast<int>(U16(bytes, body + 14));
      have_format = true;
    } else if (id == "data") {
      if (!have_format) return false;
      f.data_offset = body;
      f.data_size = size;
      break;
    }
    at = body + size + (size & 1);
    if (at > bytes.size()) return false;
  }
  if (!have_format || f.data_offset == 0) return false;
  if ((f.channels != 1 && f.channels != 2) || (f.bits != 8 && f.bits != 16) || f.rate < 1000 || f.rate > 192000) {
    return false;
  }
  out = f;
  return true;
}

}  // namespace app
