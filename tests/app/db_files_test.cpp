// The database dialogs of creation and settings, registration, export and deletion (offscreen): a
// database made and chosen from the dialogs, 6000 games registered through 実行の状況 (its newest 5000
// lines, 実行中断 between games, what was registered staying searchable), duplicates deleted with their
// annotations gathered, the chosen games exported into a file the library reads back, and the current
// game registered with its checks.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/db_access.h"
#include "app/db_create_dialog.h"
#include "app/db_delete_dialog.h"
#include "app/db_export_dialog.h"
#include "app/db_register_buffer_dialog.h"
#include "app/db_register_file_dialog.h"
#include "app/db_selection_list.h"
#include "app/db_settings_dialog.h"
#include "app/progress_window.h"
#include "app/qt_text.h"
#include "platform/db_lock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// Games of two moves each, told apart by their players; `note_ply` 1 or 2 carries `note`.
std::string GameFile(int count, int first, int note_ply = 0, const char* note = "") {
  static const char* const kMoves[] = {"+7776FU", "+2726FU", "+5756FU", "+1716FU"};
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i) text += "/\r\n";
    text += "N+sente" + std::to_string(first + i) + "\r\nN-gote\r\nPI\r\n+\r\n";
    text += std::string(kMoves[(first + i) % 4]) + "\r\n";
    if (note_ply == 1) text += std::string("'注釈:") + note + "\r\n";
    text += "-3334FU\r\n";
    if (note_ply == 2) text += std::string("'注釈:") + note + "\r\n";
  }
  return platform::Utf8ToCp932(text);
}

struct ProgressSeen {
  QStringList lines;
  bool stopped = false;
  int ticks_while_running = 0;
};

// Runs `start`, which opens the modal progress window, and reads the window once its job has ended;
// `stop_after` lines (0: never) press 実行中断.
ProgressSeen WithProgress(const std::function<void()>& start, int stop_after = 0) {
  ProgressSeen seen;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* w = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
    if (!w) return;
    if (w->running()) {
      ++seen.ticks_while_running;
      if (stop_after > 0 && w->list()->count() >= stop_after && !seen.stopped) {
        w->Stop();
        seen.stopped = true;
      }
      return;
    }
    for (int i = 0; i < w->list()->count(); ++i) seen.lines << w->list()->item(i)->text();
    w->close();
  });
  poll.start();
  start();
  return seen;
}

std::vector<shogidb::ListEntry> StoredGames(const std::string& dir) {
  platform::DatabaseLockGuard lock(dir, platform::DatabaseLockGuard::Mode::kWait);
  shogidb::GameDatabase db;
  db.SetDatabase(dir);
  std::vector<shogidb::ListEntry> found;
  if (db.Search("", {}, found) != 0) found.clear();
  return found;
}

}  // namespace

class DbFilesTest : public GuiSuite {
  Q_OBJECT

 private:
  std::string dir() const { return DatabaseDirectory(); }
  QString file(const char* name) const { return home_.filePath(QString::fromLatin1(name)); }
  void Write(const char* name, const std::string& text) { QVERIFY(platform::WriteWholeFile(ToCore(file(name)), text)); }
  ProgressSeen RegisterFile(const char* name, int stop_after = 0) {
    RegisterFileDialog dialog(DbItemKind::kGame, frame());
    dialog.file_field()->setText(file(name));
    return WithProgress([&] { dialog.accept(); }, stop_after);
  }
  void UseNewDatabase(const char* name) {
    QVERIFY(shogidb::CreateDatabase(ToCore(file(name)), shogidb::NullProgressSink::Instance(), sink_));
    QVERIFY(platform::SetEnv("SHGDB", ToCore(file(name))));
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }
  void cleanupTestCase() { EndSuite(); }

  void CreatesADatabaseAndMakesItTheProgramsOwn() {
    QVERIFY(Enabled(cmd::kDbCreate) && Enabled(cmd::kDbSettings));
    DatabaseCreateDialog create(frame());
    create.folder_field()->setText(file("made"));
    const ProgressSeen seen = WithProgress([&] { create.accept(); });
    QCOMPARE(seen.lines.size(), 7);
    QCOMPARE(seen.lines.first(), QStringLiteral("盤面表(SHGDB_A)を作成しました。"));
    QCOMPARE(seen.lines.last(), QStringLiteral("将棋データベースは正常に作成されました。"));
    QVERIFY(shogidb::DatabaseExists(ToCore(file("made"))));
    QCOMPARE(app_->database_dirs().value(0), file("made"));

    // A second creation in the same place fails and keeps the dialog open.
    sink_.messages.clear();
    create.setResult(QDialog::Rejected);
    WithProgress([&] { create.accept(); });
    QCOMPARE(sink_.messages.size(), size_t(1));
    QVERIFY(create.result() != QDialog::Accepted);

    sink_.default_answer = platform::Answer::kYes;
    QTimer::singleShot(0, [&] {
      auto* settings = qobject_cast<DatabaseSettingsDialog*>(QApplication::activeModalWidget());
      QVERIFY(settings);
      QCOMPARE(settings->folder_box()->itemText(0), file("made"));
      settings->folder_box()->setCurrentIndex(0);
      settings->accept();
    });
    Trigger(cmd::kDbSettings);
    QCOMPARE(app_->database_dir(), file("made"));
    QVERIFY(sink_.questions.back().find(Cp932("に設定します。よろしいですか？")) != std::string::npos);
    QVERIFY(frame()->database_pane()->text().endsWith(QStringLiteral("made")));
  }

  void DuplicatesAreDeletedWithTheirAnnotationsGathered() {
    UseNewDatabase("dups");
    Write("first.csa", GameFile(3, 0, 1, "first"));
    Write("again.csa", GameFile(3, 0, 2, "again"));
    RegisterFile("first.csa");
    RegisterFile("again.csa");
    app_->database_state().last_games = StoredGames(dir());
    QCOMPARE(app_->database_state().last_games.size(), size_t(6));

    sink_.default_answer = platform::Answer::kYes;
    DeleteDialog dialog(DbItemKind::kGame, frame());
    QCOMPARE(dialog.selection()->count_label()->text(), QStringLiteral("全 6 件"));
    dialog.selection()->ChooseAll();
    QCOMPARE(dialog.selection()->count_label()->text(), QStringLiteral("6 件中 6 件削除対象"));
    dialog.gather_box()->setChecked(true);
    const ProgressSeen seen = WithProgress([&] { dialog.DeleteDuplicates(); });
    QVERIFY(seen.lines.last().startsWith(QStringLiteral("3 件削除しました")));

    const std::vector<shogidb::ListEntry> kept = StoredGames(dir());
    QCOMPARE(kept.size(), size_t(3));
    QCOMPARE(app_->database_state().last_games.size(), size_t(3));
    QCOMPARE(dialog.selection()->list()->count(), 3);
    shogidb::GameDatabase db;
    db.SetDatabase(dir());
    shogidb::ItemDatabase::StoredItem item;
    QCOMPARE(db.ReadStored(kept[0].number, item), 0);
    QVERIFY(item.notes.size() >= 3);
    QVERIFY(item.notes[1].find("first") != std::string::npos);
    QVERIFY(item.notes[2].find("again") != std::string::npos);
  }

  void ExportsTheChosenGamesIntoAFileTheLibraryReadsBack() {
    ExportDialog dialog(DbItemKind::kGame, frame());
    QCOMPARE(dialog.selection()->list()->count(), 3);
    sink_.messages.clear();
    dialog.accept();  // no file named
    QCOMPARE(sink_.messages.back(), Cp932("CSA ファイル名(*.csa)を指定してください。"));
    dialog.selection()->list()->item(0)->setSelected(true);
    dialog.selection()->list()->item(2)->setSelected(true);
    QCOMPARE(dialog.selection()->count_label()->text(), QStringLiteral("3 件中 2 件選択"));
    dialog.file_field()->setText(file("out.csa"));
    const ProgressSeen seen = WithProgress([&] { dialog.accept(); });
    QVERIFY(seen.lines.last().startsWith(QStringLiteral("2 件出力しました")));

    std::string text;
    QVERIFY(platform::ReadWholeFile(ToCore(file("out.csa")), text));
    UseNewDatabase("readback");
    shogidb::GameDatabase db;
    db.SetDatabase(dir());
    QCOMPARE(db.RegisterFromCsa(text, true), 2);
    const auto& chosen = app_->database_state().last_games;
    const std::vector<shogidb::ListEntry> back = StoredGames(dir());
    QCOMPARE(back.size(), size_t(2));
    QVERIFY(back[0].line.find("sente") != std::string::npos);
    QCOMPARE(back[1].line.substr(7), chosen[2].line.substr(7));  // the same game but for its number
  }

  void SixThousandGamesRegisterAndAStopKeepsWhatWasRegistered() {
    UseNewDatabase("big");
    Write("many.csa", GameFile(6000, 0));
    const ProgressSeen all = RegisterFile("many.csa");
    QCOMPARE(all.lines.size(), ProgressWindow::kMaxLines);
    QVERIFY(all.lines.first().contains(QStringLiteral("sente1001-")));  // lines 1..1001 have gone
    QVERIFY(all.lines.last().startsWith(QStringLiteral("6000 件登録しました")));
    QVERIFY(all.ticks_while_running > 10);  // the window kept taking events

    const ProgressSeen stopped = RegisterFile("many.csa", 50);
    QVERIFY(stopped.stopped);
    QVERIFY(stopped.lines.contains(QStringLiteral("CSA登録を中断終了しました")));
    const int registered = static_cast<int>(stopped.lines.filter(QStringLiteral("を新規登録しました。")).size());
    QVERIFY(registered >= 50 && registered < 6000);
    const std::vector<shogidb::ListEntry> stored = StoredGames(dir());
    QCOMPARE(static_cast<int>(stored.size()), 6000 + registered);
  }

  void ProblemsRegisterFromAPclFileAndDeletedOnesLeaveTheList() {
    UseNewDatabase("problems");
    RegisterFileDialog dialog(DbItemKind::kProblem, frame());
    dialog.file_field()->setText(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-problems.pcl"));
    const ProgressSeen seen = WithProgress([&] { dialog.accept(); });
    QVERIFY(seen.lines.last().contains(QStringLiteral("件登録しました")));
    auto& problems = app_->database_state().last_problems;
    {
      platform::DatabaseLockGuard lock(dir(), platform::DatabaseLockGuard::Mode::kWait);
      shogidb::ProblemDatabase db;
      db.SetDatabase(dir());
      QCOMPARE(db.Search("", {}, problems), 0);
    }
    const size_t registered = problems.size();
    QVERIFY(registered >= 2);

    sink_.default_answer = platform::Answer::kYes;
    DeleteDialog deleter(DbItemKind::kProblem, frame());
    QVERIFY(deleter.gather_box() == nullptr);
    deleter.selection()->list()->item(0)->setSelected(true);
    WithProgress([&] { deleter.DeleteChosen(); });
    QCOMPARE(problems.size(), registered - 1);
    QCOMPARE(static_cast<size_t>(deleter.selection()->list()->count()), registered - 1);
  }

  void TheCurrentGameRegistersAfterItsChecks() {
    Trigger(cmd::kNewGame);
    BoardView* view = frame()->ActiveView();
    QVERIFY(Enabled(cmd::kDbRegister));
    RegisterBufferDialog dialog(*view, frame());
    QVERIFY(dialog.header_text()->toPlainText().contains(QStringLiteral("対局番号: ")));
    dialog.overwrite_button()->setChecked(true);
    sink_.messages.clear();
    dialog.accept();
    QCOMPARE(sink_.messages.back(), Cp932("上書登録するには対局番号の指定が必要です。"));

    view->document()->SetModified(true);
    sink_.default_answer = platform::Answer::kNo;
    sink_.questions.clear();
    dialog.new_button()->setChecked(true);
    dialog.accept();  // the changed buffer is not registered
    QCOMPARE(sink_.questions.back(), Cp932("バッファが変更されています。この内容で登録しますか？"));
    QVERIFY(dialog.result() != QDialog::Accepted);

    const size_t before = StoredGames(dir()).size();
    sink_.default_answer = platform::Answer::kYes;
    const ProgressSeen seen = WithProgress([&] { dialog.accept(); });
    QVERIFY(seen.lines.first().contains(QStringLiteral("を新規登録しました。")));
    QCOMPARE(StoredGames(dir()).size(), before + 1);
  }
};

QTEST_MAIN(DbFilesTest)
#include "db_files_test.moc"
