// File names for 局面図の保存: what the save dialog proposes, and the extension a typed name gets.
#pragma once
#include <string>
#include <string_view>

namespace app {

// "<title without its extension>-<ply>.png" (UTF-8), "局面図" standing in for an empty title.
std::string DiagramNameSuggestion(std::string_view title, int ply);

// The name as typed, with ".png" or ".svg" (as the chosen filter says) added unless it already ends in
// either, case ignored: the extension decides what is written.
std::string WithDiagramExtension(std::string_view name, bool png);

}  // namespace app
