#include "app/core/editor_settings.h"

#include "platform/text_codec.h"

namespace app {

namespace {

const char kSection[] = "EDITOR_SECTION";

// Key stems: the font keys ("CmntFontValid", "FontValid"), the bar keys ("VisibleCEditorToolBar") and the
// rectangle keys ("CmntPosX1").
const char* FontStem(EditorKind kind) {
  switch (kind) {
    case EditorKind::kMoveAnnotation:
      return "Cmnt";
    case EditorKind::kJosekiAnnotation:
      return "JCmnt";
    case EditorKind::kText:
      break;
  }
  return "";
}

const char* BarStem(EditorKind kind) {
  switch (kind) {
    case EditorKind::kMoveAnnotation:
      return "CEditor";
    case EditorKind::kJosekiAnnotation:
      return "JEditor";
    case EditorKind::kText:
      break;
  }
  return "Editor";
}

std::string Key(const char* stem, const char* name) { return std::string(stem) + name; }

}  // namespace

EditorFont EditorFont::Default() {
  EditorFont f;
  f.face = platform::Utf8ToCp932("ＭＳ ゴシック");
  return f;
}

EditorFont ReadEditorFont(const platform::SettingsFile& s, EditorKind kind) {
  const char* stem = FontStem(kind);
  EditorFont f = EditorFont::Default();
  if (s.GetInt(kSection, Key(stem, "FontValid"), 0) == 0) return f;
  f.height = s.GetInt(kSection, Key(stem, "FontHeight"), f.height);
  f.width = s.GetInt(kSection, Key(stem, "FontWidth"), f.width);
  f.weight = s.GetInt(kSection, Key(stem, "FontWeight"), f.weight);
  f.face = s.GetString(kSection, Key(stem, "FontFaceName"), f.face);
  return f;
}

void WriteEditorFont(platform::SettingsFile& s, EditorKind kind, const EditorFont& f) {
  const char* stem = FontStem(kind);
  s.WriteInt(kSection, Key(stem, "FontValid"), 1);
  s.WriteInt(kSection, Key(stem, "FontHeight"), f.height);
  s.WriteInt(kSection, Key(stem, "FontWidth"), f.width);
  s.WriteInt(kSection, Key(stem, "FontWeight"), f.weight);
  s.WriteString(kSection, Key(stem, "FontFaceName"), f.face);
}

EditorBars ReadEditorBars(const platform::SettingsFile& s, EditorKind kind) {
  const char* stem = BarStem(kind);
  return {s.GetInt(kSection, "Visible" + Key(stem, "ToolBar"), 1) != 0,
          s.GetInt(kSection, "Visible" + Key(stem, "StatusBar"), 1) != 0};
}

void WriteEditorBars(platform::SettingsFile& s, EditorKind kind, const EditorBars& bars) {
  const char* stem = BarStem(kind);
  s.WriteInt(kSection, "Visible" + Key(stem, "ToolBar"), bars.toolbar ? 1 : 0);
  s.WriteInt(kSection, "Visible" + Key(stem, "StatusBar"), bars.status_bar ? 1 : 0);
}

Rect ReadEditorRect(const platform::SettingsFile& s, EditorKind kind) {
  if (kind == EditorKind::kText) return {};
  const char* stem = FontStem(kind);
  return {s.GetInt(kSection, Key(stem, "PosX1"), 0), s.GetInt(kSection, Key(stem, "PosY1"), 0),
          s.GetInt(kSection, Key(stem, "PosX2"), 0), s.GetInt(kSection, Key(stem, "PosY2"), 0)};
}

void WriteEditorRect(platform::SettingsFile& s, EditorKind kind, const Rect& r) {
  if (kind == EditorKind::kText) return;
  const char* stem = FontStem(kind);
  s.WriteInt(kSection, Key(stem, "PosX1"), r.left);
  s.WriteInt(kSection, Key(stem, "PosY1"), r.top);
  s.WriteInt(kSection, Key(stem, "PosX2"), r.right);
  s.WriteInt(kSection, Key(stem, "PosY2"), r.bottom);
}

Rect PlaceEditor(EditorKind kind, const Rect& remembered, const Rect& screen, const Rect& main_client) {
  // On the screen: its top-left corner (where the title bar is grabbed) lies there.
  if (!remembered.Empty() && screen.Contains(remembered.left, remembered.top)) return remembered;
  const int width = 600, height = kind == EditorKind::kText ? 360 : 180;
  const int left = main_client.left + (main_client.Width() - width) / 2;
  const int top = main_client.top + (main_client.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

}  // namespace app
