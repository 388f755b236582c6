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
  // True when another instance answered (and was asked to raise its window).
  static bool AskRunningInstance();

  // Listens for later starts; `raise` runs when one arrives.
  bool Listen(std::function<void()> raise);

  // The socket path: in $XDG_RUNTIME_DIR when it exists, else in the temporary folder under a
  // name with the user id; both carry the display name.
  static QString ServerName();

 private:
  QLocalServer server_;
  std::function<void()> raise_;
};

}  // namespace lmvn::app
