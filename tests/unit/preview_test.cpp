#include "effects/preview.h"

#include <gtest/gtest.h>

#include <set>

#include "render/random.h"

namespace lmvn {
namespace {

// Ten coloured bursts of 32 trails and thirty white stars, different for each seed, on a
// surface of any size.
TEST(Preview, BurstsAndStars) {
  const Palette palette;
  Surface a(400, 300), b(400, 300);
  ProgramRandom().Seed(11);
  DrawPreview(a, palette);
  ProgramRandom().Seed(12);
  DrawPreview(b, palette);

  std::set<Colour> colours;
  long white = 0, differ = 0;
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x) {
      const Colour c = a.GetPixel(x, y);
      if (c != 0) colours.insert(c);
      if (c == 0xFFFFFF) ++white;
      if (c != b.GetPixel(x, y)) ++differ;
    }
  }
  EXPECT_LE(colours.size(), 11u);  // ten burst colours and white
  EXPECT_GE(colours.size(), 2u);
  EXPECT_GE(white, 30);
  EXPECT_GT(a.CountLitPixels(), 320u);
  EXPECT_GT(differ, 0);

  Surface wide(5000, 3), none(1, 1);  // any size completes and draws
  DrawPreview(wide, palette);
  EXPECT_GT(wide.CountLitPixels(), 0u);
  DrawPreview(none, palette, 0, 0);  // a window of no size: everything sits at the origin
  EXPECT_NE(none.GetPixel(0, 0), 0);
}

}  // namespace
}  // namespace lmvn
