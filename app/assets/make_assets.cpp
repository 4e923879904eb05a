// make_assets OUTDIR: draws the board windows' images and the piece sound that ship in the program
// directory: "back.dib" (the board for both orientations), "kmfont.dib" (the 32 pieces), "KBox.dib" (the
// piece box), the four stand labels and "kmsound.wav". Everything is our own drawing: shapes and texts are
// drawn with Qt in full colour, then every pixel takes the nearest colour of the program's palette.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

#include "app/core/board_images.h"
#include "app/core/dib.h"
#include "app/core/geometry.h"
#include "app/qt_dib.h"
#include "rules/piece_code.h"

using namespace rules;

namespace {

using namespace app;

// Palette indices the drawings use.
enum : uint8_t {
  kGold = 0, kLemon = 1, kUmber = 2, kRed = 3, kWood = 4, kRust = 7, kRose = 8, kDarkBrown = 9,
  kTransparent = 13, kSilver = 14, kGrey = 15, kPale = 16, kSlate = 17, kBlack = 18, kWhite = 19,
};

QColor Pal(uint8_t i) { return QColor(kPalette[i].r, kPalette[i].g, kPalette[i].b); }

// Two palette colours in a checker pattern: seen at a normal distance they mix into a colour the palette
// lacks (the warm, pale wood of a board from yellow and silver).
QBrush Checker(uint8_t a, uint8_t b) {
  QImage tile(2, 2, QImage::Format_RGB32);
  tile.setPixelColor(0, 0, Pal(a));
  tile.setPixelColor(1, 1, Pal(a));
  tile.setPixelColor(1, 0, Pal(b));
  tile.setPixelColor(0, 1, Pal(b));
  return QBrush(tile);
}

QBrush WoodBrush() { return Checker(kWood, kSilver); }

// A deterministic grain: light streaks that wander along the rows, as in a straight-grained board.
void WoodGrain(QPainter& p, const QRect& area, double seed) {
  p.setPen(Pal(kWood));
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const double wave = y + 5.0 * std::sin(x / 53.0 + seed) + 2.0 * std::sin(x / 17.0 + y / 29.0 + seed * 2);
      const double streak = std::sin(wave * 0.47 + std::sin(wave * 0.11 + seed) * 3.0);
      const double fleck = std::sin(x * 12.9898 + y * 78.233 + seed) * 43758.5453;
      const double noise = fleck - std::floor(fleck);
      if (streak > 0.985 || (streak > 0.9 && noise > 0.75)) p.drawPoint(x, y);
    }
  }
}

void DrawTray(QPainter& p, const QRect& r, double seed) {
  p.fillRect(r.adjusted(2, 2, 2, 2), Pal(kBlack));  // shadow on the desk
  p.fillRect(r, WoodBrush());
  WoodGrain(p, r.adjusted(1, 1, -1, -1), seed);
  p.setPen(Pal(kUmber));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0, 0, -1, -1));
}

QImage Background(bool reversed) {
  QImage image(kBackgroundWidth, kBackgroundHeight, QImage::Format_RGB32);
  image.fill(Pal(kDarkBrown));
  QPainter p(&image);
  // Board.
  const QRect board(124, 0, 389, 393);
  p.fillRect(board.adjusted(3, 3, 3, 3), Pal(kBlack));
  p.fillRect(board, WoodBrush());
  WoodGrain(p, board.adjusted(1, 1, -1, -1), 1.7);
  p.setPen(Pal(kUmber));
  p.drawRect(board.adjusted(0, 0, -1, -1));
  // Grid: lines between the 39-pixel cells, a heavier frame, and the four star points.
  p.setPen(Pal(kBlack));
  for (int i = 0; i <= 9; ++i) {
    p.drawLine(kGridOrigin.x + kSquarePitch * i, kGridOrigin.y, kGridOrigin.x + kSquarePitch * i, kGridOrigin.y + 360);
    p.drawLine(kGridOrigin.x, kGridOrigin.y + kSquarePitch * i, kGridOrigin.x + 360, kGridOrigin.y + kSquarePitch * i);
  }
  p.drawRect(kGridOrigin.x - 1, kGridOrigin.y - 1, 362, 362);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(Pal(kBlack));
  for (int sx : {3, 6}) {
    for (int sy : {3, 6}) {
      p.drawEllipse(QPointF(kGridOrigin.x + kSquarePitch * sx + 0.5, kGridOrigin.y + kSquarePitch * sy + 0.5), 2.2, 2.2);
    }
  }
  // Coordinates: file digits above the grid, rank numerals to its right, as the orientation shows them.
  static const char* const kDigits[] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  static const char* const kNumerals[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  p.setPen(Pal(kBlack));
  p.setFont(MinchoFont(12));
  for (int f = 1; f <= 9; ++f) {
    const Point cell = SquareCell(f, 1);
    p.drawText(QRect(cell.x, 1, kPieceSize, 14), Qt::AlignCenter, QString::fromUtf8(kDigits[reversed ? 10 - f : f]));
  }
  p.setFont(MinchoFont(11));
  for (int r = 1; r <= 9; ++r) {
    const Point cell = SquareCell(1, r);
    p.drawText(QRect(500, cell.y, 12, kPieceSize), Qt::AlignCenter,
               QString::fromUtf8(kNumerals[reversed ? 10 - r : r]));
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  // Stands: the upper-left one (pieces up to its bottom-right anchor) and the lower-right one.
  DrawTray(p, QRect(2, 9, 121, 182), 4.1);
  DrawTray(p, QRect(513, 203, 123, 180), 2.3);
  p.end();
  return image;
}

QImage PieceBox() {
  QImage image(kBoxWidth, kBoxHeight, QImage::Format_RGB32);
  image.fill(Pal(kRust));
  QPainter p(&image);
  p.setPen(Pal(kDarkBrown));
  p.drawRect(0, 0, kBoxWidth - 1, kBoxHeight - 1);
  const QRect floor(4, 4, kBoxWidth - 8, kBoxHeight - 8);
  p.fillRect(floor, Pal(kRose));
  p.setPen(Pal(kDarkBrown));
  p.drawLine(floor.topLeft(), floor.topRight());
  p.drawLine(floor.topLeft(), floor.bottomLeft());
  p.setPen(Pal(kGold));
  p.drawLine(1, kBoxHeight - 2, kBoxWidth - 2, kBoxHeight - 2);
  p.end();
  return image;
}

// Pentagon of a piece: kings largest, pawns smallest, as on a real set.
QPolygonF PieceShape(int kind) {
  static const double kScale[kKindCount] = {1.0, 0.97, 0.97, 0.94, 0.94, 0.91, 0.88, 0.85};
  const double s = kScale[kind];
  const double w = 33.0 * s, h = 36.5 * s, cx = 19.5, base = 38.0;
  const double top = base - h;
  return QPolygonF({QPointF(cx, top), QPointF(cx + w * 0.39, top + h * 0.19), QPointF(cx + w / 2, base),
                    QPointF(cx - w / 2, base), QPointF(cx - w * 0.39, top + h * 0.19)});
}

QString PieceName(int kind, int face, bool top_player) {
  static const char* const kNames[2][kKindCount] = {
      {"玉", "飛", "角", "金", "銀", "桂", "香", "歩"},
      {"玉", "龍", "馬", "金", "全", "圭", "杏", "と"},
  };
  if (kind == OU) return QString::fromUtf8(top_player ? "王" : "玉");
  return QString::fromUtf8(kNames[face][kind]);
}

Dib8 Piece(int display_side, int kind, int face) {
  const QPolygonF shape = PieceShape(kind);
  QImage image(kPieceSize, kPieceSize, QImage::Format_RGB32);
  image.fill(Pal(kWood));  // the edge blends into the board's colour
  QImage mask(kPieceSize, kPieceSize, QImage::Format_ARGB32);
  mask.fill(Qt::transparent);
  {
    QPainter m(&mask);
    m.setRenderHint(QPainter::Antialiasing);
    m.setPen(Qt::NoPen);
    m.setBrush(Qt::black);
    m.drawPolygon(shape);
  }
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setPen(QPen(Pal(kUmber), 1.0));
  p.setBrush(Checker(kLemon, kWhite));
  p.drawPolygon(shape);
  // A lit left edge and a shaded right edge give the piece some thickness.
  p.setPen(QPen(Pal(kWhite), 1.0));
  p.drawLine(shape[4] + QPointF(1.2, 0.8), shape[3] + QPointF(1.2, -1.0));
  p.setPen(QPen(Pal(kGold), 1.0));
  p.drawLine(shape[1] + QPointF(-1.2, 0.8), shape[2] + QPointF(-1.2, -1.0));
  const bool promoted_face = face == 1 && kind != OU && kind != KI;
  // The name, drawn as an outline filled and stroked a little so that the thin strokes of a Mincho face
  // survive at this size.
  const QRectF bounds = shape.boundingRect();
  QFont font = MinchoFont(static_cast<int>(std::lround(bounds.height() * 0.64)));
  const QString name = PieceName(kind, face, display_side == 1);
  QPainterPath path;
  path.addText(0, 0, font, name);
  const QRectF ink = path.boundingRect();
  const QPointF centre(bounds.center().x(), bounds.top() + bounds.height() * 0.60);
  path.translate(centre - ink.center());
  const QColor colour = Pal(promoted_face ? kRed : kBlack);
  p.setPen(QPen(colour, 0.7));
  p.setBrush(colour);
  p.drawPath(path);
  p.end();

  if (display_side == 1) {
    image = image.transformed(QTransform().rotate(180));
    mask = mask.transformed(QTransform().rotate(180));
  }
  Dib8 out = QuantizeToPalette(image);
  for (int y = 0; y < kPieceSize; ++y) {
    for (int x = 0; x < kPieceSize; ++x) {
      uint8_t& px = out.At(x, y);
      if (qAlpha(mask.pixel(x, y)) < 128) {
        px = kTransparent;
      } else if (px == kTransparent) {
        px = kUmber;  // the transparent colour never appears inside a piece
      }
    }
  }
  out.At(0, 0) = kTransparent;
  return out;
}

// Stacks images of one size from the top.
Dib8 Strip(const std::vector<Dib8>& images) {
  Dib8 out = BlankDib(images[0].width, images[0].height * static_cast<int>(images.size()), 0);
  for (size_t i = 0; i < images.size(); ++i) {
    std::copy(images[i].pixels.begin(), images[i].pixels.end(),
              out.pixels.begin() + static_cast<long>(i * images[i].pixels.size()));
  }
  return out;
}

// A short knock of wood on wood: a noise burst with two damped resonances, 22.05 kHz, 16-bit mono.
QByteArray PieceSound() {
  const int rate = 22050, samples = rate * 9 / 100;
  QByteArray pcm;
  uint32_t seed = 12345;
  double low = 0;
  for (int i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / rate;
    seed = seed * 1664525u + 1013904223u;
    const double white = static_cast<double>(seed >> 8) / (1 << 24) * 2.0 - 1.0;
    low += 0.35 * (white - low);
    const double burst = low * std::exp(-t / 0.004);
    const double body = 0.55 * std::sin(2 * M_PI * 820 * t) * std::exp(-t / 0.018) +
                        0.30 * std::sin(2 * M_PI * 2350 * t + 0.7) * std::exp(-t / 0.008);
    const double attack = std::min(1.0, t / 0.0008);
    const double v = std::clamp(0.8 * attack * (burst + body), -1.0, 1.0);
    const int16_t s = static_cast<int16_t>(std::lround(v * 30000));
    pcm.append(static_cast<char>(s & 0xFF));
    pcm.append(static_cast<char>((s >> 8) & 0xFF));
  }
  auto u32 = [](uint32_t v) {
    QByteArray b;
    for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
  };
  auto u16 = [](uint16_t v) {
    QByteArray b;
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
    return b;
  };
  QByteArray wav = "RIFF" + u32(36 + pcm.size()) + "WAVE" + "fmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
                   u32(rate * 2) + u16(2) + u16(16) + "data" + u32(pcm.size()) + pcm;
  return wav;
}

bool Save(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

bool SaveDib(const QString& path, const Dib8& image) {
  const std::string bytes = WriteDib(image);
  return Save(path, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());

  const Dib8 backgrounds = Strip({QuantizeToPalette(Background(false)), QuantizeToPalette(Background(true))});
  std::vector<Dib8> pieces;
  for (int side = 0; side < 2; ++side) {
    for (int kind = 0; kind < kKindCount; ++kind) {
      for (int face = 0; face < 2; ++face) pieces.push_back(Piece(side, kind, face));
    }
  }
  bool ok = SaveDib(out.filePath("back.dib"), backgrounds) && SaveDib(out.filePath("kmfont.dib"), Strip(pieces)) &&
            SaveDib(out.filePath("KBox.dib"), QuantizeToPalette(PieceBox()));
  for (int i = 0; ok && i < kLabelCount; ++i) {
    ok = SaveDib(out.filePath(kLabelFiles[i]), DrawStandLabel(backgrounds, i % 2, QString::fromUtf8(kLabelTexts[i])));
  }
  ok = ok && Save(out.filePath("kmsound.wav"), PieceSound());
  return ok ? 0 : 1;
}
