// The engine choice and 余詰検討 from the 詰思考 menu, offscreen: the proof-number engine chosen there is
// kept in the settings and solves the sample problem between the usual start and end lines; the check of
// a tsume window lists its report in the solver window and leaves the window's record as it was.
#include <QMdiArea>
#include <QTest>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/solver_engine_setting.h"
#include "app/solver_window.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui_test_home.h"

using namespace app;

class SolverEngineTest : public GuiSuite {
  Q_OBJECT

 private:
  BoardView* OpenSample() {
    BoardView* view =
        app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-tsume.pcl"), DocKind::kTsume);
    if (view) frame()->Activate(view);
    return view;
  }
  static bool Solving(BoardView* view) { return view->solver_window() && view->solver_window()->solving(); }
  static QString Text(BoardView* view) {
    QStringList lines;
    for (const std::string& l : view->solver_window()->lines().lines()) lines << FromCore(l);
    return lines.join('\n');
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }
  void cleanup() {
    for (BoardView* v : frame()->Views()) v->document()->SetModified(false);
    frame()->mdi()->closeAllSubWindows();
    QTRY_VERIFY(frame()->mdi()->subWindowList().isEmpty());
  }

  void theProofNumberEngineIsChosenKeptAndSolves() {
    QCOMPARE(StoredSolverEngine(), solver::SolverEngine::kIterativeDeepening);  // the default
    BoardView* view = OpenSample();
    QVERIFY(view);
    QVERIFY(view->Query(cmd::kSolverIterative).checked);
    Trigger(cmd::kSolverProofNumber);
    QCOMPARE(StoredSolverEngine(), solver::SolverEngine::kProofNumber);
    QVERIFY(view->Query(cmd::kSolverProofNumber).checked);
    QVERIFY(!view->Query(cmd::kSolverIterative).checked);

    sink_.default_answer = platform::Answer::kYes;  // the buffer's moves go
    Trigger(cmd::kSolveHere);
    QTRY_VERIFY_WITH_TIMEOUT(!Solving(view), 10000);
    const QString text = Text(view);
    QVERIFY2(text.startsWith(QStringLiteral("==== 詰思考開始")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("df-pn 探索開始")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("詰手数 1手")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("=== 思考終了")), qPrintable(text));
    QVERIFY(view->document()->board().root()->child);

    Trigger(cmd::kSolverIterative);
    QCOMPARE(StoredSolverEngine(), solver::SolverEngine::kIterativeDeepening);
  }

  void theCheckListsItsReportAndLeavesTheRecordAlone() {
    BoardView* view = OpenSample();
    QVERIFY(view);
    QVERIFY(Enabled(cmd::kCheckTsume));
    const std::string before = view->document()->WriteText();
    Trigger(cmd::kCheckTsume);
    QTRY_VERIFY_WITH_TIMEOUT(!Solving(view), 10000);
    const QString text = Text(view);
    QVERIFY2(text.startsWith(QStringLiteral("==== 余詰検討開始")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("余詰検討 (作意 1手): 余詰 0件, 早詰 0件, 不詰 0件")), qPrintable(text));
    QCOMPARE(view->document()->WriteText(), before);
    QVERIFY(!view->document()->modified());
    QVERIFY(!view->controller().busy());
  }
};

QTEST_MAIN(SolverEngineTest)
#include "solver_engine_test.moc"
