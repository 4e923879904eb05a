#include "imaging/diagram_file.h"

#include <algorithm>
#include <cctype>

#include "imaging/svg_png.h"

namespace imaging {

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

DiagramFormat DiagramFormatOf(std::string_view path) {
  if (EndsWithIgnoringCase(path, ".svg")) return DiagramFormat::kSvg;
  if (EndsWithIgnoringCase(path, ".png")) return DiagramFormat::kPng;
  return DiagramFormat::kUnknown;
}

std::string DiagramFileBytes(const rules::Position& position, const record::DiagramOptions& options,
                             DiagramFormat format, std::string* error) {
  if (format == DiagramFormat::kUnknown) {
    if (error) *error = "the file name must end in .svg or .png";
    return {};
  }
  const std::string svg = record::DiagramSvg(position, options);
  if (format == DiagramFormat::kSvg) return svg;
  return SvgToPng(svg, std::max(1, options.width), record::DiagramHeight(options.width, !options.caption.empty()),
                  error);
}

}  // namespace imaging
