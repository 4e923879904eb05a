// The images every board window draws with, loaded once per process from the asset folder:
// "back.dib" (the two backgrounds), "kmfont.dib" (the 32 piece images), "KBox.dib" (the piece box) and
// the four stand labels "sg0.dib" 先手, "sg1.dib" 後手, "su0.dib" 攻方, "su1.dib" 受方. Every image is
// mapped to the palette once loaded.
#pragma once
#include <string>

#include "app/core/dib.h"
#include "app/core/geometry.h"

namespace app {

enum LabelIndex { kLabelSente, kLabelGote, kLabelAttacker, kLabelDefender, kLabelCount };
extern const char* const kLabelFiles[kLabelCount];  // "sg0.dib" ...
extern const char* const kLabelTexts[kLabelCount];  // UTF-8: "先手", "後手", "攻方", "受方"

struct BoardImages {
  Dib8 backgrounds;  // 685 x 880: normal above, reversed below
  Dib8 pieces[kPieceImageCount];
  Dib8 box;          // empty when "KBox.dib" is missing
  Dib8 labels[kLabelCount];  // empty until loaded or drawn

  const Dib8& Piece(int display_side, int kind, int face) const {
    return pieces[PieceImageIndex(display_side, kind, face)];
  }
};

enum class ImageLoad { kOk, kNoBackground, kNoPieces };

// Loads the images from `directory` (CP932, ending in '/'); a failure names the file that could not be
// read or did not hold images of the stated sizes.
ImageLoad LoadBoardImages(const std::string& directory, BoardImages& images, std::string* failed_path);
// Fills the labels still empty from `directory` (the labels drawn and saved by an earlier run).
void LoadMissingLabels(const std::string& directory, BoardImages& images);
// Reads one image file of exact size; false when missing, unreadable or of another size.
bool LoadImageFile(const std::string& path, int width, int height, Dib8& out);

}  // namespace app
