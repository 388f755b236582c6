// The saver (frmScreen): the black windows every effect draws on. Full screen means every
// monitor: one window per screen, each with its own surface and effect object, all run by one
// driver schedule and one frame timer, so that they change effect together. The captioned
// resizable window and the window inside a screen-saver host are one window. The labels sit
// on the primary screen, and input on any window follows the run mode's rules for all.
#pragma once

#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
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

class Saver;

// One window of the saver: a surface of its size with its presenter, and the two labels.
// Its input goes to the saver.
class ScreenWindow final : public QWidget, private CueSink {
  Q_OBJECT

 public:
  ScreenWindow(Saver& saver, QScreen* screen);
  ~ScreenWindow() override;

  // The monitor this window covers in full screen; nullptr for the one window of the other
  // layouts (or once its monitor is gone).
  QScreen* boundScreen() const { return screen_; }
  void Bind(QScreen* screen) { screen_ = screen; }
  // A size in the host's device pixels as this window's logical size.
  QSize Logical(QSize device) const;
  // A native child of the host's window `id`, covering it; false when there is no such window.
  bool Embed(unsigned long id, bool rootWindow);
  // Sizes the surface to the window for a driver start with these settings.
  void Prepare(const RuntimeSettings& runtime);
  EffectContext context() { return {surface_, view_, palette_, *this}; }
  Surface& surface() { return surface_; }
  ui::Presenter& presenter() { return presenter_; }
  // The lock message across the top (hidden when empty) and the first-run hint at the bottom.
  void ShowLockMessage(const std::string& message);
  void ShowInfo(const QColor& colour);
  void HideInfo();
  // Hidden and inert until used again.
  void Retire();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlayCue(Cue cue, CuePlace place) override;

  Saver& saver_;
  QPointer<QScreen> screen_;
  QPointer<QWindow> foreignParent_;
  const Palette& palette_;
  Surface surface_;
  SurfaceState view_;
  ui::Presenter presenter_;
  QLabel* lblMessage_ = nullptr;
  QLabel* lblInfo_ = nullptr;
};

class Saver final : public QObject {
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
    // Started by an idle launcher: the pointer is never moved (the launcher watches it), and
    // the pointer test measures from where the pointer was when the saver started.
    bool idle = false;
    bool stats = false;
    std::optional<std::uint64_t> seed;  // the generator's seed at every driver start
    std::optional<long> frames;         // the animation stops after this many frames
  };

  Saver(const Palette& startupPalette, const Options& options);
  ~Saver() override;

  // The first activation: shows the windows and starts the driver.
  void Start();
  // Ends the saver: stops the animation and closes every window (saving the placement).
  void QuitSaver();
  // A second start of the program asks this one to come to the front.
  void RaiseWindow();

  const FrameStats& stats() const { return stats_; }
  // True once the saver has ended (or was asked to).
  bool stopped() const { return stopRequested_; }

  // ---- For the windows
  const Palette& palette() const { return palette_; }
  void HandleInput(ScreenWindow& from, int key);
  void MousePress(ScreenWindow& from, Qt::MouseButton button, QPoint global);
  void PointerMoved(QPoint global);
  void PlayCue(const ScreenWindow& from, Cue cue, CuePlace place);
  void Shown();
  // One frame on every window (the frame clock calls it).
  void Frame();

 private:
  // The driver (re)started: windows for the layout, runtime settings, surfaces, labels.
  void RunEffects();
  // The windows the layout asks for: one per monitor, or the one window.
  void Layout();
  ScreenWindow& AddWindow(QScreen* screen);
  void RetireWindow(ScreenWindow& window);
  void Shape(ScreenWindow& window);
  void ScreenAdded(QScreen* screen);
  void ScreenRemoved(QScreen* screen);
  // One frame clock for every window.
  void StartFrames();
  void StopFrames();
  // Sends every window's changes, with one round trip for all.
  void PresentAll();
  ScreenWindow* PrimaryWindow() const;
  // The area the pointer test measures: every window together (the whole desktop).
  QRect PointerArea() const;
  void OpenProperties(ScreenWindow& from);
  void ParkCursor(bool touchCheckTime);
  void ClearMessageArea();
  void PlaceLockMessage();
  void UpdateInfoLabel();
  void FollowHostWindow();
  void SetCursors(bool blank);
  void KeepActivationRequestsBack();
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool everyScreen() const { return !options_.host && !resizable_; }

  Options options_;
  ui::RunMode mode_;
  Palette palette_;
  AppCueSink cues_;
  SettingOverrides noOverrides_;
  EffectSequence sequence_;
  RuntimeSettings runtime_;
  // Before the windows: their presenters leave it when they go.
  ui::FrameClock clock_;
  std::vector<std::unique_ptr<ScreenWindow>> windows_;
  // Windows whose monitor went or whose layout ended, kept hidden for reuse: a window may be
  // retired while one of its own handlers runs.
  std::vector<std::unique_ptr<ScreenWindow>> spare_;
  std::unique_ptr<QMenu> mnuClick_;
  QPointer<ScreenWindow> menuWindow_;
  QTimer hostTimer_;
  std::string lockMessage_;

  bool started_ = false;
  bool stopRequested_ = false;
  bool quitting_ = false;
  bool resizable_ = false;
  bool animating_ = false;
  bool inDialog_ = false;
  bool runDue_ = true;
  long framesDrawn_ = 0;
  bool wayland_ = false;
  bool canParkPointer_ = true;
  std::optional<QPoint> parkPoint_;  // global coordinates
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
