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

namespace {
std::int64_t NowUs() {
  return ui::FrameClock::NowUs();
}
}  // namespace

// ---- ScreenWindow

ScreenWindow::ScreenWindow(Saver& saver, QScreen* screen)
    : QWidget(nullptr),
      saver_(saver),
      screen_(screen),
      palette_(saver.palette()),
      surface_(1, 1),
      presenter_(*this, surface_) {
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
  if (ui::Run().runMode == ui::RunMode::Installed) setWindowFlag(Qt::WindowStaysOnTopHint);
  // A Wayland window that asks to be activated while the program has no keyboard focus asks
  // again at every keyboard entry, taking the keyboard back from a dialog opened over it. The
  // compositor activates a new window by itself, so the saver's windows never ask there.
  if (QGuiApplication::platformName().startsWith("wayland")) {
    setAttribute(Qt::WA_ShowWithoutActivating);
  }

  lblMessage_ = new QLabel(this);
  lblMessage_->setAlignment(Qt::AlignCenter);
  lblMessage_->setStyleSheet("QLabel { color: white; background: transparent; }");
  QFont big = lblMessage_->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  lblMessage_->setFont(big);
  lblMessage_->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblMessage_->hide();
  lblInfo_ = new QLabel(kInfoText, this);
  lblInfo_->setAlignment(Qt::AlignCenter);
  lblInfo_->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblInfo_->hide();

  connect(&presenter_, &ui::Presenter::shown, &saver, &Saver::Shown);
}

ScreenWindow::~ScreenWindow() = default;

bool ScreenWindow::Embed(unsigned long id, bool rootWindow) {
  setAttribute(Qt::WA_NativeWindow);
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  if (rootWindow) {
    flags |=
        Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnBottomHint;
  }
  setWindowFlags(flags);
  winId();
  foreignParent_ = QWindow::fromWinId(static_cast<WId>(id));
  const auto size = HostWindowSize(id);
  if (!foreignParent_ || !size) return false;
  windowHandle()->setParent(foreignParent_);
  const QSize logical = Logical(*size);
  setGeometry(0, 0, logical.width(), logical.height());
  show();
  if (rootWindow) lower();  // beneath every other window, as the desktop is
  return true;
}

QSize ScreenWindow::Logical(QSize device) const {
  const qreal ratio = devicePixelRatioF();
  if (!(ratio > 0) || ratio == 1.0) return device;
  return QSize(std::max(1, qRound(device.width() / ratio)),
               std::max(1, qRound(device.height() / ratio)));
}

void ScreenWindow::Prepare(const RuntimeSettings& runtime) {
  const int w = std::max(1, width()), h = std::max(1, height());
  if (surface_.width() != w || surface_.height() != h) presenter_.Resize(w, h);
  view_ =
      MakeSurfaceState(surface_.width(), surface_.height(), runtime.FocalLength, runtime.PixelSize);
}

void ScreenWindow::ShowLockMessage(const std::string& message) {
  if (message.empty()) {
    lblMessage_->clear();
    lblMessage_->hide();
    return;
  }
  lblMessage_->setGeometry(0, lblMessage_->y(), width(), lblMessage_->sizeHint().height());
  lblMessage_->setText(QString::fromStdString(message));
  lblMessage_->show();
}

void ScreenWindow::ShowInfo(const QColor& colour) {
  lblInfo_->setStyleSheet(
      QString("QLabel { color: %1; background: transparent; }").arg(colour.name()));
  lblInfo_->setText(kInfoText);
  const int h = lblInfo_->sizeHint().height();
  lblInfo_->setGeometry(0, height() - h, width(), h);
  lblInfo_->show();
}

void ScreenWindow::HideInfo() {
  lblInfo_->hide();
}

void ScreenWindow::Retire() {
  screen_ = nullptr;
  ShowLockMessage({});
  HideInfo();
  hide();
  presenter_.Resize(1, 1);  // lets go of the pixels
}

void ScreenWindow::PlayCue(Cue cue, CuePlace place) {
  saver_.PlayCue(*this, cue, place);
}

void ScreenWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  presenter_.Paint(painter, event->region());
}

void ScreenWindow::keyPressEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  saver_.HandleInput(*this, event->key());
}

void ScreenWindow::mousePressEvent(QMouseEvent* event) {
  saver_.MousePress(*this, event->button(), event->globalPosition().toPoint());
}

void ScreenWindow::mouseMoveEvent(QMouseEvent* event) {
  saver_.PointerMoved(event->globalPosition().toPoint());
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (isVisible()) saver_.QuitSaver();  // closed by the window manager: the saver ends
}

// ---- Saver

Saver::Saver(const Palette& startupPalette, const Options& options)
    : options_(options),
      mode_(ui::Run().runMode),
      palette_(startupPalette),
      sequence_(noOverrides_),
      clock_([this] { Frame(); }) {
  mnuClick_ = std::make_unique<QMenu>("&Click");
  mnuClick_->addAction("Properties...", this, [this] {
    if (menuWindow_) OpenProperties(*menuWindow_);
  });
  mnuClick_->addSeparator();
  mnuClick_->addAction("Exit", this, [this] { QuitSaver(); });

  hostTimer_.setInterval(250);
  connect(&hostTimer_, &QTimer::timeout, this, &Saver::FollowHostWindow);
  connect(qGuiApp, &QGuiApplication::screenAdded, this, &Saver::ScreenAdded);
  connect(qGuiApp, &QGuiApplication::screenRemoved, this, &Saver::ScreenRemoved);

  // Where the platform cannot move the pointer (Wayland), parking is skipped and the pointer
  // test measures from where the pointer is first seen.
  wayland_ = QGuiApplication::platformName().startsWith("wayland");
  canParkPointer_ = !wayland_ && !options_.idle;
  if (options_.stats) stats_.frameStarts.reserve(1 << 16);
}

Saver::~Saver() {
  StopFrames();
  for (auto& window : windows_) sequence_.RemoveOutput(window->surface());
}

void Saver::Start() {
  if (options_.hostWindow) {
    auto window = std::make_unique<ScreenWindow>(*this, nullptr);
    if (!window->Embed(*options_.hostWindow, options_.rootWindow)) {
      spare_.push_back(std::move(window));
      QuitSaver();
      return;
    }
    sequence_.AddOutput(window->context());
    clock_.Watch(window->presenter());
    windows_.push_back(std::move(window));
    hostTimer_.start();
  }
  started_ = true;
  RunEffects();
}

void Saver::RunEffects() {
  stopRequested_ = false;
  resizable_ =
      !options_.host && ReadSettingString(kSettingsApp, "Advanced", "Adv_WindowResize", "0") == "1";
  runtime_ = LoadRuntimeSettings();
  sequence_.Restart(runtime_, ui::Run().firstRun);
  Layout();
  for (auto& window : windows_) {
    window->HideInfo();
    window->Prepare(runtime_);
  }
  palette_.UseSettings(runtime_.colour);
  cues_.Use(runtime_.SoundOn, runtime_.SoundFiles);
  lockMessage_ = runtime_.LockMessage;
  if (options_.seed) {
    ProgramRandom().Seed(*options_.seed);
  } else {
    ProgramRandom().SeedFromClock();
  }
  framesDrawn_ = 0;
  ClearMessageArea();
  runDue_ = true;
  StartFrames();
}

void Saver::Layout() {
  if (options_.hostWindow) return;
  // Full screen: a window per monitor, and none without one; otherwise the one window.
  for (std::size_t k = windows_.size(); k-- > 0;) {
    ScreenWindow& window = *windows_[k];
    const bool keep = everyScreen() ? window.boundScreen() != nullptr : k == 0;
    if (!keep) RetireWindow(window);
  }
  if (everyScreen()) {
    for (QScreen* screen : QGuiApplication::screens()) {
      const bool covered = std::any_of(windows_.begin(), windows_.end(),
                                       [&](const auto& w) { return w->boundScreen() == screen; });
      if (!covered) AddWindow(screen);
    }
  } else if (windows_.empty()) {
    AddWindow(nullptr);
  } else {
    windows_.front()->Bind(nullptr);
  }
  for (auto& window : windows_) Shape(*window);
  ScreenWindow* primary = PrimaryWindow();
  if (primary && !wayland_) primary->activateWindow();
}

ScreenWindow& Saver::AddWindow(QScreen* screen) {
  std::unique_ptr<ScreenWindow> window;
  if (spare_.empty()) {
    window = std::make_unique<ScreenWindow>(*this, screen);
    if (options_.host) window->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  } else {
    window = std::move(spare_.back());
    spare_.pop_back();
    window->Bind(screen);
  }
  ScreenWindow& added = *window;
  windows_.push_back(std::move(window));
  Shape(added);
  added.Prepare(runtime_);
  sequence_.AddOutput(added.context());
  clock_.Watch(added.presenter());
  return added;
}

void Saver::RetireWindow(ScreenWindow& window) {
  clock_.Unwatch(window.presenter());
  sequence_.RemoveOutput(window.surface());
  window.Retire();
  const auto it = std::find_if(windows_.begin(), windows_.end(),
                               [&](const auto& w) { return w.get() == &window; });
  spare_.push_back(std::move(*it));
  windows_.erase(it);
}

void Saver::Shape(ScreenWindow& window) {
  if (options_.hostWindow) return;
  window.setWindowTitle(kCaption);
  if (resizable_) {
    window.setCursor(Qt::ArrowCursor);
    const bool placed =
        ParseWindowSize(ReadSettingString(kSettingsApp, kSection, "WindowSize", "")).has_value();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!placed && !window.isVisible() && screen) {
      // Nothing stored yet: three quarters of the screen, in its middle.
      const QRect area = screen->availableGeometry();
      const QSize size(area.width() * 3 / 4, area.height() * 3 / 4);
      window.setGeometry(QRect(area.topLeft() + QPoint((area.width() - size.width()) / 2,
                                                       (area.height() - size.height()) / 2),
                               size));
    }
    RestoreWindowPlacement(window, kSection);
    if (!window.isVisible()) window.show();
  } else {
    window.setCursor(Qt::BlankCursor);
    QScreen* screen = window.boundScreen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      window.setScreen(screen);
      window.setGeometry(screen->geometry());
    }
    // Full screen without asking to be activated (showFullScreen asks): see the constructor.
    window.setWindowState((window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                          Qt::WindowFullScreen);
    window.show();
  }
  window.raise();
}

void Saver::ScreenAdded(QScreen* screen) {
  // During a dialog the windows are laid out again when it closes.
  if (!started_ || stopRequested_ || inDialog_ || !everyScreen()) return;
  AddWindow(screen);
}

void Saver::ScreenRemoved(QScreen* screen) {
  for (auto& window : windows_) {
    if (window->boundScreen() != screen) continue;
    if (inDialog_) {
      window->Bind(nullptr);  // laid out again when the dialog closes
      window->hide();
    } else {
      RetireWindow(*window);
    }
    return;
  }
}

void Saver::StartFrames() {
  animating_ = true;
  clock_.Start(runtime_.FrameDelay);
}

void Saver::StopFrames() {
  animating_ = false;
  clock_.Stop();
}

void Saver::PresentAll() {
  for (auto& window : windows_) window->presenter().Put();
  ui::Presenter::FencePuts();
}

ScreenWindow* Saver::PrimaryWindow() const {
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const auto& window : windows_) {
    if (window->boundScreen() == primary) return window.get();
  }
  return windows_.empty() ? nullptr : windows_.front().get();
}

QRect Saver::PointerArea() const {
  QRect area;
  for (const auto& window : windows_) {
    if (window->isVisible()) area |= QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
  }
  return area;
}

void Saver::Frame() {
  if (windows_.empty()) return;
  const ui::Presenter& lead = windows_.front()->presenter();
  if (options_.frames && framesDrawn_ >= *options_.frames) {
    StopFrames();  // the last frame stays on screen
    return;
  }
  ++framesDrawn_;
  if (runDue_) {
    runDue_ = false;
    // Runs whose effect is not picked clear the canvas and pass at once. A round in which
    // nothing was shown leaves the canvas black and ends the rounds: with the same settings
    // every later round would show nothing either, so the saver rests (taking input) until
    // the driver starts again. The pointer is parked once per shown run (or for the rest).
    bool shown = false;
    for (;;) {
      const EffectRun& run = sequence_.BeginRun();
      shown = run.shown;
      if (run.shown || run.idle) break;
    }
    PresentAll();
    ui::Presenter::FinishPuts();  // the frame draws next
    ParkCursor(true);
    if (!shown) {
      StopFrames();  // rests, taking input, until the driver starts again
      return;
    }
    clock_.pacer().StartFrame(NowUs());  // the frame proper starts once the run has begun
  }
  FramePacer& pacer = clock_.pacer();
  const std::int64_t start = pacer.FrameStartTick;
  if (options_.stats) {
    ++stats_.frames;
    stats_.present = ui::Presenter::PathName(lead.path());
    if (stats_.frameStarts.size() < stats_.frameStarts.capacity()) {
      stats_.frameStarts.push_back(start);
    }
  }
  const bool budgetSpent = sequence_.Frame();
  PresentAll();

  const std::int64_t end = NowUs();
  if (pacer.LabelRefreshDue(end)) {
    PlaceLockMessage();
    if (ui::Run().firstRun && mode_ != ui::RunMode::Saver) UpdateInfoLabel();
  }
  if (budgetSpent) runDue_ = true;
}

void Saver::Shown() {
  if (options_.stats && !stats_.firstFrameUs && stats_.frames > 0) stats_.firstFrameUs = NowUs();
}

void Saver::PlayCue(const ScreenWindow& from, Cue cue, CuePlace place) {
  // One screen's effect sounds; the others would only repeat it.
  if (&from == PrimaryWindow()) cues_.PlayCue(cue, place);
}

void Saver::ClearMessageArea() {
  ui::Presenter::FinishPuts();
  for (auto& window : windows_) {
    window->ShowLockMessage({});
    window->surface().Clear();
  }
  PresentAll();
  PlaceLockMessage();
}

void Saver::PlaceLockMessage() {
  if (lockMessage_.empty()) return;
  const ScreenWindow* primary = PrimaryWindow();
  for (auto& window : windows_) {
    window->ShowLockMessage(window.get() == primary ? lockMessage_ : std::string());
  }
}

void Saver::UpdateInfoLabel() {
  int& index = InfoColourIndex();
  index = (index + 1) % 6;
  const ScreenWindow* primary = PrimaryWindow();
  for (auto& window : windows_) {
    if (window.get() == primary) {
      window->ShowInfo(HintColour(index));
    } else {
      window->HideInfo();
    }
  }
}

void Saver::ParkCursor(bool touchCheckTime) {
  if (options_.host) return;
  const QRect area = PointerArea();
  if (canParkPointer_ && !area.isEmpty()) {
    // The right-hand middle point of the desktop; where the pointer really went counts, as
    // the server keeps it on a monitor.
    QCursor::setPos(QPoint(area.x() + area.width(), area.y() + CIntOr(area.height() * 0.5, 0)));
    parkPoint_ = QCursor::pos();
  } else if (!parkPoint_ && !wayland_) {
    parkPoint_ = QCursor::pos();  // the pointer stays where it is, and is measured from there
  }
  if (touchCheckTime) lastPointerCheck_ = NowUs();
}

void Saver::PointerMoved(QPoint position) {
  if (options_.host) return;
  if (mode_ != ui::RunMode::Installed && mode_ != ui::RunMode::Saver) return;
  const std::int64_t now = NowUs();
  const std::int64_t since = now - lastPointerCheck_;
  if (since < 1'000'000 && since > -1'000'000) return;
  if (!parkPoint_) {
    // Nothing parked the pointer: measure from where it is first seen.
    parkPoint_ = position;
    lastPointerCheck_ = now;
    return;
  }
  const QRect area = PointerArea();
  const double diagonal = std::hypot(double(area.width()), double(area.height()));
  const double distance =
      std::hypot(double(parkPoint_->x() - position.x()), double(parkPoint_->y() - position.y()));
  if (distance > diagonal * 0.01) {
    QuitSaver();
    return;
  }
  lastPointerCheck_ = NowUs();
}

void Saver::HandleInput(ScreenWindow& from, int key) {
  if (options_.host || mode_ == ui::RunMode::Preview) return;
  if (key == Qt::Key_Escape) {
    QuitSaver();
    return;
  }
  const bool standalone = mode_ == ui::RunMode::Standalone;
  if (key == Qt::Key_F5) {
    if (standalone) {
      SaveWindowPlacement(from, kSection);
      RunEffects();
    } else {
      QuitSaver();
    }
    return;
  }
  if (standalone) {
    OpenProperties(from);
  } else {
    QuitSaver();
  }
}

void Saver::MousePress(ScreenWindow& from, Qt::MouseButton button, QPoint global) {
  if (options_.host || mode_ == ui::RunMode::Preview) return;
  if (button != Qt::RightButton) {
    HandleInput(from, 0);
    return;
  }
  if (mode_ == ui::RunMode::Saver) {
    QuitSaver();
    return;
  }
  SetCursors(false);
  menuWindow_ = &from;
  KeepActivationRequestsBack();
  mnuClick_->exec(global);
  if (!stopRequested_ && !resizable_) SetCursors(true);
}

void Saver::KeepActivationRequestsBack() {
  // Qt's Wayland shell repeats a window's request to be activated whenever the focus object
  // changes, and with the keyboard entering the saver's window again (the compositor keeps it
  // there while a dialog opens) the saver would take the keyboard back from the dialog. Such
  // repeats are all that listens to the signal here.
  if (wayland_)
    QObject::disconnect(qGuiApp, &QGuiApplication::focusObjectChanged, nullptr, nullptr);
}

bool Saver::eventFilter(QObject* watched, QEvent* event) {
  // Under Wayland a dialog opened over the saver asks for the keyboard once the compositor
  // shows it: asked earlier, before the compositor knows the window, the request is lost and
  // the keyboard stays with the saver's window, which the dialog blocks.
  auto* window = qobject_cast<QWindow*>(watched);
  if (event->type() == QEvent::Expose && window != nullptr && window->isExposed() &&
      window->isTopLevel() && window->modality() != Qt::NonModal &&
      QGuiApplication::focusWindow() != window) {
    QTimer::singleShot(0, window, [window] { window->requestActivate(); });
  }
  return QObject::eventFilter(watched, event);
}

void Saver::SetCursors(bool blank) {
  for (auto& window : windows_) window->setCursor(blank ? Qt::BlankCursor : Qt::ArrowCursor);
}

void Saver::OpenProperties(ScreenWindow& from) {
  if (stopRequested_ || inDialog_) return;
  SaveWindowPlacement(from, kSection);
  StopFrames();
  SetCursors(false);
  inDialog_ = true;
  KeepActivationRequestsBack();
  if (wayland_) qApp->installEventFilter(this);
  ui::ShowPropertiesDialog(&from);
  if (wayland_) qApp->removeEventFilter(this);
  inDialog_ = false;
  if (ui::Run().exitRequested || ui::Run().quitRequested) {
    QuitSaver();
    return;
  }
  if (!resizable_) SetCursors(true);
  ParkCursor(false);
  // The dialog has closed: the driver starts again with the new settings.
  RunEffects();
}

void Saver::QuitSaver() {
  stopRequested_ = true;
  if (quitting_) return;
  quitting_ = true;
  StopFrames();
  hostTimer_.stop();
  if (started_ && !options_.host) {
    if (ScreenWindow* primary = PrimaryWindow()) SaveWindowPlacement(*primary, kSection);
  }
  for (auto& window : windows_) window->close();
  QCoreApplication::exit(0);
}

void Saver::RaiseWindow() {
  if (options_.host) return;
  for (auto& window : windows_) {
    if (window->isMinimized()) window->showNormal();
    window->raise();
  }
  ScreenWindow* primary = PrimaryWindow();
  if (primary && !wayland_) primary->activateWindow();
}

void Saver::FollowHostWindow() {
  if (!options_.hostWindow || windows_.empty()) return;
  const auto size = HostWindowSize(*options_.hostWindow);
  if (!size) {
    QuitSaver();  // the host's window is gone
    return;
  }
  ScreenWindow& window = *windows_.front();
  const QSize logical = window.Logical(*size);
  if (logical != window.size()) {
    window.setGeometry(0, 0, logical.width(), logical.height());
    RunEffects();
  }
}

}  // namespace lmvn::app
