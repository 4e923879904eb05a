// Any bytes: conversion both ways never fails or overruns, and CP932 text survives a round trip.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sjis.h"
#include "platform/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string cp932 = platform::InputTextToCp932(bytes);
  bool lossless = false;
  std::string utf8 = platform::Cp932ToUtf8(cp932, &lossless);
  bool back_lossless = false;
  std::string back = platform::Utf8ToCp932(utf8, &back_lossless);
  // Valid CP932 converts to UTF-8 and back to the same characters (CP932 maps a few characters from two
  // codes, so the bytes may differ: NEC-selected and IBM extension rows).
  if (lossless && (!back_lossless || platform::Cp932ToUtf8(back) != utf8)) std::abort();
  for (size_t w = 0; w <= size && w < 64; ++w) {
    std::string cut = platform::CutToWidth(cp932, w);
    if (cut.size() > w || platform::SplitsSjisChar(cp932, cut.size())) std::abort();
  }
  return 0;
}
