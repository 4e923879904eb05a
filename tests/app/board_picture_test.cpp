// Composition of the board picture, hit testing, geometry, palette images and the small texts of the
// windows.
#include "app/core/board_picture.h"

#include <gtest/gtest.h>

#include "app/core/command_ids.h"
#include "app/core/command_table.h"
#include "app/core/pane_text.h"
#include "app/core/wave.h"
#include "platform/text_codec.h"
#include "tests/app/app_test_support.h"

using namespace rules;
using namespace app;

namespace app {
namespace {

struct TestSprite : Sprite {};

Dib8 Square(uint8_t colour) {
  Dib8 d = BlankDib(10, 10, 13);  // transparent border of one pixel
  for (int y = 1; y < 9; ++y) {
    for (int x = 1; x < 9; ++x) d.At(x, y) = colour;
  }
  return d;
}

TEST(BoardPicture, NearerSpritesCoverFartherOnesAndEqualDepthsFavourTheNewest) {
  BoardImages images = TestImages();
  Dib8 red = Square(3), white = Square(19);
  TestSprite a, b;  // outlive the picture, which lets go of them when it goes
  BoardPicture picture;
  picture.SetBackground(&images.backgrounds, 0);
  a.SetImage(&red);
  b.SetImage(&white);
  a.SetPlace(100, 100);
  b.SetPlace(104, 104);
  picture.AddSprite(&a);
  picture.AddSprite(&b);
  picture.RenderDirty();
  EXPECT_EQ(picture.PixelAt(106, 106), 19) << "equal depth: the newest is nearest";
  EXPECT_EQ(picture.PixelAt(100, 100), 15) << "a transparent pixel shows the background";
  EXPECT_EQ(picture.HitTest(106, 106), &b);

  a.SetDepth(40);
  picture.RenderDirty();
  EXPECT_EQ(picture.PixelAt(106, 106), 3);
  EXPECT_EQ(picture.HitTest(106, 106), &a);
  b.SetDepth(40);  // changed to the depth of another sprite: drawn in front of it
  picture.RenderDirty();
  EXPECT_EQ(picture.PixelAt(106, 106), 19);
  EXPECT_EQ(picture.HitTest(106, 106), &b);

  a.SetDepth(kHeldDepth);
  EXPECT_EQ(picture.HitTest(100, 100), nullptr) << "transparent pixels fall through";
  EXPECT_EQ(picture.HitTest(109, 109), &b) << "a's transparent border over b's opaque middle";
}

TEST(BoardPicture, DirtyRectanglesMergeWithTheLastWhenTheyTouch) {
  TestSprite s;
  BoardPicture picture;
  picture.AddDirty({10, 10, 20, 20});
  picture.AddDirty({15, 15, 30, 30});
  ASSERT_EQ(picture.dirty().size(), 1u);
  EXPECT_EQ(picture.dirty()[0], (Rect{10, 10, 30, 30}));
  picture.AddDirty({100, 100, 110, 110});
  picture.AddDirty({-5, -5, 2, 2});  // clipped to the picture
  ASSERT_EQ(picture.dirty().size(), 3u);
  EXPECT_EQ(picture.dirty()[2], (Rect{0, 0, 2, 2}));
  EXPECT_EQ(picture.RenderDirty().size(), 3u);
  EXPECT_TRUE(picture.dirty().empty());

  Dib8 red = Square(3);
  s.SetImage(&red);
  picture.AddSprite(&s);
  picture.RenderDirty();
  s.SetPlace(5, 0);  // a piece moving a little costs one rectangle
  ASSERT_EQ(picture.dirty().size(), 1u);
  EXPECT_EQ(picture.dirty()[0], (Rect{0, 0, 15, 10}));
}

TEST(BoardPicture, BoxAndLabelAreDrawnInOrder) {
  BoardImages images = TestImages();
  Dib8 label = BlankDib(kLabelWidth, kLabelHeight, 18);
  BoardPicture picture;
  picture.SetBackground(&images.backgrounds, 1);
  picture.SetBoxImage(&images.box);
  picture.SetLabel(&label);
  picture.RenderDirty();
  EXPECT_EQ(picture.PixelAt(520, 20), 14) << "background 1, box hidden";
  EXPECT_EQ(picture.PixelAt(520, 190), 18);
  picture.ShowBox(true);
  picture.RenderDirty();
  EXPECT_EQ(picture.PixelAt(520, 20), 8);
}

TEST(Geometry, HitAreasAndSquares) {
  EXPECT_EQ(HitPlace(140, 18, false).area, PictureArea::kSquare);
  EXPECT_EQ(HitPlace(140, 18, false).file, 9);
  EXPECT_EQ(HitPlace(140, 18, false).rank, 1);
  EXPECT_EQ(HitPlace(498, 376, false).file, 1);
  EXPECT_EQ(HitPlace(498, 376, false).rank, 9);
  EXPECT_EQ(HitPlace(499, 376, false).area, PictureArea::kNone);
  EXPECT_EQ(HitPlace(139, 100, false).area, PictureArea::kNone);
  EXPECT_EQ(HitPlace(515, 205, false).area, PictureArea::kLowerStand);
  EXPECT_EQ(HitPlace(4, 11, false).area, PictureArea::kUpperStand);
  EXPECT_EQ(HitPlace(122, 188, false).area, PictureArea::kUpperStand);
  EXPECT_EQ(HitPlace(520, 50, false).area, PictureArea::kNone);
  EXPECT_EQ(HitPlace(520, 50, true).area, PictureArea::kBox);
  const Point cell = SquareCell(7, 6);
  EXPECT_EQ(cell.x, 219);
  EXPECT_EQ(cell.y, 217);
  PicturePlace p = HitPlace(cell.x + 1, cell.y + 1, false);
  EXPECT_EQ(LocationOfPlace(p, false), ToBoardIndex(SquareNumber(76)));
  EXPECT_EQ(LocationOfPlace(p, true), ToBoardIndex(SquareNumber(34)));
  EXPECT_EQ(LocationOfPlace({PictureArea::kLowerStand, 0, 0}, true), kGoteHand);
  EXPECT_EQ(LocationOfPlace({PictureArea::kUpperStand, 0, 0}, false), kGoteHand);
}

TEST(Dib, RoundTripAndMapping) {
  Dib8 image = BlankDib(5, 3, 4);
  image.At(4, 0) = 19;
  image.At(0, 2) = 3;
  std::string bytes = WriteDib(image);
  Dib8 back;
  ASSERT_EQ(ReadDib(bytes, back), DibError::kOk);
  EXPECT_EQ(back.width, 5);
  EXPECT_EQ(back.height, 3);
  EXPECT_EQ(back.pixels, image.pixels);
  MapToPalette(back);
  EXPECT_EQ(back.At(4, 0), 19) << "a palette image keeps its indices, duplicates included";
  EXPECT_EQ(back.At(1, 1), 4);

  // Another colour table: each entry becomes the nearest palette colour.
  Dib8 foreign = BlankDib(2, 1, 0);
  foreign.colours = {{250, 5, 5}, {1, 1, 1}};
  foreign.At(1, 0) = 1;
  MapToPalette(foreign);
  EXPECT_EQ(foreign.At(0, 0), 3);
  EXPECT_EQ(foreign.At(1, 0), 18);
}

TEST(Dib, DamagedFilesGiveTheirError) {
  std::string good = WriteDib(BlankDib(4, 4, 1));
  Dib8 out;
  EXPECT_EQ(ReadDib(good.substr(0, 10), out), DibError::kTruncated);
  EXPECT_EQ(ReadDib(good.substr(0, good.size() - 1), out), DibError::kTruncated);
  std::string bits = good;
  bits[14 + 14] = 24;  // bits per pixel
  EXPECT_EQ(ReadDib(bits, out), DibError::kUnsupported);
  std::string width = good;
  width[14 + 4] = 0;  // width 0
  EXPECT_EQ(ReadDib(width, out), DibError::kBadHeader);
  std::string colours = good;
  colours[14 + 33] = 2;  // 512 colours
  EXPECT_EQ(ReadDib(colours, out), DibError::kBadHeader);
  std::string offset = good;
  offset[10] = static_cast<char>(0xF0);  // pixels promised past the end
  EXPECT_EQ(ReadDib(offset, out), DibError::kTruncated);
}

TEST(PaneText, LongPathsLoseTheirBeginningBehindDots) {
  EXPECT_EQ(ShortenForPane("/home/a/db", 20), "/home/a/db");
  EXPECT_EQ(ShortenForPane("/home/user/shogi/database", 12), ".../database");
  EXPECT_EQ(ShortenForPane("/home/user/shogi/database", 9), "/database") << "stops at a separator";
  EXPECT_EQ(ShortenForPane("/home/user/shogi/database", 10), "./database");
  // "/将棋データ" is 11 bytes; keeping 7 would start inside 棋, so 6 are kept and the first two become
  // dots; the third is the lead byte of ー and stays.
  const std::string cut = ShortenForPane(platform::Utf8ToCp932("/将棋データ"), 7);
  EXPECT_EQ(cut.substr(0, 2), "..");
  EXPECT_EQ(platform::Cp932ToUtf8(cut.substr(2)), "ータ");
}

TEST(Wave, ParsesPcmAndRefusesDamage) {
  std::string wav = std::string("RIFF") + std::string(4, '\0') + "WAVE" + "fmt " + std::string("\x10\0\0\0", 4) +
                    std::string("\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0", 16) + "data" +
                    std::string("\x04\0\0\0", 4) + std::string(4, '\x01');
  WaveFormat f;
  ASSERT_TRUE(ParseWave(wav, f));
  EXPECT_EQ(f.channels, 1);
  EXPECT_EQ(f.rate, 22050);
  EXPECT_EQ(f.bits, 16);
  EXPECT_EQ(f.data_size, 4u);
  EXPECT_FALSE(ParseWave(wav.substr(0, wav.size() - 1), f)) << "data shorter than its chunk";
  std::string adpcm = wav;
  adpcm[20] = 2;
  EXPECT_FALSE(ParseWave(adpcm, f));
  EXPECT_FALSE(ParseWave("RIFF", f));
}

TEST(CommandTable, TextsAcceleratorsAndMenus) {
  EXPECT_EQ(CommandText(cmd::kSpeed, kGameMenu), "速度調整(&R)");
  EXPECT_EQ(CommandText(cmd::kSpeed, kTsumeMenu), "速度調整(&S)");
  EXPECT_EQ(CommandText(cmd::kFlip, kSetupMenu), "座 変換(&Z)");
  EXPECT_EQ(CommandPrompt(cmd::kLayoutBox), "すべての駒を駒箱へ配置します。");
  auto key_of = [](WindowKind kind, const char* keys) {
    for (const Accelerator& a : AcceleratorsOf(kind)) {
      if (std::string(a.keys) == keys) return a.id;
    }
    return 0;
  };
  EXPECT_EQ(key_of(kGameMenu, "Ctrl+O"), cmd::kOpenGame);
  EXPECT_EQ(key_of(kTsumeMenu, "Ctrl+O"), cmd::kOpenTsume);
  EXPECT_EQ(key_of(kMainMenu, "Ctrl+O"), cmd::kFileOpen);
  EXPECT_EQ(key_of(kGameMenu, "Ctrl+R"), cmd::kSpeed);
  EXPECT_EQ(key_of(kTsumeMenu, "Ctrl+R"), 0);
  EXPECT_EQ(key_of(kMainMenu, "Ctrl+C"), cmd::kEdCopy);
  EXPECT_EQ(key_of(kSetupMenu, "Shift+Ins"), cmd::kEdPaste);
  // Every command in a menu has a text, and no key is bound twice in one window kind.
  for (WindowKind kind : {kMainMenu, kGameMenu, kTsumeMenu, kSetupMenu}) {
    for (const MenuSpec& m : MenusOf(kind)) {
      for (const MenuEntry& e : m.entries) {
        if (e.id > 0 && e.id != cmd::kRecentFile) {
          EXPECT_FALSE(CommandText(e.id, kind).empty()) << e.id;
        }
      }
    }
    std::vector<std::string> seen;
    for (const Accelerator& a : AcceleratorsOf(kind)) {
      EXPECT_EQ(std::count(seen.begin(), seen.end(), a.keys), 0) << a.keys;
      seen.push_back(a.keys);
    }
  }
}

}  // namespace
}  // namespace app
