#include "app/board_zoom_setting.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/application.h"
#include "app/core/board_zoom.h"

namespace app {

namespace {

const char kSection[] = "SETTING";
const char kKey[] = "BoardZoom";

}  // namespace

double ScreenScale() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
}

int StoredBoardZoom() {
  const int stored = Application::instance()->settings().GetInt(kSection, kKey, 0);
  return EffectiveZoom(stored, ScreenScale());
}

void StoreBoardZoom(int percent) { Application::instance()->settings().WriteInt(kSection, kKey, percent); }

void PaintScaledPicture(QPainter& painter, const QImage& picture, double scale, const QRect& dirty) {
  // The whole picture under a clip: every part then samples the picture exactly as the whole does, so
  // redrawn parts meet without seams. The clip keeps the work to the dirty part.
  const QImage rgb = picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
  painter.save();
  painter.setClipRect(dirty);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRectF(0, 0, picture.width() * scale, picture.height() * scale), rgb);
  painter.restore();
}

}  // namespace app
