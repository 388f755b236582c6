#include "render/surface.h"

#include <algorithm>
#include <cmath>

#include "render/random.h"

namespace lmvn {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;

int ClampSide(int side) {
  return std::clamp(side, 1, Surface::kMaxSide);
}

// Largest s >= 0 with s * s <= value (value >= 0).
std::int64_t ISqrt(std::int64_t value) {
  auto s = static_cast<std::int64_t>(std::sqrt(static_cast<double>(value)));
  while (s > 0 && s * s > value) --s;
  while ((s + 1) * (s + 1) <= value) ++s;
  return s;
}

}  // namespace

Surface::Surface(int width, int height) {
  Resize(width, height);
}

void Surface::Resize(int width, int height) {
  width_ = ClampSide(width);
  height_ = ClampSide(height);
  const std::size_t count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  pixels_ = memory_ != nullptr ? memory_->Provide(width_, height_) : nullptr;
  if (pixels_ != nullptr) {
    own_ = {};
    std::fill(pixels_, pixels_ + count, kBlack);
  } else {
    own_.assign(count, kBlack);
    pixels_ = own_.data();
  }
  SetTileShift(tileShift_);
}

void Surface::SetTileShift(int shift) {
  tileShift_ = std::clamp(shift, kMinTileShift, kMaxTileShift);
  const int side = 1 << tileShift_;
  const int cols = (width_ + side - 1) >> tileShift_;
  tileWords_ = static_cast<std::size_t>((cols + 63) / 64);
  tiles_.assign(tileWords_ * static_cast<std::size_t>((height_ + side - 1) >> tileShift_), 0);
  ResetChanges();
  MarkAll();
}

void Surface::UseMemory(PixelMemory* memory, PixelLayout layout) {
  const std::vector<std::uint32_t> kept(pixels_,
                                        pixels_ + static_cast<std::size_t>(width_) * height_);
  const bool swap = layout != this->layout();
  memory_ = memory;
  redShift_ = layout == PixelLayout::RedLow ? 0 : 16;
  blueShift_ = 16 - redShift_;
  Resize(width_, height_);
  std::transform(kept.begin(), kept.end(), pixels_, [swap](std::uint32_t v) {
    return swap ? (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu) : v;
  });
}

void Surface::LetGoOfMemory() {
  if (memory_ == nullptr) return;
  memory_ = nullptr;
  width_ = height_ = 1;
  lone_ = kBlack;
  pixels_ = &lone_;
  tileWords_ = 1;  // the tile flags keep their (larger) size: no allocation
  ResetChanges();
  MarkAll();
}

void Surface::Clear() {
  std::fill(pixels_, pixels_ + static_cast<std::size_t>(width_) * height_, kBlack);
  MarkAll();
}

void Surface::ResetChanges() {
  minX_ = minY_ = std::numeric_limits<int>::max();
  maxX_ = maxY_ = -1;
}

Surface::Rect Surface::ChangedRect() const {
  if (maxX_ < minX_ || maxY_ < minY_) return Rect{};
  return Rect{minX_, minY_, maxX_ - minX_ + 1, maxY_ - minY_ + 1};
}

Surface::Rect Surface::TakeChangedRect() {
  const Rect rect = ChangedRect();
  TakeChangedTiles([](const Rect&) {});
  return rect;
}

std::size_t Surface::CountLitPixels() const {
  return static_cast<std::size_t>(
      std::count_if(pixels_, pixels_ + static_cast<std::size_t>(width_) * height_,
                    [](auto p) { return (p & 0x00FFFFFFu) != 0; }));
}

void Surface::HorizontalRun(std::int64_t x0, std::int64_t x1, std::int64_t y, std::uint32_t v) {
  if (y < 0 || y >= height_) return;
  x0 = std::max<std::int64_t>(x0, 0);
  x1 = std::min<std::int64_t>(x1, width_ - 1);
  if (x0 > x1) return;
  const int ix0 = static_cast<int>(x0), ix1 = static_cast<int>(x1), iy = static_cast<int>(y);
  std::fill(pixels_ + Index(ix0, iy), pixels_ + Index(ix1, iy) + 1, v);
  Mark(ix0, iy, ix1, iy);
}

// The dot covers the d x d pixels from (cx - d / 2, cy - d / 2). Measured in half pixels from
// the dot's centre, pixel column i of the cell lies at u = 2i + 1 - d; a pixel is lit when
// u^2 + v^2 <= d^2 - d, its centre being within about (d - 0.5) / 2 of the dot's centre. That
// keeps 1 and 2 as full blocks, makes 3 a plus and rounds the corners of larger dots.
void Surface::FillDisc(Long cx, Long cy, int diameter, Colour c) {
  const std::int64_t d = diameter;
  const std::int64_t left = std::int64_t{cx} - d / 2;
  const std::int64_t top = std::int64_t{cy} - d / 2;
  const std::int64_t limit = d * d - d;
  const std::int64_t firstRow = std::max<std::int64_t>(0, -top);
  const std::int64_t lastRow = std::min<std::int64_t>(d - 1, height_ - 1 - top);
  const std::uint32_t v = Stored(c);
  for (std::int64_t j = firstRow; j <= lastRow; ++j) {
    const std::int64_t dv = 2 * j + 1 - d;
    const std::int64_t rest = limit - dv * dv;
    if (rest < 0) continue;
    std::int64_t umax = ISqrt(rest);
    if (((umax - (d - 1)) & 1) != 0) --umax;  // u has the parity of d - 1
    if (umax < 0) continue;
    const std::int64_t i0 = (d - 1 - umax) / 2, i1 = (d - 1 + umax) / 2;
    HorizontalRun(left + i0, left + i1, top + j, v);
  }
}

// Each visible column gets the two outline points above and below the centre, and each
// visible row the two points left and right of it; together they close every gap, and the
// work is bounded by the visible part of the bounding box.
void Surface::Ellipse(Long left, Long top, Long right, Long bottom, Colour c) {
  std::int64_t l = left, r = right, t = top, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (r < 0 || b < 0 || l >= width_ || t >= height_) return;
  const std::uint32_t v = Stored(c);
  const double centreX = (static_cast<double>(l) + static_cast<double>(r)) * 0.5;
  const double centreY = (static_cast<double>(t) + static_cast<double>(b)) * 0.5;
  const double a = (static_cast<double>(r) - static_cast<double>(l)) * 0.5;
  const double bs = (static_cast<double>(b) - static_cast<double>(t)) * 0.5;
  auto put = [&](std::int64_t x, std::int64_t y) {
    if (!Inside(x, y)) return;
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    pixels_[Index(ix, iy)] = v;
    Mark(ix, iy, ix, iy);
  };
  // Rounds the near point up and the far point down at exact halves, so the two halves of
  // an even-sized ellipse mirror each other.
  auto lowPoint = [](double value) { return static_cast<std::int64_t>(std::floor(value + 0.5)); };
  auto highPoint = [](double value) { return static_cast<std::int64_t>(std::ceil(value - 0.5)); };

  const std::int64_t x0 = std::max<std::int64_t>(l, 0), x1 = std::min<std::int64_t>(r, width_ - 1);
  const std::int64_t y0 = std::max<std::int64_t>(t, 0), y1 = std::min<std::int64_t>(b, height_ - 1);
  if (a == 0.0 || bs == 0.0) {  // a line or a single pixel: the whole box
    for (std::int64_t y = y0; y <= y1; ++y) HorizontalRun(x0, x1, y, v);
    return;
  }
  for (std::int64_t x = x0; x <= x1; ++x) {
    const double q = (static_cast<double>(x) - centreX) / a;
    const double dy = bs * std::sqrt(std::max(0.0, 1.0 - q * q));
    put(x, lowPoint(centreY - dy));
    put(x, highPoint(centreY + dy));
  }
  for (std::int64_t y = y0; y <= y1; ++y) {
    const double q = (static_cast<double>(y) - centreY) / bs;
    const double dx = a * std::sqrt(std::max(0.0, 1.0 - q * q));
    put(lowPoint(centreX - dx), y);
    put(highPoint(centreX + dx), y);
  }
}

SurfaceState MakeSurfaceState(Long width, Long height, Single focalLength, Integer pixelSize) {
  SurfaceState s;
  s.ScreenWidth = width;
  s.ScreenHeight = height;
  s.CentreX = CLngOr(width * 0.5, 0);
  s.CentreY = CLngOr(height * 0.5, 0);
  s.AspectRatio = width != 0 ? static_cast<Single>(static_cast<double>(height) / width) : 1.0f;
  s.FocalLength = focalLength;
  s.InvFocalLength = focalLength != 0 ? static_cast<Single>(1.0 / focalLength) : 0.0f;
  s.ProjScaleX = static_cast<Single>(s.CentreX * static_cast<double>(focalLength));
  s.ProjScaleY = static_cast<Single>(s.CentreY * static_cast<double>(focalLength));
  s.PixelSize = pixelSize;
  return s;
}

DemoSurfaceSetup InitSurface(const Surface& surface) {
  DemoSurfaceSetup setup;
  setup.state = MakeSurfaceState(surface.width(), surface.height(), 0.75f, 1);
  setup.FrameDelay = 32;
  ProgramRandom().SeedFromClock();
  return setup;
}

}  // namespace lmvn
