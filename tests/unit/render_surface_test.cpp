#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "render/gradient.h"
#include "render/random.h"
#include "render/surface.h"

namespace lmvn {
namespace {

using Pixels = std::set<std::pair<int, int>>;
constexpr Long kMin = std::numeric_limits<Long>::min(), kMax = std::numeric_limits<Long>::max();

Pixels Lit(const Surface& s) {
  Pixels lit;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.GetPixel(x, y) != 0) lit.insert({x, y});
    }
  }
  return lit;
}

TEST(Surface, LayoutSizesAndClear) {
  EXPECT_EQ(RGB(300, -5, 7), 255 + 7 * 65536);
  Surface s(4, 3);
  EXPECT_EQ(s.pixels()[11], 0xFF000000u);
  s.SetPixelV(1, 2, RGB(0x11, 0x22, 0x33) | 0x7F000000);  // a stray top byte is ignored
  EXPECT_EQ(s.GetPixel(1, 2), RGB(0x11, 0x22, 0x33));
  unsigned char bytes[4];
  std::memcpy(bytes, &s.pixels()[2 * 4 + 1], 4);
  EXPECT_TRUE(bytes[0] == 0x11 && bytes[1] == 0x22 && bytes[2] == 0x33 && bytes[3] == 0xFF);
  EXPECT_EQ(s.CountLitPixels(), 1u);
  s.Clear();
  EXPECT_EQ(s.CountLitPixels(), 0u);
  s.Resize(0, -7);
  EXPECT_EQ(s.width() * s.height(), 1);
  s.Resize(std::numeric_limits<int>::max(), 1);
  EXPECT_EQ(s.width(), Surface::kMaxSide);
}

TEST(PlotBlock, EveryShapeAndNothingForOtherSizes) {
  // Cells of a 2 x 2 (sizes 2-4) or 3 x 3 (5-9) block, row by row.
  const char* shapes[] = {"",      "",       "ab",      "abc",      "abcd",
                          "abcde", "abcdef", "abcdefg", "abcdefgh", "abcdefghi"};
  for (Integer size = 0; size <= 10; ++size) {
    Surface s(10, 10);
    PlotBlock(s, size, 4, 5, RGB(9, 9, 9));
    Pixels expected;
    const int cols = size <= 4 ? 2 : 3;
    for (const char* c = size < 10 ? shapes[size] : ""; *c; ++c) {
      expected.insert({4 + (*c - 'a') % cols, 5 + (*c - 'a') / cols});
    }
    EXPECT_EQ(Lit(s), expected) << size;
    PlotDot(s, size, 4, 5, 0);  // erasing restores black
    EXPECT_EQ(s.CountLitPixels(), 0u);
    PlotDot(s, size, 4, 5, 1);
    EXPECT_EQ(s.CountLitPixels(), size == 1 ? 1u : expected.size());
  }
}

TEST(Clipping, EveryEdgeAndFarOutside) {
  Surface s(8, 6);
  for (Long far : {kMin, -100000, -3, 8, 100000, kMax}) {
    for (Integer size = 1; size <= 9; ++size) {
      PlotDot(s, size, far, 1, 1);
      PlotDot(s, size, 1, far < 0 ? far : far - 2, 1);
      PlotDot(s, size, far, far, 1);
    }
    s.FillDot(far, far, 5, 1);
    s.Ellipse(far, far, far, far, 1);
  }
  EXPECT_EQ(s.CountLitPixels(), 0u);
  PlotBlock(s, 9, -2, -2, 1);  // each keeps only its inside part
  PlotBlock(s, 9, 7, 5, 1);
  PlotBlock(s, 9, 7, -1, 1);
  PlotBlock(s, 9, -1, 4, 1);
  EXPECT_EQ(Lit(s), (Pixels{{0, 0}, {7, 5}, {7, 0}, {7, 1}, {0, 4}, {1, 4}, {0, 5}, {1, 5}}));
}

TEST(FillDot, RoundDotsOfTheirDiameter) {
  Surface one(9, 9);
  one.FillDot(4, 4, 1, 1);
  EXPECT_EQ(Lit(one), (Pixels{{4, 4}}));
  for (int d = 2; d <= 15; ++d) {
    Surface s(40, 40);
    s.FillDot(20, 20, d, 1);
    const Pixels lit = Lit(s);
    const int far = 39 + d % 2;  // mirror sum: 40 for odd, 39 for even diameters
    for (auto [x, y] : lit) EXPECT_TRUE(lit.count({far - x, y}) && lit.count({x, far - y}));
    EXPECT_EQ(lit.rbegin()->first - lit.begin()->first + 1, d);
    EXPECT_EQ(lit.count({lit.begin()->first, 20 - d / 2}), d == 2 ? 1u : 0u);  // round corners
    EXPECT_NEAR(lit.size(), 3.14159 * d * d / 4, 0.12 * d * d + 2);
  }
  Surface s(30, 20);  // huge dots cost only the surface
  s.FillDot(15, 10, std::numeric_limits<int>::max(), 1);
  EXPECT_EQ(s.CountLitPixels(), 600u);
}

TEST(Ellipse, CirclesAreRoundClippedAndBounded) {
  for (int r = 1; r <= 12; ++r) {
    Surface s(40, 40);
    s.Ellipse(20 - r, 20 - r, 20 + r, 20 + r, 1);
    const Pixels lit = Lit(s);
    EXPECT_TRUE(lit.count({20 - r, 20}) && lit.count({20 + r, 20}) && lit.count({20, 20 - r}));
    for (auto [x, y] : lit) {
      EXPECT_NEAR(std::hypot(x - 20.0, y - 20.0), r, 0.75);
      int neighbours = 0;  // the outline is closed
      for (int d = 0; d < 9; ++d) neighbours += d != 4 && lit.count({x + d % 3 - 1, y + d / 3 - 1});
      EXPECT_GE(neighbours, 2);
    }
  }
  Surface s(20, 20);
  s.Ellipse(3, 6, 3, 2, 1);  // zero width, corners swapped: a line
  EXPECT_EQ(s.CountLitPixels(), 5u);
  s.Clear();
  s.Ellipse(kMin, kMin, kMax, kMax, 1);  // the outline lies far outside
  EXPECT_EQ(s.CountLitPixels(), 0u);
  s.Ellipse(10 - 1000000, 5, 10 + 1000000, 5 + 2000000, 1);  // its top crosses the surface
  EXPECT_NE(s.GetPixel(10, 5), 0);
  EXPECT_LE(s.CountLitPixels(), 60u);
}

std::vector<Surface::Rect> Tiles(Surface& surface) {
  std::vector<Surface::Rect> out;
  surface.TakeChangedTiles([&](const Surface::Rect& r) { out.push_back(r); });
  return out;
}

// Whatever is drawn, every pixel that differs from the last presentation lies in the changed
// rectangle, or in one of the changed tiles' runs (of several sizes, on a surface wide enough
// for long stretches of unchanged tiles); neither reaches outside the surface.
TEST(ChangeTracking, NeverMissesAChangedPixel) {
  constexpr int kW = 300, kH = 40;
  for (const int shift : {-1, 2, 4, 6}) {  // -1: the rectangle
    SCOPED_TRACE(shift);
    Surface s(kW, kH);
    if (shift >= 0) s.SetTileShift(shift);
    const auto take = [&] {
      return shift < 0 ? std::vector<Surface::Rect>{s.TakeChangedRect()} : Tiles(s);
    };
    const auto nothing = [](const std::vector<Surface::Rect>& rs) {
      return rs.empty() || (rs.size() == 1 && rs[0].empty());
    };
    EXPECT_FALSE(nothing(take()));  // a new surface has never been shown
    EXPECT_TRUE(nothing(take()));
    ProgramRandom().Seed(7);
    std::vector<std::uint32_t> shown(s.pixels(), s.pixels() + kW * kH);
    for (int round = 0; round < 300; ++round) {
      for (int shapes = 1 + static_cast<int>(Rnd() * 4); shapes > 0; --shapes) {  // apart, too
        const auto x = static_cast<Long>(Rnd() * (kW + 30)) - 13;
        const auto y = static_cast<Long>(Rnd() * (kH + 20)) - 11;
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
            Rnd() < 0.05f ? s.Clear() : void();
            break;
        }
      }
      const auto runs = take();
      for (int i = 0; i < kW * kH; ++i) {
        if (s.pixels()[i] == shown[static_cast<std::size_t>(i)]) continue;
        const int px = i % kW, py = i / kW;
        bool covered = false;
        for (const auto& r : runs) {
          covered = covered || (px >= r.x && px < r.x + r.w && py >= r.y && py < r.y + r.h);
        }
        ASSERT_TRUE(covered) << round << ": " << px << "," << py;
      }
      for (const auto& r : runs) {
        EXPECT_TRUE(r.empty() || (r.x >= 0 && r.y >= 0 && r.x + r.w <= kW && r.y + r.h <= kH));
      }
      shown.assign(s.pixels(), s.pixels() + kW * kH);
    }
    s.SetPixelV(-3, 7, 1);  // dropped: nothing to present
    EXPECT_TRUE(nothing(take()));
  }
}

// The runs of changed tiles are exactly the tiles written (rows of more than 64 tiles among
// them); joined along their rows they cover those plus the gaps joined, stay inside the surface
// and come YX-banded (an X server refuses a clip list that is not): rows top to bottom, a row's
// runs sharing their rows, left to right, further apart than the gap.
TEST(ChangeTracking, JoinedRunsCoverTheChangedTilesBanded) {
  constexpr int kW = 603, kH = 61, kShift = 3, kGap = 16;
  ProgramRandom().Seed(11);
  std::vector<Surface::Rect> joined;
  for (int round = 0; round < 200; ++round) {
    Surface s(kW, kH);
    s.SetTileShift(kShift);
    Tiles(s);
    const int marks = static_cast<int>(Rnd() * 80);
    for (int k = 0; k < marks; ++k) {
      const auto x = static_cast<Long>(Rnd() * kW), y = static_cast<Long>(Rnd() * kH);
      Rnd() < 0.5f ? s.SetPixelV(x, y, 1) : s.Ellipse(x, y, x + 20, y + 12, 1);
    }
    const auto runs = Tiles(s);
    joined.clear();
    for (const auto& r : runs) JoinRun(joined, r, kGap);
    const auto in = [](const std::vector<Surface::Rect>& rs, int x, int y) {
      return std::any_of(rs.begin(), rs.end(), [&](const Surface::Rect& r) {
        return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
      });
    };
    for (int ty = 0; ty < kH; ty += 8) {  // a fresh surface: the lit pixels are those written
      for (int tx = 0; tx < kW; tx += 8) {
        bool lit = false;
        for (int y = ty; y < std::min(ty + 8, kH); ++y) {
          for (int x = tx; x < std::min(tx + 8, kW); ++x) lit = lit || s.GetPixel(x, y) != 0;
        }
        ASSERT_EQ(lit, in(runs, tx, ty)) << round << ": tile " << tx << "," << ty;
      }
    }
    for (const auto& r : joined) {
      ASSERT_TRUE(!r.empty() && r.x >= 0 && r.y >= 0 && r.x + r.w <= kW && r.y + r.h <= kH);
    }
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) ASSERT_TRUE(!in(runs, x, y) || in(joined, x, y)) << round;
    }
    for (std::size_t k = 1; k < joined.size(); ++k) {
      const auto &a = joined[k - 1], &b = joined[k];
      if (a.y == b.y) {
        EXPECT_TRUE(a.h == b.h && b.x - (a.x + a.w) > kGap) << round;
      } else {
        EXPECT_GE(b.y, a.y + a.h) << round;
      }
    }
  }
}

TEST(SurfaceState, CentresScalesAndDemoDefaults) {
  const SurfaceState s = MakeSurfaceState(640, 480, 2.0f, 3);
  EXPECT_EQ(s.CentreX + s.CentreY, 560);
  EXPECT_FLOAT_EQ(s.AspectRatio, 0.75f);
  EXPECT_FLOAT_EQ(s.InvFocalLength, 0.5f);
  EXPECT_FLOAT_EQ(s.ProjScaleX + s.ProjScaleY, 1120.0f);
  EXPECT_EQ(MakeSurfaceState(5, 7, 1, 1).CentreX, 2);  // halves round to even
  EXPECT_EQ(MakeSurfaceState(5, 7, 1, 1).CentreY, 4);
  const SurfaceState odd = MakeSurfaceState(0, 10, 0.0f, 1);  // divisions that cannot be made
  EXPECT_EQ(odd.AspectRatio, 1.0f);
  EXPECT_EQ(odd.InvFocalLength, 0.0f);

  EXPECT_EQ(InitSurface(Surface(200, 150)).state.ProjScaleX, 75.0f);  // focal length 0.75
}

// Memory from outside, as a presenter hands it out; none when `fail`.
struct TestMemory final : PixelMemory {
  std::vector<std::uint32_t> block;
  bool fail = false;
  std::uint32_t* Provide(int width, int height) override {
    if (fail) return nullptr;
    block.assign(static_cast<std::size_t>(width) * height, 0x12345678u);
    return block.data();
  }
};

TEST(SurfaceMemory, OutsideMemoryAndEitherLayoutKeepThePictureAndItsColours) {
  Surface surface(8, 4);
  surface.SetPixelV(3, 1, RGB(0x11, 0x22, 0x33));
  TestMemory memory;
  surface.UseMemory(&memory, PixelLayout::RedHigh);
  EXPECT_EQ(surface.pixels(), memory.block.data());
  EXPECT_EQ(surface.GetPixel(3, 1), RGB(0x11, 0x22, 0x33));  // kept, in the other layout
  EXPECT_EQ(surface.pixels()[8 + 3], 0xFF112233u);           // B, G, R, X in memory
  EXPECT_EQ(surface.pixels()[0], 0xFF000000u);               // black in either layout
  EXPECT_EQ(Tiles(surface).size(), 1u);                      // everything to be shown again
  surface.SetCells(0, 2, 2, 4, RGB(0xAB, 0, 0));
  EXPECT_EQ(surface.pixels()[2 * 8 + 1], 0xFFAB0000u);
  surface.Resize(20, 20);  // asks for new memory of the new size
  EXPECT_EQ(memory.block.size(), 400u);
  EXPECT_EQ(surface.CountLitPixels(), 0u);
  memory.fail = true;  // none to be had: the surface's own memory
  surface.Resize(5, 5);
  EXPECT_NE(surface.pixels(), memory.block.data());
  surface.SetPixelV(4, 4, RGB(1, 2, 3));
  surface.UseMemory(nullptr, PixelLayout::RedLow);
  EXPECT_EQ(surface.GetPixel(4, 4), RGB(1, 2, 3));
  EXPECT_EQ(surface.pixels()[24], 0xFF030201u);
  memory.fail = false;  // the owner of the memory goes: one black pixel is left, still usable
  surface.UseMemory(&memory, PixelLayout::RedHigh);
  surface.LetGoOfMemory();
  EXPECT_NE(surface.pixels(), memory.block.data());
  EXPECT_EQ(surface.width() * surface.height(), 1);
  surface.SetPixelV(0, 0, RGB(9, 9, 9));
  EXPECT_EQ(Tiles(surface).size(), 1u);
  surface.Resize(6, 3);
  EXPECT_EQ(surface.CountLitPixels(), 0u);
}

TEST(SurfaceTiles, OtherTileSizesAreClampedAndCoverTheSurface) {
  Surface surface(50, 40);
  for (const auto& [shift, side] : {std::pair{0, 4}, {5, 32}, {12, 256}}) {
    surface.SetTileShift(shift);
    EXPECT_EQ(surface.tileShift(), std::countr_zero(unsigned(side)));
    Tiles(surface);
    surface.SetPixelV(49, 39, RGB(1, 1, 1));
    const auto runs = Tiles(surface);
    ASSERT_EQ(runs.size(), 1u);
    const int x = 49 / side * side, y = 39 / side * side;  // the last tile, clipped
    const Surface::Rect& r = runs[0];
    EXPECT_TRUE(r.x == x && r.y == y && r.w == 50 - x && r.h == 40 - y) << side;
  }
}

TEST(GradientFill, BoxBandsRunFromTheEdgeToTheCentreInColoursRoundedToEven) {
  const Colour from = RGB(0, 32, 128), to = RGB(128, 0, 0);
  EXPECT_EQ(GradientBandColour(from, to, 24, 0), from);
  EXPECT_EQ(GradientBandColour(from, to, 24, 3), RGB(16, 28, 112));
  EXPECT_EQ(GradientBandColour(from, to, 24, 9), RGB(48, 20, 80));
  EXPECT_EQ(GradientBandColour(0, RGB(5, 3, 0), 2, 1), RGB(2, 2, 0));  // 2.5 and 1.5 to 2

  Surface s(96, 48);
  GradientFill(s, RGB(0, 0, 48), RGB(160, 0, 0), 24, kGradientBoxes);
  EXPECT_TRUE(s.GetPixel(0, 0) == RGB(0, 0, 48) && s.GetPixel(95, 47) == RGB(0, 0, 48));
  EXPECT_TRUE(s.GetPixel(47, 23) == RGB(153, 0, 2) && s.GetPixel(48, 24) == RGB(153, 0, 2));
  // Box 12 starts 24 pixels in from the side and 12 from the top.
  EXPECT_EQ(s.GetPixel(24, 12), RGB(80, 0, 24));
  const Colour box11 = GradientBandColour(RGB(0, 0, 48), RGB(160, 0, 0), 24, 11);
  EXPECT_TRUE(s.GetPixel(23, 12) == box11 && s.GetPixel(24, 11) == box11);
  for (int y = 0; y < 48; ++y) {  // a mirror image about the centre
    for (int x = 0; x < 96; ++x) ASSERT_EQ(s.GetPixel(x, y), s.GetPixel(95 - x, 47 - y));
  }
}

TEST(GradientFill, CirclesShrinkTowardsTheGivenCentre) {
  Surface s(200, 100);
  GradientFill(s, RGB(0, 32, 128), RGB(128, 0, 0), 24, kGradientCircles, 20.0, 30.0);
  const Colour inner = GradientBandColour(RGB(0, 32, 128), RGB(128, 0, 0), 24, 23);
  EXPECT_EQ(s.GetPixel(20, 30), inner);
  EXPECT_EQ(s.GetPixel(199, 99), RGB(0, 32, 128));  // the farthest corner: band 0
  // Farther from the centre never means a later band.
  Colour last = inner;
  int lastBand = 23;
  for (int x = 20; x < 200; ++x) {
    const Colour c = s.GetPixel(x, 30);
    if (c == last) continue;
    int band = -1;
    for (int i = 0; i < 24; ++i) {
      if (GradientBandColour(RGB(0, 32, 128), RGB(128, 0, 0), 24, i) == c) band = i;
    }
    ASSERT_GE(band, 0);
    ASSERT_LT(band, lastBand);
    last = c;
    lastBand = band;
  }
}

TEST(GradientFill, OddSizesAndBandCountsStayInside) {
  for (const Integer bands : {Integer{0}, Integer{-3}, Integer{1}, Integer{32767}}) {
    Surface s(1, 1);
    GradientFill(s, RGB(1, 2, 3), RGB(200, 100, 50), bands, kGradientBoxes);
    GradientFill(s, RGB(1, 2, 3), RGB(200, 100, 50), bands, kGradientCircles, -1e300, 1e300);
    if (bands < 1) {
      EXPECT_EQ(s.GetPixel(0, 0), 0);
    } else if (bands == 1) {
      EXPECT_EQ(s.GetPixel(0, 0), RGB(1, 2, 3));
    }
  }
  Surface wide(3000, 2);
  GradientFill(wide, RGB(0, 0, 0), RGB(255, 255, 255), 32767, kGradientBoxes);
  EXPECT_EQ(wide.GetPixel(0, 0), 0);
  EXPECT_EQ(wide.GetPixel(1500, 1), GradientBandColour(0, RGB(255, 255, 255), 32767, 32766));
}

}  // namespace
}  // namespace lmvn
