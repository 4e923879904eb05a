// The move-annotation editor and the text editor, driven offscreen: 32827 opens the editor on the move,
// storing and deleting change the record, the board closes the editor before it steps, the automatic
// display opens it and auto-play waits for it, closing the board closes it, and the text editor writes
// and reads its file.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/annotation_editor.h"
#include "app/application.h"
#include "tests/app/gui_test_home.h"
#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/text_editor_window.h"
#include "platform/files.h"
#include "platform/text_codec.h"

using namespace app;
using platform::Answer;

namespace {

// Three moves; the second carries an annotation.
const char kGameText[] = "PI\r\n+\r\n+7776FU\r\n-3334FU\r\n'注釈:角道を開け合う。\r\n+2726FU\r\n";

std::string Sjis(const char* utf8) { return platform::Utf8ToCp932(utf8); }

}  // namespace

class AnnotationEditorTest : public GuiSuite {
  Q_OBJECT

 private:
  BoardView* OpenGame() {
    const QString path = home_.filePath(QStringLiteral("game.csa"));
    if (!platform::WriteWholeFile(ToCore(path), Sjis(kGameText))) return nullptr;
    if (BoardView* old = frame()->FindDocument(path)) {
      old->document()->SetModified(false);
      frame()->ActiveChild()->close();
      QApplication::processEvents();
    }
    return app_->OpenDocument(path, DocKind::kGame);
  }
  static rules::MoveNode& Current(BoardView* view) { return *view->document()->board().current(); }
  static std::vector<std::string> Lines(BoardView* view) {
    const rules::MoveNote* note = Current(view).note;
    return note ? note->lines : std::vector<std::string>{};
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }

  void commandOpensTheEditorOnTheMoveAndStoresAndDeletes() {
    BoardView* view = OpenGame();
    QVERIFY(view);
    QVERIFY2(!Enabled(cmd::kMoveAnnotation), "no move at the start position");
    view->Execute(cmd::kForward);
    QVERIFY2(!view->AnnotationOpen(), "the first move has no annotation to show");
    QVERIFY(Enabled(cmd::kMoveAnnotation));
    frame()->commands().Action(cmd::kMoveAnnotation)->trigger();
    AnnotationEditor* editor = view->annotation().editor();
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QString::fromUtf8("指し手 先手７六歩の注釈"));
    QVERIFY(editor->view()->toPlainText().isEmpty());

    editor->view()->setPlainText(QString::fromUtf8("一行目\n\n二行目\n"));
    view->document()->SetModified(false);
    QVERIFY(editor->Execute(cmd::kNoteStore));
    QCOMPARE(Lines(view), (std::vector<std::string>{Sjis("一行目"), Sjis("二行目")}));
    QVERIFY(view->document()->modified());
    QVERIFY(!editor->modified());

    view->document()->SetModified(false);
    QVERIFY(editor->Execute(cmd::kNoteDelete));
    QVERIFY(Lines(view).empty());
    QVERIFY(view->document()->modified());
    QVERIFY(editor->view()->toPlainText().isEmpty());
  }

  void aStepClosesTheEditorAndTheAutomaticDisplayOpensIt() {
    BoardView* view = OpenGame();
    view->Execute(cmd::kForward);
    view->Execute(cmd::kMoveAnnotation);
    QVERIFY(view->AnnotationOpen());
    view->Execute(cmd::kForward);  // onto the annotated move: closed first, then shown again on it
    AnnotationEditor* editor = view->annotation().editor();
    QVERIFY(editor);
    QCOMPARE(editor->Text(), Sjis("角道を開け合う。\r\n"));
    QCOMPARE(editor->windowTitle(), QString::fromUtf8("指し手 後手３四歩の注釈"));
    view->Execute(cmd::kForward);
    QVERIFY(!view->AnnotationOpen());

    view->Execute(cmd::kAutoAnnotation);
    view->Execute(cmd::kBack);
    QVERIFY2(!view->AnnotationOpen(), "automatic display off");
    view->Execute(cmd::kAutoAnnotation);
  }

  void changedTextIsOfferedForStoringBeforeAStep() {
    BoardView* view = OpenGame();
    view->Execute(cmd::kForward);
    view->Execute(cmd::kMoveAnnotation);
    view->annotation().editor()->view()->insertPlainText(QString::fromUtf8("好手"));  // as typed
    sink_.answers = {Answer::kYes};
    view->Execute(cmd::kForward);
    view->Execute(cmd::kBack);
    QCOMPARE(Lines(view), std::vector<std::string>{Sjis("好手")});
  }

  void autoPlayWaitsWhileTheEditorIsOpen() {
    BoardView* view = OpenGame();
    ScreenBoard& board = view->document()->board();
    QVERIFY(view->Execute(cmd::kAutoForward));
    QTRY_VERIFY(view->AnnotationOpen());
    QCOMPARE(board.depth(), 2);
    QTest::qWait(400);
    QCOMPARE(board.depth(), 2);
    view->annotation().editor()->close();
    QTRY_COMPARE(board.depth(), 3);
    QTRY_COMPARE(view->controller().auto_direction(), 0);
  }

  void theEditorNeverOutlivesItsBoardOrItsMove() {
    BoardView* view = OpenGame();
    view->Execute(cmd::kLast);
    view->Execute(cmd::kMoveAnnotation);
    QPointer<AnnotationEditor> editor = view->annotation().editor();
    editor->view()->setPlainText(QStringLiteral("x"));
    // The move goes from under the editor (a branch deleted elsewhere): nothing left to store into.
    ScreenBoard& board = view->document()->board();
    board.StepBack();
    board.DeleteBranch(board.current()->child);
    QVERIFY(!editor->Execute(cmd::kNoteStore));

    editor->toolbar()->hide();
    // Closing the board: an annotation stored as its editor closes is in the save question that follows.
    view->Execute(cmd::kFirst);
    view->Execute(cmd::kForward);
    view->Execute(cmd::kMoveAnnotation);
    editor = view->annotation().editor();
    editor->toolbar()->hide();
    editor->view()->insertPlainText(QStringLiteral("x"));
    view->document()->SetModified(false);
    sink_.questions.clear();
    sink_.answers = {Answer::kYes, Answer::kNo};
    frame()->ActiveChild()->close();
    QCOMPARE(sink_.questions.size(), size_t{2});
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(app_->settings().GetInt("EDITOR_SECTION", "VisibleCEditorToolBar", 1), 0);
  }

  void theTextEditorSavesAndReopensItsFile() {
    frame()->Execute(cmd::kEditor);
    auto* editor = frame()->findChild<TextEditor*>(QStringLiteral("TextEditor"));
    QVERIFY(editor && editor->isVisible());
    editor->view()->setPlainText(QString::fromUtf8("矢倉\n\n先手は銀を上がる"));
    const QString path = home_.filePath(QStringLiteral("note.txt"));
    QVERIFY(editor->SaveFile(path));
    std::string bytes;
    QVERIFY(platform::ReadWholeFile(ToCore(path), bytes));
    QCOMPARE(bytes, Sjis("矢倉\r\n\r\n先手は銀を上がる"));
    QCOMPARE(editor->windowTitle(), QString::fromUtf8("note.txt - 駒楽工房"));

    editor->Execute(cmd::kEdNew);
    QVERIFY(editor->view()->toPlainText().isEmpty());
    QVERIFY(editor->OpenFile(path));
    QCOMPARE(editor->view()->toPlainText(), QString::fromUtf8("矢倉\n\n先手は銀を上がる"));
    QVERIFY(!editor->modified());
    // 追い詰め closes up the paragraph and keeps the blank line; 元に戻す takes it back.
    editor->Execute(cmd::kEdReflow);
    QCOMPARE(editor->view()->toPlainText(), QString::fromUtf8("矢倉\n\n先手は銀を上がる"));
    editor->view()->setPlainText(QString::fromUtf8("先手は\n銀を上がる"));
    editor->Execute(cmd::kEdReflow);
    QCOMPARE(editor->view()->toPlainText(), QString::fromUtf8("先手は銀を上がる"));
    editor->Execute(cmd::kEdUndo);
    QCOMPARE(editor->view()->toPlainText(), QString::fromUtf8("先手は\n銀を上がる"));
    editor->SetModified(false);

    // Closed and opened again: the same frame at its place, with a new empty text.
    const QRect place = editor->geometry();
    editor->close();
    frame()->Execute(cmd::kEditor);
    QCOMPARE(frame()->findChild<TextEditor*>(QStringLiteral("TextEditor")), editor);
    QCOMPARE(editor->geometry(), place);
    QVERIFY(editor->view()->toPlainText().isEmpty());
    editor->close();
  }
};

QTEST_MAIN(AnnotationEditorTest)
#include "annotation_editor_test.moc"
