// SVG pictures made into PNG images by librsvg, the renderer the desktop itself uses, so that a diagram
// looks the same as the SVG file does in a browser or an image viewer. No display is needed.
#pragma once
#include <string>
#include <string_view>

namespace imaging {

// Renders `svg` (UTF-8) into a `width` x `height` image, scaling its viewBox to fill it, on a transparent
// ground where the picture draws nothing. Returns the PNG file's bytes, or empty with `error` (English,
// from the renderer) when the SVG cannot be read or the image made.
std::string SvgToPng(std::string_view svg, int width, int height, std::string* error = nullptr);

}  // namespace imaging
