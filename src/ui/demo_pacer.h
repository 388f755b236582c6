// Frame pacing for the animations inside the screens (the welcome demonstrations and the
// credits): a timer on the main loop, so input is handled between frames and nothing waits.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace lmvn::ui {

class DemoPacer : public QObject {
  Q_OBJECT
 public:
  // `frame` runs one frame each time it is called.
  DemoPacer(QObject* parent, std::function<void()> frame);

  // Each frame starts no earlier than the previous frame's start plus `delayMs`; a frame that
  // takes longer makes the next one start late (no catch-up). The first frame starts at once.
  void Start(int delayMs);
  void Stop();
  bool running() const { return running_; }

 private:
  void Tick();
  std::function<void()> frame_;
  QTimer timer_;
  QElapsedTimer clock_;
  int delayMs_ = 0;
  bool running_ = false;
};

}  // namespace lmvn::ui
