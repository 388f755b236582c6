#include <gtest/gtest.h>

#include <array>
#include <set>

#include "render/colour.h"
#include "render/random.h"

namespace lmvn {
namespace {

ColourParams Weights(Integer r, Integer g, Integer b) {
  ColourParams p;
  p.ColorRed = r, p.ColorGrn = g, p.ColorBlu = b;
  return p;
}

TEST(HueWheel, EntriesAndWeights) {
  const Palette p;
  // At 30, 30 * 0.0166666 falls just short of one half, so the rising channel floors to 154.
  const std::pair<int, Colour> entries[] = {{0, RGB(255, 55, 55)},   {60, RGB(255, 255, 55)},
                                            {120, RGB(55, 255, 55)}, {240, RGB(55, 55, 255)},
                                            {30, RGB(255, 154, 55)}, {359, RGB(255, 55, 58)}};
  for (const auto& [hue, colour] : entries) EXPECT_EQ(p.HueWheel[hue], colour) << hue;
  for (Colour c : Palette(Weights(0, 0, 0)).HueWheel) EXPECT_EQ(c, RGB(55, 55, 55));
  // Weights beyond the dialog's range still give valid colours.
  EXPECT_EQ(Palette(Weights(32767, -32768, 150)).HueWheel[60], RGB(255, 0, 55));
}

TEST(ColorAgeRamp, WhiteToCyanThenTheWheelDarkening) {
  const Palette p;
  EXPECT_EQ(p.ColorAgeRamp[0], RGB(255, 255, 255));
  EXPECT_EQ(p.ColorAgeRamp[12], RGB(128, 255, 255));  // 127.5 rounds to even
  EXPECT_EQ(p.ColorAgeRamp[24], RGB(0, 255, 255));
  EXPECT_EQ(p.ColorAgeRamp[25], p.HueWheel[180]);
  EXPECT_NEAR(RedOf(p.ColorAgeRamp[99]), RedOf(p.HueWheel[2]) * 0.63, 0.5);  // hue 2 at 63 %
  EXPECT_EQ(Palette(Weights(0, 0, 0)).ColorAgeRamp[25], RGB(55, 55, 55));
}

TEST(PickColor, IntensityAndHueVariation) {
  ProgramRandom().Seed(3);
  const Palette p;
  for (int i = 0; i < 3000; ++i) {  // intensity variation never brightens
    const Colour base = RGB(i % 256, (i * 7) % 256, 255 - i % 256);
    const Colour c = p.PickColor(base, 0);
    EXPECT_TRUE(RedOf(c) <= RedOf(base) && GreenOf(c) <= GreenOf(base) &&
                BlueOf(c) <= BlueOf(base) && c != base);
  }
  const std::set<Colour> spread(p.HueWheel.begin() + 70, p.HueWheel.begin() + 130);
  for (int i = 0; i < 2000; ++i) EXPECT_TRUE(spread.count(p.PickColor(1, 100)));  // 100 +- 30

  ColourParams narrow;
  narrow.ColorHueWheel = 0;
  const Palette fixedHue(narrow);
  for (Integer hue : {1, 30, 359, 360}) {
    EXPECT_EQ(fixedHue.PickColor(RGB(1, 2, 3), hue), fixedHue.HueWheel[(hue + 330) % 360]);
  }

  ColourParams wild;  // hue indices beyond the wheel give black, never a stray read
  wild.ColorHueWheel = -2000;
  const Palette w(wild);
  const std::set<Colour> wheel(w.HueWheel.begin(), w.HueWheel.end());
  for (Integer hue : {-32768, -400, 1, 32767}) {
    const Colour c = w.PickColor(3, hue);
    EXPECT_TRUE(c == 0 || wheel.count(c));
  }
}

TEST(ChooseColorScheme, PercentagesAtTheirLimits) {
  auto count = [](const ColourParams& params) {
    const Palette p(params);
    int intensity = 0, hue = 0, solid = 0;
    for (int i = 0; i < 2000; ++i) {
      Colour c;
      bool s;
      Integer h;
      p.ChooseColorScheme(c, s, h);
      EXPECT_TRUE(s ? h == 0 : h >= 0 && h <= 360);
      (s ? solid : h == 0 ? intensity : hue) += 1;
    }
    return std::array<int, 3>{intensity, hue, solid};
  };
  ProgramRandom().Seed(8);
  ColourParams p;
  EXPECT_EQ(count(p), (std::array<int, 3>{0, 2000, 0}));  // defaults: hue variation
  p.ColorPctInt = 100;
  EXPECT_EQ(count(p), (std::array<int, 3>{2000, 0, 0}));
  p.ColorPctInt = p.ColorPctHue = 0;
  EXPECT_EQ(count(p), (std::array<int, 3>{0, 0, 2000}));
}

}  // namespace
}  // namespace lmvn
