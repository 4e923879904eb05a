// Toolbar pictures, 16 x 15, drawn here: small shapes in the colours of the board.
#include <QPainter>
#include <QPainterPath>

#include "app/command_ui.h"
#include "app/core/command_ids.h"

using namespace rules;

namespace app {

namespace {

const QColor kInk(0, 0, 0), kWood(221, 187, 0), kPage(255, 255, 255), kRed(200, 0, 0), kBlue(0, 0, 160),
    kGrey(136, 136, 153), kBrown(136, 51, 0);

void Piece(QPainter& p, double x, double y, double s, const QColor& fill) {
  QPolygonF shape({QPointF(x + s / 2, y), QPointF(x + s * 0.9, y + s * 0.25), QPointF(x + s, y + s),
                   QPointF(x, y + s), QPointF(x + s * 0.1, y + s * 0.25)});
  p.setPen(QPen(kBrown, 1));
  p.setBrush(fill);
  p.drawPolygon(shape);
}

void Page(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kPage);
  p.drawPolygon(QPolygonF({QPointF(2.5, 0.5), QPointF(10.5, 0.5), QPointF(13.5, 3.5), QPointF(13.5, 14.5),
                           QPointF(2.5, 14.5)}));
}

void Triangle(QPainter& p, double x, bool right) {
  const double a = right ? x : x + 5, b = right ? x + 5 : x;
  p.drawPolygon(QPolygonF({QPointF(a, 2.5), QPointF(b, 7.5), QPointF(a, 12.5)}));
}

void Bar(QPainter& p, double x) { p.drawRect(QRectF(x, 2.5, 1.5, 10)); }

void Disk(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kBlue);
  p.drawRect(QRectF(1.5, 1.5, 12, 12));
  p.setBrush(kPage);
  p.drawRect(QRectF(4.5, 1.5, 6, 5));
  p.setBrush(kGrey);
  p.drawRect(QRectF(4.5, 9.5, 6, 4));
}

void Folder(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kWood);
  p.drawPolygon(QPolygonF({QPointF(0.5, 3.5), QPointF(5.5, 3.5), QPointF(6.5, 4.5), QPointF(13.5, 4.5),
                           QPointF(13.5, 13.5), QPointF(0.5, 13.5)}));
}

void Magnifier(QPainter& p, double x, double y) {
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(QColor(204, 204, 221));
  p.drawEllipse(QPointF(x, y), 3.5, 3.5);
  p.drawLine(QPointF(x + 2.5, y + 2.5), QPointF(x + 6, y + 6));
}

void Database(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(QColor(204, 204, 221));
  p.drawRect(QRectF(2.5, 3.5, 9, 9));
  p.drawEllipse(QRectF(2.5, 1, 9, 4));
  p.drawArc(QRectF(2.5, 5.5, 9, 4), 180 * 16, 180 * 16);
}

}  // namespace

QIcon ToolbarIcon(int id) {
  QPixmap pixmap(16, 15);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(kInk);
  p.setBrush(kInk);
  switch (id) {
    case cmd::kNewGame:
      Page(p);
      Piece(p, 4, 5, 8, kWood);
      break;
    case cmd::kNewTsume:
      Page(p);
      Piece(p, 4, 5, 8, kWood);
      p.setPen(kRed);
      p.drawText(QRectF(0, 0, 8, 8), Qt::AlignCenter, QStringLiteral("*"));
      break;
    case cmd::kFileOpen:
    case cmd::kEdOpen:
      Folder(p);
      break;
    case cmd::kFileSave:
    case cmd::kEdSave:
      Disk(p);
      break;
    case cmd::kCopyRecord:
    case cmd::kEdCopy:
      Page(p);
      p.setBrush(kPage);
      p.drawRect(QRectF(5.5, 4.5, 9, 10));
      break;
    case cmd::kPasteRecord:
    case cmd::kEdPaste:
      p.setBrush(kBrown);
      p.drawRect(QRectF(1.5, 2.5, 10, 12));
      p.setBrush(kPage);
      p.drawRect(QRectF(6.5, 5.5, 8, 9));
      break;
    case cmd::kPrintPreview:
      Page(p);
      Magnifier(p, 7, 6);
      break;
    case cmd::kOpenRecordWindow:
      p.setBrush(kPage);
      p.drawRect(QRectF(0.5, 0.5, 14, 13));
      for (int y = 3; y < 13; y += 3) p.drawLine(3, y, 12, y);
      break;
    case cmd::kPrint:
      p.setBrush(kGrey);
      p.drawRect(QRectF(0.5, 5.5, 14, 6));
      p.setBrush(kPage);
      p.drawRect(QRectF(3.5, 0.5, 8, 5));
      p.drawRect(QRectF(3.5, 10.5, 8, 4));
      break;
    case cmd::kRecordEditing:
      Piece(p, 1, 4, 9, kWood);
      p.setPen(QPen(kRed, 2));
      p.drawLine(QPointF(9, 12), QPointF(15, 2));
      break;
    case cmd::kFlip:
      Piece(p, 1, 1, 7, kWood);
      p.save();
      p.translate(15, 14);
      p.rotate(180);
      Piece(p, 0, 0, 7, kWood);
      p.restore();
      break;
    case cmd::kEdNew:
      Page(p);
      break;
    case cmd::kEdCut:
      // Scissors: two rings and crossed blades.
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(4, 11.5), 2.5, 2.5);
      p.drawEllipse(QPointF(11, 11.5), 2.5, 2.5);
      p.drawLine(QPointF(5.5, 9.5), QPointF(11, 0.5));
      p.drawLine(QPointF(9.5, 9.5), QPointF(4, 0.5));
      break;
    case cmd::kNoteStore:
      Page(p);
      p.setPen(QPen(kRed, 2));
      p.drawLine(QPointF(4.5, 8), QPointF(7, 11));
      p.drawLine(QPointF(7, 11), QPointF(12, 4));
      break;
    case cmd::kNoteDelete:
      Page(p);
      p.setPen(QPen(kRed, 2));
      p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
      p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
      break;
    case 57669:
      p.setPen(kBlue);
      p.setFont(QFont(QStringLiteral("sans"), 10, QFont::Bold));
      p.drawText(QRectF(0, 0, 16, 15), Qt::AlignCenter, QStringLiteral("?"));
      break;
    case cmd::kAutoBack:
      Triangle(p, 1, false);
      Triangle(p, 7, false);
      break;
    case cmd::kStop:
      p.setBrush(kRed);
      p.drawRect(QRectF(3, 3, 9, 9));
      break;
    case cmd::kAutoForward:
      Triangle(p, 3, true);
      Triangle(p, 9, true);
      break;
    case cmd::kFirst:
      Bar(p, 3);
      Triangle(p, 6, false);
      break;
    case cmd::kBack:
      Triangle(p, 5, false);
      break;
    case cmd::kForward:
      Triangle(p, 6, true);
      break;
    case cmd::kLast:
      Triangle(p, 4, true);
      Bar(p, 10.5);
      break;
    case cmd::kSelectBranch:
      p.setPen(QPen(kInk, 1.5));
      p.drawLine(QPointF(2, 7.5), QPointF(7, 7.5));
      p.drawLine(QPointF(7, 7.5), QPointF(13, 2));
      p.drawLine(QPointF(7, 7.5), QPointF(13, 13));
      break;
    case cmd::kDbSearch:
      Database(p);
      Magnifier(p, 10, 9);
      break;
    case cmd::kJosekiBrowser:
      p.setBrush(kWood);
      p.drawRect(QRectF(1.5, 1.5, 12, 12));
      p.setPen(kInk);
      p.setFont(QFont(QStringLiteral("IPAGothic"), 8));
      p.drawText(QRectF(1, 1, 14, 13), Qt::AlignCenter, QString::fromUtf8("定"));
      break;
    case cmd::kDbRegister:
      Database(p);
      p.setPen(QPen(kRed, 2));
      p.drawLine(QPointF(11, 8), QPointF(11, 14));
      p.drawLine(QPointF(8, 11), QPointF(14, 11));
      break;
    default:
      return {};
  }
  p.end();
  return QIcon(pixmap);
}

}  // namespace app
