// Qt pictures and our palette images: converting a drawn QImage to an 8-bit image on the palette, showing
// an 8-bit image or buffer through Qt, and drawing a stand label from text (the program does it for a
// missing label file; the asset generator for the files it ships).
#pragma once
#include <QImage>
#include <QString>

#include "app/core/dib.h"

namespace app {

// The palette as a Qt colour table.
QVector<QRgb> PaletteColourTable();
// The composed board picture's colours: the palette and its tinted bands (the last move's mark).
QVector<QRgb> PictureColourTable();
// Nearest palette colour of every pixel (alpha ignored).
Dib8 QuantizeToPalette(const QImage& image);
// A view of 8-bit palette pixels as a QImage (copied).
QImage ToQImage(const Dib8& image);
QImage ToQImage(const uint8_t* pixels, int width, int height, int stride);

// The font the stand labels and the board's texts are drawn in: a Mincho face of the given pixel height.
QFont MinchoFont(int pixel_height);
// The label image: the background under (513, 183), 34 x 18, with the text written in white at (514, 184).
Dib8 DrawStandLabel(const Dib8& backgrounds, int background_index, const QString& text);

}  // namespace app
