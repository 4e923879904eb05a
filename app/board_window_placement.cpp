#include "app/board_window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMdiArea>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <optional>

#include "app/core/window_placement.h"
#include "app/main_window.h"

namespace app {

namespace {

Rect ToRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// The screen's free area less the window's frame, in the coordinates of the window's inner geometry.
Rect AvailableInside(const QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return ToRect(window.geometry());
  const QRect free = screen->availableGeometry();
  const QRect inner = window.geometry(), outer = window.frameGeometry();
  return ToRect(free.adjusted(inner.left() - outer.left(), inner.top() - outer.top(), inner.right() - outer.right(),
                              inner.bottom() - outer.bottom()));
}

std::optional<Point> PreviousBoardWindow(QMdiArea& mdi, const BoardWindow& child) {
  std::optional<Point> previous;
  for (QMdiSubWindow* w : mdi.subWindowList(QMdiArea::CreationOrder)) {
    if (w == &child || !qobject_cast<BoardWindow*>(w) || w->isMinimized() || w->isMaximized()) continue;
    previous = Point{w->x(), w->y()};
  }
  return previous;
}

// A window added before the main window is first shown (the start's document) is measured again once
// the main window is shown: until then nothing in it has its real size.
class PlaceWhenShown : public QObject {
 public:
  PlaceWhenShown(MainWindow& main, BoardWindow& child) : QObject(&main), main_(main), child_(&child) {
    main.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &main_ && event->type() == QEvent::Show) {
      main_.removeEventFilter(this);
      QTimer::singleShot(0, &main_, [main = &main_, child = child_] {
        if (child) PlaceNewBoardWindow(*main, *child);
      });
      deleteLater();
    }
    return false;
  }

 private:
  MainWindow& main_;
  QPointer<BoardWindow> child_;
};

}  // namespace

void PlaceNewBoardWindow(MainWindow& main, BoardWindow& child) {
  if (child.isMaximized() || child.isMinimized()) return;
  if (!main.isVisible() && !child.property("placeWhenShown").toBool()) {
    child.setProperty("placeWhenShown", true);
    new PlaceWhenShown(main, child);
  }
  child.Fit();
  QMdiArea& mdi = *main.mdi();
  // A main window not shown yet has not laid out its parts; the child area is measured after that.
  if (!main.isVisible() && main.layout()) main.layout()->activate();
  const std::optional<Point> previous = PreviousBoardWindow(mdi, child);
  const Size frame{child.width(), child.height()};
  const QSize viewport = mdi.maximumViewportSize();
  Size area{viewport.width(), viewport.height()};
  if (!main.isMaximized() && !main.isFullScreen()) {
    const Point wanted = previous ? Point{previous->x + kCascadeStep, previous->y + kCascadeStep} : Point{0, 0};
    const Rect now = ToRect(main.geometry());
    const Rect grown = GrownToHold(now, area, {wanted.x + frame.width, wanted.y + frame.height}, AvailableInside(main));
    if (!(grown == now)) {
      area.width += grown.Width() - now.Width();
      area.height += grown.Height() - now.Height();
      main.setGeometry(grown.left, grown.top, grown.Width(), grown.Height());
    }
  }
  const Point at = CascadePoint(previous, frame, area);
  child.move(at.x, at.y);
}

}  // namespace app
