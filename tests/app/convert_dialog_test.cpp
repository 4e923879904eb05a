// The conversion dialog offscreen: two Kakinoki files converted one per input into a folder give the bytes
// the library's batch (what kzb convert runs) gives; the controls 個別 disables, the settings section the
// dialog keeps, the CSA file remembered for select-read, and a bad default date refused before a run.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/convert_dialog.h"
#include "app/core/command_ids.h"
#include "app/qt_text.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/kakinoki_converter.h"
#include "tests/app/gui_test_home.h"

using namespace app;

namespace {

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

std::string Read(const QString& path) {
  std::string bytes;
  platform::ReadWholeFile(ToCore(path), bytes);
  return bytes;
}

}  // namespace

class ConvertDialogTest : public GuiSuite {
  Q_OBJECT

 private:
  QString Path(const char* name) { return home_.filePath(QString::fromUtf8(name)); }

 private Q_SLOTS:
  void initTestCase() {
    StartSuite();
    QVERIFY(platform::WriteWholeFile(ToCore(Path("a.kif")),
                                     Cp932("先手：山田-太郎\r\n後手：b\r\n手数----\r\n   1 ７六歩(77)\r\n   2 ３四歩(33)\r\n   3 投了\r\n")));
    QVERIFY(platform::WriteWholeFile(ToCore(Path("b.ki2")), Cp932("棋戦：順位戦\r\n先手：c\r\n▲２六歩 △８四歩\r\n")));
    QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("dialog")));
    QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("library")));
  }

  void twoFilesConvertIntoAFolderAsTheBatchDoes() {
    {
      ConvertDialog dialog(frame());
      dialog.AddInputs({Path("a.kif"), Path("b.ki2"), Path("a.kif")});
      QCOMPARE(dialog.inputs()->count(), 2);
      dialog.each()->setChecked(true);
      QVERIFY(!dialog.out_file_field()->isEnabled());
      QVERIFY(!dialog.append()->isEnabled() && !dialog.overwrite()->isEnabled());
      dialog.event_field()->setText(QStringLiteral("練習対局"));
      dialog.date_field()->setText(QStringLiteral("20261207"));
      dialog.full_width()->setChecked(true);
      dialog.out_dir_field()->setText(Path("dialog"));
      dialog.run_button()->click();
      QTRY_VERIFY(!dialog.running());
      QCOMPARE(dialog.results()->count(), 1);
      QCOMPARE(dialog.results()->item(0)->text(), QStringLiteral("ディレクトリ ") + Path("dialog") + QStringLiteral(" に個別出力しました"));
      QCOMPARE(dialog.progress()->text(), QStringLiteral("終了しました"));
    }
    record::KakinokiBatch batch;
    batch.inputs = {ToCore(Path("a.kif")), ToCore(Path("b.ki2"))};
    batch.out_dir = ToCore(Path("library"));
    batch.options = {Cp932("練習対局"), "20261207", true};
    platform::RecordingMessageSink quiet;
    QVERIFY(record::RunKakinokiBatch(batch, quiet).files_written == 2);
    for (const char* name : {"a.csa", "b.csa"}) {
      const std::string converted = Read(QDir(Path("dialog")).filePath(QString::fromUtf8(name)));
      QVERIFY(!converted.empty());
      QCOMPARE(converted, Read(QDir(Path("library")).filePath(QString::fromUtf8(name))));
    }
    QVERIFY(Read(Path("dialog/a.csa")).find(Cp932("N+山田－太郎\r\n")) != std::string::npos);

    // What the dialog keeps, and the file select-read offers next.
    platform::SettingsFile& settings = app_->settings();
    QCOMPARE(FromCore(settings.GetString("KIF2CSA", "OutDir", "")), Path("dialog"));
    QCOMPARE(FromCore(settings.GetString("KIF2CSA", "InDir", "")), home_.path());
    QCOMPARE(FromCore(settings.GetString("KF_Section", "KF_CsaFileName", "")), Path("dialog/b.csa"));
    ConvertDialog again(frame());
    QCOMPARE(again.out_dir_field()->text(), Path("dialog"));
  }

  void theCommandOpensTheDialogOverABoardWindow() {
    Trigger(cmd::kNewTsume);
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
      auto* dialog = qobject_cast<ConvertDialog*>(QApplication::activeModalWidget());
      shown = dialog && dialog->windowTitle() == QStringLiteral("棋譜→CSAファイル変換");
      if (dialog) dialog->reject();
    });
    Trigger(cmd::kConvertFiles);
    QVERIFY(shown);
  }

  void allIntoOneFileAndABadDateRefused() {
    ConvertDialog dialog(frame());
    dialog.AddInputs({Path("a.kif"), Path("b.ki2")});
    dialog.bulk()->setChecked(true);
    dialog.overwrite()->setChecked(true);
    dialog.out_dir_field()->setText(Path("dialog"));
    dialog.out_file_field()->setText(QStringLiteral("all"));
    dialog.date_field()->setText(QStringLiteral("2026"));
    dialog.Run();
    QVERIFY(!dialog.running());
    QCOMPARE(dialog.results()->count(), 1);
    QVERIFY(dialog.results()->item(0)->text().startsWith(QStringLiteral("対局日は")));

    dialog.date_field()->clear();
    dialog.Run();
    QTRY_VERIFY(!dialog.running());
    QCOMPARE(dialog.results()->item(dialog.results()->count() - 1)->text(),
             QStringLiteral("ファイル ") + Path("dialog/all.csa") + QStringLiteral(" に一括出力しました"));
    const std::string all = Read(Path("dialog/all.csa"));
    QVERIFY(all.find("\r\n/\r\n") != std::string::npos);
  }
};

QTEST_MAIN(ConvertDialogTest)
#include "convert_dialog_test.moc"
