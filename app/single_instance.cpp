#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <unistd.h>

#include "app/application.h"

namespace app {

SingleInstance::SingleInstance(const std::string& settings_path) {
  const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(settings_path), QCryptographicHash::Sha1);
  name_ = QStringLiteral("komaraku-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash.toHex().left(12)));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::ConnectToRunning() {
  socket_ = std::make_unique<QLocalSocket>();
  socket_->connectToServer(name_);
  if (socket_->waitForConnected(500)) return true;
  socket_.reset();
  return false;
}

void SingleInstance::Send(int command) {
  if (!socket_) return;
  socket_->write(QByteArray::number(command) + '\n');
  socket_->waitForBytesWritten(1000);
}

bool SingleInstance::Listen(Application* app) {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // A socket left behind by an instance that crashed: nobody answers it.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return false;
  }
  QObject::connect(server_.get(), &QLocalServer::newConnection, app, [this, app] {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
      QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      QObject::connect(peer, &QLocalSocket::readyRead, app, [peer, app] {
        while (peer->canReadLine()) {
          bool ok = false;
          const int command = peer->readLine().trimmed().toInt(&ok);
          if (ok && (command == 110 || command == 111)) app->HandleInstanceCommand(command);
        }
      });
    }
  });
  return true;
}

}  // namespace app
