// The first start: with no database at the default place (the "database" directory of the data folder),
// the program makes one holding the sample games and problems and says so in the status bar;
// a directory that exists, or one the user named, is left as it is.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "platform/files.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"

using namespace app;

class FirstRunTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> root_;
  std::unique_ptr<Application> app_;
  platform::RecordingMessageSink sink_;

  QString Path(const QString& name) const { return root_->filePath(name); }
  // A program directory "prog" with the images, the sound and the samples, and the program started from
  // it with the temporary folder as its settings, data and cache folder.
  void StartProgram(bool with_labels = true) {
    QVERIFY(QDir(root_->path()).mkpath(QStringLiteral("prog/samples")));
    const QString from = QStringLiteral(KOMARAKU_PROGRAM_DIR "/");
    for (const char* f : {"back.dib", "kmfont.dib", "KBox.dib", "sg0.dib", "sg1.dib", "su0.dib", "su1.dib", "kmsound.wav",
                          "samples/sample-game.csa", "samples/sample-games.csa", "samples/sample-tsume.pcl",
                          "samples/sample-problems.pcl"}) {
      if (!with_labels && QString::fromLatin1(f).startsWith('s') && QString::fromLatin1(f).endsWith(".dib")) continue;
      QVERIFY2(QFile::copy(from + f, Path(QStringLiteral("prog/")) + f), f);
    }
    AppOptions options;
    options.program_dir = Path(QStringLiteral("prog/"));
    options.folders = AppFolders::Inside(root_->path().toStdString());
    options.folders.assets = options.program_dir.toStdString();
    options.title = false;
    app_ = std::make_unique<Application>(options);
    app_->SetMessageSink(&sink_);
    QCOMPARE(app_->Start(), -1);
    QVERIFY(app_->main_window() != nullptr);
  }
  QString StatusText() const { return app_->main_window()->statusBar()->currentMessage(); }
  size_t Count(shogidb::ItemDatabase& db, const QString& dir) {
    db.SetDatabase(ToCore(dir));
    std::vector<shogidb::ListEntry> found;
    if (db.Search("", {}, found) != 0) return 0;
    return found.size();
  }

 private Q_SLOTS:
  void init() {
    root_ = std::make_unique<QTemporaryDir>();
    QVERIFY(root_->isValid());
    qunsetenv("SHGDB");
    sink_.messages.clear();
  }
  void cleanup() {
    if (app_ && app_->main_window()) app_->main_window()->close();
    app_.reset();
    root_.reset();
  }

  void aMissingDefaultDatabaseIsMadeWithTheSamples() {
    StartProgram();
    const QString dir = Path(QStringLiteral("database"));
    QVERIFY(shogidb::DatabaseExists(ToCore(dir)));
    shogidb::GameDatabase games;
    shogidb::ProblemDatabase problems;
    QCOMPARE(Count(games, dir), size_t{4});
    QCOMPARE(Count(problems, dir), size_t{5});
    QCOMPARE(StatusText(), QString::fromUtf8("見本の将棋データベースを作成しました(対局 4 件、詰将棋 5 件): ") + dir);
    QCOMPARE(app_->database_dir(), dir);
    QVERIFY(sink_.messages.empty());  // no message box on the way
    QVERIFY(app_->main_window()->ActiveView() != nullptr);
  }

  void anOldSettingsFileBesideTheProgramIsCarriedOverAndKept() {
    QVERIFY(QDir(root_->path()).mkpath(QStringLiteral("prog")));
    const QString old = Path(QStringLiteral("prog/komaraku.INI"));
    QVERIFY(platform::WriteWholeFile(ToCore(old), "[SETTING]\r\nKifWindow=1\r\n"));
    StartProgram();
    QVERIFY(app_->kif_window());
    QVERIFY(QFileInfo::exists(old));
    QCOMPARE(app_->settings().path(), ToCore(Path(QStringLiteral("komaraku.ini"))));
    app_->SetKifWindow(false);
    app_->End();
    std::string kept;
    QVERIFY(platform::ReadWholeFile(ToCore(old), kept));
    QCOMPARE(kept, std::string("[SETTING]\r\nKifWindow=1\r\n"));  // the old file is never written
  }

  void aLabelTheAssetsLackIsDrawnIntoTheCacheNotBesideTheProgram() {
    StartProgram(false);
    app_->EnsureLabel(kLabelGote);
    QVERIFY(!app_->images().labels[kLabelGote].empty());
    QVERIFY(QFileInfo::exists(Path(QStringLiteral("sg1.dib"))));
    QVERIFY(!QFileInfo::exists(Path(QStringLiteral("prog/sg1.dib"))));
  }

  void anExistingDefaultDirectoryIsLeftAlone() {
    const QString dir = Path(QStringLiteral("database"));
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(platform::WriteWholeFile(ToCore(dir + "/notes.txt"), "mine"));
    StartProgram();
    QVERIFY(!shogidb::DatabaseExists(ToCore(dir)));
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});
    QCOMPARE(StatusText(), QString::fromUtf8("レディ"));
  }

  void aDirectoryTheUserNamedIsNeverMade() {
    const QString named = Path(QStringLiteral("elsewhere"));
    qputenv("SHGDB", named.toUtf8());
    StartProgram();
    QCOMPARE(app_->database_dir(), named);
    QVERIFY(!QFileInfo::exists(named));
    QVERIFY(!QFileInfo::exists(Path(QStringLiteral("database"))));
  }

  void aDatabaseThatCannotBeMadeIsReportedAndTheStartGoesOn() {
    // A link to a place that does not exist: nothing is there to leave alone, yet nothing can be made.
    const QString dir = Path(QStringLiteral("database"));
    QVERIFY(QFile::link(Path(QStringLiteral("gone/database")), dir));
    StartProgram();
    QVERIFY(app_->main_window()->ActiveView() != nullptr);
    QVERIFY(sink_.messages.empty());
    QCOMPARE(StatusText(), QString::fromUtf8("見本の将棋データベース ") + dir +
                               QString::fromUtf8(" が作成できませんでした。新規ディレクトリの作成に失敗しました。 "
                                                 "(既存フォルダ内には作成できません)"));
    QVERIFY(QFileInfo(dir).isSymLink());
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FirstRunTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "first_run_test.moc"
