#include "ui/wayland_canvas.h"

#include <QGuiApplication>

#ifdef LUMIVANE_HAVE_WAYLAND
#include <qpa/qplatformnativeinterface.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstring>
#endif

namespace lmvn::ui {

#ifndef LUMIVANE_HAVE_WAYLAND

struct WaylandCanvas::Impl {};
std::unique_ptr<WaylandCanvas> WaylandCanvas::Make(QWindow*, std::function<void()>) {
  return nullptr;
}
bool WaylandCanvas::Possible() {
  return false;
}
bool WaylandCanvas::Waiting() {
  return false;
}
WaylandCanvas::~WaylandCanvas() = default;
bool WaylandCanvas::Show(const Surface&, const std::vector<Surface::Rect>&, int, int) {
  return false;
}
bool WaylandCanvas::Starved(std::int64_t) const {
  return false;
}

#else

namespace {

std::int64_t NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// The compositor's globals we need, bound once on Qt's display (its default queue, which Qt
// dispatches on the main thread).
struct Globals {
  wl_display* display = nullptr;
  wl_compositor* compositor = nullptr;
  wl_subcompositor* subcompositor = nullptr;
  wl_shm* shm = nullptr;
  bool ready() const { return compositor != nullptr && subcompositor != nullptr && shm != nullptr; }
};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
  auto* g = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_compositor_interface.name) == 0 && g->compositor == nullptr) {
    g->compositor = static_cast<wl_compositor*>(
        wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u)));
  } else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0 &&
             g->subcompositor == nullptr) {
    g->subcompositor = static_cast<wl_subcompositor*>(
        wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && g->shm == nullptr) {
    g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  }
}
void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

Globals* GetGlobals() {
  static Globals* globals = []() -> Globals* {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
        QGuiApplication::platformNativeInterface() == nullptr) {
      return nullptr;
    }
    auto* display = static_cast<wl_display*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("wl_display"));
    if (display == nullptr) return nullptr;
    auto* made = new Globals;  // for the life of the program
    made->display = display;
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, made);
    wl_display_flush(display);
    return made;
  }();
  return globals;
}

}  // namespace

struct WaylandCanvas::Buffer {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  std::size_t bytes = 0;
  int width = 0, height = 0;
  bool busy = false;
  bool owesAll = true;              // everything must be copied in before it is shown
  std::vector<Surface::Rect> owed;  // areas changed since it was last filled

  ~Buffer() {
    if (buffer != nullptr) wl_buffer_destroy(buffer);
    if (pixels != nullptr) munmap(pixels, bytes);
  }
};

struct WaylandCanvas::Impl {
  Globals* globals = nullptr;
  wl_surface* surface = nullptr;
  wl_subsurface* subsurface = nullptr;
  wl_callback* callback = nullptr;
  std::int64_t callbackSince = 0;
  int x = 0, y = 0;
  std::function<void()> frameDone;
  std::vector<std::unique_ptr<Buffer> > buffers;

  ~Impl() {
    buffers.clear();
    if (callback != nullptr) wl_callback_destroy(callback);
    if (subsurface != nullptr) wl_subsurface_destroy(subsurface);
    if (surface != nullptr) wl_surface_destroy(surface);
    wl_display_flush(globals->display);
  }

  static void Released(void* data, wl_buffer*) { static_cast<Buffer*>(data)->busy = false; }
  static void Done(void* data, wl_callback* callback, std::uint32_t) {
    auto* impl = static_cast<Impl*>(data);
    wl_callback_destroy(callback);
    impl->callback = nullptr;
    if (impl->frameDone) impl->frameDone();
  }

  Buffer* Free(int width, int height) {
    std::erase_if(buffers, [&](const auto& b) {
      return !b->busy && (b->width != width || b->height != height);
    });
    for (auto& b : buffers) {
      if (!b->busy && b->width == width && b->height == height) return b.get();
    }
    if (buffers.size() >= 3) return nullptr;
    auto made = std::make_unique<Buffer>();
    made->width = width;
    made->height = height;
    made->bytes = std::size_t(width) * std::size_t(height) * 4;
    const int fd = memfd_create("lumivane-frame", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    if (ftruncate(fd, static_cast<off_t>(made->bytes)) != 0) {
      close(fd);
      return nullptr;
    }
    void* memory = mmap(nullptr, made->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
      close(fd);
      return nullptr;
    }
    made->pixels = static_cast<std::uint32_t*>(memory);
    wl_shm_pool* pool =
        wl_shm_create_pool(globals->shm, fd, static_cast<std::int32_t>(made->bytes));
    made->buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    static const wl_buffer_listener listener = {Released};
    wl_buffer_add_listener(made->buffer, &listener, made.get());
    buffers.push_back(std::move(made));
    return buffers.back().get();
  }
};

bool WaylandCanvas::Possible() {
  // Chosen by the user: a compositor rendering in software (sway 1.7 measured) spends more on
  // the canvas's commits than the canvas saves here (docs/PERFORMANCE.md).
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
         qEnvironmentVariableIntValue("LUMIVANE_WAYLAND_CANVAS") == 1;
}

bool WaylandCanvas::Waiting() {
  const Globals* globals = GetGlobals();
  return globals != nullptr && !globals->ready();
}

std::unique_ptr<WaylandCanvas> WaylandCanvas::Make(QWindow* window,
                                                   std::function<void()> frameDone) {
  Globals* globals = GetGlobals();
  if (globals == nullptr || !globals->ready() || window == nullptr) return nullptr;
  auto* parent = static_cast<wl_surface*>(
      QGuiApplication::platformNativeInterface()->nativeResourceForWindow("surface", window));
  if (parent == nullptr) return nullptr;
  std::unique_ptr<WaylandCanvas> canvas(new WaylandCanvas);
  canvas->impl_ = std::make_unique<Impl>();
  Impl& impl = *canvas->impl_;
  impl.globals = globals;
  impl.frameDone = std::move(frameDone);
  impl.surface = wl_compositor_create_surface(globals->compositor);
  impl.subsurface = wl_subcompositor_get_subsurface(globals->subcompositor, impl.surface, parent);
  wl_subsurface_set_position(impl.subsurface, 0, 0);
  wl_subsurface_place_below(impl.subsurface, parent);
  wl_subsurface_set_desync(impl.subsurface);
  // Input goes to the window above it.
  wl_region* none = wl_compositor_create_region(globals->compositor);
  wl_surface_set_input_region(impl.surface, none);
  wl_region_destroy(none);
  wl_display_flush(globals->display);
  return canvas;
}

WaylandCanvas::~WaylandCanvas() = default;

bool WaylandCanvas::Show(const Surface& surface, const std::vector<Surface::Rect>& rects, int x,
                         int y) {
  Impl& impl = *impl_;
  if (x != impl.x || y != impl.y) {  // takes effect with the window's next commit
    impl.x = x;
    impl.y = y;
    wl_subsurface_set_position(impl.subsurface, x, y);
  }
  const int w = surface.width(), h = surface.height();
  Buffer* buffer = impl.Free(w, h);
  // What this frame changed is owed by every other buffer (and by this one when none is free).
  constexpr std::size_t kMaxOwed = 4096;  // beyond: copy everything
  for (auto& b : impl.buffers) {
    if (b.get() == buffer || b->owesAll) continue;
    if (b->owed.size() + rects.size() > kMaxOwed) {
      b->owesAll = true;
      b->owed.clear();
    } else {
      b->owed.insert(b->owed.end(), rects.begin(), rects.end());
    }
  }
  if (buffer == nullptr) return false;
  const std::uint32_t* from = surface.pixels();
  auto copy = [&](const Surface::Rect& r) {
    for (int y = r.y; y < r.y + r.h; ++y) {
      const std::size_t at = std::size_t(y) * std::size_t(w) + std::size_t(r.x);
      std::memcpy(buffer->pixels + at, from + at, std::size_t(r.w) * 4);
    }
  };
  if (buffer->owesAll) {
    std::memcpy(buffer->pixels, from, buffer->bytes);
  } else {
    for (const Surface::Rect& r : buffer->owed) copy(r);
    for (const Surface::Rect& r : rects) copy(r);
  }
  const bool whole = buffer->owesAll;
  buffer->owesAll = false;
  buffer->owed.clear();
  buffer->busy = true;
  wl_surface_attach(impl.surface, buffer->buffer, 0, 0);
  if (whole) {
    wl_surface_damage_buffer(impl.surface, 0, 0, w, h);
  } else {
    for (const Surface::Rect& r : rects) wl_surface_damage_buffer(impl.surface, r.x, r.y, r.w, r.h);
  }
  if (impl.callback == nullptr) {
    impl.callback = wl_surface_frame(impl.surface);
    impl.callbackSince = NowUs();
    static const wl_callback_listener listener = {Impl::Done};
    wl_callback_add_listener(impl.callback, &listener, &impl);
  }
  wl_surface_commit(impl.surface);
  wl_display_flush(impl.globals->display);
  return true;
}

bool WaylandCanvas::Starved(std::int64_t nowUs) const {
  return impl_->callback != nullptr && nowUs - impl_->callbackSince > 250'000;
}

#endif

}  // namespace lmvn::ui
