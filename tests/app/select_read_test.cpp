// The select-read dialogs driven as a user would, offscreen: a 20-game file listed whole and its 13th game
// loaded into the window's document (title, path, modified flag, the remembered file); a problem file
// through the tsume window's command; a file that cannot be read said so, and a dialog closed while it
// scans.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/qt_text.h"
#include "app/select_read_dialog.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

// Game i (1-based) is played by 先手i and 後手i; the 13th has three moves, the others one.
std::string TwentyGames() {
  std::string text;
  for (int i = 1; i <= 20; ++i) {
    if (i > 1) text += "/\r\n";
    const std::string n = std::to_string(i);
    text += "N+先手" + n + "\r\nN-後手" + n + "\r\n'棋戦名:第" + n + "局\r\nPI\r\n+\r\n";
    text += i == 13 ? "+7776FU\r\n-3334FU\r\n+2726FU\r\n" : "+2726FU\r\n";
  }
  return platform::Utf8ToCp932(text);
}

int MainLineLength(BoardView* view) {
  int n = 0;
  for (auto* node = view->document()->board().root()->child; node; node = node->child) ++n;
  return n;
}

}  // namespace

class SelectReadTest : public GuiSuite {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }

  void everyGameOfATwentyGameFileIsListedAndTheThirteenthLoads() {
    const QString path = home_.filePath(QStringLiteral("games.csa"));
    QVERIFY(platform::WriteWholeFile(ToCore(path), TwentyGames()));
    Trigger(cmd::kNewGame);
    BoardView* view = frame()->ActiveView();
    view->document()->SetModified(true);
    const size_t questions = sink_.questions.size();
    {
      SelectReadDialog dialog(*view, frame());
      dialog.file_field()->setText(path);
      dialog.ListFile();
      QTRY_VERIFY(!dialog.scanning());
      QCOMPARE(dialog.list()->count(), 20);
      QVERIFY(dialog.list()->item(0)->text().contains(QStringLiteral("先手1-後手1")));
      QVERIFY(dialog.list()->item(12)->text().contains(QStringLiteral("先手13-後手13")));
      QVERIFY(dialog.list()->item(19)->text().endsWith(QStringLiteral("第20局")));
      QCOMPARE(dialog.count_label()->text(), QStringLiteral("全 20 件"));
      dialog.list()->setCurrentRow(12);
      dialog.accept();  // the save question is answered no
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(sink_.questions.size(), questions + 1);
    BoardDocument* doc = view->document();
    QCOMPARE(doc->title(), QStringLiteral("games12"));
    QVERIFY(doc->path().isEmpty());
    QVERIFY(!doc->modified());
    QCOMPARE(FromCore(doc->game()->header().Players()), QStringLiteral("先手13-後手13"));
    QCOMPARE(MainLineLength(view), 3);
    QCOMPARE(doc->board().current(), doc->board().root());
    QCOMPARE(FromCore(app_->settings().GetString("KF_Section", "KF_CsaFileName", "")), path);

    // The remembered file is listed as soon as the dialog opens.
    SelectReadDialog again(*view, frame());
    QCOMPARE(again.file_field()->text(), path);
    QTRY_COMPARE(again.list()->count(), 20);
  }

  void theTsumeCommandLoadsTheChosenProblem() {
    const QString path = QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-problems.pcl");
    app_->settings().WriteString("KF_Section", "KF_PclFileName", ToCore(path));
    Trigger(cmd::kNewTsume);
    BoardView* view = frame()->ActiveView();
    QVERIFY(!Enabled(cmd::kSelectReadGame));
    QTimer::singleShot(0, [] {
      auto ready = [] {
        auto* d = qobject_cast<SelectReadDialog*>(QApplication::activeModalWidget());
        return d && !d->scanning() && d->list()->count() > 0 ? d : nullptr;
      };
      QTRY_VERIFY(ready());
      SelectReadDialog* dialog = ready();
      QCOMPARE(dialog->windowTitle(), QStringLiteral("PCLファイル選択読込"));
      QCOMPARE(dialog->list()->count(), 4);
      dialog->list()->setCurrentRow(2);
      Q_EMIT dialog->list()->itemDoubleClicked(dialog->list()->item(2));
    });
    Trigger(cmd::kSelectReadTsume);
    BoardDocument* doc = view->document();
    QCOMPARE(doc->title(), QStringLiteral("sample-problems2"));
    QCOMPARE(FromCore(doc->tsume()->header().Field(record::ProblemHeader::kTitle)), QStringLiteral("見本 五手詰 その二"));
    QCOMPARE(MainLineLength(view), 5);
    QVERIFY(!doc->modified());
  }

  void aFileThatCannotBeReadIsSaidAndAScanStopsWithTheDialog() {
    Trigger(cmd::kNewGame);
    BoardView* view = frame()->ActiveView();
    const size_t said = sink_.messages.size();
    {
      SelectReadDialog dialog(*view, frame());
      dialog.file_field()->setText(home_.filePath(QStringLiteral("missing.csa")));
      dialog.ListFile();
      QTRY_VERIFY(!dialog.scanning());
      QCOMPARE(dialog.list()->count(), 0);
    }
    QCOMPARE(sink_.messages.size(), said + 1);
    QVERIFY(FromCore(sink_.messages.back()).endsWith(QStringLiteral("missing.csa がオープンできません。")));

    std::string many;
    for (int i = 0; i < 400; ++i) many += TwentyGames() + "/\r\n";
    const QString big = home_.filePath(QStringLiteral("many.csa"));
    QVERIFY(platform::WriteWholeFile(ToCore(big), many));
    auto* dialog = new SelectReadDialog(*view, frame());
    dialog->file_field()->setText(big);
    dialog->ListFile();
    delete dialog;  // stops the scan and waits for it
    QTest::qWait(20);  // late reports of the scan find no dialog
  }
};

QTEST_MAIN(SelectReadTest)
#include "select_read_test.moc"
