#include "app/title_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "app/qt_dib.h"

namespace app {

TitleWindow::TitleWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setFixedSize(448, 178);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

void TitleWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(136, 51, 0));
  const QRect picture(0, 0, 440, 170);
  p.fillRect(picture, QColor(136, 51, 0));
  p.setRenderHint(QPainter::Antialiasing);
  // A piece standing at the left, the name to its right.
  const QPolygonF piece({QPointF(70, 22), QPointF(106, 40), QPointF(118, 148), QPointF(22, 148), QPointF(34, 40)});
  p.setPen(QPen(QColor(136, 103, 0), 2));
  p.setBrush(QColor(255, 238, 140));
  p.drawPolygon(piece);
  p.setPen(Qt::black);
  p.setFont(MinchoFont(56));
  p.drawText(QRect(22, 50, 96, 96), Qt::AlignCenter, QString::fromUtf8("駒"));
  p.setPen(QColor(255, 221, 0));
  p.setFont(MinchoFont(54));
  p.drawText(QRect(140, 24, 300, 70), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8("駒楽工房"));
  p.setPen(QColor(238, 238, 255));
  p.setFont(MinchoFont(16));
  p.drawText(QRect(144, 100, 290, 24), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8("将棋の研究工房 ― 棋譜・詰将棋・定跡"));
  p.drawText(QRect(144, 128, 290, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("komaraku for Linux"));
}

}  // namespace app
