// The search dialogs over a small database made here: a header condition, a position entered through the
// set-up window and the hit opened on the board, the last condition offered again, and 指手比較 with the
// current window's game, with branches and without.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/db_search_dialog.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/setup_window.h"
#include "platform/db_lock.h"
#include "platform/files.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// Two games: the first reaches the position after ▲７六歩 △３四歩, the second never does.
const char kGames[] =
    "N+羽生\r\nN-谷川\r\n'戦型:矢倉\r\nPI\r\n+\r\n+7776FU\r\n-3334FU\r\n+2726FU\r\n-8384FU\r\n/\r\n"
    "N+佐藤\r\nN-森内\r\n'戦型:相掛かり\r\nPI\r\n+\r\n+2726FU\r\n-8384FU\r\n+2625FU\r\n-8485FU\r\n";

}  // namespace

class DbSearchTest : public GuiSuite {
  Q_OBJECT

 private:
  DbSearchDialog* OpenDialog() {
    Trigger(cmd::kDbSearch);
    auto* dialog = frame()->findChild<DbSearchDialog*>();
    if (dialog) dialog->setAttribute(Qt::WA_DeleteOnClose, true);
    return dialog;
  }
  static void WaitForSearch(DbSearchDialog* dialog) {
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->searching(), 20000);
    QApplication::processEvents();
  }
  static void Click(BoardView* view, int square) {
    const Point p = SquareCenter(square, view->document()->board().reversed());
    view->controller().LeftDown(p.x, p.y);
    view->controller().LeftUp(p.x, p.y);
  }
  int RowOfPlayers(DbSearchDialog* dialog, const char* sente) {
    for (size_t i = 0; i < dialog->entries().size(); ++i) {
      if (dialog->entries()[i].line.find(Cp932(sente)) != std::string::npos) return static_cast<int>(i);
    }
    return -1;
  }
  std::string LastMessage() { return sink_.messages.empty() ? std::string() : sink_.messages.back(); }

 private Q_SLOTS:
  void initTestCase() {
    StartSuite();
    const std::string dir = ToCore(app_->database_dir());
    platform::RecordingProgressSink progress;
    QVERIFY(shogidb::CreateDatabase(dir, progress, sink_));
    shogidb::GameDatabase games;
    games.SetDatabase(dir);
    QCOMPARE(games.RegisterFromCsa(Cp932(kGames), true), 2);
  }
  void cleanupTestCase() { EndSuite(); }

  void AHeaderConditionListsItsGameAndIsOfferedAgain() {
    DbSearchDialog* dialog = OpenDialog();
    QVERIFY(dialog);
    QVERIFY(!Enabled(cmd::kDbSearch));  // one at a time
    QVERIFY(dialog->condition()->toPlainText().startsWith(QStringLiteral("#検索条件")));
    const QString condition = QStringLiteral("対局者 matches \"谷川\"");
    dialog->condition()->setPlainText(condition);
    {
      // Held elsewhere (here: by this thread, which is not the search's): the search does not wait.
      platform::DatabaseLockGuard held(ToCore(app_->database_dir()), platform::DatabaseLockGuard::Mode::kTry);
      QVERIFY(held.held());
      QVERIFY(dialog->Search());
      WaitForSearch(dialog);
      QCOMPARE(LastMessage(), Cp932("データベースが使用中です"));
      QCOMPARE(dialog->list()->count(), 0);
    }
    QVERIFY(dialog->Search());
    WaitForSearch(dialog);
    QCOMPARE(dialog->list()->count(), 1);
    QVERIFY(dialog->list()->item(0)->text().contains(QStringLiteral("羽生-谷川")));
    QCOMPARE(dialog->count_label()->text(), QStringLiteral("全 1 件"));
    QCOMPARE(app_->database_state().last_games.size(), size_t(1));

    dialog->close();
    QTRY_VERIFY(!frame()->findChild<DbSearchDialog*>());
    QVERIFY(Enabled(cmd::kDbSearch));
    dialog = OpenDialog();
    QCOMPARE(dialog->condition()->toPlainText().trimmed(), condition);
    dialog->close();
  }

  void APositionEnteredOnTheSetupBoardFindsTheGameThatOpensThere() {
    DbSearchDialog* dialog = OpenDialog();
    dialog->condition()->setPlainText(QString());
    dialog->EnterPosition(false);
    QCOMPARE(LastMessage(), Cp932("「局面指定をしない」の時は新規局面の入力はできません。"));
    dialog->mode_button(1)->setChecked(true);
    dialog->EnterPosition(false);
    SetupWindow* setup = app_->setup_window();
    QVERIFY(setup);
    dialog->EnterPosition(true);
    QCOMPARE(LastMessage(), Cp932("盤面の設定は同時に２面はできません"));
    // ▲７六歩 △３四歩 placed by hand; sente to move.
    Click(setup->view(), 77);
    Click(setup->view(), 76);
    Click(setup->view(), 33);
    Click(setup->view(), 34);
    setup->view()->Execute(cmd::kSideSente);
    setup->EndSetup();
    QVERIFY(dialog->target().entered);

    QVERIFY(dialog->Search());
    WaitForSearch(dialog);
    QCOMPARE(dialog->list()->count(), 1);
    QCOMPARE(dialog->entries()[0].ply, 2);
    QVERIFY(dialog->list()->item(0)->text().contains(QStringLiteral("羽生-谷川")));

    dialog->list()->setCurrentRow(0);
    QVERIFY(dialog->LoadSelected());
    BoardView* view = frame()->ActiveView();
    QCOMPARE(view->document()->board().depth(), 2);
    const std::string text = view->document()->WriteText();
    const size_t a = text.find("+7776FU"), b = text.find("-3334FU"), c = text.find("+2726FU"), d = text.find("-8384FU");
    QVERIFY(a != std::string::npos && a < b && b < c && c < d && d != std::string::npos);
    dialog->close();
  }

  void CompareMovesTellsAMatchAndABranchedRecordApart() {
    // The window holds the game loaded by the case before.
    DbSearchDialog* dialog = OpenDialog();
    dialog->condition()->setPlainText(QString());
    dialog->mode_button(0)->setChecked(true);
    QVERIFY(dialog->Search());
    WaitForSearch(dialog);
    const int row = RowOfPlayers(dialog, "羽生");
    QVERIFY(row >= 0);
    dialog->list()->setCurrentRow(row);
    dialog->CompareMoves();
    QVERIFY(LastMessage().rfind(Cp932("棋譜が一致しました。\r\n現バッファ="), 0) == 0);
    QVERIFY(LastMessage().find(Cp932("選択棋譜  =")) != std::string::npos);

    dialog->list()->setCurrentRow(RowOfPlayers(dialog, "佐藤"));
    dialog->CompareMoves();
    QVERIFY(LastMessage().rfind(Cp932("1手目の指し手が違います。"), 0) == 0);

    // A second move at ply 4 makes the record branch.
    BoardView* view = frame()->ActiveView();
    view->Execute(cmd::kLast);
    view->Execute(cmd::kBack);
    view->controller().SetRecordEditing(true);
    view->controller().SetBranchInput(true);
    Click(view, 23);
    Click(view, 24);
    QCOMPARE(view->document()->board().root()->child->child->child->ChildCount(), 2);
    dialog->list()->setCurrentRow(row);
    dialog->CompareMoves();
    QVERIFY(LastMessage().rfind(Cp932("次元が違います。１次元の棋譜と多次元の棋譜は比較できません。"), 0) == 0);
    dialog->close();
  }

  void DuplicatesByMovesListTheGamesThatRepeatOne() {
    shogidb::GameDatabase games;
    games.SetDatabase(ToCore(app_->database_dir()));
    QCOMPARE(games.RegisterFromCsa(Cp932("N+中原\r\nN-米長\r\nPI\r\n+\r\n+7776FU\r\n-3334FU\r\n+2726FU\r\n-8384FU\r\n"),
                                   true), 1);
    DbSearchDialog* dialog = OpenDialog();
    dialog->mode_button(2)->setChecked(true);
    QVERIFY(dialog->SearchDuplicates());
    QCOMPARE(LastMessage(), Cp932("重複検索時は「局面指定」は無効です"));
    WaitForSearch(dialog);
    QCOMPARE(dialog->list()->count(), 2);
    QVERIFY(RowOfPlayers(dialog, "羽生") >= 0 && RowOfPlayers(dialog, "中原") >= 0);
    dialog->close();
  }

  void TheTsumeDialogSearchesProblems() {
    std::string pcl;
    QVERIFY(platform::ReadWholeFile(ToCore(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-tsume.pcl")), pcl));
    shogidb::ProblemDatabase problems;
    problems.SetDatabase(ToCore(app_->database_dir()));
    QCOMPARE(problems.RegisterFromCsa(platform::InputTextToCp932(pcl), true), 1);
    Trigger(cmd::kNewTsume);
    DbSearchDialog* dialog = OpenDialog();
    QVERIFY(dialog->tsume());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("詰将棋検索・選択"));
    QVERIFY(!dialog->by_final_position());
    QVERIFY(dialog->Search());
    WaitForSearch(dialog);
    QCOMPARE(dialog->list()->count(), 1);
    QCOMPARE(app_->database_state().last_problems.size(), size_t(1));
    dialog->close();
  }
};

QTEST_MAIN(DbSearchTest)
#include "db_search_test.moc"
