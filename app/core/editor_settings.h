// What the editor windows keep in section EDITOR_SECTION of the settings file: each editor's font and bar
// visibility, and the frame rectangle of the annotation editors; and where an editor frame opens.
#pragma once
#include <string>

#include "app/core/geometry.h"
#include "platform/settings_file.h"

namespace app {

// The three editors, each with its own keys.
enum class EditorKind { kMoveAnnotation, kJosekiAnnotation, kText };

// A logical font as the settings hold it: height in tenths of a point (negative: the character height),
// width 0 for the face's own, weight 400 normal, face name CP932.
struct EditorFont {
  int height = -90;
  int width = 0;
  int weight = 400;
  std::string face;  // CP932; "ＭＳ ゴシック" by default

  static EditorFont Default();
  bool operator==(const EditorFont&) const = default;
};

struct EditorBars {
  bool toolbar = true;
  bool status_bar = true;
};

// A font whose …Valid key is 0 (or missing) reads as the default.
EditorFont ReadEditorFont(const platform::SettingsFile& settings, EditorKind kind);
void WriteEditorFont(platform::SettingsFile& settings, EditorKind kind, const EditorFont& font);
EditorBars ReadEditorBars(const platform::SettingsFile& settings, EditorKind kind);
void WriteEditorBars(platform::SettingsFile& settings, EditorKind kind, const EditorBars& bars);
// The stored frame rectangle of an annotation editor (screen coordinates; empty when none); the text
// editor has none in the file.
Rect ReadEditorRect(const platform::SettingsFile& settings, EditorKind kind);
void WriteEditorRect(platform::SettingsFile& settings, EditorKind kind, const Rect& rect);

// Where an editor frame opens: the remembered rectangle when it is not empty and lies on the screen, else
// the default size (600 x 180 for annotations, 600 x 360 for the text editor) centred in the main window's
// client area.
Rect PlaceEditor(EditorKind kind, const Rect& remembered, const Rect& screen, const Rect& main_client);

}  // namespace app
