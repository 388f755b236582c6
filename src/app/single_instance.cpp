#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRegularExpression>

namespace lmvn::app {

QString SingleInstance::ServerName() {
  QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
  display.replace(QRegularExpression("[^A-Za-z0-9_.-]"), "_");
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const QFileInfo runtimeInfo(runtime);
  if (!runtime.isEmpty() && runtimeInfo.isDir() && runtimeInfo.ownerId() == getuid()) {
    return runtime + "/lumivane-" + display;
  }
  return QDir::tempPath() + QString("/lumivane-%1-%2").arg(getuid()).arg(display);
}

bool SingleInstance::AskRunningInstance() {
  QLocalSocket socket;
  socket.connectToServer(ServerName());
  if (!socket.waitForConnected(500)) return false;
  socket.write("raise\n");
  socket.waitForBytesWritten(500);
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Listen(std::function<void()> raise) {
  raise_ = std::move(raise);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  const QString name = ServerName();
  if (!server_.listen(name)) {
    // A socket left by an instance that died: nobody answered on it, so it can go.
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) return false;
  }
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      if (raise_) raise_();
    }
  });
  return true;
}

}  // namespace lmvn::app
