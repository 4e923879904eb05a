// Any bytes as an image file: the reader never reads past the bytes, and an image it accepts maps to the
// palette and cuts into strips safely.
#include <cstdint>
#include <cstdlib>

#include "app/core/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  km::Dib8 image;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (km::ReadDib(bytes, image) != km::DibError::kOk) return 0;
  if (image.pixels.size() != static_cast<size_t>(image.width) * image.height) std::abort();
  km::MapToPalette(image);
  for (uint8_t p : image.pixels) {
    if (p >= km::kPaletteSize) std::abort();
  }
  km::Dib8 part = km::SubImage(image, 1, image.height / 2);
  if (!part.empty() && part.pixels.size() != static_cast<size_t>(part.width) * part.height) std::abort();
  km::Dib8 back;
  if (km::ReadDib(km::WriteDib(image), back) != km::DibError::kOk || back.pixels != image.pixels) std::abort();
  return 0;
}
