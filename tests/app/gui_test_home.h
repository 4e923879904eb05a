// The program directory of a GUI test: the build's images and sound copied into a temporary folder (the
// settings and the database stay there too), and the application started on it without its title.
#pragma once
#include <QObject>
#include <QTemporaryDir>
#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "platform/message_sink.h"

namespace app {

// False when `home` is not usable or a file cannot be copied.
bool CopyProgramFiles(const QTemporaryDir& home);
// The application on `home`, its messages going to `sink`; nullptr when it does not start.
std::unique_ptr<Application> StartApplication(const QTemporaryDir& home, platform::MessageSink* sink);

// What the window suites share: the program directory, the application on it with its messages, and
// the commands as the menus offer them.
class GuiSuite : public QObject {
 protected:
  // The program directory and the application on it (initTestCase); the test fails when either is missing.
  void StartSuite();
  // Every window closed without saving, then the application ended (cleanupTestCase).
  void EndSuite();
  MainWindow* frame() { return app_->main_window(); }
  // Runs a command through its menu action; the test fails when the command is disabled.
  void Trigger(int id);
  bool Enabled(int id);

  QTemporaryDir home_;
  std::unique_ptr<Application> app_;
  platform::RecordingMessageSink sink_;
};

}  // namespace app

