// Diagram files: the PNG has the size asked for and is a picture of the SVG; bad input gives no file.
#include <gtest/gtest.h>

#include "imaging/diagram_file.h"
#include "imaging/svg_png.h"
#include "record/plain_board.h"

using namespace imaging;

namespace {

// Width and height from the IHDR chunk that follows the PNG signature.
bool PngSize(const std::string& png, int& width, int& height) {
  if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || png.compare(12, 4, "IHDR") != 0) return false;
  auto be32 = [&](size_t at) {
    return static_cast<int>(static_cast<unsigned char>(png[at]) << 24 | static_cast<unsigned char>(png[at + 1]) << 16 |
                            static_cast<unsigned char>(png[at + 2]) << 8 | static_cast<unsigned char>(png[at + 3]));
  };
  width = be32(16);
  height = be32(20);
  return true;
}

TEST(DiagramFile, FormatFollowsTheExtension) {
  EXPECT_EQ(DiagramFormatOf("a/b.SVG"), DiagramFormat::kSvg);
  EXPECT_EQ(DiagramFormatOf("b.png"), DiagramFormat::kPng);
  EXPECT_EQ(DiagramFormatOf("png"), DiagramFormat::kUnknown);
  EXPECT_EQ(DiagramFormatOf("b.svg.txt"), DiagramFormat::kUnknown);
}

TEST(DiagramFile, PngHasTheRequestedSize) {
  record::PlainBoard board;
  for (int width : {120, 800}) {
    record::DiagramOptions options;
    options.width = width;
    options.caption = "x";
    std::string error;
    const std::string png = DiagramFileBytes(board, options, DiagramFormat::kPng, &error);
    int w = 0, h = 0;
    ASSERT_TRUE(PngSize(png, w, h)) << error;
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, record::DiagramHeight(width, true));
  }
  const std::string svg = DiagramFileBytes(board, {}, DiagramFormat::kSvg);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
}

TEST(DiagramFile, BadInputGivesNothingAndSaysWhy) {
  std::string error;
  EXPECT_TRUE(SvgToPng("<svg", 10, 10, &error).empty());
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_TRUE(SvgToPng("<svg xmlns=\"http://www.w3.org/2000/svg\"/>", 0, 10, &error).empty());
  EXPECT_FALSE(error.empty());
  record::PlainBoard board;
  EXPECT_TRUE(DiagramFileBytes(board, {}, DiagramFormat::kUnknown, &error).empty());
}

}  // namespace
