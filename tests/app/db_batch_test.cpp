// The database work of a board window, offscreen: 詰将棋ＤＢの思考 solves the problems of the last tsume
// search and writes their solutions into the database; joseki registered from a record through its dialog
// is found by the library; joseki editing stores a move entered on the board; and the database lock
// between the program and kzb in both directions.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QSpinBox>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

#include "app/batch_solve_dialog.h"
#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/joseki_dialogs.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/qt_text.h"
#include "app/solver_window.h"
#include "platform/db_lock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// The sample problems without their moves: the batch has solutions to find and write.
std::string ProblemsWithoutMoves() {
  std::string bytes;
  platform::ReadWholeFile(KOMARAKU_PROGRAM_DIR "/samples/sample-problems.pcl", bytes);
  std::string out;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    end = end == std::string::npos ? bytes.size() : end + 1;
    const std::string_view line(bytes.data() + at, end - at);
    const bool move = line.size() > 2 && (line[0] == '+' || line[0] == '-') && line[1] >= '0' && line[1] <= '9';
    if (!move) out.append(line);
    at = end;
  }
  return out;
}

// A lone king against rooks, bishops, golds and silvers in hand: no mate, and a main pass of minutes.
const char kNoMateProblem[] =
    "P1 *  *  *  *  *  *  *  *  * \r\nP2 *  *  *  *  *  *  *  *  * \r\nP3 *  *  *  *  *  *  *  *  * \r\n"
    "P4 *  *  *  *  *  *  *  *  * \r\nP5 *  *  *  * -OU *  *  *  * \r\nP6 *  *  *  *  *  *  *  *  * \r\n"
    "P7 *  *  *  *  *  *  *  *  * \r\nP8 *  *  *  *  *  *  *  *  * \r\nP9 *  *  *  *  *  *  *  *  * \r\n"
    "P+00HI00HI00KA00KA00KI00KI00GI00GI\r\nP-00AL\r\n+\r\n";

// Closes each progress window once its job has ended (RunInProgressWindow waits for that).
void CloseProgressWhenDone(QObject* context) {
  auto* timer = new QTimer(context);
  QObject::connect(timer, &QTimer::timeout, timer, [timer] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<ProgressWindow*>(w);
      if (progress && progress->isVisible() && !progress->running()) {
        progress->close();
        timer->deleteLater();
      }
    }
  });
  timer->start(50);
}

// Answers questions by a callback (the lock test acts while the job holds the lock).
class CallbackSink final : public platform::MessageSink {
 public:
  void Show(std::string_view text) override { shown.emplace_back(text); }
  platform::Answer Ask(std::string_view, platform::Buttons) override { return on_ask(); }
  std::function<platform::Answer()> on_ask;
  std::vector<std::string> shown;
};

}  // namespace

class DbBatchTest : public GuiSuite {
  Q_OBJECT

 private:
  std::string dir_;

  int JosekiMovesAtStart() {
    shogidb::JosekiDatabase db;
    db.SetDatabase(dir_);
    shogidb::OpenTables open;
    if (db.OpenAll(open) != 0) return -1;
    shogidb::JosekiPosition position;
    if (db.FindJosekiPosition(rules::BoardForm(), rules::kSente, position) != 0) return 0;
    std::vector<shogidb::JosekiMove> moves;
    db.ReadJosekiMoves(position, moves);
    return static_cast<int>(moves.size());
  }
  BoardView* OpenGame() {
    BoardView* view = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-game.csa"), DocKind::kGame);
    if (view) frame()->Activate(view);
    return view;
  }

 private Q_SLOTS:
  void initTestCase() {
    StartSuite();
    dir_ = ToCore(home_.filePath(QStringLiteral("db"))) + "/";
    platform::RecordingMessageSink quiet;
    shogidb::NullProgressSink none;
    QVERIFY(shogidb::CreateDatabase(dir_, none, quiet));
    platform::SetEnv("SHGDB", dir_);
    QCOMPARE(app_->database_dir(), FromCore(dir_));
  }
  void cleanupTestCase() { EndSuite(); }

  void BatchWritesTheSolutionsOfTheLastSearch() {
    shogidb::ProblemDatabase db;
    db.SetDatabase(dir_);
    const int count = db.RegisterFromCsa(ProblemsWithoutMoves(), true);
    QCOMPARE(count, 4);
    std::vector<shogidb::ListEntry> found;
    QCOMPARE(db.Search("", {}, found), 0);
    QCOMPARE(found.size(), size_t(count));
    for (const shogidb::ListEntry& e : found) {
      shogidb::ItemDatabase::StoredItem item;
      QCOMPARE(db.ReadStored(e.number, item), 0);
      QVERIFY(item.moves.empty());
    }
    app_->database_state().last_problems = found;

    BoardView* view = app_->NewDocument(DocKind::kTsume);
    frame()->Activate(view);
    Trigger(cmd::kSolveDatabase);
    auto* dialog = frame()->findChild<BatchSolveDialog*>();
    QVERIFY(dialog);
    QVERIFY(app_->database_state().batch_open);
    QVERIFY(!Enabled(cmd::kSolveDatabase));  // one batch, and the board is the batch's
    QCOMPARE(dialog->list()->count(), 4);
    QCOMPARE(dialog->counts()->text(), QStringLiteral("全 4 件"));
    dialog->SelectAll();
    QCOMPARE(dialog->counts()->text(), QStringLiteral("4 件中 4 件思考対象"));

    sink_.questions.clear();
    sink_.answers = {platform::Answer::kYes};
    QVERIFY(dialog->Solve());
    QCOMPARE(sink_.questions.size(), size_t(1));
    QCOMPARE(sink_.questions[0], Cp932("4 件の詰将棋を思考し、データベースを更新します。\r\nよろしいですか？"));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->running(), 120000);
    // The window holds the last problem now, under its number: a save cannot write it over a file.
    QVERIFY(view->document()->path().isEmpty());
    QVERIFY(view->document()->title().startsWith(QStringLiteral("詰将棋0")));

    for (const shogidb::ListEntry& e : found) {
      shogidb::ItemDatabase::StoredItem item;
      QCOMPARE(db.ReadStored(e.number, item), 0);
      QVERIFY2(!item.moves.empty(), e.line.c_str());
    }
    // Every problem's lines stay in the solver window.
    QVERIFY(view->solver_window());
    int starts = 0;
    for (const std::string& line : view->solver_window()->lines().lines()) {
      if (line.rfind(Cp932("==== 詰思考開始"), 0) == 0) ++starts;
    }
    QCOMPARE(starts, 4);
    QVERIFY(view->controller().busy());  // until the dialog closes
    dialog->close();
    QVERIFY(!view->controller().busy());
    QVERIFY(!app_->database_state().batch_open);
    QVERIFY(Enabled(cmd::kSolveDatabase));
  }

  // 詰思考の中断 ends the batch with the problem in hand; closing the dialog mid-solve ends it too and
  // gives the board back.
  void StopAndCloseEndTheBatch() {
    shogidb::ProblemDatabase db;
    db.SetDatabase(dir_);
    QCOMPARE(db.RegisterFromCsa(kNoMateProblem, true), 1);
    const int32_t no_mate = db.last_number();
    shogidb::ListEntry entry;
    QCOMPARE(db.ListEntryOf(no_mate, entry), 0);
    std::vector<shogidb::ListEntry>& last = app_->database_state().last_problems;
    last.insert(last.begin(), entry);  // first, before problems the stop must leave alone

    BoardView* view = app_->NewDocument(DocKind::kTsume);
    frame()->Activate(view);
    for (bool by_stop : {true, false}) {
      BatchSolveDialog* dialog = OpenBatchSolve(*view);
      QVERIFY(dialog);
      dialog->SelectAll();
      sink_.answers = {platform::Answer::kYes};
      QVERIFY(dialog->Solve());
      QTRY_VERIFY(view->solver_window() && view->solver_window()->solving());
      QVERIFY(Enabled(cmd::kSolveStop));
      if (by_stop) {
        Trigger(cmd::kSolveStop);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->running(), 10000);
        QVERIFY(view->controller().busy());
        dialog->close();
      } else {
        dialog->close();
        QVERIFY(!view->solver_window()->solving());
      }
      QVERIFY(!view->controller().busy());
      QVERIFY(!app_->database_state().batch_open);
      shogidb::ItemDatabase::StoredItem item;
      QCOMPARE(db.ReadStored(no_mate, item), 0);
      QVERIFY(item.moves.empty());
    }
    last.erase(last.begin());
  }

  void JosekiFromTheRecordIsFoundByTheLibrary() {
    BoardView* view = OpenGame();
    QVERIFY(view);
    QCOMPARE(JosekiMovesAtStart(), 0);
    JosekiDialog dialog(JosekiDialogKind::kRegister, {}, view);
    dialog.depth_box()->setValue(4);
    CloseProgressWhenDone(this);
    QVERIFY(RunJosekiWork(*view, dialog));
    QCOMPARE(JosekiMovesAtStart(), 1);
    // The board the job walked was a copy: the window's position is where it was.
    QVERIFY(view->document()->board().current() == view->document()->board().root());
  }

  void JosekiEditingStoresTheEnteredMove() {
    BoardView* view = app_->NewDocument(DocKind::kGame);
    frame()->Activate(view);
    QVERIFY(Enabled(cmd::kJosekiEditing));
    sink_.answers = {platform::Answer::kYes};
    Trigger(cmd::kJosekiEditing);
    QVERIFY(view->controller().joseki_editing());
    QVERIFY(view->controller().record_editing());
    QVERIFY(!Enabled(cmd::kRecordEditing));
    // 2六歩, a move the sample game does not start with, clicked on the board.
    view->document()->joseki_defaults() = {120, 300};
    const int before = JosekiMovesAtStart();
    for (int square : {27, 26}) {
      const Point p = SquareCenter(square, false);
      view->controller().LeftDown(p.x, p.y);
      view->controller().LeftUp(p.x, p.y);
    }
    QVERIFY(view->document()->board().root()->child);
    QCOMPARE(JosekiMovesAtStart(), before + 1);
    Trigger(cmd::kJosekiEditing);
    QVERIFY(!view->controller().joseki_editing());
    QVERIFY(!view->controller().record_editing());
  }

  // kzb holds the lock (an import blocked reading a pipe): the deletion dialog refuses and changes
  // nothing; the pipe written, kzb goes on.
  void KzbHoldsTheDatabase() {
    BoardView* view = OpenGame();
    QVERIFY(view);
    const int joseki = JosekiMovesAtStart();
    QVERIFY(joseki > 0);
    const QString pipe = home_.filePath(QStringLiteral("games.csa"));
    QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    QProcess kzb;
    kzb.start(QStringLiteral(KZB_PATH), {QStringLiteral("db"), QStringLiteral("import"), FromCore(dir_), pipe});
    QVERIFY(kzb.waitForStarted());
    platform::DatabaseLock& lock = platform::DatabaseLock::Instance();
    QTRY_VERIFY_WITH_TIMEOUT(!lock.TryLock(dir_) || (lock.Unlock(), false), 10000);

    JosekiDialog dialog(JosekiDialogKind::kDelete, {}, view);
    dialog.SetFile(home_.filePath(QStringLiteral("backup.pcl")));
    dialog.depth_box()->setValue(10);
    sink_.messages.clear();
    sink_.default_answer = platform::Answer::kYes;
    QVERIFY(!RunJosekiWork(*view, dialog));
    sink_.default_answer = platform::Answer::kNo;
    QCOMPARE(sink_.messages.size(), size_t(1));
    QCOMPARE(sink_.messages[0], Cp932("データベースが使用中です"));
    QVERIFY(!QFile::exists(home_.filePath(QStringLiteral("backup.pcl"))));

    QFile game(pipe);
    QVERIFY(game.open(QIODevice::WriteOnly));
    QFile sample(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-game.csa"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    game.write(sample.readAll());
    game.close();
    QVERIFY(kzb.waitForFinished(30000));
    QCOMPARE(kzb.exitCode(), 0);
    QCOMPARE(JosekiMovesAtStart(), joseki);
  }

  // The program holds the lock (its deletion job asking its question): kzb waits and says so, then runs.
  void ProgramHoldsTheDatabase() {
    BoardView* view = OpenGame();
    QVERIFY(view);
    const int joseki = JosekiMovesAtStart();
    QProcess kzb;
    QString waited;
    CallbackSink sink;
    sink.on_ask = [&] {
      kzb.start(QStringLiteral(KZB_PATH), {QStringLiteral("db"), QStringLiteral("check"), FromCore(dir_)});
      kzb.waitForStarted();
      QElapsedTimer clock;
      clock.start();
      while (!waited.contains(QStringLiteral("waiting")) && clock.elapsed() < 10000) {
        kzb.waitForReadyRead(100);
        waited += QString::fromUtf8(kzb.readAllStandardError());
      }
      return platform::Answer::kNo;  // nothing deleted
    };
    app_->SetMessageSink(&sink);
    JosekiDialog dialog(JosekiDialogKind::kDelete, {}, view);
    dialog.SetFile(home_.filePath(QStringLiteral("backup.pcl")));
    CloseProgressWhenDone(this);
    QVERIFY(RunJosekiWork(*view, dialog));
    app_->SetMessageSink(&sink_);
    QVERIFY2(waited.contains(QStringLiteral("waiting for the database")), qPrintable(waited));
    // It may have ended already while the progress window was open.
    QVERIFY(kzb.state() == QProcess::NotRunning || kzb.waitForFinished(30000));
    QCOMPARE(kzb.exitCode(), 0);
    QCOMPARE(JosekiMovesAtStart(), joseki);
  }
};

QTEST_MAIN(DbBatchTest)
#include "db_batch_test.moc"
