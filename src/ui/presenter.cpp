#include "ui/presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#ifdef LUMIVANE_HAVE_DPMS
#include <xcb/dpms.h>
#endif

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "ui/output_power.h"
#include "ui/x11_visual.h"

namespace lmvn::ui {

namespace {

// The grain of change tracking, chosen by measurement (docs/PERFORMANCE.md): tiles of 8 x 8
// pixels, runs in a tile row joined across gaps of up to 64 pixels. A frame's runs reach the
// server as one put clipped to them, so a run costs a clip rectangle and a few row copies, not
// a request; tiles of 4 x 4, 8 x 4 and 16 x 2 and gaps of 0 to 32 pixels measured the same
// within the spread between runs.
constexpr int kTileShift = 3;
constexpr int kJoinGap = 64;

// A display reached over the network cannot see our memory: only local displays (":0",
// "unix:0", a socket path) try shared memory.
bool LocalDisplay() {
  const QByteArray display = qgetenv("DISPLAY");
  return display.startsWith(':') || display.startsWith("unix:") || display.startsWith('/');
}

int BitsPerPixel(const xcb_setup_t* setup, int depth) {
  for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
       xcb_format_next(&formats)) {
    if (formats.data->depth == depth) return formats.data->bits_per_pixel;
  }
  return 0;
}

const xcb_visualtype_t* FindVisual(const xcb_setup_t* setup, xcb_visualid_t id) {
  for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens)) {
    for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
         xcb_depth_next(&depths)) {
      for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
           xcb_visualtype_next(&visuals)) {
        if (visuals.data->visual_id == id) return visuals.data;
      }
    }
  }
  return nullptr;
}

// Puts into shared memory wait for one round trip after the last of them: sent with the
// puts, its answer collected before anything is drawn again (normally a frame later, when it
// has long arrived, so no frame waits for the server).
bool putsPending = false;
std::optional<unsigned int> fence;
// The monitors of the X display are powered down (DPMS standby, suspend or off), as last
// looked at by a frame clock.
bool monitorsAsleep = false;
// Presenters on X11, so that a window's visibility events find theirs.
std::vector<Presenter*> x11Presenters;

// What of `target` other widgets cover: its own children and the siblings (of it or of an
// ancestor) stacked above it, in target coordinates. Those parts are painted through Qt.
QRegion CoveredRegion(const QWidget& target) {
  QRegion covered = target.childrenRegion();
  for (const QWidget* w = &target; !w->isWindow() && w->parentWidget() != nullptr;
       w = w->parentWidget()) {
    const QWidget* parent = w->parentWidget();
    const QPoint toTarget = target.mapFrom(parent, QPoint(0, 0));
    bool above = false;
    for (const QObject* child : parent->children()) {
      if (child == w) {
        above = true;
        continue;
      }
      const auto* sibling = qobject_cast<const QWidget*>(child);
      if (above && sibling != nullptr && sibling->isVisible() && !sibling->isWindow()) {
        covered += sibling->geometry().translated(toTarget);
      }
    }
  }
  return covered;
}

// The part of `target` its ancestors do not clip away, in target coordinates.
QRect VisibleRect(const QWidget& target) {
  QRect visible = target.rect();
  for (const QWidget* w = target.parentWidget(); w != nullptr; w = w->parentWidget()) {
    visible &= w->rect().translated(target.mapFrom(w, QPoint(0, 0)));
    if (w->isWindow()) break;
  }
  return visible;
}

// Asks the server for the window's visibility changes (fully covered or not) beside the
// events Qt selected.
void SelectVisibilityEvents(xcb_connection_t* c, xcb_window_t window) {
  auto* attributes =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
  if (attributes == nullptr) return;
  const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
  std::free(attributes);
  xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
}

}  // namespace

xcb_connection_t* QtXcbConnection() {
  if (qGuiApp == nullptr || !QGuiApplication::platformName().startsWith(QLatin1String("xcb"))) {
    return nullptr;
  }
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

std::optional<X11PixelFormat> WindowPixelFormat(xcb_connection_t* c, xcb_window_t window) {
  auto* attributes =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
  auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
  const xcb_setup_t* setup = xcb_get_setup(c);
  const xcb_visualtype_t* visual =
      attributes != nullptr ? FindVisual(setup, attributes->visual) : nullptr;
  const int depth = geometry != nullptr ? geometry->depth : 0;
  std::free(attributes);
  std::free(geometry);
  constexpr std::uint8_t kNativeOrder = std::endian::native == std::endian::little
                                            ? XCB_IMAGE_ORDER_LSB_FIRST
                                            : XCB_IMAGE_ORDER_MSB_FIRST;
  if (visual == nullptr || (depth != 24 && depth != 32) || BitsPerPixel(setup, depth) != 32 ||
      setup->image_byte_order != kNativeOrder || visual->green_mask != 0xFF00u) {
    return std::nullopt;
  }
  X11PixelFormat format;
  format.depth = static_cast<std::uint8_t>(depth);
  if (visual->red_mask == 0xFF0000u && visual->blue_mask == 0xFFu) {
    format.layout = PixelLayout::RedHigh;
  } else if (visual->red_mask == 0xFFu && visual->blue_mask == 0xFF0000u) {
    format.layout = PixelLayout::RedLow;
  } else {
    return std::nullopt;
  }
  return format;
}

// A window fully covered by others gets nothing drawn: X11 says so with VisibilityNotify,
// which Qt does not pass on.
class VisibilityFilter final : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_VISIBILITY_NOTIFY) return false;
    const auto* notify = static_cast<const xcb_visibility_notify_event_t*>(message);
    for (Presenter* presenter : x11Presenters) {
      if (presenter->chosenWindow_ == notify->window) {
        presenter->SetObscured(notify->state == XCB_VISIBILITY_FULLY_OBSCURED);
      }
    }
    return false;
  }
};

// A shared memory segment that holds a surface's pixels, attached by the X server, and the
// window and GC they are put into.
class SharedPixels final : public PixelMemory {
 public:
  explicit SharedPixels(xcb_connection_t* c) : c_(c) {}
  ~SharedPixels() override {
    Release();
    if (gc_ != 0) xcb_free_gc(c_, gc_);
    xcb_flush(c_);
  }

  std::uint32_t* Provide(int width, int height) override {
    Release();
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return nullptr;
    void* address = shmat(id, nullptr, 0);
    // Marked for removal at once: the segment goes when the last process attached to it lets
    // go, the X server included, however this program ends (SIGKILL too). Linux lets the
    // server attach a segment so marked.
    shmctl(id, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) return nullptr;
    const xcb_shm_seg_t segment = xcb_generate_id(c_);
    xcb_generic_error_t* error = xcb_request_check(
        c_, xcb_shm_attach_checked(c_, segment, static_cast<std::uint32_t>(id), 1));
    if (error != nullptr) {
      std::free(error);
      shmdt(address);
      return nullptr;
    }
    segment_ = segment;
    address_ = address;
    width_ = width;
    height_ = height;
    return static_cast<std::uint32_t*>(address);
  }

  // The window `window` of the target: its GC and pixel format. False when it does not take
  // the surface's pixels as they are.
  bool Bind(xcb_window_t window) {
    if (window == window_) return format_.has_value();
    window_ = window;
    if (gc_ != 0) xcb_free_gc(c_, gc_);
    gc_ = 0;
    format_ = WindowPixelFormat(c_, window);
    if (!format_) return false;
    gc_ = xcb_generate_id(c_);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(c_, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    return true;
  }

  // Puts the areas `clip` (target coordinates, YX-banded: bands top to bottom, areas in a
  // band sharing their rows and left to right) into the window, the target's origin at
  // `offset`. Each batch is one put of the batch's bounds clipped to its areas, so the server
  // copies only those, for two requests however many areas a frame has. A run of a banded
  // list is itself banded, and a batch stays well inside the request size limit.
  void Put(const std::vector<Surface::Rect>& clip, QPoint offset) {
    constexpr std::size_t kBatch = 8192;
    for (std::size_t first = 0; first < clip.size(); first += kBatch) {
      const std::size_t end = std::min(clip.size(), first + kBatch);
      rects_.clear();
      int x0 = clip[first].x, x1 = x0, y1 = clip[first].y;
      for (std::size_t k = first; k < end; ++k) {
        const Surface::Rect& r = clip[k];
        rects_.push_back(
            xcb_rectangle_t{static_cast<std::int16_t>(r.x), static_cast<std::int16_t>(r.y),
                            static_cast<std::uint16_t>(r.w), static_cast<std::uint16_t>(r.h)});
        x0 = std::min(x0, r.x);
        x1 = std::max(x1, r.x + r.w);
        y1 = std::max(y1, r.y + r.h);
      }
      const QRect bounds(x0, clip[first].y, x1 - x0, y1 - clip[first].y);  // banded: first is top
      xcb_set_clip_rectangles(c_, XCB_CLIP_ORDERING_YX_BANDED, gc_,
                              static_cast<std::int16_t>(offset.x()),
                              static_cast<std::int16_t>(offset.y()),
                              static_cast<std::uint32_t>(rects_.size()), rects_.data());
      xcb_shm_put_image(
          c_, window_, gc_, static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_),
          static_cast<std::uint16_t>(bounds.x()), static_cast<std::uint16_t>(bounds.y()),
          static_cast<std::uint16_t>(bounds.width()), static_cast<std::uint16_t>(bounds.height()),
          static_cast<std::int16_t>(bounds.x() + offset.x()),
          static_cast<std::int16_t>(bounds.y() + offset.y()), format_->depth,
          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, 0);
    }
  }

  const std::uint32_t* data() const { return static_cast<const std::uint32_t*>(address_); }
  PixelLayout layout() const { return format_ ? format_->layout : PixelLayout::RedHigh; }

 private:
  void Release() {
    if (address_ == nullptr) return;
    xcb_shm_detach(c_, segment_);
    shmdt(address_);
    address_ = nullptr;
  }

  xcb_connection_t* c_;
  xcb_shm_seg_t segment_ = 0;
  void* address_ = nullptr;
  int width_ = 0, height_ = 0;
  xcb_window_t window_ = 0;
  xcb_gcontext_t gc_ = 0;
  std::optional<X11PixelFormat> format_;
  std::vector<xcb_rectangle_t> rects_;
};

// ---- FrameClock

FrameClock::FrameClock(std::function<void()> frame) : frame_(std::move(frame)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &FrameClock::Tick);
  poll_.setInterval(1000);
  connect(&poll_, &QTimer::timeout, this, &FrameClock::Poll);
  if (OutputPower* power = OutputPower::Get()) {
    connect(power, &OutputPower::changed, this, &FrameClock::Wake);
  }
}

FrameClock::~FrameClock() {
  for (Presenter* presenter : watched_) presenter->clock_ = nullptr;
}

std::int64_t FrameClock::NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void FrameClock::Start(Long delayMs) {
  pacer_.FrameDelay = delayMs;
  running_ = true;
  asleep_ = false;
  if (QtXcbConnection() != nullptr) poll_.start();
  Schedule(0);
}

void FrameClock::Stop() {
  running_ = false;
  asleep_ = false;
  timer_.stop();
  poll_.stop();
}

void FrameClock::Watch(Presenter& presenter) {
  if (presenter.clock_ != nullptr && presenter.clock_ != this) presenter.clock_->Unwatch(presenter);
  if (std::find(watched_.begin(), watched_.end(), &presenter) == watched_.end()) {
    watched_.push_back(&presenter);
  }
  presenter.clock_ = this;
  presenter.WatchWindowHandle();
  Wake();
}

void FrameClock::Unwatch(Presenter& presenter) {
  std::erase(watched_, &presenter);
  if (presenter.clock_ == this) presenter.clock_ = nullptr;
}

void FrameClock::Wake() {
  if (!running_ || !asleep_) return;
  asleep_ = false;
  Schedule(0);
}

bool FrameClock::AnySeen() const {
  return std::any_of(watched_.begin(), watched_.end(),
                     [](const Presenter* p) { return p->Seen(); });
}

// The timer has whole milliseconds and the event loop may round them up, so it is set for the
// whole milliseconds of the wait and the frame sleeps off the remaining fraction (under 2 ms)
// when the timer fires: frames start neither early nor a millisecond late.
void FrameClock::Schedule(std::int64_t waitUs) {
  if (!running_) return;
  nextFrameUs_ = NowUs() + waitUs;
  timer_.start(static_cast<int>(std::min<std::int64_t>(waitUs / 1000, 1'000'000)));
}

void FrameClock::Tick() {
  if (!running_) return;
  const std::int64_t early = nextFrameUs_ - NowUs();
  if (early > 2000) {
    Schedule(early);
    return;
  }
  if (!AnySeen()) {
    asleep_ = true;  // no timer until a window event or the poll finds a window seen
    return;
  }
  if (early > 0) std::this_thread::sleep_for(std::chrono::microseconds(early));
  Presenter::FinishPuts();
  pacer_.StartFrame(NowUs());
  frame_();
  if (!running_) return;
  Schedule(pacer_.WaitAfterFrame(NowUs()));
}

// What X11 does not announce, looked at once a second in one round trip: whether the monitors
// sleep, and whether each window is viewable (a host may unmap its window, which leaves ours
// mapped but unseen).
void FrameClock::Poll() {
  xcb_connection_t* c = QtXcbConnection();
  if (c == nullptr) return;
#ifdef LUMIVANE_HAVE_DPMS
  const xcb_query_extension_reply_t* dpms = xcb_get_extension_data(c, &xcb_dpms_id);
  const bool haveDpms = dpms != nullptr && dpms->present;
  const xcb_dpms_info_cookie_t info = haveDpms ? xcb_dpms_info(c) : xcb_dpms_info_cookie_t{};
#endif
  constexpr std::size_t kMaxWindows = 16;
  xcb_get_window_attributes_cookie_t cookies[kMaxWindows];
  const std::size_t n = std::min(watched_.size(), kMaxWindows);
  for (std::size_t k = 0; k < n; ++k) {
    cookies[k] =
        xcb_get_window_attributes(c, static_cast<xcb_window_t>(watched_[k]->chosenWindow_));
  }
#ifdef LUMIVANE_HAVE_DPMS
  if (haveDpms) {
    if (auto* reply = xcb_dpms_info_reply(c, info, nullptr)) {
      monitorsAsleep = reply->state != 0 && reply->power_level != XCB_DPMS_DPMS_MODE_ON;
      std::free(reply);
    }
  }
#endif
  for (std::size_t k = 0; k < n; ++k) {
    xcb_generic_error_t* error = nullptr;
    auto* reply = xcb_get_window_attributes_reply(c, cookies[k], &error);
    std::free(error);
    if (watched_[k]->chosenWindow_ != 0) {
      watched_[k]->viewable_ = reply == nullptr || reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    std::free(reply);
  }
  Wake();
}

// ---- Presenter

Presenter::Presenter(QWidget& target, Surface& surface) : target_(target), surface_(surface) {
  surface_.SetTileShift(kTileShift);
  target_.installEventFilter(this);
}

Presenter::Presenter(QWidget& target, Surface& surface, std::function<void()> frame)
    : Presenter(target, surface) {
  ownClock_ = std::make_unique<FrameClock>([this, draw = std::move(frame)] {
    if (draw) draw();
    if (running()) {
      Put();
      FencePuts();
    }
  });
  ownClock_->Watch(*this);
}

// Nothing here allocates or copies: the pixels in shared memory are simply let go.
Presenter::~Presenter() {
  if (clock_ != nullptr) clock_->Unwatch(*this);
  std::erase(x11Presenters, this);
  if (shared_) surface_.LetGoOfMemory();
}

void Presenter::Start(Long delayMs) {
  if (ownClock_) ownClock_->Start(delayMs);
}

void Presenter::Stop() {
  if (ownClock_) ownClock_->Stop();
}

bool Presenter::Seen() const {
  if (!target_.isVisible()) return false;
  const QWidget* top = target_.window();
  if (top->isMinimized()) return false;
  const QWindow* handle = top->windowHandle();
  if (handle == nullptr || !handle->isExposed() || obscured_ || !viewable_) return false;
  if (monitorsAsleep && QtXcbConnection() != nullptr) return false;
  const OutputPower* power = OutputPower::Get();
  return power == nullptr || !power->Off(target_.screen());
}

bool Presenter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
      WatchWindowHandle();
      [[fallthrough]];
    case QEvent::Expose:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
      if (clock_ != nullptr) clock_->Wake();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void Presenter::WatchWindowHandle() {
  QWindow* handle = target_.window()->windowHandle();
  if (handle == nullptr || handle == watchedHandle_) return;
  if (watchedHandle_) watchedHandle_->removeEventFilter(this);
  watchedHandle_ = handle;
  handle->installEventFilter(this);
}

void Presenter::SetObscured(bool obscured) {
  obscured_ = obscured;
  if (!obscured && clock_ != nullptr) clock_->Wake();
}

void Presenter::Resize(int width, int height) {
  ChoosePath();
  surface_.Resize(width, height);
  if (path_ == Path::Shm && surface_.pixels() != shared_->data()) FallBack();
}

void Presenter::ChoosePath() {
  // Chosen once the target is on screen, and again whenever its window or its screen (and so
  // its pixel ratio) changed: the window tells the pixel format.
  if (!target_.isVisible()) return;
  const unsigned long window = target_.window()->internalWinId();
  QScreen* screen = target_.screen();
  if (chosen_ && window == chosenWindow_ && screen == chosenScreen_) return;
  chosen_ = true;
  chosenWindow_ = window;
  chosenScreen_ = screen;
  obscured_ = false;
  viewable_ = true;
  WatchWindowHandle();
  xcb_connection_t* c = QtXcbConnection();
  if (c != nullptr && window != 0) {
    static auto* const filter = [] {
      auto* made = new VisibilityFilter;  // for the life of the program
      qApp->installNativeEventFilter(made);
      return made;
    }();
    (void)filter;
    if (std::find(x11Presenters.begin(), x11Presenters.end(), this) == x11Presenters.end()) {
      x11Presenters.push_back(this);
    }
    SelectVisibilityEvents(c, static_cast<xcb_window_t>(window));
  }
  const xcb_query_extension_reply_t* shm =
      c != nullptr ? xcb_get_extension_data(c, &xcb_shm_id) : nullptr;
  if (shm == nullptr || !shm->present || !LocalDisplay() || window == 0 ||
      target_.devicePixelRatioF() != 1.0) {
    FallBack();
    return;
  }
  if (!shared_) shared_ = std::make_unique<SharedPixels>(c);
  if (!shared_->Bind(static_cast<xcb_window_t>(window))) {
    FallBack();
    return;
  }
  if (path_ != Path::Shm || surface_.layout() != shared_->layout()) {
    surface_.UseMemory(shared_.get(), shared_->layout());
  }
  if (surface_.pixels() != shared_->data()) {
    FallBack();
    return;
  }
  path_ = Path::Shm;
}

// Qt paints from the surface's own memory. QImage::Format_RGB32 (red in bits 16-23) is what
// Qt's backing stores hold, so the repaint is a plain copy; RGBX8888 would be converted.
void Presenter::FallBack() {
  path_ = Path::Qt;
  if (shared_ || surface_.layout() != PixelLayout::RedHigh) {
    surface_.UseMemory(nullptr, PixelLayout::RedHigh);
  }
  shared_.reset();
  target_.update();
}

bool Presenter::Put() {
  ChoosePath();
  joined_.clear();
  surface_.TakeChangedTiles([this](const Surface::Rect& r) { JoinRun(joined_, r, kJoinGap); });
  if (joined_.empty()) return false;
  if (path_ == Path::Qt) {
    bands_.clear();
    for (const Surface::Rect& r : joined_) bands_.emplace_back(r.x, r.y, r.w, r.h);
    QRegion region;
    region.setRects(bands_.data(), static_cast<int>(bands_.size()));
    target_.update(region);
    return false;
  }
  if (!target_.isVisible()) return false;  // shown in full by the paint that comes with showing
  return PutShm(joined_);
}

void Presenter::FencePuts() {
  if (!putsPending) return;
  putsPending = false;
  // The server has handled every request sent so far, the puts included, once this answers.
  if (xcb_connection_t* c = QtXcbConnection()) {
    if (fence) xcb_discard_reply(c, *fence);  // the new answer says as much
    fence = xcb_get_input_focus(c).sequence;
    xcb_flush(c);
  }
}

void Presenter::FinishPuts() {
  FencePuts();
  if (!fence) return;
  const xcb_get_input_focus_cookie_t cookie{*fence};
  fence.reset();
  if (xcb_connection_t* c = QtXcbConnection()) {
    std::free(xcb_get_input_focus_reply(c, cookie, nullptr));
  }
}

void Presenter::Present() {
  Put();
  FinishPuts();
}

bool Presenter::PutShm(const std::vector<Surface::Rect>& bands) {
  const QRegion covered = CoveredRegion(target_);
  const QRect visible = VisibleRect(target_);
  const QPoint offset = target_.mapTo(target_.window(), QPoint(0, 0));
  clip_.clear();
  if (covered.isEmpty()) {
    // Banded rectangles clipped to one rectangle stay banded.
    const int left = visible.left(), top = visible.top();
    const int right = left + visible.width(), bottom = top + visible.height();
    for (const Surface::Rect& r : bands) {
      const int x0 = std::max(r.x, left), x1 = std::min(r.x + r.w, right);
      const int y0 = std::max(r.y, top), y1 = std::min(r.y + r.h, bottom);
      if (x0 < x1 && y0 < y1) clip_.push_back(Surface::Rect{x0, y0, x1 - x0, y1 - y0});
    }
  } else {  // what other widgets cover is painted through Qt
    bands_.clear();
    for (const Surface::Rect& r : bands) bands_.emplace_back(r.x, r.y, r.w, r.h);
    QRegion region;
    region.setRects(bands_.data(), static_cast<int>(bands_.size()));
    region &= visible;
    const QRegion viaQt = region & covered;
    if (!viaQt.isEmpty()) target_.update(viaQt);
    for (const QRect& r : region - covered) {  // a region's rectangles are banded
      clip_.push_back(Surface::Rect{r.x(), r.y(), r.width(), r.height()});
    }
  }
  if (clip_.empty()) return false;
  shared_->Put(clip_, offset);
  putsPending = true;
  const QWindow* window = target_.window()->windowHandle();
  if (window != nullptr && window->isExposed()) emit shown();
  return true;
}

// Straight into the backing store's image where painting goes into one unscaled (Qt's raster
// backing stores): a row copy per rectangle of the surface's own memory. Through QPainter each
// picture of a many-rectangle region costs a clip of the whole window, allocated and freed.
bool Presenter::PaintDirect(QPainter& painter, const QRegion& region) {
  const Surface& s = surface_;
  QPaintEngine* engine = painter.paintEngine();
  if (engine == nullptr || engine->type() != QPaintEngine::Raster ||
      s.layout() != PixelLayout::RedHigh) {
    return false;
  }
  QPaintDevice* device = engine->paintDevice();
  if (device == nullptr || device->devType() != QInternal::Image) return false;
  auto* image = static_cast<QImage*>(device);
  const QTransform transform = painter.deviceTransform();
  const QImage::Format format = image->format();
  if (transform.type() > QTransform::TxTranslate || image->devicePixelRatio() != 1.0 ||
      (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
       format != QImage::Format_ARGB32_Premultiplied)) {
    return false;
  }
  const int dx = qRound(transform.dx()), dy = qRound(transform.dy());
  if (dx != transform.dx() || dy != transform.dy()) return false;
  const QRect imageArea = image->rect().translated(-dx, -dy);  // in target coordinates
  const QRect surfaceArea(0, 0, s.width(), s.height());
  uchar* bits = image->bits();
  const qsizetype stride = image->bytesPerLine();
  constexpr std::uint32_t kBlack = 0xFF000000u;
  for (const QRect& area : region) {
    const QRect r = area & imageArea;
    if (r.isEmpty()) continue;
    const QRect inside = r & surfaceArea;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(bits + (y + dy) * stride) + dx;
      if (y < s.height() && !inside.isEmpty()) {
        std::memcpy(row + inside.x(), s.pixels() + std::size_t(y) * s.width() + inside.x(),
                    std::size_t(inside.width()) * 4);
        // Beyond the surface (a target grown since the surface was sized) stays black.
        std::fill(row + inside.right() + 1, row + r.right() + 1, kBlack);
      } else {
        std::fill(row + r.left(), row + r.right() + 1, kBlack);
      }
    }
  }
  return true;
}

void Presenter::Paint(QPainter& painter, const QRegion& region) {
  const Surface& s = surface_;
  if (PaintDirect(painter, region)) {
    emit shown();
    return;
  }
  const QImage image(
      reinterpret_cast<const uchar*>(s.pixels()), s.width(), s.height(),
      static_cast<qsizetype>(s.width()) * 4,
      s.layout() == PixelLayout::RedLow ? QImage::Format_RGBX8888 : QImage::Format_RGB32);
  const QRect surfaceArea(0, 0, s.width(), s.height());
  for (const QRect& area : region) {
    const QRect inside = area & surfaceArea;
    if (!inside.isEmpty()) painter.drawImage(inside.topLeft(), image, inside);
    if (inside == area) continue;
    // Beyond the surface (a target grown since the surface was sized) stays black: the bands
    // right of and below the surface.
    if (area.right() >= s.width()) {
      painter.fillRect(
          QRect(QPoint(std::max(area.left(), s.width()), area.top()), area.bottomRight()),
          Qt::black);
    }
    if (area.bottom() >= s.height()) {
      painter.fillRect(QRect(QPoint(area.left(), std::max(area.top(), s.height())),
                             QPoint(std::min(area.right(), s.width() - 1), area.bottom())),
                       Qt::black);
    }
  }
  emit shown();
}

}  // namespace lmvn::ui
