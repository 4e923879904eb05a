#include "app/core/dib.h"

#include <cstring>

namespace app {

const Rgb kPalette[kPaletteSize] = {
    {255, 221, 0},   {255, 238, 0},   {136, 103, 0}, {255, 0, 0},     {221, 187, 0},
    {221, 187, 0},   {221, 187, 0},   {170, 68, 0},  {187, 102, 85},  {136, 51, 0},
    {170, 68, 0},    {187, 102, 85},  {136, 51, 0},  {153, 153, 68},  {204, 204, 221},
    {170, 170, 170}, {238, 238, 255}, {136, 136, 153}, {0, 0, 0},     {255, 255, 255},
};

namespace {

uint32_t U16(std::string_view b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int Distance(const Rgb& a, const Rgb& b) {
  int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

uint8_t NearestPaletteIndex(const Rgb& c) {
  int best = 0;
  for (int i = 1; i < kPaletteSize; ++i) {
    if (Distance(c, kPalette[i]) < Distance(c, kPalette[best])) best = i;
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

DibError ReadDib(std::string_view bytes, Dib8& out) {
  size_t info = 0;
  size_t pixel_offset = 0;
  const bool has_file_header = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
  if (has_file_header) {
    if (bytes.size() < 14) return DibError::kTruncated;
    pixel_offset = U32(bytes, 10);
    info = 14;
  }
  if (bytes.size() < info + 40) return DibError::kTruncated;
  const uint32_t header_size = U32(bytes, info);
  if (header_size < 40 || header_size > 1024) return DibError::kBadHeader;
  const int32_t width = static_cast<int32_t>(U32(bytes, info + 4));
  const int32_t raw_height = static_cast<int32_t>(U32(bytes, info + 8));
  if (U16(bytes, info + 12) != 1) return DibError::kBadHeader;
  if (U16(bytes, info + 14) != 8 || U32(bytes, info + 16) != 0) return DibError::kUnsupported;
  if (width <= 0 || width > kMaxDibSide || raw_height == 0 || raw_height < -kMaxDibSide ||
      raw_height > kMaxDibSide) {
    return DibError::kBadHeader;
  }
  const bool top_down = raw_height < 0;
  const int height = top_down ? -raw_height : raw_height;
  uint32_t used = U32(bytes, info + 32);
  if (used == 0) used = 256;
  if (used > 256) return DibError::kBadHeader;
  const size_t table = info + header_size;
  if (bytes.size() < table + 4 * static_cast<size_t>(used)) return DibError::kTruncated;
  const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  if (!has_file_header) pixel_offset = table + 4 * used;
  if (pixel_offset < table || pixel_offset > bytes.size() ||
      bytes.size() - pixel_offset < stride * static_cast<size_t>(height)) {
    return DibError::kTruncated;
  }

  Dib8 image;
  image.width = width;
  image.height = height;
  image.colours.resize(used);
  for (uint32_t i = 0; i < used; ++i) {
    size_t at = table + 4 * i;
    image.colours[i] = {static_cast<uint8_t>(bytes[at + 2]), static_cast<uint8_t>(bytes[at + 1]),
                        static_cast<uint8_t>(bytes[at])};
  }
  image.pixels.resize(static_cast<size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    const int file_row = top_down ? row : height - 1 - row;
    std::memcpy(&image.pixels[static_cast<size_t>(row) * width], bytes.data() + pixel_offset + stride * file_row,
                width);
  }
  out = std::move(image);
  return DibError::kOk;
}

std::string WriteDib(const Dib8& image) {
  const size_t stride = (static_cast<size_t>(image.width) + 3) & ~size_t{3};
  const uint32_t used = static_cast<uint32_t>(image.colours.size());
  const uint32_t offset = 14 + 40 + 4 * used;
  const uint32_t data_size = static_cast<uint32_t>(stride * image.height);
  std::string out;
  out.reserve(offset + data_size);
  out += "BM";
  Put32(out, offset + data_size);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(image.width));
  Put32(out, static_cast<uint32_t>(image.height));
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, data_size);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, used);
  Put32(out, used);
  for (const Rgb& c : image.colours) {
    out.push_back(static_cast<char>(c.b));
    out.push_back(static_cast<char>(c.g));
    out.push_back(static_cast<char>(c.r));
    out.push_back(0);
  }
  for (int row = image.height - 1; row >= 0; --row) {
    out.append(reinterpret_cast<const char*>(&image.pixels[static_cast<size_t>(row) * image.width]), image.width);
    out.append(stride - image.width, '\0');
  }
  return out;
}

void MapToPalette(Dib8& image) {
  bool same = image.colours.size() >= kPaletteSize;
  for (int i = 0; same && i < kPaletteSize; ++i) same = image.colours[i] == kPalette[i];
  uint8_t map[256];
  for (int i = 0; i < 256; ++i) {
    map[i] = same && i < kPaletteSize ? static_cast<uint8_t>(i)
             : i < static_cast<int>(image.colours.size()) ? NearestPaletteIndex(image.colours[i])
                                                          : NearestPaletteIndex(Rgb{});
  }
  for (uint8_t& p : image.pixels) p = map[p];
  image.colours.assign(kPalette, kPalette + kPaletteSize);
}

Dib8 SubImage(const Dib8& strip, int index, int height) {
  Dib8 image;
  if (index < 0 || height <= 0 || static_cast<long long>(index + 1) * height > strip.height) return image;
  image.width = strip.width;
  image.height = height;
  image.colours = strip.colours;
  const size_t begin = static_cast<size_t>(index) * height * strip.width;
  image.pixels.assign(strip.pixels.begin() + begin,
                      strip.pixels.begin() + begin + static_cast<size_t>(height) * strip.width);
  return image;
}

Dib8 BlankDib(int width, int height, uint8_t fill) {
  Dib8 image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<size_t>(width) * height, fill);
  image.colours.assign(kPalette, kPalette + kPaletteSize);
  return image;
}

}  // namespace app
