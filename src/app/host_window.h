// Windows that belong to someone else: a screen-saver host's window and the preview window
// of "/P id", reached by their X11 ids through Qt's connection (or, before Qt has one, a
// connection of our own).
#pragma once

#include <QSize>
#include <optional>

#include "render/surface.h"

namespace lmvn::app {

// The size of the X11 window `id`; empty when there is no X display or no such window.
std::optional<QSize> HostWindowSize(unsigned long id);

// The root window of the display's default screen; empty when there is no X display.
std::optional<unsigned long> RootWindowId();

// From now on no request goes to the window manager (client messages to the root window, such
// as staying on top or a change of state). The saver's window inside a host's window is no
// top-level window, yet Qt announces its state when it makes any native window, and a host
// that owns the screen (a screen locker) has no window manager to ask and reports them.
void HoldWindowManagerRequests();

// Puts the whole surface into the X11 window `id` at its top-left corner and waits until the
// server has it. False when the window is gone or does not take 32-bit true-colour pixels.
bool PutSurface(unsigned long id, const Surface& surface);

}  // namespace lmvn::app
