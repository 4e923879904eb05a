// Window sizes of the main window and its board windows, free of windows: the main window's first-start
// rectangle, where a new board window goes (cascaded from the one before), and how far the main window
// grows so that the new board window shows whole.
#pragma once
#include <optional>

#include "app/core/geometry.h"

namespace app {

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

// The main window's rectangle on a first start (no stored rectangle): on screens up to 1024 pixels wide
// the classic rule (640 x 480 at the origin below 641 pixels, else 800 x 600 centred on the screen); on
// wider screens two thirds of the available area (the screen less panels and docks), centred in it.
Rect FirstStartRect(const Rect& screen, const Rect& available);

// The offset of each new board window from the one before it.
constexpr int kCascadeStep = 28;

// Where a new board window of `frame` size goes in a child area of `area` size: down and right of the
// previous one, or at the top left when there is none or it would not fit there.
Point CascadePoint(std::optional<Point> previous, Size frame, Size area);

// The main window's rectangle grown so that its child area, now `area`, holds `needed` (the new board
// window's bottom-right corner); never beyond `available`, and moved back inside it when growth pushes
// it out. The window is unchanged when the area already holds it.
Rect GrownToHold(const Rect& window, Size area, Size needed, const Rect& available);

}  // namespace app
