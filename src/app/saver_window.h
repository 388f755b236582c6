// The saver window (frmScreen): the black window every effect draws on, full screen or the
// captioned resizable window, or a child of a screen-saver host's window. It runs the driver
// frame by frame from a timer on the main loop, shows the surface, keeps the two labels, and
// applies the input rules of the run mode.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/cue_output.h"
#include "effects/driver.h"
#include "render/colour.h"
#include "render/surface.h"
#include "ui/screens.h"

class QLabel;
class QMenu;
class QWindow;

namespace lmvn::app {

// Frame and CPU figures for --stats.
struct FrameStats {
  std::int64_t processStartUs = 0;  // steady clock at process start (estimated)
  std::optional<std::int64_t> firstFrameUs;
  std::vector<std::int64_t> frameStarts;
  long frames = 0;
};

class ScreenWindow final : public QWidget {
  Q_OBJECT

 public:
  struct Options {
    // Inside a screen-saver host: the host's window to draw in (a child window covers it),
    // or none for the full screen. The host owns input.
    bool host = false;
    std::optional<unsigned long> hostWindow;
    // The host window is the root window ("-root" without a host): the saver lies beneath
    // every other window and leaves input to them.
    bool rootWindow = false;
    bool stats = false;
  };

  ScreenWindow(const Palette& startupPalette, const Options& options);
  ~ScreenWindow() override;

  // The first activation: shows the window and starts the driver.
  void Start();
  // Ends the saver: stops the animation and closes the window (which saves its placement).
  void QuitSaver();
  // A second start of the program asks this one to come to the front.
  void RaiseWindow();

  const FrameStats& stats() const { return stats_; }
  // True once the saver has ended (or was asked to).
  bool stopped() const { return stopRequested_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The driver (re)started: window shape, runtime settings, surface, labels, first run.
  void RunEffects();
  // One timer tick: begins the next run when due, draws one frame, schedules the next.
  void Tick();
  void Schedule(std::int64_t waitUs);
  void HandleInput(int key);
  void OpenProperties();
  void ParkCursor(bool touchCheckTime);
  void PointerTest(QPoint position);
  void ClearMessageArea();
  void PlaceLockMessage();
  void UpdateInfoLabel();
  void FollowHostWindow();
  void RebindImage();
  void Present();
  std::int64_t NowUs() const;

  Options options_;
  ui::RunMode mode_;
  Surface surface_;
  SurfaceState view_;
  Palette palette_;
  AppCueSink cues_;
  SettingOverrides noOverrides_;
  EffectSequence sequence_;
  FramePacer pacer_;
  QImage image_;
  std::vector<QRect> changedRects_;
  QTimer timer_;
  QTimer hostTimer_;
  QLabel* lblMessage_ = nullptr;
  QLabel* lblInfo_ = nullptr;
  QMenu* mnuClick_ = nullptr;
  QPointer<QWindow> foreignParent_;
  std::string lockMessage_;

  bool started_ = false;
  bool stopRequested_ = false;
  bool runDue_ = true;
  bool canParkPointer_ = true;
  std::optional<QPoint> parkPoint_;
  std::int64_t lastPointerCheck_ = 0;
  std::int64_t nextFrameUs_ = 0;
  FrameStats stats_;
};

// SaveWindowPlacement / RestoreWindowPlacement under the application "LMVN_SS".
void SaveWindowPlacement(QWidget& window, const char* section);
void RestoreWindowPlacement(QWidget& window, const char* section);

// Twips per screen pixel in each direction (15 at 96 dots per inch).
int TwipsPerPixelX();
int TwipsPerPixelY();

}  // namespace lmvn::app
