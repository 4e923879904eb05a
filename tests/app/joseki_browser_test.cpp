// The joseki browser driven as a user would, without a display, on a joseki database made in the test
// from a record: the tree and its lazy filling, playing a line onto the board, the joseki-annotation
// editor and the move-properties box writing into the database, the enabling at the root, and a database
// held elsewhere.
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <atomic>
#include <thread>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/joseki_annotation_editor.h"
#include "app/joseki_boxes.h"
#include "app/joseki_browser.h"
#include "app/qt_text.h"
#include "platform/db_lock.h"
#include "platform/progress_sink.h"
#include "rules/notation.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/schema.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui_test_home.h"

using namespace app;
using namespace rules;

class JosekiBrowserTest : public GuiSuite {
  Q_OBJECT

 private:
  static void Click(BoardView* view, int square) {
    const Point p = SquareCenter(square, view->document()->board().reversed());
    view->controller().LeftDown(p.x, p.y);
    view->controller().LeftUp(p.x, p.y);
  }
  static void Move(BoardView* view, int from, int to) {
    Click(view, from);
    Click(view, to);
  }
  // The database lock held by another thread while it lives.
  class LockHolder {
   public:
    explicit LockHolder(std::string dir) : thread_([this, dir] {
      platform::DatabaseLock::Instance().Lock(dir);
      taken_ = true;
      while (!release_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      platform::DatabaseLock::Instance().Unlock();
    }) {
      while (!taken_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~LockHolder() {
      release_ = true;
      thread_.join();
    }

   private:
    std::atomic<bool> taken_{false}, release_{false};
    std::thread thread_;
  };
  std::string Directory() { return ToCore(app_->database_dir()); }
  // A new game with the browser open on its start position.
  JosekiBrowser* BrowserOnNewGame() {
    Trigger(cmd::kNewGame);
    Trigger(cmd::kJosekiBrowser);
    return FindJosekiBrowser();
  }
  static QTreeWidgetItem* Root(JosekiBrowser* b) { return b->tree()->topLevelItem(0); }
  static QStringList Texts(QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
    return texts;
  }

 private Q_SLOTS:
  // Joseki ▲７六歩 △３四歩 ▲２六歩 with △８四歩 beside △３四歩, registered from a record.
  void initTestCase() {
    StartSuite();
    platform::RecordingProgressSink progress;
    if (!shogidb::DatabaseExists(Directory())) QVERIFY(shogidb::CreateDatabase(Directory(), progress, sink_));
    Trigger(cmd::kNewGame);
    BoardView* view = frame()->ActiveView();
    view->controller().SetRecordEditing(true);
    Move(view, 77, 76);
    Move(view, 33, 34);
    Move(view, 27, 26);
    view->Execute(cmd::kBack);
    view->Execute(cmd::kBack);
    view->controller().SetBranchInput(true);
    Move(view, 83, 84);
    shogidb::JosekiDatabase db;
    db.SetDatabase(Directory());
    QCOMPARE(shogidb::RegisterJosekiFromRecord(db, view->document()->board(), {}), 4L);
  }
  void cleanupTestCase() { EndSuite(); }

  void treeIsFilledTwoLevelsAndOnExpansion() {
    JosekiBrowser* b = BrowserOnNewGame();
    QVERIFY(b);
    QCOMPARE(Application::instance()->database_state().joseki_open, true);
    QCOMPARE(b->tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* root = Root(b);
    QCOMPARE(root->text(0), QStringLiteral("初期局面"));
    QCOMPARE(Texts(root), QStringList{QStringLiteral("先手７六歩")});
    QTreeWidgetItem* first = root->child(0);
    QCOMPARE(Texts(first), (QStringList{QStringLiteral("後手３四歩"), QStringLiteral("後手８四歩")}));
    QCOMPARE(first->child(0)->childCount(), 0);  // filled when its parent opens
    first->setExpanded(true);
    QCOMPARE(Texts(first->child(0)), QStringList{QStringLiteral("先手２六歩")});
    QCOMPARE(first->child(1)->childCount(), 0);
    // 印刷 prints what shows: △３四歩 is closed.
    QCOMPARE(FromCore(b->TreeText()), QStringLiteral("初期局面\r\n  先手７六歩\r\n    後手３四歩\r\n    後手８四歩\r\n"));
  }

  void rootDisablesTheMoveCommands() {
    JosekiBrowser* b = FindJosekiBrowser();
    b->tree()->setCurrentItem(Root(b));
    for (int id : {cmd::kJosekiMoveNote, cmd::kJosekiMoveProps, cmd::kJosekiDelete}) QVERIFY(!b->Query(id).enabled);
    for (int id : {cmd::kJosekiPositionNote, cmd::kJosekiEval}) QVERIFY(b->Query(id).enabled);
    b->tree()->setCurrentItem(Root(b)->child(0));
    for (int id : {cmd::kJosekiMoveNote, cmd::kJosekiMoveProps, cmd::kJosekiDelete}) QVERIFY(b->Query(id).enabled);
  }

  void annotationStoredInTheEditorIsInTheDatabase() {
    JosekiBrowser* b = FindJosekiBrowser();
    b->tree()->setCurrentItem(Root(b)->child(0));
    QVERIFY(b->Execute(cmd::kJosekiMoveNote));
    JosekiAnnotationEditor* editor = b->note_editor();
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral("定跡手 先手７六歩 の注釈"));
    QVERIFY(!b->Query(cmd::kJosekiPositionNote).enabled);  // one annotation window
    editor->SetText(platform::Utf8ToCp932("角道を開ける\r\n一番多い手\r\n"));
    QVERIFY(editor->Execute(cmd::kNoteStore));
    {
      JosekiSession session(Directory(), {});
      QVERIFY(session.ready());
      QCOMPARE(FromCore(ReadJosekiNote(session.db(), editor->target())), QStringLiteral("角道を開ける\r\n一番多い手"));
    }
    QVERIFY(editor->Execute(cmd::kNoteDelete));
    JosekiSession session(Directory(), {});
    QCOMPARE(ReadJosekiNote(session.db(), editor->target()), std::string());
  }

  void doubleClickWithAWindowOpenOnlyClosesIt() {
    JosekiBrowser* b = FindJosekiBrowser();
    QVERIFY(b->note_editor());
    const int depth = b->board()->document()->board().depth();
    QVERIFY(!b->PlayItem(Root(b)->child(0)));
    QVERIFY(!b->note_editor());
    QCOMPARE(b->board()->document()->board().depth(), depth);
  }

  void movePropertiesUpdatedThroughTheBox() {
    JosekiBrowser* b = FindJosekiBrowser();
    b->tree()->setCurrentItem(Root(b)->child(0));
    QVERIFY(b->Execute(cmd::kJosekiMoveProps));
    JosekiPropertiesBox* box = b->properties_box();
    QVERIFY(box);
    QCOMPARE(box->value()->value(), 100);  // the registration's default
    box->before()->setValue(104);
    box->after()->setValue(97);
    box->value()->setValue(1234);
    QVERIFY(box->Update());
    JosekiSession session(Directory(), {});
    JosekiValues values;
    QCOMPARE(ReadJosekiValues(session.db(), *b->SelectedCell(), values), 0);
    QCOMPARE(values.before, 104);
    QCOMPARE(values.after, 97);
    QCOMPARE(values.value, 1234);
  }

  void heldLockLeavesTheTreeAndTheBoxRefuses() {
    JosekiBrowser* b = FindJosekiBrowser();
    QVERIFY(b->properties_box());
    const QStringList before = Texts(Root(b)->child(0));
    const size_t shown = sink_.messages.size();
    {
      LockHolder holder(Directory());
      QVERIFY(!b->Rebuild());
      QCOMPARE(Texts(Root(b)->child(0)), before);
      QVERIFY(b->properties_box());  // a rebuild that did not happen leaves the box too
      QVERIFY(!b->properties_box()->Update());
    }
    QCOMPARE(sink_.messages.size(), shown + 1);
    QCOMPARE(FromCore(sink_.messages.back()), QStringLiteral("データベースは使用中です"));
    QVERIFY(b->Rebuild());
    QVERIFY(!b->properties_box());  // a rebuild closes the boxes
  }

  void playingALineOfThreeMovesAddsThemAndReroots() {
    JosekiBrowser* b = FindJosekiBrowser();
    ScreenBoard& board = b->board()->document()->board();
    QCOMPARE(board.depth(), 0);
    Root(b)->child(0)->setExpanded(true);
    QTreeWidgetItem* third = Root(b)->child(0)->child(0)->child(0);
    QCOMPARE(third->text(0), QStringLiteral("先手２六歩"));
    b->tree()->setCurrentItem(third);
    {
      JosekiSession session(Directory(), {});
      QCOMPARE(WriteJosekiNote(session.db(), {*b->CellOf(third), true}, platform::Utf8ToCp932("棒銀を見せる")), 0);
      QCOMPARE(session.Flush(), 0);
    }
    QVERIFY(b->Execute(cmd::kJosekiAutoNote));
    QTest::keyClick(b->tree(), Qt::Key_Return);
    QVERIFY(b->Execute(cmd::kJosekiAutoNote));
    QVERIFY(b->note_editor());  // the automatic display shows the last move's annotation
    QCOMPARE(b->note_editor()->windowTitle(), QStringLiteral("定跡手 先手２六歩 の注釈"));
    b->note_editor()->CloseQuietly();
    QCOMPARE(board.depth(), 3);
    QCOMPARE(board.root()->ChildCount(), 1);
    QVERIFY(b->board()->document()->modified());
    QCOMPARE(b->tree()->topLevelItemCount(), 1);
    QCOMPARE(Root(b)->text(0), QString::fromStdString(platform::Cp932ToUtf8(NodeMoveText(board, *board.current()))));
    QCOMPARE(Root(b)->childCount(), 0);  // no joseki stored after ▲２六歩
    // Stepping the board back is followed (103).
    b->board()->Execute(cmd::kBack);
    QCOMPARE(Texts(Root(b)), QStringList{QStringLiteral("先手２六歩")});
  }

  void enteredMoveIsFollowedPiecesLockedWithASearchAndDeletionAsksFirst() {
    JosekiBrowser* b = BrowserOnNewGame();
    BoardView* view = frame()->ActiveView();
    QCOMPARE(b->board(), view);
    view->controller().SetRecordEditing(true);
    DatabaseState& state = app_->database_state();
    state.search_open = true;
    Click(view, 77);
    QVERIFY(!view->controller().holding());
    state.search_open = false;
    Move(view, 77, 76);
    QCOMPARE(view->document()->board().depth(), 1);
    QCOMPARE(Texts(Root(b)), (QStringList{QStringLiteral("後手３四歩"), QStringLiteral("後手８四歩")}));

    // 定跡の削除 asks first; no leaves the database as it was.
    b->tree()->setCurrentItem(Root(b)->child(1));
    sink_.answers = {platform::Answer::kNo};
    QVERIFY(b->Execute(cmd::kJosekiDelete));
    QCOMPARE(FromCore(sink_.questions.back()), QStringLiteral("定跡 後手８四歩 を削除します。よろしいですか？"));
    QCOMPARE(Root(b)->childCount(), 2);
    sink_.answers = {platform::Answer::kYes};
    QVERIFY(b->Execute(cmd::kJosekiDelete));
    QCOMPARE(Texts(Root(b)), QStringList{QStringLiteral("後手３四歩")});
    b->close();
    QVERIFY(!FindJosekiBrowser());
    QVERIFY(!state.joseki_open);
  }
};

QTEST_MAIN(JosekiBrowserTest)

#include "joseki_browser_test.moc"
