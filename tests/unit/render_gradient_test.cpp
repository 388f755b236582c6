#include <gtest/gtest.h>

#include "render/gradient.h"

namespace lmvn {
namespace {

TEST(GradientFill, BoxBandsRunFromTheEdgeToTheCentre) {
  Surface s(96, 48);
  GradientFill(s, RGB(0, 0, 48), RGB(160, 0, 0), 24, kGradientBoxes);
  EXPECT_EQ(s.GetPixel(0, 0), RGB(0, 0, 48));
  EXPECT_EQ(s.GetPixel(95, 47), RGB(0, 0, 48));
  EXPECT_EQ(s.GetPixel(47, 23), RGB(153, 0, 2));  // 160 * 23 / 24 and 48 - 48 * 23 / 24
  EXPECT_EQ(s.GetPixel(48, 24), RGB(153, 0, 2));
  // Box 12 starts 24 pixels in from the side and 12 from the top.
  EXPECT_EQ(s.GetPixel(24, 12), RGB(80, 0, 24));
  EXPECT_EQ(s.GetPixel(23, 12), GradientBandColour(RGB(0, 0, 48), RGB(160, 0, 0), 24, 11));
  EXPECT_EQ(s.GetPixel(24, 11), GradientBandColour(RGB(0, 0, 48), RGB(160, 0, 0), 24, 11));
  // Mirror image about the centre.
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 96; ++x) ASSERT_EQ(s.GetPixel(x, y), s.GetPixel(95 - x, 47 - y));
  }
}

TEST(GradientFill, BandColoursRoundToNearestEven) {
  const Colour from = RGB(0, 32, 128), to = RGB(128, 0, 0);
  EXPECT_EQ(GradientBandColour(from, to, 24, 0), from);
  EXPECT_EQ(GradientBandColour(from, to, 24, 3), RGB(16, 28, 112));
  // 128 * 9 / 24 = 48; 32 - 32 * 9 / 24 = 20; 128 - 128 * 9 / 24 = 80.
  EXPECT_EQ(GradientBandColour(from, to, 24, 9), RGB(48, 20, 80));
  // 5 * 1 / 2 = 2.5 rounds to 2, 5 * 3 / 2... channel 3 -> 1.5 rounds to 2.
  EXPECT_EQ(GradientBandColour(RGB(0, 0, 0), RGB(5, 3, 0), 2, 1), RGB(2, 2, 0));
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
