// Printing as a user reaches it (offscreen): the preview of a 150-move game shows the pages its print
// text implies, printing it to a PDF file writes that many pages, the editors print their text, and the
// printer setup changes the one printer, also without a printer installed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/printing.h"
#include "app/text_editor_window.h"
#include "platform/text_codec.h"
#include "tests/app/gui_test_home.h"

using namespace app;

class PrintTest : public GuiSuite {
  Q_OBJECT

 private:
  // Runs `answer` on the next modal dialog of type T, once it is up.
  template <typename T, typename F>
  static void WhenModal(F answer) {
    QTimer::singleShot(0, [answer] {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      QVERIFY2(dialog, "the expected dialog did not open");
      answer(dialog);
    });
  }
  static int PdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString pdf = QString::fromLatin1(file.readAll());
    return pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])")));
  }
  int ExpectedPages() { return static_cast<int>(RecordPages(game_->document()->record(), GeometryOf(app_->printer())).size()); }

  BoardView* game_ = nullptr;

 private Q_SLOTS:
  void initTestCase() {
    StartSuite();
    // 150 rook shuffles, every fifth move annotated: more than one page in either layout.
    const char* const shuffle[] = {"+2838HI", "-8272HI", "+3828HI", "-7282HI"};
    QByteArray csa = "PI\r\n+\r\n";
    for (int i = 0; i < 150; ++i) {
      csa += QByteArray(shuffle[i % 4]) + "\r\n";
      if (i % 5 == 4) csa += QByteArray::fromStdString(platform::Utf8ToCp932("'注釈:飛車を振り直す。\r\n"));
    }
    QFile file(home_.filePath(QStringLiteral("long-game.csa")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(csa) == csa.size());
    file.close();
    game_ = app_->OpenDocument(file.fileName(), DocKind::kGame);
    QVERIFY(game_);
    QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("pdf")));
    app_->printer().setOutputFileName(home_.filePath(QStringLiteral("pdf/first.pdf")));
  }

  void withoutAPrinterTheOutputIsPdf() {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) QSKIP("a printer is installed here");
    QCOMPARE(app_->printer().outputFormat(), QPrinter::PdfFormat);
  }

  void previewShowsThePagesOfThePrintText() {
    frame()->Activate(game_);
    const int expected = ExpectedPages();
    QVERIFY(expected > 1);
    int shown = -1;
    WhenModal<QPrintPreviewDialog>([&shown](QPrintPreviewDialog* dialog) {
      if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) shown = preview->pageCount();
      dialog->reject();
    });
    Trigger(cmd::kPrintPreview);
    QCOMPARE(shown, expected);
  }

  void printingToPdfWritesThatManyPages() {
    frame()->Activate(game_);
    app_->printer().setOutputFormat(QPrinter::PdfFormat);
    const int expected = ExpectedPages();
    WhenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
    Trigger(cmd::kPrint);
    // The file is named after the document, in the folder of the last PDF.
    const QString written = home_.filePath(QStringLiteral("pdf/long-game.pdf"));
    QCOMPARE(app_->printer().outputFileName(), written);
    QCOMPARE(PdfPages(written), expected);

    // Landscape holds fewer lines: the preview and the print still agree with the pagination.
    app_->printer().setPageOrientation(QPageLayout::Landscape);
    const int landscape = ExpectedPages();
    QVERIFY(landscape > expected);
    QCOMPARE(PaintPages(app_->printer(), RecordPrintJob(*game_->document())), landscape);
    QCOMPARE(PdfPages(written), landscape);
    app_->printer().setPageOrientation(QPageLayout::Portrait);
  }

  void editorsPrintTheirText() {
    TextEditor* editor = OpenTextEditor(frame());
    QVERIFY(editor);
    QVERIFY(editor->Query(cmd::kPrint).enabled);
    QVERIFY(editor->Query(cmd::kPrintPreview).enabled);
    QVERIFY(editor->Query(cmd::kPrintSetup).enabled);
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line\r\n";
    editor->SetText(text);
    int shown = -1;
    WhenModal<QPrintPreviewDialog>([&shown](QPrintPreviewDialog* dialog) {
      if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) shown = preview->pageCount();
      dialog->reject();
    });
    editor->Execute(cmd::kPrintPreview);
    QCOMPARE(shown, static_cast<int>(TextPages(text, GeometryOf(app_->printer())).size()));
    editor->SetModified(false);
    editor->close();
  }

  void printerSetupChangesTheOnePrinter() {
    bool opened = false;
    WhenModal<QPageSetupDialog>([&opened](QPageSetupDialog* dialog) {
      auto* landscape = dialog->findChild<QRadioButton*>(QStringLiteral("landscape"));
      opened = landscape != nullptr;
      if (landscape) landscape->click();
      dialog->accept();
    });
    Trigger(cmd::kPrintSetup);
    QVERIFY(opened);
    QCOMPARE(app_->printer().pageLayout().orientation(), QPageLayout::Landscape);
    app_->printer().setPageOrientation(QPageLayout::Portrait);
  }

  void cleanupTestCase() { EndSuite(); }
};

QTEST_MAIN(PrintTest)

#include "print_test.moc"
