// The saver's pixels on Wayland without Qt's backing store: a surface of our own beneath the
// window's (a subsurface), with shared-memory buffers that we fill with the changed areas only.
// Qt's backing store keeps one picture and, while the compositor holds the buffer last shown
// (as a compositor that renders in software does until the next one comes), copies the whole
// window into another buffer before every paint. The window itself stays transparent, so
// the labels Qt paints into it lie over the animation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "render/surface.h"

class QWindow;

namespace lmvn::ui {

class WaylandCanvas {
 public:
  // A canvas beneath `window` (shown, on Wayland); nullptr when the compositor lacks what it
  // needs or Lumivane was built without Wayland. `frameDone` is called when the compositor
  // asks for the next frame.
  static std::unique_ptr<WaylandCanvas> Make(QWindow* window, std::function<void()> frameDone);
  // True on Wayland when LUMIVANE_WAYLAND_CANVAS=1 asks for a canvas: the window should then be
  // transparent.
  static bool Possible();
  // True while the compositor's globals have been asked for and have not all come yet.
  static bool Waiting();
  ~WaylandCanvas();

  // Shows the surface's pixels (red in bits 16-23) at (x, y) of the window's surface, `rects`
  // having changed since the last call. False when no buffer was free (the areas are kept and
  // sent with the next frame).
  bool Show(const Surface& surface, const std::vector<Surface::Rect>& rects, int x, int y);
  // A frame was sent and the compositor has not asked for another for a while: it does not
  // show the window.
  bool Starved(std::int64_t nowUs) const;

  struct Buffer;
  struct Impl;

 private:
  WaylandCanvas() = default;
  std::unique_ptr<Impl> impl_;
};

}  // namespace lmvn::ui
