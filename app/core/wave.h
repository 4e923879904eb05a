// The piece sound's wave file: RIFF "WAVE" with a "fmt " chunk (PCM, 8 or 16 bits, 1 or 2 channels) and
// a "data" chunk. Chunks are little-endian (id, u32 size, bytes, a pad byte after an odd size); every
// size is checked against the bytes present.
#pragma once
#include <cstdint>
#include <string_view>

namespace app {

struct WaveFormat {
  int channels = 0;
  int rate = 0;
  int bits = 0;
  size_t data_offset = 0, data_size = 0;
};

// False when the bytes are not a PCM wave file we can play.
bool ParseWave(std::string_view bytes, WaveFormat& out);

}  // namespace app
