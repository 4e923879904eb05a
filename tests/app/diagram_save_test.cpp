// 局面図の保存 in a game window (offscreen): the dialog proposes a PNG named after the record and the ply,
// a name typed without extension takes the chosen filter's, the files are the current position's diagram
// at 800 pixels, and a file that cannot be written is said.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/diagram_save.h"
#include "app/main_window.h"
#include "platform/text_codec.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Width and height from the PNG header (IHDR, big-endian).
QSize PngSize(const QByteArray& png) {
  if (png.size() < 24 || !png.startsWith("\x89PNG") || png.mid(12, 4) != "IHDR") return {};
  auto be32 = [&](int at) {
    return int(uchar(png[at])) << 24 | int(uchar(png[at + 1])) << 16 | int(uchar(png[at + 2])) << 8 | int(uchar(png[at + 3]));
  };
  return {be32(16), be32(20)};
}

}  // namespace

class DiagramSaveTest : public GuiSuite {
  Q_OBJECT

 private:
  BoardView* game_ = nullptr;

 private Q_SLOTS:
  void initTestCase() {
    StartSuite();
    game_ = app_->OpenDocument(QStringLiteral(KOMARAKU_PROGRAM_DIR "/samples/sample-game.csa"), DocKind::kGame);
    QVERIFY(game_);
    game_->Execute(cmd::kFirst);
    for (int i = 0; i < 20; ++i) game_->Execute(cmd::kForward);
    QCOMPARE(game_->document()->board().depth(), 20);
  }

  void TheDialogProposesAPngAndTakesTheFilterExtension() {
    QVERIFY(Enabled(cmd::kSaveDiagram));
    QString proposed;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      proposed = dialog->selectedFiles().value(0);
      dialog->selectNameFilter(dialog->nameFilters().value(1));  // SVG
      dialog->selectFile(home_.filePath(QStringLiteral("typed")));
      QMetaObject::invokeMethod(dialog, "accept");  // as the save button does
    });
    Trigger(cmd::kSaveDiagram);
    QVERIFY2(proposed.endsWith(QStringLiteral("/sample-game-20.png")), qPrintable(proposed));
    const QByteArray svg = ReadAll(home_.filePath(QStringLiteral("typed.svg")));
    QVERIFY(svg.startsWith("<?xml"));
    QVERIFY(svg.contains("class=\"last-move\""));
    QCOMPARE(svg.count("class=\"piece "), 40);
  }

  void PngIsTheDiagramAtEightHundredPixels() {
    const QString path = home_.filePath(QStringLiteral("position.png"));
    QVERIFY(WriteBoardDiagram(*game_, path));
    QCOMPARE(PngSize(ReadAll(path)).width(), 800);
    QVERIFY(PngSize(ReadAll(path)).height() > 600);
  }

  void AFileThatCannotBeWrittenIsSaid() {
    sink_.messages.clear();
    const QString path = home_.filePath(QStringLiteral("no/such/folder/x.png"));
    QVERIFY(!WriteBoardDiagram(*game_, path));
    QCOMPARE(sink_.messages.size(), size_t{1});
    QVERIFY(QString::fromStdString(platform::Cp932ToUtf8(sink_.messages[0])).startsWith(QStringLiteral("局面図を保存できません。(")));
  }

  void cleanupTestCase() { EndSuite(); }
};

QTEST_MAIN(DiagramSaveTest)
#include "diagram_save_test.moc"
