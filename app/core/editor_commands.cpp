#include "app/core/editor_commands.h"

#include "app/core/command_ids.h"

namespace app {

using namespace cmd;

std::vector<MenuSpec> EditorMenus(WindowKind kind) {
  const MenuEntry sep{kSeparator};
  MenuSpec file{"ファイル(&F)", {{kEdNew}, {kEdOpen}, {kEdSave}, {kEdSaveAs}, sep}};
  if (kind == kAnnotationMenu) file.entries.insert(file.entries.end(), {{kNoteStore}, {kNoteDelete}, sep});
  file.entries.insert(file.entries.end(), {{kPrint}, {kPrintPreview}, {kPrintSetup}, sep, {kEdClose}});
  return {
      file,
      {"編集(&E)", {{kEdUndo}, sep, {kEdCut}, {kEdCopy}, {kEdPaste}, sep, {kEdReflow}}},
      {"表示(&V)", {{kEditorToolbar}, {kStatusBar}, sep, {kEditorFont}}},
      {"ヘルプ(&H)", {{kAbout}}},
  };
}

std::vector<Accelerator> EditorAccelerators(WindowKind kind) {
  std::vector<Accelerator> keys = {{"Ctrl+C", kEdCopy},  {"Ctrl+N", kEdNew},   {"Ctrl+O", kEdOpen},
                                   {"Ctrl+S", kEdSave},  {"Ctrl+V", kEdPaste}, {"Ctrl+X", kEdCut},
                                   {"Ctrl+Z", kEdUndo},  {"Ctrl+Ins", kEdCopy}};
  if (kind == kAnnotationMenu) {
    keys.insert(keys.end(), {{"Ctrl+B", kEdClose}, {"Ctrl+D", kNoteDelete}, {"Ctrl+F", kEdClose}, {"Ctrl+T", kNoteStore}});
  }
  return keys;
}

std::vector<int> EditorToolbar(WindowKind kind) {
  if (kind == kAnnotationMenu) return {kEdNew, kEdOpen, kEdSave, 0, kEdCut, kEdCopy, kEdPaste, 0, kNoteDelete, kNoteStore, kPrint};
  return {kEdNew, kEdOpen, kEdSave, 0, kEdCut, kEdCopy, kEdPaste, 0, kPrint};
}

}  // namespace app
