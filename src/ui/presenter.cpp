#include "ui/presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <thread>

#include "ui/x11_visual.h"

namespace lmvn::ui {

namespace {

// The grain of change tracking, chosen by measurement (docs/PERFORMANCE.md): tiles of 8 x 8
// pixels, runs in a tile row joined across gaps of up to 64 pixels. A put request costs the X
// server about as much as copying 500 pixels, so a gap of 8 rows x 64 pixels is worth sending
// again to save a request, and smaller tiles send fewer unchanged pixels.
constexpr int kTileShift = 3;
constexpr int kJoinGap = 64;

// Qt's own connection to the X server, so that our puts and Qt's requests stay in order;
// nullptr on other platforms.
xcb_connection_t* XcbConnection() {
  if (!QGuiApplication::platformName().startsWith(QLatin1String("xcb"))) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

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

// Fewer, larger areas for about the same pixels: runs in a tile row whose gap is at most `gap`
// pixels become one (the gap's pixels are sent again unchanged). `rects` come row by row, left
// to right, and so do the joined runs, still one height per row and never touching.
void JoinRuns(const std::vector<QRect>& rects, int gap, std::vector<QRect>& joined) {
  joined.clear();
  for (const QRect& r : rects) {
    if (!joined.empty() && joined.back().y() == r.y() && r.x() - joined.back().right() - 1 <= gap) {
      joined.back().setRight(r.right());
    } else {
      joined.push_back(r);
    }
  }
}

// Runs that lie exactly below each other become one taller rectangle. `open` and `next` are
// the caller's scratch lists (indices into `merged` of the previous and the current row).
void MergeDownwards(const std::vector<QRect>& joined, std::vector<QRect>& merged,
                    std::vector<std::size_t>& open, std::vector<std::size_t>& next) {
  merged.clear();
  open.clear();
  next.clear();
  int rowY = INT_MIN;
  std::size_t k = 0;
  for (const QRect& r : joined) {
    if (r.y() != rowY) {
      open.swap(next);
      next.clear();
      rowY = r.y();
      k = 0;
    }
    while (k < open.size() && merged[open[k]].x() < r.x()) ++k;
    if (k < open.size()) {
      QRect& above = merged[open[k]];
      if (above.x() == r.x() && above.width() == r.width() && above.bottom() + 1 == r.y()) {
        above.setBottom(r.bottom());
        next.push_back(open[k++]);
        continue;
      }
    }
    merged.push_back(r);
    next.push_back(merged.size() - 1);
  }
}

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

}  // namespace

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

  // The window `window` of the target: its GC and pixel layout. False when its pixels are not
  // 32-bit true colour with 8-bit channels.
  bool Bind(xcb_window_t window) {
    if (window == window_) return layoutKnown_;
    window_ = window;
    layoutKnown_ = false;
    if (gc_ != 0) xcb_free_gc(c_, gc_);
    gc_ = 0;
    auto* attributes =
        xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr);
    auto* geometry = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
    const xcb_setup_t* setup = xcb_get_setup(c_);
    const xcb_visualtype_t* visual =
        attributes != nullptr ? FindVisual(setup, attributes->visual) : nullptr;
    depth_ = geometry != nullptr ? geometry->depth : 0;
    std::free(attributes);
    std::free(geometry);
    if (visual == nullptr || BitsPerPixel(setup, depth_) != 32 || visual->green_mask != 0xFF00u) {
      return false;
    }
    if (visual->red_mask == 0xFF0000u && visual->blue_mask == 0xFFu) {
      layout_ = PixelLayout::RedHigh;
    } else if (visual->red_mask == 0xFFu && visual->blue_mask == 0xFF0000u) {
      layout_ = PixelLayout::RedLow;
    } else {
      return false;
    }
    gc_ = xcb_generate_id(c_);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(c_, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    layoutKnown_ = true;
    return true;
  }

  void Put(const QRect& r, QPoint offset) {
    xcb_shm_put_image(c_, window_, gc_, static_cast<std::uint16_t>(width_),
                      static_cast<std::uint16_t>(height_), static_cast<std::uint16_t>(r.x()),
                      static_cast<std::uint16_t>(r.y()), static_cast<std::uint16_t>(r.width()),
                      static_cast<std::uint16_t>(r.height()),
                      static_cast<std::int16_t>(r.x() + offset.x()),
                      static_cast<std::int16_t>(r.y() + offset.y()), depth_,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, 0);
  }

  // Waits until the server has handled every request sent so far, the puts included: after
  // it the pixels may be overwritten.
  void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

  const std::uint32_t* data() const { return static_cast<const std::uint32_t*>(address_); }
  PixelLayout layout() const { return layout_; }

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
  std::uint8_t depth_ = 0;
  bool layoutKnown_ = false;
  PixelLayout layout_ = PixelLayout::RedHigh;
};

Presenter::Presenter(QWidget& target, Surface& surface, std::function<void()> frame)
    : target_(target), surface_(surface), frame_(std::move(frame)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &Presenter::Tick);
  surface_.SetTileShift(kTileShift);
}

Presenter::~Presenter() {
  if (shared_) surface_.UseMemory(nullptr, surface_.layout());
}

std::int64_t Presenter::NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void Presenter::Start(Long delayMs) {
  pacer_.FrameDelay = delayMs;
  running_ = true;
  Schedule(0);
}

void Presenter::Stop() {
  running_ = false;
  timer_.stop();
}

// The timer has whole milliseconds and the event loop may round them up, so it is set for the
// whole milliseconds of the wait and the frame sleeps off the remaining fraction (under 2 ms)
// when the timer fires: frames start neither early nor a millisecond late.
void Presenter::Schedule(std::int64_t waitUs) {
  if (!running_) return;
  nextFrameUs_ = NowUs() + waitUs;
  timer_.start(static_cast<int>(std::min<std::int64_t>(waitUs / 1000, 1'000'000)));
}

void Presenter::Tick() {
  if (!running_) return;
  const std::int64_t early = nextFrameUs_ - NowUs();
  if (early > 2000) {
    Schedule(early);
    return;
  }
  if (early > 0) std::this_thread::sleep_for(std::chrono::microseconds(early));
  restUs_.reset();
  pacer_.StartFrame(NowUs());
  frame_();
  if (!running_) return;
  Present();
  Schedule(restUs_ ? *restUs_ : pacer_.WaitAfterFrame(NowUs()));
}

void Presenter::Resize(int width, int height) {
  ChoosePath();
  surface_.Resize(width, height);
  if (path_ == Path::Shm && surface_.pixels() != shared_->data()) FallBack();
}

void Presenter::ChoosePath() {
  // Chosen once the target is on screen: its window tells the pixel layout.
  if (chosen_ || !target_.isVisible()) return;
  chosen_ = true;
  xcb_connection_t* c = XcbConnection();
  const xcb_query_extension_reply_t* shm =
      c != nullptr ? xcb_get_extension_data(c, &xcb_shm_id) : nullptr;
  if (shm == nullptr || !shm->present || !LocalDisplay() || target_.devicePixelRatioF() != 1.0) {
    FallBack();
    return;
  }
  shared_ = std::make_unique<SharedPixels>(c);
  if (!shared_->Bind(static_cast<xcb_window_t>(target_.window()->winId()))) {
    FallBack();
    return;
  }
  surface_.UseMemory(shared_.get(), shared_->layout());
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

bool Presenter::BindWindow() {
  const WId window = target_.window()->internalWinId();
  return window != 0 && shared_->Bind(static_cast<xcb_window_t>(window)) &&
         shared_->layout() == surface_.layout();
}

void Presenter::Present() {
  ChoosePath();
  rects_.clear();
  surface_.TakeChangedTiles(
      [this](const Surface::Rect& r) { rects_.emplace_back(r.x, r.y, r.w, r.h); });
  if (rects_.empty()) return;
  if (path_ == Path::Shm && !BindWindow()) FallBack();
  JoinRuns(rects_, kJoinGap, joined_);  // still the bands QRegion::setRects wants
  if (path_ == Path::Qt) {
    QRegion region;
    region.setRects(joined_.data(), static_cast<int>(joined_.size()));
    target_.update(region);
    return;
  }
  if (!target_.isVisible()) return;  // shown in full by the paint that comes with showing
  MergeDownwards(joined_, merged_, openRows_, nextRows_);
  PutShm(merged_);
}

void Presenter::PutShm(const std::vector<QRect>& rects) {
  const QRegion covered = CoveredRegion(target_);
  const QRect visible = VisibleRect(target_);
  const QPoint offset = target_.mapTo(target_.window(), QPoint(0, 0));
  QRegion viaQt;
  for (const QRect& rect : rects) {
    const QRect r = rect & visible;
    if (r.isEmpty()) continue;
    if (!covered.intersects(r)) {
      shared_->Put(r, offset);
      continue;
    }
    for (const QRect& part : QRegion(r) - covered) shared_->Put(part, offset);
    viaQt += QRegion(r) & covered;
  }
  if (!viaQt.isEmpty()) target_.update(viaQt);
  shared_->Sync();
  const QWindow* window = target_.window()->windowHandle();
  if (window != nullptr && window->isExposed()) emit shown();
}

void Presenter::Paint(QPainter& painter, const QRegion& region) {
  const Surface& s = surface_;
  const QImage image(
      reinterpret_cast<const uchar*>(s.pixels()), s.width(), s.height(),
      static_cast<qsizetype>(s.width()) * 4,
      s.layout() == PixelLayout::RedLow ? QImage::Format_RGBX8888 : QImage::Format_RGB32);
  const QRect surfaceArea(0, 0, s.width(), s.height());
  for (const QRect& area : region) {
    const QRect inside = area & surfaceArea;
    if (!inside.isEmpty()) painter.drawImage(inside.topLeft(), image, inside);
    // Beyond the surface (a target grown since the surface was sized) stays black.
    for (const QRect& r : QRegion(area) - QRegion(inside)) painter.fillRect(r, Qt::black);
  }
  emit shown();
}

}  // namespace lmvn::ui
