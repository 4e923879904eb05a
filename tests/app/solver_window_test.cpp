// The solver window driven from the menus, offscreen: a solve in a new window leaves its source alone,
// the discard question guards the buffer, a stop in the main pass ends the solve at once with nothing
// written, the board refuses what would touch it while the worker owns it, and a board window closed
// in the middle of a solve goes without hanging.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QRegularExpression>
#include <QMdiArea>
#include <QTest>
#include <QTreeView>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/record_window.h"
#include "app/solver_window.h"
#include "solver/record_solve.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

// A lone king in the middle against rooks, bishops, golds and silvers in hand: thousands of checks and
// no mate, so the main pass runs for minutes.
const char kNoMateProblem[] =
    "P1 *  *  *  *  *  *  *  *  * \r\nP2 *  *  *  *  *  *  *  *  * \r\nP3 *  *  *  *  *  *  *  *  * \r\n"
    "P4 *  *  *  *  *  *  *  *  * \r\nP5 *  *  *  * -OU *  *  *  * \r\nP6 *  *  *  *  *  *  *  *  * \r\n"
    "P7 *  *  *  *  *  *  *  *  * \r\nP8 *  *  *  *  *  *  *  *  * \r\nP9 *  *  *  *  *  *  *  *  * \r\n"
    "P+00HI00HI00KA00KA00KI00KI00GI00GI\r\nP-00AL\r\n+\r\n";

// A stop must end the solve within a second; the room above that is for a machine busy with builds.
constexpr int kStopMs = 3000;

QStringList Lines(SolverWindow* w) {
  QStringList lines;
  for (const std::string& l : w->lines().lines()) lines << FromCore(l);
  return lines;
}

}  // namespace

class SolverWindowTest : public GuiSuite {
  Q_OBJECT

 private:
  BoardView* OpenSample() {
    BoardView* view = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-tsume.pcl"), DocKind::kTsume);
    if (view) frame()->Activate(view);
    return view;
  }
  BoardView* OpenNoMateProblem() {
    const QString path = home_.filePath(QStringLiteral("nomate.pcl"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(kNoMateProblem) < 0) return nullptr;
    f.close();
    BoardView* view = app_->OpenDocument(path, DocKind::kTsume);
    if (view) frame()->Activate(view);
    return view;
  }
  static bool Solving(BoardView* view) { return view->solver_window() && view->solver_window()->solving(); }
  static QString MainLine(BoardView* view) {
    QStringList moves;
    for (const std::string& m : solver::MainLineTexts(view->document()->board())) moves << FromCore(m);
    return moves.join(' ');
  }
  void CloseAll() {
    sink_.default_answer = platform::Answer::kNo;
    for (BoardView* v : frame()->Views()) v->document()->SetModified(false);
    frame()->mdi()->closeAllSubWindows();
    QTRY_VERIFY(frame()->mdi()->subWindowList().isEmpty());
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }
  void cleanup() { CloseAll(); }

  void solvingInANewWindowWritesTheSolutionThereAndLeavesTheSourceAlone() {
    BoardView* source = OpenSample();
    QVERIFY(source);
    const std::string before = source->document()->WriteText();
    Trigger(cmd::kSolveNew);
    BoardView* view = frame()->ActiveView();
    QVERIFY(view && view != source);
    QTRY_VERIFY(!Solving(view));
    QVERIFY(!view->controller().busy());

    ScreenBoard& board = view->document()->board();
    QVERIFY(board.root()->child);
    QCOMPARE(board.current(), board.root());
    QCOMPARE(MainLine(view), QStringLiteral("先手５二金"));
    QVERIFY(view->document()->modified());  // a solution to be saved
    QCOMPARE(source->document()->WriteText(), before);
    QVERIFY(!source->document()->modified());
    QVERIFY(!source->document()->board().root()->child);

    SolverWindow* w = view->solver_window();
    QVERIFY(w);
    const QStringList lines = Lines(w);
    QVERIFY(lines.first().startsWith(QStringLiteral("==== 詰思考開始 ")));
    QVERIFY(lines.last().startsWith(QStringLiteral("=== 思考終了 ")));
    QVERIFY(!lines.filter(QStringLiteral("補正終了")).isEmpty());
    QCOMPARE(w->view()->currentIndex().row(), lines.size() - 1);  // the last line selected
    QCOMPARE(w->view()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("思考状況"));
    // At the top right of the area.
    QTRY_COMPARE(w->geometry().right(), frame()->mdi()->viewport()->width() - 1);
    QCOMPARE(w->geometry().top(), 0);
  }

  void solvingHereAsksBeforeTheMovesGoAndNoLeavesEverything() {
    BoardView* view = OpenSample();
    QVERIFY(view);
    Trigger(cmd::kSolveHere);
    QVERIFY(sink_.questions.empty());  // no moves yet: nothing to ask
    QTRY_VERIFY(!Solving(view));
    ScreenBoard& board = view->document()->board();
    QVERIFY(board.root()->child);
    const std::string solved = view->document()->WriteText();
    const int lines = view->solver_window()->lines().size();

    sink_.answers.push_back(platform::Answer::kNo);
    Trigger(cmd::kSolveHere);
    QCOMPARE(FromCore(sink_.questions.back()), QStringLiteral("このバッファの指し手は全て破棄されます。よろしいですか？"));
    QVERIFY(!Solving(view));
    QVERIFY(!view->controller().busy());
    QCOMPARE(view->document()->WriteText(), solved);
    QCOMPARE(view->solver_window()->lines().size(), lines);

    sink_.answers.push_back(platform::Answer::kYes);
    Trigger(cmd::kSolveHere);
    QTRY_VERIFY(!Solving(view));
    QCOMPARE(MainLine(view), QStringLiteral("先手５二金"));
  }

  void aStopInTheMainPassEndsAtOnceWithNothingWritten() {
    BoardView* view = OpenNoMateProblem();
    QVERIFY(view);
    view->Execute(cmd::kOpenRecordWindow);
    Trigger(cmd::kSolveHere);
    QVERIFY(Solving(view));
    QVERIFY(!view->record_window());  // closed with the buffer
    SolverWindow* w = view->solver_window();
    QTRY_VERIFY(Lines(w).filter(QStringLiteral("第5手まで探索中")).size() == 1);

    // Nothing that would touch the board while the worker owns it.
    for (int id : {cmd::kFlip, cmd::kRecordEditing, cmd::kTsumeHeader, cmd::kProblemDiagram, cmd::kOpenRecordWindow,
                   cmd::kOpenAux, cmd::kFileSave, cmd::kPasteRecord, cmd::kSolveNew, cmd::kSolveHere}) {
      QVERIFY2(!Enabled(id), qPrintable(QString::number(id)));
    }
    QVERIFY(Enabled(cmd::kSolveStop));
    QVERIFY(Enabled(cmd::kFileClose));
    const Point king = SquareCenter(55, false);
    view->controller().SetRecordEditing(true);  // as if switched on before; the busy board still refuses
    view->controller().LeftDown(king.x, king.y);
    QVERIFY(!view->controller().holding());
    view->controller().SetRecordEditing(false);

    QElapsedTimer clock;
    clock.start();
    Trigger(cmd::kSolveStop);
    QTRY_VERIFY_WITH_TIMEOUT(!Solving(view), kStopMs);
    QVERIFY2(clock.elapsed() < kStopMs, qPrintable(QString::number(clock.elapsed())));
    const QStringList lines = Lines(w);
    const int stopped = lines.indexOf(QStringLiteral("中断されました"));
    QVERIFY(stopped > 0);
    QVERIFY(lines.indexOf(QRegularExpression(QStringLiteral(" -----\\(;_;\\) 詰みませんでした.*"))) > stopped);
    QVERIFY(lines.last().startsWith(QStringLiteral("=== 思考終了 ")));
    QVERIFY(!view->document()->board().root()->child);
    QVERIFY(!view->controller().busy());
    QVERIFY(Enabled(cmd::kFlip));
    QVERIFY(!Enabled(cmd::kSolveStop));
  }

  void closingTheBoardWhileSolvingStopsTheSolveWithoutHanging() {
    BoardView* view = OpenNoMateProblem();
    QVERIFY(view);
    Trigger(cmd::kSolveHere);
    QPointer<SolverWindow> w = view->solver_window();
    QTRY_VERIFY(Lines(w).size() > 3);
    QPointer<BoardView> gone = view;
    const size_t questions = sink_.questions.size();
    QElapsedTimer clock;
    clock.start();
    Trigger(cmd::kFileClose);
    QTRY_VERIFY(!gone);
    QVERIFY2(clock.elapsed() < kStopMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(sink_.questions.size(), questions);  // nothing was written, so nothing to save
    QVERIFY(w && !w->solving());
    QVERIFY(Lines(w).contains(QStringLiteral("中断されました")));
  }

  void closingTheSolverWindowStopsTheSolveAndFreesTheBoard() {
    BoardView* view = OpenNoMateProblem();
    QVERIFY(view);
    Trigger(cmd::kSolveHere);
    QPointer<SolverWindow> w = view->solver_window();
    QTRY_VERIFY(Lines(w).size() > 3);
    w->close();
    QVERIFY(!view->controller().busy());
    QVERIFY(!view->solver_window());
    QVERIFY(!view->document()->board().root()->child);
    QVERIFY(Enabled(cmd::kSolveHere));
    QVERIFY(!Enabled(cmd::kSolveStop));
    QTRY_VERIFY(!w);
  }

  void theListKeepsTheNewest5000Lines() {
    SolverOutputModel model;
    for (int i = 0; i < solver::SolverOutputList::kMaxLines - 1; ++i) model.Append(std::to_string(i));
    // The tester checks the model after every change; the last lines fill the list and go past it.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = solver::SolverOutputList::kMaxLines - 1; i <= solver::SolverOutputList::kMaxLines; ++i) {
      model.Append(std::to_string(i));
    }
    QCOMPARE(model.rowCount(), solver::SolverOutputList::kMaxLines);
    QCOMPARE(model.index(0).data().toString(), QStringLiteral("1"));
    QCOMPARE(model.index(model.rowCount() - 1).data().toString(), QStringLiteral("5000"));
  }

  // Quitting in the middle of a solve stops it and waits for it, as closing each window does.
  void cleanupTestCase() {
    BoardView* view = OpenNoMateProblem();
    QVERIFY(view);
    Trigger(cmd::kSolveHere);
    QVERIFY(Solving(view));
    QElapsedTimer clock;
    clock.start();
    frame()->close();
    QVERIFY2(clock.elapsed() < kStopMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(frame()->mdi()->subWindowList().isEmpty());
    app_.reset();
  }
};

QTEST_MAIN(SolverWindowTest)

#include "solver_window_test.moc"
