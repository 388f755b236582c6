#include "effects/preview.h"

#include <array>
#include <cmath>

#include "effects/galaxies.h"
#include "render/random.h"

namespace lmvn {
namespace {

constexpr int kParticles = 32;
constexpr int kSteps = 32;
constexpr int kBursts = 10;
constexpr int kStars = 30;
constexpr Colour kWhite = 0xFFFFFF;

void SetPixelRounded(Surface& surface, Single x, Single y, Colour colour) {
  const auto px = CLng(x), py = CLng(y);
  if (px && py) surface.SetPixelV(*px, *py, colour);
}

}  // namespace

void DrawPreview(Surface& surface, const Palette& palette, Long width, Long height) {
  const double w = width, h = height;
  const Single step = 6.2831855f / static_cast<Single>(kParticles);
  std::array<Single, kParticles> x{}, y{}, dx{}, dy{};

  for (int n = 0; n < kBursts; ++n) {
    const auto cx = static_cast<Single>(Int((Rnd() * 0.8 + 0.1) * w));
    const auto cy = static_cast<Single>(Int((Rnd() * 0.7 + 0.1) * h));
    // A draw that rounds to 360 is hue 0 again: the wheel is a circle.
    const Long hue = CLngOr(Rnd() * 360.0f, 0) % 360;
    const Colour colour = palette.HueWheel[static_cast<std::size_t>(hue)];
    const Single speed = Rnd() * 3.0f + 1.0f;
    Single angle = 0.0f;
    for (int k = 0; k < kParticles; ++k) {
      x[k] = cx;
      y[k] = cy;
      dx[k] = speed * std::cos(angle);
      dy[k] = speed * std::sin(angle);
      angle += step;
    }
    for (int s = 0; s < kSteps; ++s) {
      for (int k = 0; k < kParticles; ++k) {
        SetPixelRounded(surface, x[k], y[k], colour);
        x[k] += dx[k];
        y[k] += dy[k];
        dx[k] *= 0.95f;
        dy[k] *= 0.95f;
        dy[k] += 0.025f;  // gravity: the trails droop
      }
    }
  }

  // Stars: the new-star cross with a focal length of 1, ten frames and an extension of 1,
  // drawn with seven frames left (the 0.7 picture), 0.5 to 8.5 deep.
  const NewStarLook look{1.0f, 10, 1.0f};
  for (int n = 0; n < kStars; ++n) {
    const Single r1 = Rnd();
    const Single r2 = Rnd();
    const Single r3 = Rnd();
    DrawNewStar(surface, 1, look, CLngOr(r1 * w, 0), CLngOr(r2 * h, 0), r3 * 8.0f + 0.5f, 7,
                kWhite);
  }
}

}  // namespace lmvn
