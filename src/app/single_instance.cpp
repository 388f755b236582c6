#include "app/single_instance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QRegularExpression>
#include <cstdio>
#include <utility>

namespace lmvn::app {

namespace {

// A folder that only this user can reach: a real folder (not a link), owned by the user,
// closed to everyone else.
bool PrivateFolder(const QString& folder) {
  struct stat info {};
  return lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

// $XDG_RUNTIME_DIR when it is private to the user; else a folder of the user's own in the
// temporary folder, made here with mode 0700. Empty when that name is taken by something
// the user does not own alone: the program then runs without the single-instance check.
QString SocketFolder() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && PrivateFolder(runtime)) return runtime;
  const QString folder = QDir::tempPath() + QString("/lumivane-%1").arg(getuid());
  mkdir(QFile::encodeName(folder).constData(), 0700);
  if (PrivateFolder(folder)) return folder;
  static bool told = false;
  if (!std::exchange(told, true)) {
    std::fprintf(stderr, "lumivane: %s is not a private folder of this user; not using it\n",
                 QFile::encodeName(folder).constData());
  }
  return {};
}

}  // namespace

QString SingleInstance::ServerName() {
  const QString folder = SocketFolder();
  if (folder.isEmpty()) return {};
  QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
  display.replace(QRegularExpression("[^A-Za-z0-9_.-]"), "_");
  return folder + "/lumivane-" + display;
}

bool SingleInstance::AskRunningInstance() {
  const QString name = ServerName();
  if (name.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(500)) return false;
  // Only an instance of this user's own counts.
  ucred peer{};
  socklen_t size = sizeof peer;
  if (getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                 &size) != 0 ||
      peer.uid != getuid()) {
    return false;
  }
  socket.write("raise\n");
  socket.waitForBytesWritten(500);
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Listen(std::function<void()> raise) {
  raise_ = std::move(raise);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  const QString name = ServerName();
  if (name.isEmpty()) return false;
  if (!server_.listen(name)) {
    // A socket left by an instance that died, or one that is not the user's own: nobody
    // believable answered on it, so it can go.
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
