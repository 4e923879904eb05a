// A board diagram file, SVG or PNG as its name ends, for kzb diagram and the GUI's 局面図の保存.
#pragma once
#include <string>
#include <string_view>

#include "record/diagram_svg.h"

namespace imaging {

enum class DiagramFormat { kUnknown, kSvg, kPng };

// By the extension of a path, case ignored: ".svg" or ".png"; anything else is unknown.
DiagramFormat DiagramFormatOf(std::string_view path);

// The bytes of the file: the SVG text, or the PNG image of it at the options' width and the height that
// goes with it. Empty, with `error` (English), when the image cannot be made or the format is unknown.
std::string DiagramFileBytes(const rules::Position& position, const record::DiagramOptions& options,
                             DiagramFormat format, std::string* error = nullptr);

}  // namespace imaging
