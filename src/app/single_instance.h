// One saver per user and display. The first instance listens on a local socket that only its
// user can reach; a second start connects, asks the first to raise its window, and ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>

namespace lmvn::app {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  // True when another instance of the same user answered (and was asked to raise its
  // window); a listener of another user is never believed.
  static bool AskRunningInstance();

  // Listens for later starts; `raise` runs when one arrives.
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
