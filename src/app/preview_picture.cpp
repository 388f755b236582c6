#include "app/preview_picture.h"

#include <cmath>

#include "render/numeric.h"
#include "render/random.h"

namespace lmvn::app {

void DrawPreviewPicture(Surface& surface, const Palette& palette) {
  const Long w = surface.width(), h = surface.height();
  ProgramRandom().SeedFromClock();
  const Single step = 6.2831855f / 32;
  Single x[32], y[32], dx[32], dy[32];
  for (int n = 0; n < 10; ++n) {
    const Long cx = static_cast<Long>(Int((Rnd() * 0.8 + 0.1) * w));
    const Long cy = static_cast<Long>(Int((Rnd() * 0.7 + 0.1) * h));
    const Long hue = CLngOr(Rnd() * 360.0, 0);
    const Colour colour = palette.HueWheel[static_cast<std::size_t>(hue % 360)];
    const Single speed = Rnd() * 3 + 1;
    Single angle = 0;
    for (int k = 0; k < 32; ++k) {
      x[k] = static_cast<Single>(cx);
      y[k] = static_cast<Single>(cy);
      dx[k] = speed * std::cos(angle);
      dy[k] = speed * std::sin(angle);
      angle += step;
    }
    for (int s = 0; s < 32; ++s) {
      for (int k = 0; k < 32; ++k) {
        surface.SetPixelV(CLngOr(x[k], -1), CLngOr(y[k], -1), colour);
        x[k] += dx[k];
        y[k] += dy[k];
        dx[k] = dx[k] * 0.95f;
        dy[k] = dy[k] * 0.95f;
        dy[k] += 0.025f;
      }
    }
  }
}

}  // namespace lmvn::app
