// The record window driven as a user would, without a display: the list and tree follow the board and
// the board follows them, the branch dialogs, opening and closing with the board, and random editing on
// the board with the window open, checked against the record after every step.
#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <random>

#include "app/application.h"
#include "tests/app/gui_test_home.h"
#include "app/board_view.h"
#include "app/branch_dialog.h"
#include "app/core/command_ids.h"
#include "app/core/record_navigation.h"
#include "app/main_window.h"
#include "app/record_window.h"
#include "tests/app/app_test_support.h"

using namespace app;
using namespace rules;

class RecordWindowTest : public GuiSuite {
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
  // ▲７六歩 △３四歩 ▲２六歩, and △８四歩 as a second alternative at ply 2; the board on △８四歩.
  BoardView* BranchedGame() {
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
    return view;
  }
  static QStringList ListTexts(RecordWindow* w) {
    QStringList texts;
    for (int i = 0; i < w->list()->count(); ++i) texts << w->list()->item(i)->text();
    return texts;
  }
  static MovePath PathOfItem(const QTreeWidgetItem* item) {
    MovePath path;
    for (; item && item->parent(); item = item->parent()) path.insert(path.begin(), item->data(0, Qt::UserRole).toInt());
    return path;
  }
  // The window shows what the record holds: the list is the model's, the current line and tree item are
  // the board's move.
  static void CheckInStep(BoardView* view) {
    RecordWindow* w = view->record_window();
    QVERIFY(w);
    ScreenBoard& board = view->document()->board();
    QStringList expected;
    for (const MoveListLine& line : MoveListLines(board)) expected << QString::fromStdString(line.text);
    QCOMPARE(ListTexts(w), expected);
    QCOMPARE(w->list()->currentRow(), board.depth());
    QCOMPARE(PathOfItem(w->tree()->currentItem()), CurrentPath(board));
    QCOMPARE(QString::fromStdString(board.CheckConsistency()), QString());
  }
  // Answers the next modal branch dialog with row `row` and the first (accepting) button.
  static void AnswerDialog(int row, bool double_click = false) {
    QTimer::singleShot(0, [row, double_click] {
      auto* dialog = qobject_cast<BranchDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      dialog->list()->setCurrentRow(row);
      if (double_click) {
        Q_EMIT dialog->list()->itemDoubleClicked(dialog->list()->item(row));
      } else {
        dialog->findChild<QDialogButtonBox*>()->buttons().first()->click();
      }
    });
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }

  void emptyRecordShowsOnlyTheStart() {
    Trigger(cmd::kNewGame);
    BoardView* view = frame()->ActiveView();
    QVERIFY(!Enabled(cmd::kCloseRecordWindow));
    Trigger(cmd::kOpenRecordWindow);
    RecordWindow* w = view->record_window();
    QVERIFY(w);
    QCOMPARE(ListTexts(w), QStringList{QStringLiteral("  初期局面")});
    QCOMPARE(w->tree()->topLevelItemCount(), 1);
    QCOMPARE(w->tree()->topLevelItem(0)->text(0), QStringLiteral("初期局面"));
    QCOMPARE(w->tree()->topLevelItem(0)->childCount(), 0);
    QVERIFY(!Enabled(cmd::kOpenRecordWindow));
    // The record window active keeps the board's menus.
    frame()->mdi()->setActiveSubWindow(w);
    QCOMPARE(frame()->ActiveView(), view);
    QVERIFY(Enabled(cmd::kCloseRecordWindow));
    Trigger(cmd::kCloseRecordWindow);
    QVERIFY(!view->record_window());
    QVERIFY(Enabled(cmd::kOpenRecordWindow));
  }

  void listAndTreeFollowTheBoardAndTheBoardFollowsThem() {
    BoardView* view = BranchedGame();
    Trigger(cmd::kOpenRecordWindow);
    RecordWindow* w = view->record_window();
    ScreenBoard& board = view->document()->board();
    QCOMPARE(ListTexts(w), (QStringList{QStringLiteral("  初期局面"), QStringLiteral("  1 ▲７六歩"), QStringLiteral("  2 △８四歩")}));
    CheckInStep(view);

    Trigger(cmd::kFirst);
    CheckInStep(view);
    QCOMPARE(w->list()->count(), 4);  // from the start the longest line
    Trigger(cmd::kForward);
    CheckInStep(view);

    // A line two plies ahead: two steps, one sound, the focus stays in the list.
    w->list()->setFocus();
    w->list()->setCurrentRow(3);
    QCOMPARE(board.depth(), 3);
    CheckInStep(view);
    // The tree: the other alternative at ply 2.
    QTreeWidgetItem* root = w->tree()->topLevelItem(0);
    QCOMPARE(root->child(0)->childCount(), 2);
    w->tree()->setCurrentItem(root->child(0)->child(1));
    QCOMPARE(CurrentPath(board), (MovePath{0, 1}));
    CheckInStep(view);
    QCOMPARE(w->list()->count(), 3);

    // A move entered on the board rebuilds both.
    Move(view, 27, 26);
    CheckInStep(view);
    QCOMPARE(w->tree()->currentItem()->text(0), QStringLiteral("  3 ▲２六歩"));
  }

  void branchSelectionAndDeletion() {
    BoardView* view = BranchedGame();
    Trigger(cmd::kOpenRecordWindow);
    ScreenBoard& board = view->document()->board();
    QVERIFY(Enabled(cmd::kSelectBranch));
    AnswerDialog(0, true);
    Trigger(cmd::kSelectBranch);
    QCOMPARE(CurrentPath(board), (MovePath{0, 0}));
    CheckInStep(view);

    view->Execute(cmd::kBack);
    QVERIFY(!Enabled(cmd::kSelectBranch));  // ▲７六歩 has no alternative
    QVERIFY(Enabled(cmd::kDeleteMoves));
    view->Execute(cmd::kForward);

    // Deleting the alternative on the board steps back first.
    view->document()->SetModified(false);
    AnswerDialog(0);
    Trigger(cmd::kDeleteMoves);
    QCOMPARE(board.depth(), 1);
    QCOMPARE(board.current()->ChildCount(), 1);
    QVERIFY(view->document()->modified());
    CheckInStep(view);
    QCOMPARE(ListTexts(view->record_window()).last(), QStringLiteral("  2 △８四歩"));
  }

  void closingTheBoardClosesItsRecordWindow() {
    app_->SetKifWindow(true);
    Trigger(cmd::kNewGame);
    app_->SetKifWindow(false);
    BoardView* view = frame()->ActiveView();
    QPointer<RecordWindow> w = view->record_window();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), view->document()->title());
    frame()->ActiveChild()->close();
    QTRY_VERIFY(!w);
  }

  void randomEditingKeepsTheWindowInStep() {
    Trigger(cmd::kNewGame);
    BoardView* view = frame()->ActiveView();
    Trigger(cmd::kOpenRecordWindow);
    RecordWindow* w = view->record_window();
    ScreenBoard& board = view->document()->board();
    BoardController& c = view->controller();
    c.SetRecordEditing(true);
    std::mt19937 random(20261206);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    sink_.default_answer = platform::Answer::kNo;
    int entered = 0;
    for (int step = 0; step < 600; ++step) {
      switch (below(9)) {
        case 0:
          view->Execute(cmd::kForward);
          break;
        case 1:
          view->Execute(cmd::kBack);
          break;
        case 2:
          view->Execute(below(2) ? cmd::kFirst : cmd::kLast);
          break;
        case 3:
        case 4: {  // a move of a piece on the board, often as a new branch
          if (below(2)) c.SetBranchInput(true);
          for (int tries = 0; tries < 60; ++tries) {
            // Most pieces move one or two squares; a random square that near is often legal.
            const int from = (1 + below(9)) * 10 + 1 + below(9);
            const int file = from / 10 + below(5) - 2, rank = from % 10 + below(5) - 2;
            const Piece* p = board.PieceAt(ToBoardIndex(SquareNumber(from)));
            if (!p || p->side() != board.side_to_move() || file < 1 || file > 9 || rank < 1 || rank > 9) continue;
            const int to = file * 10 + rank;
            const int depth = board.depth();
            Move(view, from, to);
            while (c.holding()) c.RightDown(0, 0);
            if (board.depth() != depth) {
              ++entered;
              break;
            }
          }
          c.SetBranchInput(false);
          break;
        }
        case 5: {
          const AlternativeList alternatives = AlternativesOfCurrentMove(board);
          if (!alternatives.lines.empty()) ChooseAlternative(c, *view, below(static_cast<int>(alternatives.lines.size())));
          break;
        }
        case 6: {
          const AlternativeList alternatives = AlternativesOfCurrentMove(board);
          if (!alternatives.lines.empty() && below(3) == 0) {
            DeleteAlternative(c, *view, below(static_cast<int>(alternatives.lines.size())));
          }
          break;
        }
        case 7:
          w->list()->setCurrentRow(below(w->list()->count()));
          break;
        case 8: {  // a tree item, opening the items on the way
          QTreeWidgetItem* item = w->tree()->topLevelItem(0);
          for (int depth = below(6); depth > 0; --depth) {
            item->setExpanded(true);
            if (item->childCount() == 0) break;
            item = item->child(below(item->childCount()));
          }
          w->tree()->setCurrentItem(item);
          break;
        }
      }
      CheckInStep(view);
      if (QTest::currentTestFailed()) {
        qWarning("failed at step %d", step);
        return;
      }
    }
    QVERIFY2(entered > 50, qPrintable(QString::number(entered)));
  }

  void cleanupTestCase() { EndSuite(); }
};

QTEST_MAIN(RecordWindowTest)

#include "record_window_test.moc"
