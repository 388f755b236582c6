#include "app/host_window.h"

#include <dlfcn.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <vector>

#include "ui/x11_visual.h"

namespace lmvn::app {

namespace {

// Qt's connection once Qt has one, so that the program holds one connection to the server;
// before that (the start-up checks, the preview of "/P id", which runs without Qt) one of its
// own, opened on first use and closed once Qt's can take over.
xcb_connection_t* Connection() {
  static xcb_connection_t* own = nullptr;
  static bool tried = false;
  if (xcb_connection_t* qt = ui::QtXcbConnection()) {
    if (own != nullptr) xcb_disconnect(own);
    own = nullptr;
    return qt;
  }
  if (!tried) {
    tried = true;
    own = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(own)) {
      xcb_disconnect(own);
      own = nullptr;
    }
  }
  return own;
}

std::atomic<bool> holdWindowManagerRequests{false};

}  // namespace

void HoldWindowManagerRequests() {
  holdWindowManagerRequests = true;
}

std::optional<QSize> HostWindowSize(unsigned long id) {
  xcb_connection_t* c = Connection();
  if (c == nullptr) return std::nullopt;
  xcb_generic_error_t* error = nullptr;
  xcb_get_geometry_reply_t* reply =
      xcb_get_geometry_reply(c, xcb_get_geometry(c, static_cast<xcb_drawable_t>(id)), &error);
  std::free(error);
  if (reply == nullptr) return std::nullopt;
  const QSize size(reply->width, reply->height);
  std::free(reply);
  return size;
}

std::optional<unsigned long> RootWindowId() {
  xcb_connection_t* c = Connection();
  if (c == nullptr) return std::nullopt;
  int screen = 0;
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
  std::free(host);
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screen && screens.rem > 1; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) return std::nullopt;
  return screens.data->root;
}

bool PutSurface(unsigned long id, const Surface& surface) {
  xcb_connection_t* c = Connection();
  if (c == nullptr) return false;
  const auto window = static_cast<xcb_window_t>(id);
  const auto format = ui::WindowPixelFormat(c, window);
  if (!format) return false;

  const int w = surface.width(), h = surface.height();
  const std::uint32_t* pixels = surface.pixels();
  std::vector<std::uint32_t> swapped;
  if (format->layout != surface.layout()) {
    swapped.assign(pixels, pixels + std::size_t(w) * h);
    for (std::uint32_t& p : swapped) {
      p = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
    }
    pixels = swapped.data();
  }
  const xcb_gcontext_t gc = xcb_generate_id(c);
  xcb_create_gc(c, gc, window, 0, nullptr);
  // Bands of rows that fit one request.
  const std::size_t maxBytes = std::size_t(xcb_get_maximum_request_length(c)) * 4 - 64;
  const int rowsPerBand = std::max(1, static_cast<int>(maxBytes / (std::size_t(w) * 4)));
  for (int y = 0; y < h; y += rowsPerBand) {
    const int rows = std::min(rowsPerBand, h - y);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, static_cast<std::uint16_t>(w),
                  static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(y), 0,
                  format->depth, static_cast<std::uint32_t>(rows) * w * 4,
                  reinterpret_cast<const std::uint8_t*>(pixels + std::size_t(y) * w));
  }
  xcb_free_gc(c, gc);
  // A round trip: the server has drawn everything before the program ends.
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  return true;
}

}  // namespace lmvn::app

// Every event the program sends passes here (the program's own definition comes before the
// library's, which it then calls). A client message with the substructure-redirect mask is a
// request to the window manager; while they are held it is dropped.
extern "C" xcb_void_cookie_t xcb_send_event(xcb_connection_t* c, std::uint8_t propagate,
                                            xcb_window_t destination, std::uint32_t eventMask,
                                            const char* event) {
  using Send = xcb_void_cookie_t (*)(xcb_connection_t*, std::uint8_t, xcb_window_t, std::uint32_t,
                                     const char*);
  static const auto send = reinterpret_cast<Send>(dlsym(RTLD_NEXT, "xcb_send_event"));
  const bool toWindowManager = (eventMask & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT) != 0 &&
                               event != nullptr && (event[0] & 0x7F) == XCB_CLIENT_MESSAGE;
  if (send == nullptr || (toWindowManager && lmvn::app::holdWindowManagerRequests)) {
    return xcb_void_cookie_t{0};
  }
  return send(c, propagate, destination, eventMask, event);
}
