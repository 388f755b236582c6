#include <gtest/gtest.h>

#include <bit>
#include <utility>
#include <vector>

#include "render/surface.h"

namespace lmvn {
namespace {

std::vector<Surface::Rect> Tiles(Surface& surface) {
  std::vector<Surface::Rect> out;
  surface.TakeChangedTiles([&](const Surface::Rect& r) { out.push_back(r); });
  return out;
}

bool Same(const Surface::Rect& a, const Surface::Rect& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

TEST(SurfaceTiles, WritesMarkTheirTilesAsRunsClippedToTheSurface) {
  Surface surface(50, 40);  // tiles of 16: 4 columns (the last 2 wide), 3 rows (the last 8)
  EXPECT_EQ(Tiles(surface).size(), 3u);  // a new surface is all changed: one run per row
  EXPECT_TRUE(Tiles(surface).empty());

  surface.SetPixelV(1, 1, RGB(9, 9, 9));
  surface.SetPixelV(17, 2, 0);  // a black write counts too; abuts the first tile
  surface.SetPixelV(49, 39, RGB(1, 2, 3));
  surface.SetPixelV(-1, 5, RGB(1, 1, 1));        // outside: nothing
  surface.SetCells(30, 20, 3, 9, RGB(5, 5, 5));  // a block across two tile columns
  const auto runs = Tiles(surface);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_TRUE(Same(runs[0], {0, 0, 32, 16}));
  EXPECT_TRUE(Same(runs[1], {16, 16, 32, 16}));
  EXPECT_TRUE(Same(runs[2], {48, 32, 2, 8}));
  EXPECT_TRUE(surface.ChangedRect().empty());

  // TakeChangedRect also starts the tiles afresh.
  surface.SetPixelV(40, 5, RGB(1, 1, 1));
  EXPECT_FALSE(surface.TakeChangedRect().empty());
  EXPECT_TRUE(Tiles(surface).empty());
  surface.Clear();
  EXPECT_EQ(Tiles(surface).size(), 3u);
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
    EXPECT_TRUE(Same(runs[0], {x, y, 50 - x, 40 - y})) << side;
  }
}

}  // namespace
}  // namespace lmvn
