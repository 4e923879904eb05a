// CRC-32 (the polynomial of zlib and PNG), for the checksums the program keeps beside what it stores.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

namespace crc32_detail {
constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
inline constexpr std::array<uint32_t, 256> kTable = MakeTable();
}  // namespace crc32_detail

class Crc32 {
 public:
  void Add(const uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) value_ = crc32_detail::kTable[(value_ ^ bytes[i]) & 0xFF] ^ (value_ >> 8);
  }
  void Add(std::string_view bytes) { Add(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }
  void AddU32(uint32_t v) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
    Add(bytes, 4);
  }
  uint32_t value() const { return ~value_; }

 private:
  uint32_t value_ = 0xFFFFFFFFu;
};

inline uint32_t Crc32Of(std::string_view bytes) {
  Crc32 crc;
  crc.Add(bytes);
  return crc.value();
}

}  // namespace platform
