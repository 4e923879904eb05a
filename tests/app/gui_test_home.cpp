#include "tests/app/gui_test_home.h"

#include <QAction>
#include <QFile>
#include <QTest>

namespace app {

bool CopyProgramFiles(const QTemporaryDir& home) {
  if (!home.isValid()) return false;
  for (const char* f : {"back.dib", "kmfont.dib", "KBox.dib", "sg0.dib", "sg1.dib", "su0.dib", "su1.dib", "kmsound.wav"}) {
    if (!QFile::copy(QStringLiteral(KOMARAKU_PROGRAM_DIR "/") + f, home.filePath(QString::fromLatin1(f)))) return false;
  }
  return true;
}

std::unique_ptr<Application> StartApplication(const QTemporaryDir& home, platform::MessageSink* sink) {
  qputenv("SHGDB", home.filePath(QStringLiteral("database")).toUtf8());
  AppOptions options;
  options.program_dir = home.path() + '/';
  // Everything in the temporary folder; the default database apart from SHGDB's, so no sample database
  // is made for the suites, which set up their databases themselves.
  options.folders = AppFolders::Inside(home.path().toStdString());
  options.folders.data = home.filePath(QStringLiteral("data/")).toStdString();
  options.title = false;
  auto app = std::make_unique<Application>(options);
  app->SetMessageSink(sink);
  if (app->Start() != -1) return nullptr;
  return app;
}

void GuiSuite::StartSuite() {
  QVERIFY(CopyProgramFiles(home_));
  app_ = StartApplication(home_, &sink_);
  QVERIFY(app_);
}

void GuiSuite::EndSuite() {
  sink_.default_answer = platform::Answer::kNo;
  frame()->close();
  app_.reset();
}

void GuiSuite::Trigger(int id) {
  frame()->UpdateCommandUi();
  QAction* a = frame()->commands().Action(id);
  QVERIFY2(a->isEnabled(), qPrintable(QStringLiteral("command %1 disabled").arg(id)));
  a->trigger();
}

bool GuiSuite::Enabled(int id) {
  frame()->UpdateCommandUi();
  return frame()->commands().Action(id)->isEnabled();
}

}  // namespace app
