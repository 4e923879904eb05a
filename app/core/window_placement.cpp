#include "app/core/window_placement.h"

#include <algorithm>

namespace app {

namespace {

constexpr int kClassicWidthLimit = 1024;

Rect Centred(const Rect& within, int width, int height) {
  const int left = within.left + (within.Width() - width) / 2;
  const int top = within.top + (within.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

// The start of a span of `length` moved so that it ends by `end` but never starts before `begin`.
int KeptInside(int start, int length, int begin, int end) { return std::max(begin, std::min(start, end - length)); }

}  // namespace

Rect FirstStartRect(const Rect& screen, const Rect& available) {
  const int width = screen.Width();
  if (width < 641) return {0, 0, 640, 480};
  if (width <= kClassicWidthLimit) {
    const int left = width / 2 - 400, top = screen.Height() / 2 - 300;
    return {left, top, left + 800, top + 600};
  }
  const Rect area = available.Empty() ? screen : available;
  return Centred(area, area.Width() * 2 / 3, area.Height() * 2 / 3);
}

Point CascadePoint(std::optional<Point> previous, Size frame, Size area) {
  if (!previous) return {0, 0};
  const Point next{previous->x + kCascadeStep, previous->y + kCascadeStep};
  if (next.x + frame.width > area.width || next.y + frame.height > area.height) return {0, 0};
  return next;
}

Rect GrownToHold(const Rect& window, Size area, Size needed, const Rect& available) {
  const int width = std::min(window.Width() + std::max(0, needed.width - area.width), std::max(window.Width(), available.Width()));
  const int height =
      std::min(window.Height() + std::max(0, needed.height - area.height), std::max(window.Height(), available.Height()));
  if (width == window.Width() && height == window.Height()) return window;
  const int left = KeptInside(window.left, width, available.left, available.right);
  const int top = KeptInside(window.top, height, available.top, available.bottom);
  return {left, top, left + width, top + height};
}

}  // namespace app
