#include "app/text_editor_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "app/application.h"
#include "app/command_ui.h"
#include "app/core/command_ids.h"
#include "app/core/editor_commands.h"
#include "app/core/reflow.h"
#include "app/main_window.h"
#include "app/printing.h"
#include "app/qt_message_sink.h"
#include "app/qt_text.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace app {

namespace {

platform::MessageSink& Messages() { return Application::instance()->messages(); }

WindowKind MenuKindOf(EditorKind kind) { return kind == EditorKind::kText ? kEditorMenu : kAnnotationMenu; }

QString WithLf(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t;
}

}  // namespace

QFont QtFontOf(const EditorFont& f) {
  const QString face = FromCore(f.face);
  QStringList families;
  if (face.contains(QString::fromUtf8("明朝")) || face.contains(QStringLiteral("Mincho"), Qt::CaseInsensitive)) {
    families = {QStringLiteral("IPAMincho"), QStringLiteral("IPAexMincho"), QStringLiteral("Noto Serif CJK JP")};
  } else if (face == QString::fromUtf8("ＭＳ ゴシック") || face.compare(QStringLiteral("MS Gothic"), Qt::CaseInsensitive) == 0) {
    // The fixed-pitch Windows face; IPAGothic has the same half-width / full-width cells.
    families = {QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans Mono CJK JP")};
  } else {
    families = {face, QStringLiteral("IPAGothic")};
  }
  families << QStringLiteral("monospace");
  QFont font(families.first());
  font.setFamilies(families);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(f.height != 0 ? std::abs(f.height) / 10.0 : 9.0);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight, 1, 1000)));
  return font;
}

EditorFont EditorFontOf(const QFont& font) {
  EditorFont f;
  f.height = -static_cast<int>(std::lround(font.pointSizeF() * 10));
  f.width = 0;
  f.weight = font.weight();
  f.face = ToCore(font.family());
  return f;
}

TextEditor::TextEditor(EditorKind kind, QWidget* owner) : QMainWindow(owner, Qt::Window), kind_(kind) {
  view_ = new QPlainTextEdit(this);
  view_->setObjectName(QStringLiteral("EditorView"));
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);  // lines are broken by 追い詰め, not by the view
  setCentralWidget(view_);
  commands_ = new CommandUi(
      this, [this](int id) { return Query(id); }, [this](int id) { Execute(id); });
  MakeToolbar(MenuKindOf(kind));
  MakeStatusBar();
  commands_->SetKind(MenuKindOf(kind));  // asks Query, which looks at the bars
  const platform::SettingsFile& settings = Application::instance()->settings();
  const EditorBars bars = ReadEditorBars(settings, kind);
  toolbar_->setVisible(bars.toolbar);
  statusBar()->setVisible(bars.status_bar);
  ApplyFont(ReadEditorFont(settings, kind));
  for (auto signal : {&QPlainTextEdit::textChanged, &QPlainTextEdit::selectionChanged,
                      &QPlainTextEdit::cursorPositionChanged}) {
    connect(view_, signal, this, [this] {
      UpdatePanes();
      commands_->Update();
    });
  }
  connect(view_, &QPlainTextEdit::modificationChanged, this, [this] { UpdatePanes(); });
  resize(600, kind == EditorKind::kText ? 360 : 180);
}

TextEditor::~TextEditor() = default;

void TextEditor::MakeToolbar(WindowKind menu_kind) {
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("EditorToolBar"));
  toolbar_->setIconSize(QSize(16, 15));
  toolbar_->setAllowedAreas(Qt::AllToolBarAreas);
  toolbar_->setFloatable(true);
  for (int id : EditorToolbar(menu_kind)) {
    if (id == 0) {
      toolbar_->addSeparator();
    } else {
      toolbar_->addAction(commands_->Action(id));
    }
  }
  addToolBar(Qt::TopToolBarArea, toolbar_);
}

void TextEditor::MakeStatusBar() {
  statusBar()->showMessage(QString::fromUtf8("レディ"));
  const int widths[4] = {70, 70, 130, 40};  // line, column, font, changed
  for (int i = 0; i < 4; ++i) {
    panes_[i] = new QLabel(this);
    panes_[i]->setAlignment(Qt::AlignCenter);
    panes_[i]->setMinimumWidth(widths[i]);
    statusBar()->addPermanentWidget(panes_[i]);
  }
  UpdatePanes();
}

void TextEditor::UpdatePanes() {
  if (!panes_[0]) return;
  const QTextCursor c = view_->textCursor();
  // The column counts bytes of CP932 text, as 追い詰め does.
  const QString before = c.block().text().left(c.positionInBlock());
  panes_[0]->setText(QString::fromUtf8("%1 行").arg(c.blockNumber() + 1));
  panes_[1]->setText(QString::fromUtf8("%1 桁").arg(ToCore(before).size() + 1));
  const QFont f = view_->font();
  panes_[2]->setText(QStringLiteral("%1 %2pt").arg(QFontInfo(f).family()).arg(f.pointSizeF()));
  panes_[3]->setText(modified() ? QString::fromUtf8("変更") : QString());
}

std::string TextEditor::Text() const {
  QString t = view_->toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return ToCore(t);
}

void TextEditor::SetText(std::string_view cp932) {
  view_->setPlainText(WithLf(FromCore(cp932)));
  SetModified(false);
}

bool TextEditor::modified() const { return view_->document()->isModified(); }
void TextEditor::SetModified(bool modified) { view_->document()->setModified(modified); }

bool TextEditor::OpenFile(const QString& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(ToCore(path), bytes)) {
    Messages().Show(platform::Utf8ToCp932("ドキュメントを開くことに失敗しました。"));
    return false;
  }
  SetText(platform::InputTextToCp932(bytes));
  path_ = path;
  UpdateTitle();
  return true;
}

bool TextEditor::SaveFile(const QString& path) {
  if (!platform::WriteWholeFile(ToCore(path), Text())) {
    Messages().Show(platform::Utf8ToCp932("ファイルを保存できません。(") + ToCore(path) + ")");
    return false;
  }
  path_ = path;
  SetModified(false);
  UpdateTitle();
  return true;
}

bool TextEditor::Save() { return path_.isEmpty() ? SaveAs() : SaveFile(path_); }

bool TextEditor::SaveAs() {
  const char* filter = kind_ == EditorKind::kText ? "文書ﾌｧｲﾙ (*.txt)" : "注釈ﾌｧｲﾙ (*.txt)";
  QString chosen =
      QFileDialog::getSaveFileName(this, QString::fromUtf8("名前を付けて保存"), path_, QString::fromUtf8(filter));
  if (chosen.isEmpty()) return false;
  if (!chosen.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) chosen += QStringLiteral(".txt");
  return SaveFile(chosen);
}

void TextEditor::OpenWithDialog() {
  const char* filter = kind_ == EditorKind::kText ? "文書ﾌｧｲﾙ (*.txt)" : "注釈ﾌｧｲﾙ (*.txt)";
  const QString chosen = QFileDialog::getOpenFileName(this, QString::fromUtf8("開く"), path_, QString::fromUtf8(filter));
  if (!chosen.isEmpty()) OpenFile(chosen);
}

void TextEditor::NewText() {
  SetText("");
  path_.clear();
  UpdateTitle();
}

void TextEditor::UpdateTitle() {
  // The annotation editors are titled after their move instead.
  if (kind_ != EditorKind::kText) return;
  const QString name = path_.isEmpty() ? QString::fromUtf8("文書") : QFileInfo(path_).fileName();
  setWindowTitle(name + QString::fromUtf8(" - 駒楽工房"));
}

void TextEditor::ReflowText() {
  const QFontMetrics metrics(view_->font());
  const int margin = static_cast<int>(2 * view_->document()->documentMargin());
  const int columns = ReflowColumns(view_->viewport()->width() - margin, metrics.horizontalAdvance(QLatin1Char('0')),
                                    metrics.height());
  const std::string text = Text();
  const std::string flowed = Reflow(text, columns);
  if (flowed == text) return;
  // Through the cursor, so that 元に戻す can take it back.
  QTextCursor c(view_->document());
  c.select(QTextCursor::Document);
  c.insertText(WithLf(FromCore(flowed)));
}

void TextEditor::ApplyFont(const EditorFont& font) {
  font_ = font;
  view_->setFont(QtFontOf(font));
  UpdatePanes();
}

void TextEditor::ChooseFont() {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, QtFontOf(font_), this, QString::fromUtf8("フォントの設定"),
                                            QFontDialog::MonospacedFonts);
  if (ok) ApplyFont(EditorFontOf(chosen));
}

CommandState TextEditor::Query(int id) {
  CommandState s;
  s.handled = true;
  s.enabled = true;
  switch (id) {
    case cmd::kEdNew:
    case cmd::kEdOpen:
    case cmd::kEdSave:
    case cmd::kEdSaveAs:
    case cmd::kEdClose:
    case cmd::kEdReflow:
    case cmd::kEditorFont:
    case cmd::kAbout:
      break;
    case cmd::kEdUndo:
      s.enabled = view_->document()->isUndoAvailable();
      break;
    case cmd::kEdCut:
    case cmd::kEdCopy:
      s.enabled = view_->textCursor().hasSelection();
      break;
    case cmd::kEdPaste:
      s.enabled = view_->canPaste();
      break;
    case cmd::kEditorToolbar:
      s.checked = !toolbar_->isHidden();
      break;
    case cmd::kStatusBar:
      s.checked = !statusBar()->isHidden();
      break;
    case cmd::kPrint:
    case cmd::kPrintPreview:
    case cmd::kPrintSetup:
      break;
    default:
      s.enabled = false;
      s.handled = false;
  }
  return s;
}

bool TextEditor::Execute(int id) {
  if (!Query(id).enabled) return false;
  switch (id) {
    case cmd::kEdNew:
      NewText();
      break;
    case cmd::kEdOpen:
      OpenWithDialog();
      break;
    case cmd::kEdSave:
      Save();
      break;
    case cmd::kEdSaveAs:
      SaveAs();
      break;
    case cmd::kEdClose:
      close();
      break;
    case cmd::kEdReflow:
      ReflowText();
      break;
    case cmd::kEditorFont:
      ChooseFont();
      break;
    case cmd::kEdUndo:
      view_->undo();
      break;
    case cmd::kEdCut:
      view_->cut();
      break;
    case cmd::kEdCopy:
      view_->copy();
      break;
    case cmd::kEdPaste:
      view_->paste();
      break;
    case cmd::kEditorToolbar:
      toolbar_->setVisible(toolbar_->isHidden());
      break;
    case cmd::kStatusBar:
      statusBar()->setVisible(statusBar()->isHidden());
      break;
    case cmd::kPrint:
    case cmd::kPrintPreview:
      RunPrintCommand(id, this, TextPrintJob(windowTitle(), Text()));
      break;
    case cmd::kPrintSetup:
      SetUpPrinter(this);
      break;
    case cmd::kAbout:
      // The about box is the main window's.
      if (auto* main = qobject_cast<MainWindow*>(parentWidget())) main->Execute(id);
      break;
    default:
      return false;
  }
  commands_->Update();
  return true;
}

bool TextEditor::CanClose() {
  if (!modified()) return true;
  const QString name = path_.isEmpty() ? QString::fromUtf8("文書") : QFileInfo(path_).fileName();
  return AskToSaveChanges(Messages(), name, [this] { return Save(); });
}

void TextEditor::SaveSettings() {
  platform::SettingsFile& settings = Application::instance()->settings();
  // A font never chosen stays "not valid", so the default can follow the program.
  if (!(font_ == ReadEditorFont(settings, kind_))) WriteEditorFont(settings, kind_, font_);
  WriteEditorBars(settings, kind_, {!toolbar_->isHidden(), !statusBar()->isHidden()});
}

void TextEditor::closeEvent(QCloseEvent* event) {
  if (!CanClose()) {
    event->ignore();
    return;
  }
  SaveSettings();
  event->accept();
}

void TextEditor::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  Q_EMIT GeometryChanged(geometry());
}

void TextEditor::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Q_EMIT GeometryChanged(geometry());
}

namespace {

Rect ToRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

}  // namespace

Rect ScreenRectOf(QWidget* w) {
  QScreen* screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
  return screen ? ToRect(screen->virtualGeometry()) : Rect{0, 0, 1024, 768};
}

Rect ClientRectOf(QWidget* main_window) {
  if (!main_window) return ScreenRectOf(nullptr);
  QWidget* client = main_window;
  if (auto* main = qobject_cast<QMainWindow*>(main_window); main && main->centralWidget()) client = main->centralWidget();
  return ToRect(QRect(client->mapToGlobal(QPoint(0, 0)), client->size()));
}

TextEditor* OpenTextEditor(QWidget* main_window) {
  auto* editor = main_window->findChild<TextEditor*>(QStringLiteral("TextEditor"), Qt::FindDirectChildrenOnly);
  if (!editor) {
    editor = new TextEditor(EditorKind::kText, main_window);
    editor->setObjectName(QStringLiteral("TextEditor"));
    editor->UpdateTitle();
    const Rect r = PlaceEditor(EditorKind::kText, {}, ScreenRectOf(main_window), ClientRectOf(main_window));
    editor->setGeometry(r.left, r.top, r.Width(), r.Height());
  } else if (editor->isHidden()) {
    editor->Execute(cmd::kEdNew);  // each opening is a new document; the frame keeps its place
  }
  editor->show();
  editor->raise();
  editor->activateWindow();
  return editor;
}

}  // namespace app
