// 8-bit device-independent bitmaps on the program's palette: the board, piece, box and label images.
//
// File layout (a Windows bitmap file, little-endian):
//   offset 0   "BM", u32 file size, u16 0, u16 0, u32 offset of the pixels          (file header, 14 bytes;
//              the reader also takes a bare header without it)
//   offset 14  u32 header size (40 or more), i32 width, i32 height (> 0 bottom-up, < 0 top-down),
//              u16 planes (1), u16 bits per pixel (8), u32 compression (0), u32 image size, i32, i32
//              (resolution), u32 colours used (0 means 256), u32 colours important
//   then       the colour table: colours-used entries of blue, green, red, 0
//   then       the rows, each padded to a multiple of 4 bytes
// The files we write are bottom-up with a 20-entry colour table equal to the palette. Files holding several
// images of one size stack them from the top: image i occupies rows i*h .. i*h+h-1 counted from the top.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The program's logical palette, in its fixed order.
constexpr int kPaletteSize = 20;
extern const Rgb kPalette[kPaletteSize];

// Pixels are palette indices, rows from the top.
struct Dib8 {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
  std::vector<Rgb> colours;  // the file's colour table (the palette once mapped)

  uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint8_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  bool empty() const { return width == 0 || height == 0; }
};

enum class DibError {
  kOk,
  kTruncated,       // the bytes end before a part the headers promise
  kBadHeader,       // not a bitmap header, or sizes out of range
  kUnsupported,     // not 8 bits per pixel or compressed
};

constexpr int kMaxDibSide = 16384;

DibError ReadDib(std::string_view bytes, Dib8& out);
std::string WriteDib(const Dib8& image);  // bottom-up, with the image's colour table

// Makes the pixels index the palette: an image whose table starts with the palette keeps its indices;
// otherwise each table entry is replaced by the nearest palette colour (pixels beyond the table become
// the nearest colour of black). Afterwards `colours` is the palette.
void MapToPalette(Dib8& image);

// Image `index` of a file holding images of `height` rows stacked from the top; empty when out of range.
Dib8 SubImage(const Dib8& strip, int index, int height);
// A new image of the given size filled with one palette index.
Dib8 BlankDib(int width, int height, uint8_t fill);

}  // namespace app
