// Board zoom: the board picture is composed at its fixed size and shown scaled by a factor, one of the
// offered steps, or the factor that fits a maximized frame. This is the arithmetic of that scaling, free
// of windows: the steps and their commands, the default for a screen, and the mapping between view and
// picture coordinates that keeps mouse input identical at every zoom.
#pragma once
#include <array>

#include "app/core/geometry.h"

namespace app {

constexpr std::array<int, 3> kZoomSteps = {100, 150, 200};  // percent

// The percent a zoom command chooses; 0 for any other command.
int ZoomOfCommand(int id);
// The percent after a zoom command (a step, one step up or one step down; the same percent at either
// end); the current percent for any other command.
int ZoomAfterCommand(int id, int current);
// The step nearest to a screen's device pixel ratio (1.25 → 150 %, 1.0 or less → 100 %).
int NearestZoomStep(double device_pixel_ratio);
// A stored percent when it is an offered step; otherwise the default for the screen.
int EffectiveZoom(int stored_percent, double device_pixel_ratio);
// The largest factor at which the whole picture fits into width x height (never below a tenth).
double FitScale(int width, int height);

// View coordinates <-> picture coordinates at one factor.
class ZoomMapping {
 public:
  explicit ZoomMapping(double scale) : scale_(scale > 0 ? scale : 1.0) {}

  double scale() const { return scale_; }
  int ViewWidth() const;
  int ViewHeight() const;
  // The picture point under a view point (floor, so every view pixel names the picture pixel it shows).
  Point ToPicture(double view_x, double view_y) const;
  // The view rectangle that covers a picture rectangle, one pixel wider on each side when scaled, since
  // smooth scaling lets each picture pixel bleed into its neighbours.
  Rect ToView(const Rect& picture) const;

 private:
  double scale_;
};

}  // namespace app
