// SFEN through the clipboard (offscreen): 局面のコピー(SFEN) gives the current position; an SFEN or a USI
// line pasted into a game or tsume window sets up its position with its moves as the record; one that
// does not read says why and changes nothing.
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "platform/text_codec.h"
#include "record/record_document.h"
#include "rules/notation.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

std::string MainLine(const rules::Position& board) {
  std::string line;
  for (const rules::MoveNode* n = board.root()->child; n; n = n->child) line += rules::CsaMoveText(n->move) + " ";
  return line;
}

}  // namespace

class SfenTransferTest : public GuiSuite {
  Q_OBJECT

 private:
  BoardView* New(int id) {
    Trigger(id);
    return frame()->ActiveView();
  }
  void Paste(const char* text) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
    Trigger(cmd::kPasteRecord);
  }
  QString Copied() {
    Trigger(cmd::kCopySfen);
    return QGuiApplication::clipboard()->text();
  }

 private Q_SLOTS:
  void initTestCase() { StartSuite(); }

  void CopyGivesTheCurrentPosition() {
    BoardView* view = New(cmd::kNewGame);
    QCOMPARE(Copied(), QStringLiteral("lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1"));
    Paste("position startpos moves 7g7f 3c3d 8h2b+");
    QCOMPARE(MainLine(view->document()->record().board()), std::string("+7776FU -3334FU +8822UM "));
    view->Execute(cmd::kLast);
    QCOMPARE(Copied(), QStringLiteral("lnsgkgsnl/1r5+B1/pppppp1pp/6p2/9/2P6/PP1PPPPPP/7R1/LNSGKGSNL w B 4"));
  }

  void PastedSfenSetsUpAProblem() {
    BoardView* view = New(cmd::kNewTsume);
    Paste("sfen 4k4/9/4P4/9/9/9/9/9/9 b G2r2b3g4s4n4l17p 1\n");
    const rules::Position& board = view->document()->record().board();
    QCOMPARE(board.HandCount(rules::kSente, rules::KI), 1);
    QCOMPARE(board.HandCount(rules::kGote, rules::FU), 17);
    QVERIFY(board.PieceAt(rules::BoardIndex::At(5, 1)) != nullptr);
    QCOMPARE(Copied(), QStringLiteral("4k4/9/4P4/9/9/9/9/9/9 b G2r2b3g4s4n4l17p 1"));
  }

  void BrokenSfenSaysWhyAndChangesNothing() {
    BoardView* view = New(cmd::kNewGame);
    Paste("position startpos moves 7g7f");
    const std::string before = view->document()->record().CopyRecordText();
    sink_.messages.clear();
    Paste("sfen 4k4/9/9/9/9/9/9/9/4K4 b 19P 1");
    QCOMPARE(sink_.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(platform::Cp932ToUtf8(sink_.messages[0])),
             QStringLiteral("SFENの持駒の数が間違っています(19P)"));
    QCOMPARE(view->document()->record().CopyRecordText(), before);
  }

  void cleanupTestCase() { EndSuite(); }
};

QTEST_MAIN(SfenTransferTest)

#include "sfen_transfer_test.moc"
