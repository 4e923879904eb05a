#include "app/core/diagram_name.h"

#include "imaging/diagram_file.h"

namespace app {

std::string DiagramNameSuggestion(std::string_view title, int ply) {
  std::string base(title.substr(0, title.rfind('.')));
  if (base.empty()) base = "局面図";
  return base + "-" + std::to_string(ply) + ".png";
}

std::string WithDiagramExtension(std::string_view name, bool png) {
  if (imaging::DiagramFormatOf(name) != imaging::DiagramFormat::kUnknown) return std::string(name);
  return std::string(name) + (png ? ".png" : ".svg");
}

}  // namespace app
