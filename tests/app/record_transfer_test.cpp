// Records into and out of board windows (offscreen): 棋譜のコピー then 棋譜の貼り付け gives the record back,
// KIF and KI2 text pasted from elsewhere reads like the file, 柿木棋譜の読込 leaves the window untitled,
// and text that is no record changes nothing.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTest>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "app/record_transfer.h"
#include "platform/text_codec.h"
#include "record/record_document.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

const char kKif[] =
    "手合割：平手\r\n先手：先手の人\r\n後手：後手の人\r\n手数----指手---------消費時間--\r\n"
    "   1 ７六歩(77)   ( 0:01/00:00:01)\r\n   2 ３四歩(33)   ( 0:01/00:00:02)\r\n"
    "   3 ２二角成(88) ( 0:01/00:00:03)\r\n   4 同　銀(31)   ( 0:01/00:00:04)\r\n"
    "\r\n変化：2手\r\n   2 ８四歩(83)   ( 0:01/00:00:02)\r\n";
const char kKi2[] = "手合割：平手\r\n先手：先手の人\r\n後手：後手の人\r\n\r\n▲７六歩    △３四歩    ▲２二角成  △同　銀\r\n";

// The whole tree as the record copy writes it, from the start.
std::string Tree(BoardView* view) {
  view->Execute(cmd::kFirst);
  return view->document()->record().CopyRecordText();
}

}  // namespace

class RecordTransferTest : public GuiSuite {
  Q_OBJECT

 private:
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    QFile f(home_.filePath(name));
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return f.fileName();
  }
  BoardView* NewGame() {
    Trigger(cmd::kNewGame);
    return frame()->ActiveView();
  }
  void PasteText(const char* utf8) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8));
    Trigger(cmd::kPasteRecord);
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }

  void CopyThenPasteGivesTheRecordBack() {
    BoardView* source = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-game.csa"), DocKind::kGame);
    QVERIFY(source);
    const std::string tree = Tree(source);
    QVERIFY(tree.find(platform::Utf8ToCp932("'手数目:")) != std::string::npos);  // branches
    QVERIFY(tree.find(platform::Utf8ToCp932("'注釈:")) != std::string::npos);   // annotations
    Trigger(cmd::kCopyRecord);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data->hasFormat(kRecordMimeType));
    QCOMPARE(data->text(), QString::fromStdString(platform::Cp932ToUtf8(tree)));  // for other programs

    BoardView* target = NewGame();
    Trigger(cmd::kPasteRecord);
    QCOMPARE(Tree(target), tree);
    QVERIFY(target->document()->modified());
    // The clipboard keeps the record for the next window.
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(kRecordMimeType));
  }

  void PastedKifAndKi2ReadLikeTheFiles() {
    BoardView* opened = app_->OpenDocument(WriteFile("web.kif", platform::Utf8ToCp932(kKif).c_str()), DocKind::kGame);
    QVERIFY(opened);
    QVERIFY(opened->document()->path().isEmpty());  // a save must not write CSA over the KIF file
    QCOMPARE(opened->document()->title(), QStringLiteral("web"));
    const std::string from_file = Tree(opened);
    QVERIFY(from_file.find("+7776FU\r\n-3334FU\r\n+8822UM\r\n-3122GI") != std::string::npos);

    BoardView* kif = NewGame();
    PasteText(kKif);
    QCOMPARE(Tree(kif), from_file);
    BoardView* ki2 = NewGame();
    PasteText(kKi2);
    QCOMPARE(Tree(ki2), from_file.substr(0, from_file.find(platform::Utf8ToCp932("'手数目"))));  // no branch
  }

  void ReadingAKakinokiFileIntoTheWindow() {
    BoardView* view = NewGame();
    QVERIFY(LoadKakinokiFile(*view, WriteFile("b.ki2", platform::Utf8ToCp932(kKi2).c_str())));
    QCOMPARE(view->document()->title(), QStringLiteral("b"));
    QVERIFY(!view->document()->modified());
    QVERIFY(Tree(view).find("-3122GI") != std::string::npos);
  }

  void ProblemTextPastesIntoATsumeWindow() {
    BoardView* source = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-tsume.pcl"), DocKind::kTsume);
    QVERIFY(source);
    Trigger(cmd::kClipTsumePcl);
    const std::string pcl = source->document()->record().GetRecordCsaText();
    Trigger(cmd::kNewTsume);
    BoardView* target = frame()->ActiveView();
    Trigger(cmd::kPasteRecord);
    QCOMPARE(target->document()->record().GetRecordCsaText(), pcl);
  }

  void TextThatIsNoRecordChangesNothing() {
    BoardView* view = NewGame();
    PasteText(kKi2);
    const std::string before = Tree(view);
    sink_.messages.clear();
    PasteText("買い物: 牛乳、卵");
    QCOMPARE(sink_.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(platform::Cp932ToUtf8(sink_.messages[0])),
             QStringLiteral("クリップボードの内容は棋譜ではありません。"));
    QCOMPARE(Tree(view), before);
  }

  void cleanupTestCase() { EndSuite(); }
};

QTEST_MAIN(RecordTransferTest)

#include "record_transfer_test.moc"
