// TextEditor: the frame the editors share (the text editor of the tools menu, and the annotation editors
// that derive from it): a plain-text view, the editor toolbar, a status bar of five panes, the file,
// editing, 追い詰め, font and bar commands, and the EDITOR_SECTION settings of its kind.
//
// The frame is a top-level window owned by the main window. Its text is CP932 with CR LF to the rest of
// the program and to files; the view holds it as Qt text.
#pragma once
#include <QMainWindow>
#include <QString>
#include <string>
#include <string_view>

#include "app/core/board_controller.h"
#include "app/core/command_table.h"
#include "app/core/editor_settings.h"

class QLabel;
class QPlainTextEdit;
class QToolBar;

namespace app {

class CommandUi;

class TextEditor : public QMainWindow {
  Q_OBJECT

 public:
  TextEditor(EditorKind kind, QWidget* owner);
  ~TextEditor() override;

  EditorKind kind() const { return kind_; }
  QPlainTextEdit* view() const { return view_; }
  CommandUi& commands() { return *commands_; }
  QToolBar* toolbar() const { return toolbar_; }

  std::string Text() const;  // CP932, CR LF
  void SetText(std::string_view cp932);
  bool modified() const;
  void SetModified(bool modified);
  const QString& path() const { return path_; }
  bool OpenFile(const QString& path);
  bool SaveFile(const QString& path);
  // 追い詰め at the view's present width and font.
  void ReflowText();
  const EditorFont& editor_font() const { return font_; }
  void ApplyFont(const EditorFont& font);

  // The text editor's title: the file name, or 文書 for a new text.
  void UpdateTitle();

  virtual CommandState Query(int id);
  virtual bool Execute(int id);

 Q_SIGNALS:
  void GeometryChanged(const QRect& frame);  // moved or resized (frame geometry, screen coordinates)

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Before the window goes with changed text: true when it may go.
  virtual bool CanClose();
  // Writes the font and the bar visibilities (when the window goes).
  void SaveSettings();
  void UpdatePanes();

 private:
  void MakeToolbar(WindowKind menu_kind);
  void MakeStatusBar();
  void NewText();
  void OpenWithDialog();
  bool Save();
  bool SaveAs();
  void ChooseFont();

  EditorKind kind_;
  QPlainTextEdit* view_;
  CommandUi* commands_;
  QToolBar* toolbar_ = nullptr;
  QLabel* panes_[4] = {};
  EditorFont font_;
  QString path_;
  bool settings_saved_ = false;
};

// The Qt font an editor font names: the Windows faces map to the Japanese faces we depend on.
QFont QtFontOf(const EditorFont& font);
EditorFont EditorFontOf(const QFont& font);

// The screen a window lies on, and the client area of the main window, in screen coordinates.
Rect ScreenRectOf(QWidget* window);
Rect ClientRectOf(QWidget* main_window);

// Command 32889: the text editor of the program, made the first time and kept (hidden when closed) so its
// rectangle is remembered for the run; each opening starts a new empty text.
TextEditor* OpenTextEditor(QWidget* main_window);

}  // namespace app
