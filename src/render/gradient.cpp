#include "render/gradient.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace lmvn {

namespace {

int BandChannel(int from, int to, Integer bands, Integer band) {
  const double v = from + static_cast<double>(to - from) * band / bands;
  return static_cast<int>(CLngOr(v, 0));
}

// The innermost box band that covers a column (or row) `pos` of a side `side` pixels long:
// box i covers [floor(side * i / (2 * bands)), side - 1 - that], so the band is the largest i
// with floor(side * i / (2 * bands)) <= min(pos, side - 1 - pos).
int BoxBand(int pos, int side, Integer bands) {
  const std::int64_t d = std::min(pos, side - 1 - pos);
  const std::int64_t limit = (d + 1) * 2 * bands - 1;
  return static_cast<int>(std::min<std::int64_t>(bands - 1, limit / side));
}

}  // namespace

Colour GradientBandColour(Colour from, Colour to, Integer bands, Integer band) {
  if (bands < 1) return from;
  return RGB(BandChannel(RedOf(from), RedOf(to), bands, band),
             BandChannel(GreenOf(from), GreenOf(to), bands, band),
             BandChannel(BlueOf(from), BlueOf(to), bands, band));
}

void GradientFill(Surface& surface, Colour from, Colour to, Integer bands, Integer style,
                  std::optional<double> centreX, std::optional<double> centreY) {
  if (bands < 1) return;
  const int w = surface.width(), h = surface.height();
  std::vector<Colour> colours(static_cast<std::size_t>(bands));
  for (Integer i = 0; i < bands; ++i)
    colours[static_cast<std::size_t>(i)] = GradientBandColour(from, to, bands, i);

  if (style != kGradientCircles) {
    std::vector<int> columnBand(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) columnBand[static_cast<std::size_t>(x)] = BoxBand(x, w, bands);
    for (int y = 0; y < h; ++y) {
      const int rowBand = BoxBand(y, h, bands);
      for (int x = 0; x < w; ++x) {
        const int band = std::min(rowBand, columnBand[static_cast<std::size_t>(x)]);
        surface.SetPixelV(x, y, colours[static_cast<std::size_t>(band)]);
      }
    }
    return;
  }

  const double cx = centreX.value_or(w * 0.5), cy = centreY.value_or(h * 0.5);
  double rmax = 0;
  for (const double px : {0.0, static_cast<double>(w)}) {
    for (const double py : {0.0, static_cast<double>(h)}) {
      rmax = std::max(rmax, std::hypot(px - cx, py - cy));
    }
  }
  if (!(rmax > 0) || !std::isfinite(rmax)) return;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      // Circle i holds the pixel while d <= (bands - i) * rmax / bands.
      const double last = std::floor(bands - d * bands / rmax);
      if (!(last >= 0)) continue;  // beyond the outermost circle
      const int band = last >= bands - 1 ? bands - 1 : static_cast<int>(last);
      surface.SetPixelV(x, y, colours[static_cast<std::size_t>(band)]);
    }
  }
}

}  // namespace lmvn
