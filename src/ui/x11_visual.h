// X11 for code that puts pixels into windows itself: Qt's connection and the one decision on
// whether a window takes the surface's pixels as they are.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>

#include "render/surface.h"

namespace lmvn::ui {

// Qt's own connection to the X server, so that our requests and Qt's stay in order; nullptr
// without a Qt application on X11.
xcb_connection_t* QtXcbConnection();

// How a window takes 32-bit pixels unconverted.
struct X11PixelFormat {
  PixelLayout layout = PixelLayout::RedHigh;
  std::uint8_t depth = 24;
};

// The format of the window `window` when it is true colour of depth 24 or 32 with 8-bit
// channels in 32-bit pixels, in this machine's byte order; empty otherwise or when it is gone.
std::optional<X11PixelFormat> WindowPixelFormat(xcb_connection_t* c, xcb_window_t window);

}  // namespace lmvn::ui
