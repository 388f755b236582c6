// The saver window (frmScreen): the black window every effect draws on, full screen or the
// captioned resizable window, or a child of a screen-saver host's window. It runs the driver
// frame by frame through the presenter (which paces the frames and shows the surface), keeps
// the two labels, and applies the input rules of the run mode.
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
#include "ui/presenter.h"
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
  const char* present = "qt";  // the presentation path: "shm" or "qt"
};

class ScreenWindow final : public QWidget {
  Q_OBJECT

 public:
  struct Options {
    // Inside a screen-saver host: the host's window to draw in (a child window covers it),
    // or none for the full screen. The host owns input.
    bool host = false;
    std::optional<unsigned long> hostWindow;
    bool stats = false;
    std::optional<std::uint64_t> seed;  // the generator's seed at every driver start
    std::optional<long> frames;         // the animation stops after this many frames
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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The driver (re)started: window shape, runtime settings, surface, labels, first run.
  void RunEffects();
  // One frame (the presenter calls it): begins the next run when due, draws the frame.
  void Frame();
  void HandleInput(int key);
  void OpenProperties();
  void ParkCursor(bool touchCheckTime);
  void PointerTest(QPoint position);
  void ClearMessageArea();
  void PlaceLockMessage();
  void UpdateInfoLabel();
  void FollowHostWindow();

  Options options_;
  ui::RunMode mode_;
  Surface surface_;
  SurfaceState view_;
  Palette palette_;
  AppCueSink cues_;
  SettingOverrides noOverrides_;
  EffectSequence sequence_;
  ui::Presenter presenter_;
  QTimer hostTimer_;
  QLabel* lblMessage_ = nullptr;
  QLabel* lblInfo_ = nullptr;
  QMenu* mnuClick_ = nullptr;
  QPointer<QWindow> foreignParent_;
  std::string lockMessage_;

  bool started_ = false;
  bool stopRequested_ = false;
  bool runDue_ = true;
  long framesDrawn_ = 0;
  bool canParkPointer_ = true;
  std::optional<QPoint> parkPoint_;
  std::int64_t lastPointerCheck_ = 0;
  FrameStats stats_;
};

// SaveWindowPlacement / RestoreWindowPlacement under the application "LMVN_SS".
void SaveWindowPlacement(QWidget& window, const char* section);
void RestoreWindowPlacement(QWidget& window, const char* section);

// Twips per screen pixel in each direction (15 at 96 dots per inch).
int TwipsPerPixelX();
int TwipsPerPixelY();

}  // namespace lmvn::app
