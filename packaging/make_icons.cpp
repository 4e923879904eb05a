// make_icons OUTDIR: draws the application icon, a wooden shogi piece bearing 駒, as "icon-N.png" for the
// desktop's usual sizes and as "icon.svg". Our own drawing, so the package carries no borrowed art.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdio>

#include "app/qt_dib.h"

namespace {

// The piece in a 256-unit square: a pentagon a little narrower than tall, as a real piece stands.
const QPointF kOutline[] = {{128, 14}, {200, 52}, {228, 242}, {28, 242}, {56, 52}};
const char kFace[] = "#f4d58d", kFaceShade[] = "#d9a650", kEdge[] = "#7a4a1e", kInk[] = "#1a1208";
const char kName[] = "駒";

QPolygonF Outline(double scale) {
  QPolygonF shape;
  for (const QPointF& p : kOutline) shape << p * scale;
  return shape;
}

QImage DrawIcon(int size) {
  const double scale = size / 256.0;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPolygonF shape = Outline(scale);
  QLinearGradient wood(0, 0, size, size);
  wood.setColorAt(0, QColor(kFace));
  wood.setColorAt(1, QColor(kFaceShade));
  // Small icons keep a pen of at least one pixel so the piece's edge stays visible.
  p.setPen(QPen(QColor(kEdge), std::max(1.0, 10 * scale), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(wood);
  p.drawPolygon(shape);
  // The name as a filled outline, centred on the piece's lower body where a real piece bears it.
  QPainterPath text;
  text.addText(0, 0, app::MinchoFont(static_cast<int>(150 * scale)), QString::fromUtf8(kName));
  const QRectF ink = text.boundingRect();
  text.translate(QPointF(128 * scale, 150 * scale) - ink.center());
  p.setPen(QPen(QColor(kInk), 2 * scale));
  p.setBrush(QColor(kInk));
  p.drawPath(text);
  return image;
}

QByteArray Svg() {
  QString points;
  for (const QPointF& p : kOutline) points += QStringLiteral("%1,%2 ").arg(p.x()).arg(p.y());
  const QString svg = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
      "  <defs><linearGradient id=\"wood\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">"
      "<stop offset=\"0\" stop-color=\"%1\"/><stop offset=\"1\" stop-color=\"%2\"/></linearGradient></defs>\n"
      "  <polygon points=\"%3\" fill=\"url(#wood)\" stroke=\"%4\" stroke-width=\"10\" stroke-linejoin=\"round\"/>\n"
      "  <text x=\"128\" y=\"200\" text-anchor=\"middle\" font-size=\"150\" fill=\"%5\" "
      "font-family=\"IPAMincho, IPAexMincho, Noto Serif CJK JP, serif\">%6</text>\n"
      "</svg>\n");
  return svg.arg(kFace, kFaceShade, points.trimmed(), kEdge, kInk, QString::fromUtf8(kName)).toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString path = out.filePath(QStringLiteral("icon-%1.png").arg(size));
    if (!DrawIcon(size).save(path, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  QFile svg(out.filePath(QStringLiteral("icon.svg")));
  const QByteArray bytes = Svg();
  if (!svg.open(QIODevice::WriteOnly) || svg.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(svg.fileName()));
    return 1;
  }
  return 0;
}
