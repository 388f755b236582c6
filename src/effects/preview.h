// The preview miniature: one still picture of ten small firework bursts with drooping trails
// and thirty twinkling white stars, drawn once (no animation, nothing erased).
#pragma once

#include "render/colour.h"
#include "render/surface.h"

namespace lmvn {

// Draws the picture for a window of width x height pixels into `surface` (usually of that
// size; pixels beyond the surface are dropped). Any size works, 0 x 0 included: every burst
// and star then sits at the origin. The picture follows the program's random generator; the
// saver re-seeds it from the clock first, so each preview differs.
void DrawPreview(Surface& surface, const Palette& palette, Long width, Long height);

// The same, for a window the size of the surface.
inline void DrawPreview(Surface& surface, const Palette& palette) {
  DrawPreview(surface, palette, surface.width(), surface.height());
}

}  // namespace lmvn
