#include "app/qt_dib.h"

#include <QFont>
#include <QPainter>

#include "app/core/geometry.h"
#include "app/core/last_move_mark.h"

namespace app {

QVector<QRgb> PaletteColourTable() {
  QVector<QRgb> table;
  for (const Rgb& c : kPalette) table.push_back(qRgb(c.r, c.g, c.b));
  return table;
}

QVector<QRgb> PictureColourTable() {
  QVector<QRgb> table;
  for (const Rgb& c : PictureColours()) table.push_back(qRgb(c.r, c.g, c.b));
  return table;
}

namespace {

uint8_t Nearest(QRgb c) {
  int best = 0, best_distance = 1 << 30;
  for (int i = 0; i < kPaletteSize; ++i) {
    int dr = qRed(c) - kPalette[i].r, dg = qGreen(c) - kPalette[i].g, db = qBlue(c) - kPalette[i].b;
    int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (d < best_distance) {
      best_distance = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

Dib8 QuantizeToPalette(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_RGB32);
  Dib8 out = BlankDib(image.width(), image.height(), 0);
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) out.At(x, y) = Nearest(row[x]);
  }
  return out;
}

QImage ToQImage(const uint8_t* pixels, int width, int height, int stride) {
  QImage image(pixels, width, height, stride, QImage::Format_Indexed8);
  image.setColorTable(PaletteColourTable());
  return image.copy();
}

QImage ToQImage(const Dib8& image) { return ToQImage(image.pixels.data(), image.width, image.height, image.width); }

QFont MinchoFont(int pixel_height) {
  QFont font(QStringLiteral("IPAMincho"));
  font.setFamilies({QStringLiteral("IPAMincho"), QStringLiteral("IPAexMincho"), QStringLiteral("Noto Serif CJK JP"),
                    QStringLiteral("MS Mincho"), QStringLiteral("serif")});
  font.setPixelSize(pixel_height);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

Dib8 DrawStandLabel(const Dib8& backgrounds, int background_index, const QString& text) {
  QImage patch(kLabelWidth, kLabelHeight, QImage::Format_RGB32);
  for (int y = 0; y < kLabelHeight; ++y) {
    for (int x = 0; x < kLabelWidth; ++x) {
      const int by = background_index * kBackgroundHeight + kLabelAt.y + y, bx = kLabelAt.x + x;
      const bool inside = bx < backgrounds.width && by < backgrounds.height;
      const Rgb c = kPalette[inside ? backgrounds.At(bx, by) % kPaletteSize : 15];
      patch.setPixel(x, y, qRgb(c.r, c.g, c.b));
    }
  }
  QPainter painter(&patch);
  painter.setFont(MinchoFont(16));
  painter.setPen(Qt::white);
  painter.drawText(QRect(kLabelTextAt.x - kLabelAt.x, kLabelTextAt.y - kLabelAt.y, 2 * 16, 16),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
  painter.end();
  return QuantizeToPalette(patch);
}

}  // namespace app
