#include "app/core/board_zoom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/core/command_ids.h"

namespace app {

int ZoomOfCommand(int id) {
  switch (id) {
    case cmd::kZoom100:
      return 100;
    case cmd::kZoom150:
      return 150;
    case cmd::kZoom200:
      return 200;
    default:
      return 0;
  }
}

int ZoomAfterCommand(int id, int current) {
  if (const int step = ZoomOfCommand(id)) return step;
  if (id == cmd::kZoomIn) {
    for (int step : kZoomSteps) {
      if (step > current) return step;
    }
  }
  if (id == cmd::kZoomOut) {
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
      if (*it < current) return *it;
    }
  }
  return current;
}

int NearestZoomStep(double device_pixel_ratio) {
  const double wanted = device_pixel_ratio * 100;
  int best = kZoomSteps.front();
  for (int step : kZoomSteps) {
    if (std::abs(step - wanted) <= std::abs(best - wanted)) best = step;  // halfway rounds up
  }
  return best;
}

int EffectiveZoom(int stored_percent, double device_pixel_ratio) {
  if (std::find(kZoomSteps.begin(), kZoomSteps.end(), stored_percent) != kZoomSteps.end()) return stored_percent;
  return NearestZoomStep(device_pixel_ratio);
}

double FitScale(int width, int height) {
  const double s = std::min(double(width) / kPictureWidth, double(height) / kPictureHeight);
  return std::max(s, 0.1);
}

int ZoomMapping::ViewWidth() const { return int(std::floor(kPictureWidth * scale_ + 1e-9)); }
int ZoomMapping::ViewHeight() const { return int(std::floor(kPictureHeight * scale_ + 1e-9)); }

Point ZoomMapping::ToPicture(double view_x, double view_y) const {
  return {int(std::floor(view_x / scale_ + 1e-9)), int(std::floor(view_y / scale_ + 1e-9))};
}

Rect ZoomMapping::ToView(const Rect& picture) const {
  if (scale_ == 1.0) return picture;
  return {int(std::floor(picture.left * scale_)) - 1, int(std::floor(picture.top * scale_)) - 1,
          int(std::ceil(picture.right * scale_)) + 1, int(std::ceil(picture.bottom * scale_)) + 1};
}

}  // namespace app
