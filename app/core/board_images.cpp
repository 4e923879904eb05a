#include "app/core/board_images.h"

#include "platform/files.h"

namespace app {

const char* const kLabelFiles[kLabelCount] = {"sg0.dib", "sg1.dib", "su0.dib", "su1.dib"};
const char* const kLabelTexts[kLabelCount] = {"先手", "後手", "攻方", "受方"};

bool LoadImageFile(const std::string& path, int width, int height, Dib8& out) {
  std::string bytes;
  Dib8 image;
  if (!platform::ReadWholeFile(path, bytes) || ReadDib(bytes, image) != DibError::kOk) return false;
  if (image.width != width || image.height != height) return false;
  MapToPalette(image);
  out = std::move(image);
  return true;
}

ImageLoad LoadBoardImages(const std::string& directory, BoardImages& images, std::string* failed_path) {
  const std::string back = directory + "back.dib";
  if (!LoadImageFile(back, kBackgroundWidth, 2 * kBackgroundHeight, images.backgrounds)) {
    if (failed_path) *failed_path = back;
    return ImageLoad::kNoBackground;
  }
  const std::string font = directory + "kmfont.dib";
  Dib8 strip;
  if (!LoadImageFile(font, kPieceSize, kPieceImageCount * kPieceSize, strip)) {
    if (failed_path) *failed_path = font;
    return ImageLoad::kNoPieces;
  }
  for (int i = 0; i < kPieceImageCount; ++i) images.pieces[i] = SubImage(strip, i, kPieceSize);
  if (!LoadImageFile(directory + "KBox.dib", kBoxWidth, kBoxHeight, images.box)) images.box = Dib8{};
  for (int i = 0; i < kLabelCount; ++i) images.labels[i] = Dib8{};
  LoadMissingLabels(directory, images);
  return ImageLoad::kOk;
}

void LoadMissingLabels(const std::string& directory, BoardImages& images) {
  for (int i = 0; i < kLabelCount; ++i) {
    if (images.labels[i].empty()) LoadImageFile(directory + kLabelFiles[i], kLabelWidth, kLabelHeight, images.labels[i]);
  }
}

}  // namespace app
