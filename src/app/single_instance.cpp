#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>
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

// True when an instance of this user's own answers on the socket; it is asked to raise its
// window. A listener of another user is never believed.
bool AskOnce(const QString& name) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(500)) return false;
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

// The lock beside the socket, held by the running instance for its whole life (the system
// lets go of it when the process ends, however it ends). Never closed.
int instanceLock = -1;

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
  if (instanceLock < 0) {
    const QByteArray lockPath = QFile::encodeName(name + ".lock");
    const int fd = open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
      instanceLock = fd;
    } else if (fd >= 0) {
      // Another instance holds the lock: it is the saver, even while it is still starting and
      // not yet listening. Ask it to raise its window for a while; start nothing either way.
      close(fd);
      for (int attempt = 0; attempt < 20 && !AskOnce(name); ++attempt) QThread::msleep(100);
      return true;
    }
  }
  // The lock is ours (or cannot be had): an instance that answers all the same still counts.
  return AskOnce(name);
}

bool SingleInstance::Listen(std::function<void()> raise) {
  raise_ = std::move(raise);
  const QString name = ServerName();
  if (name.isEmpty()) return false;
  // The folder is the user's own, so the socket needs no access options of its own; with none,
  // listen() binds the name itself and fails on a socket that is already there instead of
  // replacing it.
  if (!server_.listen(name)) {
    // A socket left by an instance that died: removed only when nobody answers on it.
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500)) return false;
    QFile::remove(name);
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
