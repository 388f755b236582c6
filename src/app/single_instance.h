// One saver per user and display. The first instance holds a lock beside a local socket that
// only its user can reach, and listens on the socket; a second start finds the lock taken,
// asks the first to raise its window, and ends. Two starts at once leave one saver.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>

namespace lmvn::app {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  // True when another instance runs: it holds the lock (and was asked to raise its window
  // once it answers), or it answered on the socket. A listener of another user is never
  // believed. False: this process now holds the lock for the rest of its life.
  static bool AskRunningInstance();

  // Listens for later starts; `raise` runs when one arrives. A socket that is already there is
  // never replaced while anyone answers on it; one that nobody answers on is removed first.
  bool Listen(std::function<void()> raise);

  // The socket path, named after the display: in $XDG_RUNTIME_DIR when it is the user's
  // own, else in a 0700 folder of the user's own in the temporary folder. Empty when no
  // such folder can be had.
  static QString ServerName();

 private:
  QLocalServer server_;
  std::function<void()> raise_;
};

}  // namespace lmvn::app
