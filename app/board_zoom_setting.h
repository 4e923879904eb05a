// The board zoom as the settings keep it (section SETTING, key BoardZoom, in percent) and the painting of
// the board picture at a zoom.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>

namespace app {

// The zoom a new board window starts with: the stored step, or without one the step nearest to the
// screen's scale that Qt does not already apply to the window (see ScreenScale).
int StoredBoardZoom();
void StoreBoardZoom(int percent);
// How much larger than a 96-dpi screen's pixels the board must be drawn to keep its size on this screen.
// Qt already multiplies widget sizes by its device pixel ratio; what remains is the logical resolution
// above 96 dpi (a high-resolution screen with Qt's own scaling turned off).
double ScreenScale();

// Draws the part `dirty` (view coordinates) of the composed picture scaled by `scale`, smoothly.
void PaintScaledPicture(QPainter& painter, const QImage& picture, double scale, const QRect& dirty);

}  // namespace app
