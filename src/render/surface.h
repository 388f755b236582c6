// The drawing surface, the dot plotter and the surface state of the projection.
//
// Every effect draws by setting single pixels on a black surface and erases by setting the
// same pixels to black. The Surface owns the pixels in the system's colour layout and tracks
// the region written since the last presentation, so a presenter sends only that region.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/numeric.h"

namespace lmvn {

// A colour: red in bits 0-7, green 8-15, blue 16-23, top byte 0. Black (0) erases.
using Colour = Long;

namespace detail {
constexpr int ClampChannel(int v) {
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}
}  // namespace detail

// Composes a colour; a component above 255 counts as 255 and one below 0 as 0.
constexpr Colour RGB(int r, int g, int b) {
  return detail::ClampChannel(r) + 256 * detail::ClampChannel(g) + 65536 * detail::ClampChannel(b);
}
constexpr int RedOf(Colour c) {
  return static_cast<int>(static_cast<std::uint32_t>(c) & 0xFFu);
}
constexpr int GreenOf(Colour c) {
  return static_cast<int>((static_cast<std::uint32_t>(c) >> 8) & 0xFFu);
}
constexpr int BlueOf(Colour c) {
  return static_cast<int>((static_cast<std::uint32_t>(c) >> 16) & 0xFFu);
}

// Where a surface keeps its pixels when they live outside it: a presenter that shares them
// with the display server hands out memory of its own.
class PixelMemory {
 public:
  virtual ~PixelMemory() = default;
  // Memory for width * height pixels, valid until the next call or until the surface lets go
  // of it; nullptr when there is none (the surface then uses memory of its own).
  virtual std::uint32_t* Provide(int width, int height) = 0;
};

// How a stored pixel holds its colour: red in the low byte (memory order R, G, B, X on a
// little-endian machine: QImage::Format_RGBX8888) or in bits 16-23 (B, G, R, X: the usual
// 24-bit true-colour layout of an X server).
enum class PixelLayout { RedLow, RedHigh };

// The framebuffer.
//
// Pixel memory is width * height uint32 values, row-major, stride = width. Each stored value
// is the colour in the surface's layout with the top byte set, so a frame can be shown
// without conversion. Black is stored as 0xFF000000 in either layout.
//
// Sizes are clamped to 1..kMaxSide on each side, so a surface always has at least one pixel
// and its memory size cannot overflow.
//
// Change tracking: every pixel write (whatever its colour, even black over black) grows one
// bounding rectangle and marks its tile; Clear and Resize mark the whole surface.
// TakeChangedRect hands the rectangle to the presenter and starts a new, empty one. Four
// compares and a bit set per pixel keep it cheap, and neither can miss a written pixel.
class Surface {
 public:
  static constexpr int kMaxSide = 16384;

  struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
  };

  Surface(int width, int height);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  const std::uint32_t* pixels() const { return pixels_; }
  PixelLayout layout() const { return redShift_ == 0 ? PixelLayout::RedLow : PixelLayout::RedHigh; }

  // Keeps the pixels in `memory` (nullptr: the surface's own) in the given layout from now on;
  // the memory is asked for at once and at every resize. The picture is kept (and marked as
  // changed). The memory must stay valid until it is replaced here or the surface is gone.
  void UseMemory(PixelMemory* memory, PixelLayout layout);
  // Lets go of outside memory at once, for its owner going away: neither copies nor allocates
  // (so it cannot fail), and leaves one black pixel of the surface's own.
  void LetGoOfMemory();

  // The colour at (x, y) with the top byte 0; 0 outside the surface.
  Colour GetPixel(int x, int y) const {
    if (!Inside(x, y)) return 0;
    const std::uint32_t v = pixels_[Index(x, y)];
    return static_cast<Colour>(((v >> redShift_) & 0xFFu) | (v & 0xFF00u) |
                               (((v >> blueShift_) & 0xFFu) << 16));
  }

  // Sets one pixel; pixels outside the surface are dropped.
  void SetPixelV(Long x, Long y, Colour c) { SetPixelWide(x, y, c); }

  // SetPixelV for coordinates that may lie beyond the 32-bit range (offsets added to a Long).
  void SetPixelWide(std::int64_t x, std::int64_t y, Colour c) {
    if (!Inside(x, y)) return;
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    pixels_[Index(ix, iy)] = Stored(c);
    MarkPixel(ix, iy);
  }

  // The first `count` cells, row by row, of a cols x cols cell with its top-left pixel at
  // (x, y); 1 <= count <= cols * cols, cols 2 or 3. The fast path of PlotBlock.
  void SetCells(Long x, Long y, int cols, int count, Colour c) {
    const int rows = (count + cols - 1) / cols;
    if (x >= 0 && y >= 0 && x <= width_ - cols && y <= height_ - rows) {
      const std::uint32_t v = Stored(c);
      std::uint32_t* p = pixels_ + Index(x, y);
      for (int k = 0; k < count; ++k) p[(k / cols) * width_ + k % cols] = v;
      Mark(x, y, x + cols - 1, y + rows - 1);
      return;
    }
    for (int k = 0; k < count; ++k) {
      SetPixelWide(std::int64_t{x} + k % cols, std::int64_t{y} + k / cols, c);
    }
  }

  // A filled round dot of the given diameter centred on (cx, cy): diameter 1 is one pixel,
  // 2 a 2 x 2 block whose bottom-right pixel is (cx, cy), larger sizes discs whose pixel
  // centres lie within the circle. Diameters below 1 draw one pixel. Clipped to the surface.
  void FillDot(Long cx, Long cy, int diameter, Colour c) {
    if (diameter <= 1) {
      SetPixelV(cx, cy, c);  // most dots are single pixels
    } else {
      FillDisc(cx, cy, diameter, c);
    }
  }

  // The outline of the ellipse inscribed in the rectangle whose corner pixels are
  // (left, top) and (right, bottom), both inclusive (so Ellipse(cx - R, cy - R, cx + R,
  // cy + R) is a circle of radius R centred on (cx, cy)). Corners may come in any order.
  // Clipped to the surface; the work is bounded by the visible part, not the ellipse size.
  void Ellipse(Long left, Long top, Long right, Long bottom, Colour c);

  // All black.
  void Clear();
  // New size (clamped as in the constructor); contents cleared.
  void Resize(int width, int height);

  // The region written since the last call (empty when nothing was written), then reset.
  Rect TakeChangedRect();
  // The region written since the last TakeChangedRect, without resetting it.
  Rect ChangedRect() const;

  // The changed region at a finer grain, for presenters: the surface is divided into square
  // tiles of 2^tileShift pixels a side (16 unless set), and every write marks its tile. Calls
  // visit(Rect) for each run of changed tiles along a tile row (clipped to the surface), top to
  // bottom and left to right, runs never touching; then resets the tiles and the changed
  // rectangle.
  static constexpr int kTileShift = 4;
  static constexpr int kMinTileShift = 2, kMaxTileShift = 8;
  int tileShift() const { return tileShift_; }
  // A new tile size (the shift clamped to kMinTileShift..kMaxTileShift); marks everything.
  void SetTileShift(int shift);
  template <class F>
  void TakeChangedTiles(F&& visit) {
    const Rect bounds = ChangedRect();
    if (!bounds.empty()) {
      const int shift = tileShift_, side = 1 << shift;
      const int ty0 = bounds.y >> shift, ty1 = (bounds.y + bounds.h - 1) >> shift;
      for (int ty = ty0; ty <= ty1; ++ty) {
        std::uint64_t* row = tiles_.data() + static_cast<std::size_t>(ty) * tileWords_;
        const int y = ty << shift, h = std::min(side, height_ - y);
        int start = -1;  // the first tile of the run being gathered
        for (std::size_t k = 0; k < tileWords_; ++k) {
          std::uint64_t bits = row[k];
          if (bits == 0 && start < 0) continue;  // most words have nothing changed
          row[k] = 0;
          const int base = static_cast<int>(k * 64);
          int at = 0;
          while (at < 64) {
            if (start < 0) {
              if (bits == 0) break;
              at = std::countr_zero(bits);
              start = base + at;
            }
            const std::uint64_t rest = ~(bits >> at);  // the run ends at the first zero
            const int length = rest == 0 ? 64 - at : std::countr_zero(rest);
            at += length;
            if (at >= 64) break;  // it may go on in the next word
            const int x = start << shift;
            visit(Rect{x, y, std::min((base + at) << shift, width_) - x, h});
            start = -1;
            bits &= ~std::uint64_t{0} << at;  // at < 64 here
          }
        }
        if (start >= 0) {  // a run up to the row's last tile
          const int x = start << shift;
          visit(Rect{x, y, width_ - x, h});
        }
      }
    }
    ResetChanges();
  }

  // Pixels whose colour is not black.
  std::size_t CountLitPixels() const;

 private:
  std::uint32_t Stored(Colour c) const {
    const auto v = static_cast<std::uint32_t>(c);
    return ((v & 0xFFu) << redShift_) | (v & 0xFF00u) | (((v >> 16) & 0xFFu) << blueShift_) |
           0xFF000000u;
  }
  bool Inside(std::int64_t x, std::int64_t y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  void Mark(int x0, int y0, int x1, int y1) {
    if (x0 < minX_) minX_ = x0;
    if (y0 < minY_) minY_ = y0;
    if (x1 > maxX_) maxX_ = x1;
    if (y1 > maxY_) maxY_ = y1;
    const int tx0 = x0 >> tileShift_, tx1 = x1 >> tileShift_;
    const int ty0 = y0 >> tileShift_, ty1 = y1 >> tileShift_;
    std::uint64_t* row = tiles_.data() + static_cast<std::size_t>(ty0) * tileWords_;
    for (int ty = ty0; ty <= ty1; ++ty, row += tileWords_) {
      for (int tx = tx0; tx <= tx1; ++tx) row[tx >> 6] |= std::uint64_t{1} << (tx & 63);
    }
  }
  void MarkPixel(int x, int y) {
    if (x < minX_) minX_ = x;
    if (y < minY_) minY_ = y;
    if (x > maxX_) maxX_ = x;
    if (y > maxY_) maxY_ = y;
    const int tx = x >> tileShift_;
    tiles_[static_cast<std::size_t>(y >> tileShift_) * tileWords_ +
           static_cast<std::size_t>(tx >> 6)] |= std::uint64_t{1} << (tx & 63);
  }
  void MarkAll() { Mark(0, 0, width_ - 1, height_ - 1); }
  void ResetChanges();
  void FillDisc(Long cx, Long cy, int diameter, Colour c);
  // One horizontal run of pixels [x0, x1] on row y, clipped.
  void HorizontalRun(std::int64_t x0, std::int64_t x1, std::int64_t y, std::uint32_t v);

  int width_ = 1;
  int height_ = 1;
  std::uint32_t* pixels_ = nullptr;  // own_, lone_ or the memory handed out by memory_
  std::uint32_t lone_ = 0xFF000000u;
  std::vector<std::uint32_t> own_;
  PixelMemory* memory_ = nullptr;
  // Where red and blue sit in a stored pixel: 0 and 16, or 16 and 0.
  int redShift_ = 0, blueShift_ = 16;
  // The changed rectangle, inclusive; empty while maxX_ < minX_.
  int minX_ = std::numeric_limits<int>::max(), minY_ = std::numeric_limits<int>::max();
  int maxX_ = -1, maxY_ = -1;
  // One bit per tile (bit t of word t / 64 of its row), row by row: written since the last
  // TakeChangedTiles. A row of 240 tiles is four words, scanned a word at a time.
  std::vector<std::uint64_t> tiles_;
  std::size_t tileWords_ = 1;
  int tileShift_ = kTileShift;
};

// Fewer, larger areas for about the same pixels, from the runs TakeChangedTiles visits, one at a
// time in the order visited: a run on the tile row of the last joined one, at most `gap` pixels
// after it, extends it (the gap's pixels are sent again unchanged); any other is appended. The
// joined runs still come row by row, left to right, never touching: YX-banded, as an X
// server's clip lists and QRegion want them.
inline void JoinRun(std::vector<Surface::Rect>& joined, const Surface::Rect& r, int gap) {
  if (!joined.empty()) {
    Surface::Rect& last = joined.back();
    if (last.y == r.y && r.x - (last.x + last.w) <= gap) {
      last.w = r.x + r.w - last.x;
      return;
    }
  }
  joined.push_back(r);
}
// One logical dot of `pixelSize` screen pixels with its top-left pixel at (x, y). The dot
// is the first pixelSize cells, row by row, of a 2 x 2 cell (sizes 2 to 4) or a 3 x 3 cell
// (sizes 5 to 9). Any other size, 1 included, draws nothing. Pixels outside are dropped.
inline void PlotBlock(Surface& surface, Integer pixelSize, Long x, Long y, Colour c) {
  if (pixelSize < 2 || pixelSize > 9) return;
  surface.SetCells(x, y, pixelSize <= 4 ? 2 : 3, pixelSize, c);
}

// The dot rule of the effects that honour the dot size: size 1 sets the single pixel, other
// sizes go through PlotBlock. Erasing is the same call with colour 0.
inline void PlotDot(Surface& surface, Integer pixelSize, Long x, Long y, Colour c) {
  if (pixelSize == 1) {
    surface.SetPixelV(x, y, c);
  } else {
    PlotBlock(surface, pixelSize, x, y, c);
  }
}

// The surface state of the projection.
struct SurfaceState {
  Long ScreenWidth = 1, ScreenHeight = 1, CentreX = 0, CentreY = 0;
  Single AspectRatio = 1, FocalLength = 1, InvFocalLength = 1, ProjScaleX = 0, ProjScaleY = 0;
  Integer PixelSize = 1;
};

// The state for a surface of the given size: CentreX/Y = CLng(size * 0.5) (ties to even),
// AspectRatio = height / width, InvFocalLength = 1 / focalLength, ProjScaleX/Y = CentreX/Y *
// focalLength. A width of 0 leaves AspectRatio at 1 and a focal length of 0 leaves
// InvFocalLength at 0 (those divisions cannot be made). PixelSize is stored as given.
SurfaceState MakeSurfaceState(Long width, Long height, Single focalLength, Integer pixelSize);

// Demonstration surfaces: dot size 1, focal length 0.75 and a frame delay of 32 ms; the
// program random generator is re-seeded from the clock. (Colour defaults for demonstrations:
// ApplyDemoColourDefaults in colour.h.)
struct DemoSurfaceSetup {
  SurfaceState state;
  Long FrameDelay = 32;
};
DemoSurfaceSetup InitSurface(const Surface& surface);

}  // namespace lmvn
