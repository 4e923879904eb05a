// Any bytes as an image file: the reader never reads past the bytes, and an image it accepts maps to the
// palette and cuts into strips safely.
#include <cstdint>
#include <cstdlib>

#include "app/core/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app::Dib8 image;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (app::ReadDib(bytes, image) != app::DibError::kOk) return 0;
  if (image.pixels.size() != static_cast<size_t>(image.width) * image.height) std::abort();
  app::MapToPalette(image);
  for (uint8_t p : image.pixels) {
    if (p >= app::kPaletteSize) std::abort();
  }
  app::Dib8 part = app::SubImage(image, 1, image.height / 2);
  if (!part.empty() && part.pixels.size() != static_cast<size_t>(part.width) * part.height) std::abort();
  app::Dib8 back;
  if (app::ReadDib(app::WriteDib(image), back) != app::DibError::kOk || back.pixels != image.pixels) std::abort();
  return 0;
}
