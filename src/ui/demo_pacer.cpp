#include "ui/demo_pacer.h"

#include <algorithm>

namespace lmvn::ui {

DemoPacer::DemoPacer(QObject* parent, std::function<void()> frame)
    : QObject(parent), frame_(std::move(frame)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &DemoPacer::Tick);
  clock_.start();
}

void DemoPacer::Start(int delayMs) {
  delayMs_ = std::max(0, delayMs);
  running_ = true;
  timer_.start(0);
}

void DemoPacer::Stop() {
  running_ = false;
  timer_.stop();
}

void DemoPacer::Tick() {
  if (!running_) return;
  const qint64 start = clock_.elapsed();
  frame_();
  if (!running_) return;
  const qint64 wait = start + delayMs_ - clock_.elapsed();
  timer_.start(static_cast<int>(std::clamp<qint64>(wait, 0, delayMs_)));
}

}  // namespace lmvn::ui
