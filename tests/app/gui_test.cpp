// The program's windows driven as a user would, without a display (QT_QPA_PLATFORM=offscreen): commands
// through the menus' actions, moves with synthetic mouse events at the picture's coordinates, keys on the
// board, the set-up window's round trip, reversal, the settings written at the end, and a second start
// handing its file over.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "tests/app/gui_test_home.h"
#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/setup_window.h"
#include "app/single_instance.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "tests/app/app_test_support.h"

using namespace app;
using namespace rules;

using platform::Answer;

namespace {

QPoint Center(int square, bool reversed = false) {
  Point p = SquareCenter(square, reversed);
  return {p.x, p.y};
}

std::string U8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

const char kGameText[] = "N+羽生\r\nN-谷川\r\n'棋戦名:テスト\r\nPI\r\n+\r\n+7776FU\r\n-3334FU\r\n+2726FU\r\n";
const char kProblemText[] =
    "P1 *  *  *  *  *  *  * -KE-KY\r\nP2 *  *  *  *  *  * -OU *  * \r\nP3 *  *  *  *  *  * -FU-FU * \r\n"
    "P+00KI00KI\r\nP-00AL\r\n+\r\n";

}  // namespace

class GuiTest : public GuiSuite {
  Q_OBJECT

 private:
  void Click(BoardView* view, int square) {
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, Center(square, view->document()->board().reversed()));
  }
  // A file in the program's directory, written in the core's text (CP932, as our files are).
  QString WriteFile(const char* name, const char* utf8) {
    const QString path = home_.filePath(QString::fromUtf8(name));
    if (!platform::WriteWholeFile(ToCore(path), platform::Utf8ToCp932(utf8))) return {};
    return path;
  }
  BoardView* NewGame() {
    Trigger(cmd::kNewGame);
    return frame()->ActiveView();
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(CopyProgramFiles(home_));
    QFile::remove(home_.filePath(QStringLiteral("su1.dib")));  // drawn from text on first use
    app_ = StartApplication(home_, &sink_);
    QVERIFY(app_);
    QVERIFY(frame() != nullptr);
    QVERIFY(frame()->ActiveView() != nullptr);  // a new game record on start
  }

  void menusFollowTheWindowKind() {
    BoardView* game = NewGame();
    QVERIFY(game);
    QStringList titles;
    for (QAction* a : frame()->menuBar()->actions()) titles << a->text();
    QVERIFY(titles.contains(QString::fromUtf8("詰思考(&S)")));
    frame()->UpdateCommandUi();
    QVERIFY2(!frame()->commands().Action(cmd::kSolveHere)->isEnabled(), "commands of later issues are present, disabled");
    QVERIFY(!frame()->commands().Action(cmd::kForward)->isEnabled());
    QCOMPARE(frame()->commands().Action(cmd::kOpenGame)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    Trigger(cmd::kNewTsume);
    QCOMPARE(frame()->commands().Action(cmd::kOpenTsume)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(frame()->commands().Action(cmd::kDbSearch)->text(), QString::fromUtf8("詰将棋検索・選択(&S)"));
    QVERIFY(!frame()->database_pane()->text().isEmpty());
  }

  void movesWithTheMouseAndTheirMessages() {
    BoardView* view = NewGame();
    ScreenBoard& board = view->document()->board();
    Trigger(cmd::kRecordEditing);
    QVERIFY(view->controller().record_editing());
    QCOMPARE(frame()->commands().Action(cmd::kRecordEditing)->text(), QString::fromUtf8("棋譜編集終了(&K)"));
    Click(view, 77);
    Click(view, 76);
    QVERIFY(board.root()->child != nullptr);
    QCOMPARE(U8(board.current()->note->text), std::string("先手７六歩"));
    QVERIFY(view->document()->modified());

    sink_.messages.clear();
    Click(view, 33);
    Click(view, 35);
    QCOMPARE(sink_.messages.size(), size_t{1});
    QCOMPARE(U8(sink_.messages[0]), std::string("そこへは動けません"));
    QCOMPARE(board.depth(), 1);
    // The picture shows the pawn back on its square.
    const int pawn = board.PieceAt(ToBoardIndex(SquareNumber(33)))->index();
    QCOMPARE(board.sprite(pawn).y(), SquareCell(3, 3).y);
  }

  void promotionQuestionBothWays() {
    BoardView* view = NewGame();
    ScreenBoard& board = view->document()->board();
    PlacePosition(board, {{OU, kSente, 59}, {OU, kGote, 51}, {GI, kSente, 44}, {GI, kSente, 64}}, kSente);
    view->controller().Refresh();
    Trigger(cmd::kRecordEditing);
    sink_.answers = {Answer::kNo};
    Click(view, 44);
    Click(view, 43);
    QCOMPARE(U8(sink_.questions.back()), std::string("成りますか？"));
    QVERIFY(!board.PieceAt(ToBoardIndex(SquareNumber(43)))->promoted());
    board.SetSideToMove(kSente);
    sink_.answers = {Answer::kYes};
    Click(view, 64);
    Click(view, 53);
    QVERIFY(board.PieceAt(ToBoardIndex(SquareNumber(53)))->promoted());
  }

  void branchInputKeepsTheFollowingMoves() {
    BoardView* view = GameWithMoves();
    ScreenBoard& board = view->document()->board();
    Trigger(cmd::kFirst);
    Trigger(cmd::kBranchInput);
    QCOMPARE(frame()->commands().Action(cmd::kBranchInput)->text(), QString::fromUtf8("分岐入力終了(&E)\tCtrl+E"));
    Click(view, 27);
    Click(view, 26);
    QCOMPARE(board.root()->ChildCount(), 2);
    QVERIFY(!view->controller().branch_input());
    Trigger(cmd::kFirst);
    Click(view, 57);
    Click(view, 56);
    QCOMPARE(board.root()->ChildCount(), 1);  // "without branch input the following moves go"
  }

  void stepThroughByCommandAndKey() {
    BoardView* view = GameWithMoves();
    ScreenBoard& board = view->document()->board();
    view->controller().SetRecordEditing(false);
    Trigger(cmd::kFirst);
    QCOMPARE(board.depth(), 0);
    Trigger(cmd::kForward);
    QCOMPARE(board.depth(), 1);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(board.depth(), 2);
    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(board.depth(), 0);
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(board.depth(), 3);
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(board.depth(), 2);
    frame()->commands().Action(cmd::kFirst)->trigger();
    Trigger(cmd::kAutoForward);
    QTRY_COMPARE_WITH_TIMEOUT(board.depth(), 3, 5000);
    QTRY_VERIFY(!frame()->commands().Action(cmd::kStop)->isEnabled() || view->controller().auto_direction() == 0);
  }

  void reversalTwiceRestoresEverySprite() {
    BoardView* view = NewGame();
    ScreenBoard& board = view->document()->board();
    QPoint before[kPieceCount];
    for (int i = 0; i < kPieceCount; ++i) before[i] = QPoint(board.sprite(i).x(), board.sprite(i).y());
    Trigger(cmd::kFlip);
    QVERIFY(board.reversed());
    QCOMPARE(view->controller().LabelIndex(), int(kLabelGote));
    Trigger(cmd::kFlip);
    for (int i = 0; i < kPieceCount; ++i) QCOMPARE(QPoint(board.sprite(i).x(), board.sprite(i).y()), before[i]);
  }

  void setupWindowRoundTrip() {
    BoardView* view = NewGame();
    ScreenBoard& board = view->document()->board();
    Trigger(cmd::kRecordEditing);
    Click(view, 77);
    Click(view, 76);
    Trigger(cmd::kInitialPosition);
    SetupWindow* setup = app_->setup_window();
    QVERIFY(setup);
    frame()->UpdateCommandUi();
    QVERIFY2(!frame()->commands().Action(cmd::kInitialPosition)->isEnabled(), "one set-up window at a time");
    QVERIFY(setup->view()->controller().free_placement());
    // The box layout, then a king put back on the board with the mouse.
    setup->Execute(cmd::kLayoutBox);
    ScreenBoard& edited = setup->document()->board();
    QCOMPARE(edited.CountIn(kPieceBox, OU), 2);
    const int king = edited.LastPieceOfKind(kPieceBox, OU);
    QTest::mouseClick(setup->view(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(edited.sprite(king).x() + 19, edited.sprite(king).y() + 19));
    QTest::mouseClick(setup->view(), Qt::LeftButton, Qt::NoModifier, Center(55));
    QVERIFY(edited.PieceAt(ToBoardIndex(SquareNumber(55))) != nullptr);
    sink_.answers = {Answer::kNo, Answer::kYes};  // don't save the game; yes, drop its moves
    sink_.messages.clear();
    setup->Execute(cmd::kSetupEnd);
    QTRY_VERIFY(app_->setup_window() == nullptr);
    QCOMPARE(U8(sink_.questions.back()), std::string("このバッファの指し手は全て破棄されます。よろしいですか？"));
    QVERIFY(board.root()->child == nullptr);
    QCOMPARE(board.CountIn(kPieceBox, OU), 1);
    QCOMPARE(board.PieceAt(ToBoardIndex(SquareNumber(55)))->kind(), int(OU));
    QCOMPARE(board.side_to_move(), kSideUnset);
    QCOMPARE(U8(sink_.messages.back()), std::string("手番未設定の為、棋譜の編集は終了します。"));
    QVERIFY(!view->controller().record_editing());
  }

  void tsumeSetupUsesProblemLabels() {
    Trigger(cmd::kNewTsume);
    BoardView* view = frame()->ActiveView();
    QCOMPARE(view->controller().LabelIndex(), int(kLabelAttacker));
    Trigger(cmd::kFlip);
    QCOMPARE(view->controller().LabelIndex(), int(kLabelDefender));
    QVERIFY2(platform::FileExists(ToCore(home_.filePath(QStringLiteral("su1.dib")))), "a missing label is drawn and saved");
    Trigger(cmd::kProblemDiagram);
    SetupWindow* setup = app_->setup_window();
    QVERIFY(setup && setup->from_tsume());
    QCOMPARE(setup->Query(cmd::kSideSente).text, std::string("攻  方(&S)"));
    setup->close();
    QTRY_VERIFY(app_->setup_window() == nullptr);
  }

  void openGameFileAndStepThroughIt() {
    const QString path = WriteFile("game.csa", kGameText);
    BoardView* view = app_->OpenDocument(path, DocKind::kGame);
    QVERIFY(view);
    ScreenBoard& board = view->document()->board();
    QCOMPARE(board.depth(), 0);  // a loaded record stands at its start
    QCOMPARE(U8(view->document()->game()->header().SenteName()), std::string("羽生"));
    QCOMPARE(view->document()->title(), QStringLiteral("game.csa"));
    QVERIFY(app_->recent_files().contains(path));
    Trigger(cmd::kForward);
    QCOMPARE(board.depth(), 1);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(board.depth(), 3);
    QCOMPARE(board.PieceAt(ToBoardIndex(SquareNumber(26)))->kind(), int(FU));
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(board.depth(), 2);
    QCOMPARE(app_->OpenDocument(path, DocKind::kGame), view);  // an open file comes to the front

    Trigger(cmd::kClipRecordCsa);
    QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("+7776FU\r\n-3334FU\r\n")));
    Trigger(cmd::kClipRecordText);
    QVERIFY(QGuiApplication::clipboard()->text().contains(QString::fromUtf8("羽生")));
  }

  void saveAndReadBackWithTheSeat() {
    BoardView* view = app_->OpenDocument(WriteFile("seat.csa", kGameText), DocKind::kGame);
    QVERIFY(view);
    Trigger(cmd::kFlip);
    Trigger(cmd::kRecordEditing);
    Trigger(cmd::kLast);
    Click(view, 34);  // gote's move, entered on the turned board
    Click(view, 35);
    const QString copy = home_.filePath(QStringLiteral("seat-copy.csa"));
    QVERIFY(view->document()->OnSaveDocument(copy));
    QVERIFY(!view->document()->modified());
    std::string bytes;
    QVERIFY(platform::ReadWholeFile(ToCore(copy), bytes));
    QVERIFY(bytes.find("-3435FU\r\n") != std::string::npos);
    QCOMPARE(app_->OpenDocument(copy, DocKind::kGame), view);  // saved under that name, so it is open
    BoardDocument again(DocKind::kGame, &sink_);
    again.OnNewDocument();
    QVERIFY(again.OnOpenDocument(copy));
    QVERIFY(again.board().reversed());
    again.board().GoToEnd();
    QCOMPARE(again.board().depth(), 4);
  }

  void samplesOpenCleanly() {
    sink_.messages.clear();
    BoardView* game = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-game.csa"), DocKind::kGame);
    QVERIFY(game);
    QVERIFY(sink_.messages.empty());
    ScreenBoard& board = game->document()->board();
    board.GoToEnd();
    QCOMPARE(board.depth(), 30);
    QCOMPARE(board.root()->child->ChildCount(), 2);  // the branch at the second move
    QVERIFY(board.root()->child->note && !board.root()->child->note->lines.empty());
    BoardView* tsume = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-tsume.pcl"), DocKind::kTsume);
    QVERIFY(tsume);
    QVERIFY(sink_.messages.empty());
    QCOMPARE(tsume->document()->board().HandCount(kSente, KI), 1);
  }

  void openTsumeFile() {
    BoardView* view = app_->OpenDocument(WriteFile("mate.pcl", kProblemText), DocKind::kTsume);
    QVERIFY(view);
    QCOMPARE(view->controller().LabelIndex(), int(kLabelAttacker));
    QCOMPARE(view->document()->board().HandCount(kSente, KI), 2);
    QCOMPARE(frame()->commands().kind(), kTsumeMenu);
  }

  void damagedFileSaysWhy() {
    sink_.messages.clear();
    BoardView* view = app_->OpenDocument(WriteFile("bad.csa", "N+a\r\nPI\r\n+\r\n+7776FU\r\n-1234XX\r\n"), DocKind::kGame);
    QVERIFY(view);
    QVERIFY(!sink_.messages.empty());
    QVERIFY(U8(sink_.messages.back()).find("-1234XX") != std::string::npos);
  }

  void secondStartHandsItsFileOver() {
    const int views_before = frame()->Views().size();
    SingleInstance second(app_->settings().path());
    QVERIFY(second.ConnectToRunning());
    const QString file = WriteFile("handed.CSA", kGameText);
    app_->settings().WriteString("KF_Section", "KF_WakeUpFile", ToCore(file));
    second.Send(110);
    second.Send(111);
    QTRY_COMPARE_WITH_TIMEOUT(frame()->Views().size(), views_before + 1, 3000);
    QCOMPARE(frame()->ActiveView()->document()->path(), file);
  }

  void settingsAreWrittenAtTheEnd() {
    app_->SetSoundOn(true);
    app_->SetSliderPositions(3, 7);
    app_->opening_types() = QStringList{QString::fromUtf8("新型矢倉")};
    app_->End();
    platform::SettingsFile s(app_->settings().path());
    QCOMPARE(s.GetInt("SETTING", "KSound", 0), 1);
    QCOMPARE(s.GetInt("KSPEED_SECTION", "ValueOfSlider1", 0), 3);
    QCOMPARE(s.GetInt("KSPEED_SECTION", "ValueOfSlider2", 0), 7);
    QCOMPARE(s.ReadStringList("STRING_LIST", "Senkei").size(), size_t{1});
    QCOMPARE(FromCore(s.GetString("SHGDB", "ShgdbDir", "")), home_.filePath(QStringLiteral("database")));
  }

  void cleanupTestCase() { EndSuite(); }

 private:
  BoardView* GameWithMoves() {
    BoardView* view = NewGame();
    Trigger(cmd::kRecordEditing);
    Click(view, 77);
    Click(view, 76);
    Click(view, 33);
    Click(view, 34);
    Click(view, 88);
    Click(view, 22);
    return view;
  }
};

QTEST_MAIN(GuiTest)

#include "gui_test.moc"
