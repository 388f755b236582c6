#include "app/saver_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <cmath>

#include "app/command_line.h"
#include "app/host_window.h"
#include "render/numeric.h"
#include "render/random.h"
#include "settings/store.h"

namespace lmvn::app {

namespace {

constexpr const char* kSection = "DisplayForm";
constexpr const char* kCaption = "Lumivane";
constexpr const char* kInfoText =
    "Welcome to Lumivane.  Press Spacebar for Properties dialog, Escape to exit.";

// The hint's colour cycle: light green, light cyan, light red, light magenta, light yellow,
// light blue (the 16-colour palette entries 10 to 14, then 9).
QColor HintColour(int index) {
  static const QColor colours[6] = {QColor(0, 0, 255), QColor(0, 255, 0),   QColor(0, 255, 255),
                                    QColor(255, 0, 0), QColor(255, 0, 255), QColor(255, 255, 0)};
  return colours[index % 6];
}

// The position in the hint's colour cycle lives as long as the program.
int& InfoColourIndex() {
  static int index = 0;
  return index;
}

int TwipsPerPixel(qreal dpi) {
  if (!(dpi > 0)) return 15;
  return CIntOr(1440.0 / dpi, 15);
}

}  // namespace

int TwipsPerPixelX() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? TwipsPerPixel(screen->logicalDotsPerInchX()) : 15;
}

int TwipsPerPixelY() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? TwipsPerPixel(screen->logicalDotsPerInchY()) : 15;
}

void SaveWindowPlacement(QWidget& window, const char* section) {
  const bool minimised = window.isMinimized();
  const bool maximised = window.isMaximized() || window.isFullScreen();
  WriteSetting(kSettingsApp, section, "WindowState", maximised ? "2" : "0");
  if (minimised) return;
  const QRect frame = window.frameGeometry();
  const long tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
  WriteSetting(
      kSettingsApp, section, "WindowSize",
      FormatWindowSize(frame.x() * tx, frame.y() * ty, window.width() * tx, window.height() * ty));
}

void RestoreWindowPlacement(QWidget& window, const char* section) {
  const Integer state = ReadSettingInteger(kSettingsApp, section, "WindowState", 0);
  if (state == 2) {
    window.setWindowState(Qt::WindowMaximized);
  } else {
    window.setWindowState(Qt::WindowNoState);
  }
  const auto fields = ParseWindowSize(ReadSettingString(kSettingsApp, section, "WindowSize", ""));
  if (!fields || state != 0) return;
  const long tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
  window.move(static_cast<int>(fields->left / tx), static_cast<int>(fields->top / ty));
  const int w = static_cast<int>(fields->width / tx), h = static_cast<int>(fields->height / ty);
  if (w > 0 && h > 0) window.resize(w, h);
}

ScreenWindow::ScreenWindow(const Palette& startupPalette, const Options& options)
    : QWidget(nullptr),
      options_(options),
      mode_(ui::Run().runMode),
      surface_(1, 1),
      palette_(startupPalette),
      sequence_({surface_, view_, palette_, cues_}, noOverrides_),
      presenter_(*this, surface_, [this] { Frame(); }) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::BlankCursor);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  // Topmost only when the program runs from the install place.
  if (mode_ == ui::RunMode::Installed) setWindowFlag(Qt::WindowStaysOnTopHint);

  lblMessage_ = new QLabel(this);
  lblMessage_->setAlignment(Qt::AlignCenter);
  lblMessage_->setStyleSheet("QLabel { color: white; background: transparent; }");
  QFont big = lblMessage_->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  lblMessage_->setFont(big);
  lblMessage_->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblInfo_ = new QLabel(kInfoText, this);
  lblInfo_->setAlignment(Qt::AlignCenter);
  lblInfo_->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblInfo_->hide();

  mnuClick_ = new QMenu("&Click", this);
  mnuClick_->addAction("Properties...", this, [this] { OpenProperties(); });
  mnuClick_->addSeparator();
  mnuClick_->addAction("Exit", this, [this] { QuitSaver(); });

  connect(&presenter_, &ui::Presenter::shown, this, [this] {
    if (options_.stats && !stats_.firstFrameUs && stats_.frames > 0) {
      stats_.firstFrameUs = ui::Presenter::NowUs();
    }
  });
  hostTimer_.setInterval(250);
  connect(&hostTimer_, &QTimer::timeout, this, &ScreenWindow::FollowHostWindow);

  // Where the platform cannot move the pointer (Wayland), parking is skipped and the pointer
  // test measures from where the pointer is first seen.
  canParkPointer_ = !QGuiApplication::platformName().startsWith("wayland");
  if (options_.stats) stats_.frameStarts.reserve(1 << 16);
}

ScreenWindow::~ScreenWindow() = default;

namespace {
std::int64_t NowUs() {
  return ui::Presenter::NowUs();
}
}  // namespace

void ScreenWindow::Start() {
  if (options_.hostWindow) {
    // A native child of the host's window, covering it.
    setAttribute(Qt::WA_NativeWindow);
    setWindowFlags(Qt::FramelessWindowHint);
    winId();
    foreignParent_ = QWindow::fromWinId(static_cast<WId>(*options_.hostWindow));
    if (!foreignParent_ || !HostWindowSize(*options_.hostWindow)) {
      QuitSaver();
      return;
    }
    windowHandle()->setParent(foreignParent_);
    const QSize size = *HostWindowSize(*options_.hostWindow);
    setGeometry(0, 0, size.width(), size.height());
    show();
    hostTimer_.start();
  } else if (options_.host) {
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  }
  started_ = true;
  RunEffects();
}

void ScreenWindow::RunEffects() {
  stopRequested_ = false;
  if (!options_.hostWindow) {
    const bool resizable = !options_.host && ReadSettingString(kSettingsApp, "Advanced",
                                                               "Adv_WindowResize", "0") == "1";
    if (resizable) {
      setWindowTitle(kCaption);
      setCursor(Qt::ArrowCursor);
      RestoreWindowPlacement(*this, kSection);
      if (!isVisible()) show();
    } else {
      setWindowTitle(QString());
      if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
      showFullScreen();
    }
    raise();
    activateWindow();
  }
  lblInfo_->hide();

  const RuntimeSettings runtime = LoadRuntimeSettings();
  const int w = std::max(1, width()), h = std::max(1, height());
  if (surface_.width() != w || surface_.height() != h) presenter_.Resize(w, h);
  view_ =
      MakeSurfaceState(surface_.width(), surface_.height(), runtime.FocalLength, runtime.PixelSize);
  palette_.UseSettings(runtime.colour);
  cues_.Use(runtime.SoundOn, runtime.SoundFiles);
  lockMessage_ = runtime.LockMessage;
  if (options_.seed) {
    ProgramRandom().Seed(*options_.seed);
  } else {
    ProgramRandom().SeedFromClock();
  }
  framesDrawn_ = 0;
  ClearMessageArea();
  sequence_.Restart(runtime, ui::Run().firstRun);
  runDue_ = true;
  presenter_.Start(runtime.FrameDelay);
}

void ScreenWindow::Frame() {
  if (options_.frames && framesDrawn_ >= *options_.frames) {
    presenter_.Stop();  // the last frame stays on screen
    return;
  }
  ++framesDrawn_;
  if (runDue_) {
    runDue_ = false;
    // Runs whose effect is not picked clear the window and pass at once; a round in which
    // nothing was shown rests one frame slot, so the saver never spins.
    for (;;) {
      const EffectRun& run = sequence_.BeginRun();
      presenter_.Present();
      ParkCursor(true);
      if (run.shown) break;
      if (run.idle) {
        runDue_ = true;
        presenter_.RestFor(std::int64_t{std::max<Long>(presenter_.pacer().FrameDelay, 10)} * 1000);
        return;
      }
    }
  }
  FramePacer& pacer = presenter_.pacer();
  const std::int64_t start = NowUs();
  pacer.StartFrame(start);  // the frame proper starts after the run has begun
  if (options_.stats) {
    ++stats_.frames;
    stats_.present = ui::Presenter::PathName(presenter_.path());
    if (stats_.frameStarts.size() < stats_.frameStarts.capacity()) {
      stats_.frameStarts.push_back(start);
    }
  }
  const bool budgetSpent = sequence_.Frame();

  const std::int64_t end = NowUs();
  if (pacer.LabelRefreshDue(end)) {
    PlaceLockMessage();
    if (ui::Run().firstRun && mode_ != ui::RunMode::Saver) UpdateInfoLabel();
  }
  if (budgetSpent) runDue_ = true;
}

void ScreenWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  presenter_.Paint(painter, event->region());
}

void ScreenWindow::ClearMessageArea() {
  lblMessage_->clear();
  lblMessage_->hide();  // shown again with a lock message
  surface_.Clear();
  presenter_.Present();
  PlaceLockMessage();
}

void ScreenWindow::PlaceLockMessage() {
  if (lockMessage_.empty()) return;
  lblMessage_->setGeometry(0, lblMessage_->y(), width(), lblMessage_->sizeHint().height());
  lblMessage_->setText(QString::fromStdString(lockMessage_));
  lblMessage_->show();
}

void ScreenWindow::UpdateInfoLabel() {
  int& index = InfoColourIndex();
  index = (index + 1) % 6;
  lblInfo_->setStyleSheet(
      QString("QLabel { color: %1; background: transparent; }").arg(HintColour(index).name()));
  lblInfo_->setText(kInfoText);
  const int h = lblInfo_->sizeHint().height();
  lblInfo_->setGeometry(0, height() - h, width(), h);
  lblInfo_->show();
}

void ScreenWindow::ParkCursor(bool touchCheckTime) {
  if (options_.host) return;
  if (canParkPointer_) {
    const QPoint local(width(), CIntOr(height() * 0.5, 0));
    QCursor::setPos(mapToGlobal(local));
    parkPoint_ = local;
  }
  if (touchCheckTime) lastPointerCheck_ = NowUs();
}

void ScreenWindow::PointerTest(QPoint position) {
  const std::int64_t now = NowUs();
  const std::int64_t since = now - lastPointerCheck_;
  if (since < 1'000'000 && since > -1'000'000) return;
  if (!parkPoint_) {
    // Nothing parked the pointer: measure from where it is first seen.
    parkPoint_ = position;
    lastPointerCheck_ = now;
    return;
  }
  const double diagonal = std::hypot(double(width()), double(height()));
  const double distance =
      std::hypot(double(parkPoint_->x() - position.x()), double(parkPoint_->y() - position.y()));
  if (distance > diagonal * 0.01) {
    if (mode_ == ui::RunMode::Installed || mode_ == ui::RunMode::Saver) {
      QuitSaver();
      return;
    }
  }
  lastPointerCheck_ = NowUs();
}

void ScreenWindow::HandleInput(int key) {
  if (options_.host || mode_ == ui::RunMode::Preview) return;
  if (key == Qt::Key_Escape) {
    QuitSaver();
    return;
  }
  const bool standalone = mode_ == ui::RunMode::Standalone;
  if (key == Qt::Key_F5) {
    if (standalone) {
      SaveWindowPlacement(*this, kSection);
      RunEffects();
    } else {
      QuitSaver();
    }
    return;
  }
  if (standalone) {
    OpenProperties();
  } else {
    QuitSaver();
  }
}

void ScreenWindow::keyPressEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  HandleInput(event->key());
}

void ScreenWindow::mousePressEvent(QMouseEvent* event) {
  if (options_.host || mode_ == ui::RunMode::Preview) return;
  if (event->button() == Qt::RightButton) {
    if (mode_ == ui::RunMode::Saver) {
      QuitSaver();
    } else {
      setCursor(Qt::ArrowCursor);
      mnuClick_->exec(event->globalPosition().toPoint());
      if (!stopRequested_ && windowTitle().isEmpty()) setCursor(Qt::BlankCursor);
    }
    return;
  }
  HandleInput(0);
}

void ScreenWindow::mouseMoveEvent(QMouseEvent* event) {
  if (options_.host) return;
  if (mode_ == ui::RunMode::Installed || mode_ == ui::RunMode::Saver) {
    PointerTest(event->position().toPoint());
  }
}

void ScreenWindow::OpenProperties() {
  if (stopRequested_) return;
  SaveWindowPlacement(*this, kSection);
  presenter_.Stop();
  setCursor(Qt::ArrowCursor);
  ui::ShowPropertiesDialog(this);
  if (ui::Run().exitRequested) {
    QuitSaver();
    return;
  }
  if (windowTitle().isEmpty()) setCursor(Qt::BlankCursor);
  ParkCursor(false);
  // The dialog has closed: the driver starts again with the new settings.
  RunEffects();
}

void ScreenWindow::QuitSaver() {
  if (stopRequested_ && !isVisible()) return;
  stopRequested_ = true;
  presenter_.Stop();
  hostTimer_.stop();
  close();
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
  stopRequested_ = true;
  presenter_.Stop();
  if (started_ && !options_.host) SaveWindowPlacement(*this, kSection);
  event->accept();
  QCoreApplication::exit(0);
}

void ScreenWindow::RaiseWindow() {
  if (options_.host) return;
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void ScreenWindow::FollowHostWindow() {
  if (!options_.hostWindow) return;
  const auto size = HostWindowSize(*options_.hostWindow);
  if (!size) {
    QuitSaver();  // the host's window is gone
    return;
  }
  if (*size != this->size()) {
    setGeometry(0, 0, size->width(), size->height());
    RunEffects();
  }
}

}  // namespace lmvn::app
