#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "render/random.h"
#include "render/surface.h"

namespace lmvn {
namespace {

using Offsets = std::set<std::pair<int, int>>;

constexpr Long kMinLong = std::numeric_limits<Long>::min();
constexpr Long kMaxLong = std::numeric_limits<Long>::max();

Offsets LitPixels(const Surface& s) {
  Offsets lit;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.GetPixel(x, y) != 0) lit.insert({x, y});
    }
  }
  return lit;
}

TEST(Colours, ComposeClampsAndSplits) {
  EXPECT_EQ(RGB(1, 2, 3), 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(RGB(300, -5, 255), RGB(255, 0, 255));
  const Colour c = RGB(12, 34, 56);
  EXPECT_EQ(RedOf(c), 12);
  EXPECT_EQ(GreenOf(c), 34);
  EXPECT_EQ(BlueOf(c), 56);
}

TEST(Surface, StartsBlackInDisplayLayout) {
  Surface s(4, 3);
  EXPECT_EQ(s.width(), 4);
  EXPECT_EQ(s.height(), 3);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(s.pixels()[i], 0xFF000000u);
  EXPECT_EQ(s.CountLitPixels(), 0u);

  s.SetPixelV(1, 2, RGB(0x11, 0x22, 0x33) | 0x7F000000);  // a stray top byte is ignored
  EXPECT_EQ(s.GetPixel(1, 2), RGB(0x11, 0x22, 0x33));
  const std::uint32_t stored = s.pixels()[2 * 4 + 1];
  EXPECT_EQ(stored, 0xFF332211u);
  unsigned char bytes[4];
  std::memcpy(bytes, &stored, 4);
  if (bytes[3] == 0xFF) {  // little-endian: R, G, B, X in memory order
    EXPECT_EQ(bytes[0], 0x11);
    EXPECT_EQ(bytes[1], 0x22);
    EXPECT_EQ(bytes[2], 0x33);
  }
  EXPECT_EQ(s.CountLitPixels(), 1u);
  s.SetPixelV(1, 2, 0);
  EXPECT_EQ(s.CountLitPixels(), 0u);
}

TEST(Surface, DegenerateSizesBecomeOnePixel) {
  Surface s(0, -7);
  EXPECT_EQ(s.width(), 1);
  EXPECT_EQ(s.height(), 1);
  s.Resize(std::numeric_limits<int>::max(), 2);
  EXPECT_EQ(s.width(), Surface::kMaxSide);
  s.Resize(3, 2);
  EXPECT_EQ(s.width(), 3);
  EXPECT_EQ(s.GetPixel(5, 5), 0);
  EXPECT_EQ(s.GetPixel(-1, 0), 0);
}

TEST(Surface, ClearAndResizeBlackenEverything) {
  Surface s(5, 5);
  for (int i = 0; i < 5; ++i) s.SetPixelV(i, i, RGB(255, 255, 255));
  s.Clear();
  EXPECT_EQ(s.CountLitPixels(), 0u);
  s.SetPixelV(4, 4, RGB(1, 1, 1));
  s.Resize(8, 2);
  EXPECT_EQ(s.CountLitPixels(), 0u);
}

// The shapes, in the order the pixels are set (the order does not show in the result).
TEST(PlotBlock, EveryShape) {
  const std::vector<Offsets> shapes = {
      {},
      {},
      {{1, 0}, {0, 0}},
      {{0, 0}, {1, 0}, {0, 1}},
      {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
      {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}},
      {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}},
      {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}},
      {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}},
      {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}},
  };
  for (Integer size = 1; size <= 9; ++size) {
    SCOPED_TRACE(size);
    Surface s(10, 10);
    PlotBlock(s, size, 4, 5, RGB(9, 9, 9));
    Offsets expected;
    for (auto [dx, dy] : shapes[static_cast<std::size_t>(size)]) expected.insert({4 + dx, 5 + dy});
    EXPECT_EQ(LitPixels(s), expected);
    EXPECT_EQ(s.CountLitPixels(), static_cast<std::size_t>(size == 1 ? 0 : size));
  }
  for (Integer size : {0, -1, 10, 32767}) {
    Surface s(10, 10);
    PlotBlock(s, size, 4, 5, RGB(9, 9, 9));
    EXPECT_EQ(s.CountLitPixels(), 0u) << size;
  }
}

TEST(PlotDot, SizeOneIsOnePixelAndErasingRestoresBlack) {
  for (Integer size = 1; size <= 9; ++size) {
    Surface s(6, 6);
    PlotDot(s, size, 2, 2, RGB(200, 0, 0));
    EXPECT_EQ(s.CountLitPixels(), static_cast<std::size_t>(size));
    EXPECT_EQ(s.GetPixel(2, 2), RGB(200, 0, 0));
    PlotDot(s, size, 2, 2, 0);
    EXPECT_EQ(s.CountLitPixels(), 0u);
  }
}

// Pixels beyond each edge are dropped; a dot straddling an edge keeps its inside part.
TEST(Clipping, AllEdgesAndFarOutside) {
  Surface s(8, 6);
  const Colour c = RGB(1, 2, 3);
  s.SetPixelV(-1, 0, c);
  s.SetPixelV(8, 0, c);
  s.SetPixelV(0, -1, c);
  s.SetPixelV(0, 6, c);
  for (Long far : {kMinLong, kMinLong + 1, -100000, 100000, kMaxLong - 1, kMaxLong}) {
    s.SetPixelV(far, 2, c);
    s.SetPixelV(2, far, c);
    s.SetPixelV(far, far, c);
    for (Integer size = 1; size <= 9; ++size) {
      PlotDot(s, size, far, 1, c);
      PlotDot(s, size, 1, far, c);
      PlotDot(s, size, far, far, c);
    }
    s.FillDot(far, far, 5, c);
    s.FillDot(far, 3, 1000, c);
  }
  EXPECT_EQ(s.CountLitPixels(), 0u);

  PlotBlock(s, 9, -2, -2, c);  // only its bottom-right pixel is inside
  PlotBlock(s, 9, 7, 5, c);    // only its top-left pixel is inside
  PlotBlock(s, 9, 7, -1, c);   // (7, 0) and (7, 1)
  PlotBlock(s, 9, -1, 4, c);   // (0, 4), (1, 4), (0, 5), (1, 5)
  EXPECT_EQ(LitPixels(s),
            (Offsets{{0, 0}, {7, 5}, {7, 0}, {7, 1}, {0, 4}, {1, 4}, {0, 5}, {1, 5}}));
}

TEST(FillDot, SmallDiametersAndRoundness) {
  {
    Surface s(9, 9);
    s.FillDot(4, 4, 1, RGB(5, 5, 5));
    EXPECT_EQ(LitPixels(s), (Offsets{{4, 4}}));
    s.Clear();
    s.FillDot(4, 4, 0, RGB(5, 5, 5));  // below 1 still shows as one pixel
    EXPECT_EQ(LitPixels(s), (Offsets{{4, 4}}));
    s.Clear();
    s.FillDot(4, 4, 2, RGB(5, 5, 5));
    EXPECT_EQ(LitPixels(s), (Offsets{{3, 3}, {4, 3}, {3, 4}, {4, 4}}));
  }
  for (int d = 3; d <= 15; ++d) {
    SCOPED_TRACE(d);
    Surface s(40, 40);
    s.FillDot(20, 20, d, RGB(5, 5, 5));
    const Offsets lit = LitPixels(s);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (auto [x, y] : lit) {
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      minY = std::min(minY, y), maxY = std::max(maxY, y);
      // Mirror symmetry about the dot's centre.
      EXPECT_TRUE(lit.count({2 * 20 - (d % 2 == 0 ? 1 : 0) - x, y}));
      EXPECT_TRUE(lit.count({x, 2 * 20 - (d % 2 == 0 ? 1 : 0) - y}));
    }
    EXPECT_EQ(maxX - minX + 1, d);  // spans exactly the diameter
    EXPECT_EQ(maxY - minY + 1, d);
    EXPECT_FALSE(lit.count({minX, minY}));  // corners are cut off
    // Area close to that of a disc.
    const double area = 3.14159265 * d * d / 4;
    EXPECT_NEAR(static_cast<double>(lit.size()), area, 0.12 * area + 2);
  }
}

TEST(FillDot, HugeDiameterFillsOnlyTheSurface) {
  Surface s(30, 20);
  s.FillDot(15, 10, std::numeric_limits<int>::max(), RGB(1, 1, 1));
  EXPECT_EQ(s.CountLitPixels(), 600u);
  s.Clear();
  s.FillDot(kMaxLong, kMinLong, std::numeric_limits<int>::max(), RGB(1, 1, 1));
  EXPECT_LE(s.CountLitPixels(), 600u);
}

TEST(Ellipse, CircleOutline) {
  for (int radius = 1; radius <= 12; ++radius) {
    SCOPED_TRACE(radius);
    Surface s(40, 40);
    s.Ellipse(20 - radius, 20 - radius, 20 + radius, 20 + radius, RGB(0, 0, 255));
    const Offsets lit = LitPixels(s);
    EXPECT_TRUE(lit.count({20 - radius, 20}) && lit.count({20 + radius, 20}) &&
                lit.count({20, 20 - radius}) && lit.count({20, 20 + radius}));
    EXPECT_FALSE(lit.count({20, 20}));
    for (auto [x, y] : lit) {
      const double dist = std::hypot(x - 20.0, y - 20.0);
      EXPECT_NEAR(dist, radius, 0.75);
      EXPECT_TRUE(lit.count({40 - x, y}));  // symmetric
      EXPECT_TRUE(lit.count({x, 40 - y}));
      // Connected: every outline pixel has an outline neighbour.
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && lit.count({x + dx, y + dy});
      }
      EXPECT_GE(neighbours, 2);
    }
  }
}

TEST(Ellipse, DegenerateSwappedAndClipped) {
  Surface s(20, 20);
  s.Ellipse(5, 5, 5, 5, RGB(1, 1, 1));
  EXPECT_EQ(LitPixels(s), (Offsets{{5, 5}}));
  s.Clear();
  s.Ellipse(3, 2, 3, 6, RGB(1, 1, 1));  // zero width: a vertical line
  EXPECT_EQ(s.CountLitPixels(), 5u);

  Surface a(20, 20), b(20, 20);
  a.Ellipse(2, 3, 15, 11, RGB(1, 1, 1));
  b.Ellipse(15, 11, 2, 3, RGB(1, 1, 1));
  EXPECT_EQ(LitPixels(a), LitPixels(b));
  EXPECT_GT(a.CountLitPixels(), 20u);

  // A circle cut by every edge, and boxes reaching the ends of the coordinate range: bounded
  // work, nothing outside, no overflow.
  Surface c(20, 20);
  c.Ellipse(-2, -2, 22, 22, RGB(1, 1, 1));
  EXPECT_GT(c.CountLitPixels(), 0u);
  c.Clear();
  c.Ellipse(kMinLong, kMinLong, kMaxLong, kMaxLong, RGB(1, 1, 1));
  c.Ellipse(kMaxLong - 5, 3, kMaxLong, 9, RGB(1, 1, 1));
  EXPECT_EQ(c.CountLitPixels(), 0u);
  // A huge circle whose top passes through the surface.
  c.Ellipse(10 - 1000000, 5, 10 + 1000000, 5 + 2000000, RGB(1, 1, 1));
  EXPECT_GT(c.CountLitPixels(), 0u);
  EXPECT_LE(c.CountLitPixels(), 60u);
  EXPECT_NE(c.GetPixel(10, 5), 0);
}

// Whatever is drawn, every pixel that differs from the last presentation lies in the changed
// rectangle, and an untouched surface reports nothing.
TEST(ChangeTracking, NeverMissesAChangedPixel) {
  Surface s(64, 48);
  EXPECT_FALSE(s.TakeChangedRect().empty());  // a new surface has never been shown
  EXPECT_TRUE(s.TakeChangedRect().empty());

  ProgramRandom().Seed(7);
  std::vector<std::uint32_t> shown(s.pixels(), s.pixels() + 64 * 48);
  for (int round = 0; round < 300; ++round) {
    const int ops = 1 + static_cast<int>(Rnd() * 4);
    for (int op = 0; op < ops; ++op) {
      const auto x = static_cast<Long>(Rnd() * 90) - 13;
      const auto y = static_cast<Long>(Rnd() * 70) - 11;
      const Colour c = Rnd() < 0.3f ? 0 : RGB(static_cast<int>(Rnd() * 256), 7, 9);
      switch (static_cast<int>(Rnd() * 5)) {
        case 0:
          s.SetPixelV(x, y, c);
          break;
        case 1:
          PlotDot(s, static_cast<Integer>(1 + Rnd() * 9), x, y, c);
          break;
        case 2:
          s.FillDot(x, y, static_cast<int>(Rnd() * 12), c);
          break;
        case 3:
          s.Ellipse(x, y, x + static_cast<Long>(Rnd() * 30), y + 9, c);
          break;
        default:
          if (Rnd() < 0.1f) s.Clear();
          break;
      }
    }
    const Surface::Rect rect = s.TakeChangedRect();
    for (int py = 0; py < 48; ++py) {
      for (int px = 0; px < 64; ++px) {
        const std::uint32_t now = s.pixels()[py * 64 + px];
        if (now == shown[static_cast<std::size_t>(py * 64 + px)]) continue;
        ASSERT_FALSE(rect.empty()) << "round " << round;
        ASSERT_TRUE(px >= rect.x && px < rect.x + rect.w && py >= rect.y && py < rect.y + rect.h)
            << "round " << round << " pixel " << px << "," << py;
      }
    }
    if (!rect.empty()) {  // the rectangle never reaches outside the surface
      EXPECT_GE(rect.x, 0);
      EXPECT_GE(rect.y, 0);
      EXPECT_LE(rect.x + rect.w, 64);
      EXPECT_LE(rect.y + rect.h, 48);
    }
    shown.assign(s.pixels(), s.pixels() + 64 * 48);
  }
}

TEST(ChangeTracking, TightAroundSmallDrawsAndWholeAfterClear) {
  Surface s(50, 40);
  s.TakeChangedRect();
  s.SetPixelV(-3, 7, RGB(1, 1, 1));  // dropped: nothing changed
  EXPECT_TRUE(s.TakeChangedRect().empty());
  PlotBlock(s, 9, 10, 20, RGB(1, 1, 1));
  s.SetPixelV(30, 5, RGB(1, 1, 1));
  const Surface::Rect r = s.TakeChangedRect();
  EXPECT_EQ(r.x, 10);
  EXPECT_EQ(r.y, 5);
  EXPECT_EQ(r.w, 21);
  EXPECT_EQ(r.h, 18);
  s.Clear();
  const Surface::Rect all = s.TakeChangedRect();
  EXPECT_EQ(all.x, 0);
  EXPECT_EQ(all.y, 0);
  EXPECT_EQ(all.w, 50);
  EXPECT_EQ(all.h, 40);
}

TEST(SurfaceState, CentresScalesAndDemoDefaults) {
  const SurfaceState s = MakeSurfaceState(640, 480, 2.0f, 3);
  EXPECT_EQ(s.ScreenWidth, 640);
  EXPECT_EQ(s.CentreX, 320);
  EXPECT_EQ(s.CentreY, 240);
  EXPECT_FLOAT_EQ(s.AspectRatio, 0.75f);
  EXPECT_FLOAT_EQ(s.InvFocalLength, 0.5f);
  EXPECT_FLOAT_EQ(s.ProjScaleX, 640.0f);
  EXPECT_FLOAT_EQ(s.ProjScaleY, 480.0f);
  EXPECT_EQ(s.PixelSize, 3);

  // Half-pixel centres round to even.
  EXPECT_EQ(MakeSurfaceState(5, 7, 1, 1).CentreX, 2);
  EXPECT_EQ(MakeSurfaceState(5, 7, 1, 1).CentreY, 4);

  // Divisions that cannot be made leave harmless values.
  const SurfaceState odd = MakeSurfaceState(0, 10, 0.0f, 1);
  EXPECT_EQ(odd.AspectRatio, 1.0f);
  EXPECT_EQ(odd.InvFocalLength, 0.0f);

  const Surface demo(200, 150);
  const DemoSurfaceSetup setup = InitSurface(demo);
  EXPECT_EQ(setup.FrameDelay, 32);
  EXPECT_EQ(setup.state.PixelSize, 1);
  EXPECT_EQ(setup.state.FocalLength, 0.75f);
  EXPECT_EQ(setup.state.CentreX, 100);
  EXPECT_EQ(setup.state.CentreY, 75);
  EXPECT_FLOAT_EQ(setup.state.ProjScaleX, 75.0f);
  EXPECT_FLOAT_EQ(setup.state.InvFocalLength, 1.0f / 0.75f);
}

}  // namespace
}  // namespace lmvn
