#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lmvn
