// The link between a second start and the running instance: a local socket named after the settings
// file (one per installation and user). A second start connects and sends the internal commands 110
// (come to the front) and 111 (open the file stored as KF_WakeUpFile), one number per line.
#pragma once
#include <QLocalServer>
#include <QString>
#include <memory>

namespace app {

class Application;

class SingleInstance {
 public:
  explicit SingleInstance(const std::string& settings_path);
  ~SingleInstance();

  // True when an instance runs (and the link to it is open).
  bool ConnectToRunning();
  void Send(int command);
  // The running instance: accepts links and gives their commands to the application.
  bool Listen(Application* app);
  const QString& name() const { return name_; }

 private:
  QString name_;
  std::unique_ptr<class QLocalSocket> socket_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace app
