// The presenter: the one way a Surface reaches the screen (the saver window, a host's window,
// the welcome screen's demonstrations, the credits, the Properties dialog's preview), and the
// frame timer that drives it.
//
// Its cost follows the pixels that change. On X11 with MIT-SHM the surface's pixels live in a
// shared memory segment and the changed tiles are put straight from there (no copy on this
// side); elsewhere (a display on another machine, a server without the extension, Wayland,
// scaled screens) the changed region is repainted through Qt from a QImage over the same
// memory. Frames are paced by a single-shot timer on the main loop, never by spinning.
#pragma once

#include <QObject>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "effects/driver.h"
#include "render/surface.h"

class QPainter;
class QWidget;

namespace lmvn::ui {

class SharedPixels;

class Presenter final : public QObject {
  Q_OBJECT
 public:
  enum class Path { Qt, Shm };

  // Shows `surface` in `target`, its top-left pixel at the target's top-left corner. `frame`
  // draws one frame; after it the presenter sends what changed. Both must outlive it.
  Presenter(QWidget& target, Surface& surface, std::function<void()> frame);
  ~Presenter() override;

  // ---- Pacing
  // Runs frames: the first at once, then each no earlier than the previous frame's start plus
  // `delayMs` (0 or below: one after the other); a late frame makes the next start at once.
  void Start(Long delayMs);
  void Stop();
  bool running() const { return running_; }
  void SetDelay(Long delayMs) { pacer_.FrameDelay = delayMs; }
  // Called from within a frame: the next frame starts `waitUs` after this one ends instead.
  void RestFor(std::int64_t waitUs) { restUs_ = waitUs; }
  FramePacer& pacer() { return pacer_; }
  // A steady clock in microseconds (the pacer's clock).
  static std::int64_t NowUs();

  // ---- Presentation
  // A new size for the surface (contents cleared); the shared memory is made anew for it.
  void Resize(int width, int height);
  // Sends what changed on the surface since the last call. On the shared-memory path it
  // returns once the server has read the pixels, so the surface may be drawn on at once.
  void Present();
  // For the target's paintEvent: paints `region` (target coordinates) from the surface, black
  // beyond it.
  void Paint(QPainter& painter, const QRegion& region);
  Path path() const { return path_; }
  static const char* PathName(Path path) { return path == Path::Shm ? "shm" : "qt"; }

 signals:
  // Pixels of a frame have reached the screen (a put or a paint).
  void shown();

 private:
  void Tick();
  void Schedule(std::int64_t waitUs);
  // Chooses the path on first use: shared memory when the display allows it.
  void ChoosePath();
  void FallBack();
  // The window the pixels go to and the GC for it; false when it cannot take them.
  bool BindWindow();
  void PutShm(const std::vector<QRect>& rects);

  QWidget& target_;
  Surface& surface_;
  std::function<void()> frame_;
  FramePacer pacer_;
  QTimer timer_;
  bool running_ = false;
  std::int64_t nextFrameUs_ = 0;
  std::optional<std::int64_t> restUs_;

  Path path_ = Path::Qt;
  bool chosen_ = false;
  std::unique_ptr<SharedPixels> shared_;
  std::vector<QRect> rects_;
  std::vector<QRect> joined_;
  std::vector<QRect> merged_;
  std::vector<std::size_t> openRows_, nextRows_;  // scratch for merging runs downwards
};

}  // namespace lmvn::ui
