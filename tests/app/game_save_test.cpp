// 名前を付けて保存 of a game window (offscreen): the file is written in the format its name says, a
// format that drops something of the game asks first (once for a file), and a plain save afterwards
// writes that format again, never CSA into a .kif.
#include <QFile>
#include <QTest>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/core/game_save_format.h"
#include "app/main_window.h"
#include "platform/text_codec.h"
#include "record/record_document.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

}  // namespace

class GameSaveTest : public GuiSuite {
  Q_OBJECT

 private:
  BoardDocument* OpenSample() {
    BoardView* view = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-game.csa"), DocKind::kGame);
    return view ? view->document() : nullptr;
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }
  void cleanupTestCase() { EndSuite(); }

  void WritesTheFormatItsNameSays() {
    BoardDocument* doc = OpenSample();
    QVERIFY(doc);
    for (const char* name : {"game.kif", "game.kifu", "game.ki2"}) {
      const QString path = home_.filePath(QString::fromUtf8(name));
      sink_.questions.clear();
      doc->game()->header().ClearField(record::GameHeader::kPlace);
      QVERIFY(doc->OnSaveDocument(path));
      const QByteArray bytes = Read(path);
      const bool utf8 = QString::fromUtf8(name).endsWith(QStringLiteral("u"));
      const std::string text = utf8 ? platform::Utf8ToCp932(bytes.toStdString()) : bytes.toStdString();
      QVERIFY2(text.find(Cp932(QString::fromUtf8(name).contains(QStringLiteral("ki2")) ? "▲" : "手数----")) !=
                   std::string::npos, name);
      QVERIFY(!bytes.startsWith("'"));  // no CSA
      QCOMPARE(doc->path(), path);
    }
  }

  void AsksBeforeDroppingFieldsOnceForAFile() {
    BoardDocument* doc = OpenSample();
    QVERIFY(doc);
    doc->game()->header().SetField(record::GameHeader::kPlace, Cp932("東京"));
    const QString path = home_.filePath(QStringLiteral("lossy.kif"));
    sink_.questions.clear();
    sink_.answers = {platform::Answer::kNo};
    QVERIFY(!doc->OnSaveDocument(path));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(sink_.questions.size(), size_t{1});
    QVERIFY(sink_.questions[0].find(Cp932("対局場所")) != std::string::npos);
    sink_.answers = {platform::Answer::kYes};
    QVERIFY(doc->OnSaveDocument(path));
    QVERIFY(QFile::exists(path));
    // 上書き保存 writes KIF to the same file without asking again, until something else would be lost.
    QVERIFY(doc->Save());
    QCOMPARE(sink_.questions.size(), size_t{2});
    QVERIFY(!Read(path).startsWith("'"));
    doc->game()->header().SetField(record::GameHeader::kSenteRank, Cp932("七段"));
    sink_.answers = {platform::Answer::kNo};
    QVERIFY(!doc->Save());
    QCOMPARE(sink_.questions.size(), size_t{3});
  }

  void TheDialogOffersEveryFormatAndNamesTheFile() {
    const std::string own = TemplateOf(DocKind::kGame).filter_name;
    QCOMPARE(GameSaveFilters(own).size(), size_t{4});
    QCOMPARE(GameSavePath(own, "/x/game", "KI2ファイル(*.ki2)"), std::string("/x/game.ki2"));
    QCOMPARE(GameSavePath(own, "/x/game.kifu", own), std::string("/x/game.kifu"));
    QCOMPARE(GameSavePath(own, "/x/game.txt", own), std::string("/x/game.txt.csa"));
    QCOMPARE(GameSaveFilterFor(own, "/x/a.KIF"), std::string("KIFファイル(*.kif)"));
  }
};

QTEST_MAIN(GameSaveTest)
#include "game_save_test.moc"
