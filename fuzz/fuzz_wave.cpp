// Any bytes as the piece sound: the parser never reads past the bytes, and what it accepts lies inside them.
#include <cstdint>
#include <cstdlib>

#include "app/core/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app::WaveFormat f;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!app::ParseWave(bytes, f)) return 0;
  if (f.data_offset > size || f.data_size > size - f.data_offset) std::abort();
  return 0;
}
