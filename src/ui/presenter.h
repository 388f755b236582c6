// The presenter: the one way a Surface reaches the screen (the saver window, a host's window,
// the welcome screen's demonstrations, the credits, the Properties dialog's preview), and the
// frame clock that drives them.
//
// Its cost follows the pixels that change. On X11 with MIT-SHM the surface's pixels live in a
// shared memory segment and the changed tiles are put straight from there (no copy on this
// side); elsewhere (a display on another machine, a server without the extension, Wayland,
// scaled screens) the changed region is repainted through Qt from a QImage over the same
// memory. Frames are paced by a single-shot timer on the main loop, never by spinning, and
// only while someone can see them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "effects/driver.h"
#include "render/surface.h"

class QPainter;
class QWidget;

namespace lmvn::ui {

class SharedPixels;
class Presenter;

// One clock for the frames of any number of windows. It runs `frame` paced by its FramePacer
// while at least one watched presenter's window can be seen; otherwise it sleeps, its frame
// timer stopped, and wakes on the windows' events (shown, exposed, unobscured, an output
// powered on) and on a once-a-second look at what X11 does not announce (the monitors' power
// state, a host's window unmapped). The effect then goes on where it stopped.
class FrameClock final : public QObject {
  Q_OBJECT
 public:
  explicit FrameClock(std::function<void()> frame);
  ~FrameClock() override;

  // Runs frames: the first at once, then each no earlier than the previous frame's start plus
  // `delayMs` (0 or below: one after the other); a late frame makes the next start at once.
  void Start(Long delayMs);
  void Stop();
  bool running() const { return running_; }
  // True while running but asleep because nobody can see a watched window.
  bool asleep() const { return asleep_; }
  FramePacer& pacer() { return pacer_; }
  // A steady clock in microseconds (the pacer's clock).
  static std::int64_t NowUs();

  // The windows whose visibility decides whether frames run.
  void Watch(Presenter& presenter);
  void Unwatch(Presenter& presenter);
  // Something about what can be seen changed: a sleeping clock looks again at once.
  void Wake();

 private:
  void Tick();
  void Schedule(std::int64_t waitUs);
  bool AnySeen() const;
  void Poll();

  std::function<void()> frame_;
  FramePacer pacer_;
  QTimer timer_;
  QTimer poll_;
  bool running_ = false;
  bool asleep_ = false;
  std::int64_t nextFrameUs_ = 0;
  std::vector<Presenter*> watched_;
};

class Presenter final : public QObject {
  Q_OBJECT
 public:
  enum class Path { Qt, Shm };

  // Shows `surface` in `target`, its top-left pixel at the target's top-left corner. Both must
  // outlive it. Its frames come from a FrameClock that watches it.
  Presenter(QWidget& target, Surface& surface);
  // The same with a clock of its own that draws one frame with `frame` and then presents.
  Presenter(QWidget& target, Surface& surface, std::function<void()> frame);
  ~Presenter() override;

  // ---- Pacing by the presenter's own clock (second constructor only)
  void Start(Long delayMs);
  void Stop();
  bool running() const { return ownClock_ != nullptr && ownClock_->running(); }

  // ---- Presentation
  // A new size for the surface (contents cleared); the shared memory is made anew for it.
  void Resize(int width, int height);
  // Sends what changed on the surface since the last call; true when something was put into
  // shared memory, which must not be drawn on again before FinishPuts.
  bool Put();
  // Asks the X server to answer once it has read every put so far, without waiting for the
  // answer (nothing when nothing was put since).
  static void FencePuts();
  // Waits until the X server has read every put so far (one round trip for all presenters,
  // none when nothing was put). Frame clocks call it before each frame.
  static void FinishPuts();
  // Put and FinishPuts.
  void Present();
  // For the target's paintEvent: paints `region` (target coordinates) from the surface, black
  // beyond it.
  void Paint(QPainter& painter, const QRegion& region);
  Path path() const { return path_; }
  static const char* PathName(Path path) { return path == Path::Shm ? "shm" : "qt"; }

  // Whether anybody can see the target now: shown, exposed, not minimised, not covered in
  // full, its monitor powered on.
  bool Seen() const;
  QWidget& target() const { return target_; }

 signals:
  // Pixels of a frame have reached the screen (a put or a paint).
  void shown();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class FrameClock;
  friend class VisibilityFilter;
  // Chooses the path whenever the target's window or screen changed since the last choice:
  // shared memory when the display allows it and the window's pixel ratio is 1.
  void ChoosePath();
  void FallBack();
  bool PutShm(const std::vector<Surface::Rect>& bands);
  bool PaintDirect(QPainter& painter, const QRegion& region);
  void WatchWindowHandle();
  void SetObscured(bool obscured);

  QWidget& target_;
  Surface& surface_;
  std::unique_ptr<FrameClock> ownClock_;
  FrameClock* clock_ = nullptr;  // the clock that watches this presenter

  Path path_ = Path::Qt;
  bool chosen_ = false;
  unsigned long chosenWindow_ = 0;
  QPointer<QObject> chosenScreen_;
  QPointer<QObject> watchedHandle_;
  std::unique_ptr<SharedPixels> shared_;
  // X11 only: covered in full by other windows (VisibilityNotify), and viewable (every
  // ancestor mapped: a host's window may be unmapped under us).
  bool obscured_ = false;
  bool viewable_ = true;
  std::vector<Surface::Rect> joined_, clip_;
  std::vector<QRect> bands_;
};

}  // namespace lmvn::ui
