#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "render/colour.h"
#include "render/random.h"

namespace lmvn {
namespace {

TEST(HueWheel, DefaultWeightsRunFrom55To255) {
  const Palette p;
  EXPECT_EQ(p.HueWheel[0], RGB(255, 55, 55));
  EXPECT_EQ(p.HueWheel[60], RGB(255, 255, 55));
  EXPECT_EQ(p.HueWheel[120], RGB(55, 255, 55));
  EXPECT_EQ(p.HueWheel[180], RGB(55, 255, 255));
  EXPECT_EQ(p.HueWheel[240], RGB(55, 55, 255));
  EXPECT_EQ(p.HueWheel[300], RGB(255, 55, 255));
  // f = 30 * 0.0166666 falls just short of one half, so the rising channel floors to 154.
  EXPECT_EQ(p.HueWheel[30], RGB(255, 154, 55));
  EXPECT_EQ(p.HueWheel[90], RGB(155, 255, 55));
  EXPECT_EQ(p.HueWheel[359], RGB(255, 55, 58));
  for (Colour c : p.HueWheel) {
    for (int ch : {RedOf(c), GreenOf(c), BlueOf(c)}) {
      EXPECT_GE(ch, 55);
      EXPECT_LE(ch, 255);
    }
  }
}

TEST(HueWheel, WeightsShapeTheChannels) {
  ColourParams zero;
  zero.ColorRed = zero.ColorGrn = zero.ColorBlu = 0;
  for (Colour c : Palette(zero).HueWheel) EXPECT_EQ(c, RGB(55, 55, 55));

  ColourParams redOnly;
  redOnly.ColorGrn = redOnly.ColorBlu = 0;
  const Palette red(redOnly);
  EXPECT_EQ(red.HueWheel[0], RGB(255, 55, 55));
  EXPECT_EQ(red.HueWheel[180], RGB(55, 55, 55));

  // Weights beyond the dialog's range still give valid colours.
  ColourParams wild;
  wild.ColorRed = 32767;
  wild.ColorGrn = -32768;
  wild.ColorBlu = 150;
  for (Colour c : Palette(wild).HueWheel) EXPECT_EQ(c & ~0xFFFFFF, 0);
  EXPECT_EQ(Palette(wild).HueWheel[60], RGB(255, 0, 55));
}

TEST(ColorAgeRamp, WhiteToCyanThenTheWheelDarkening) {
  const Palette p;
  EXPECT_EQ(p.ColorAgeRamp[0], RGB(255, 255, 255));
  EXPECT_EQ(p.ColorAgeRamp[12], RGB(128, 255, 255));  // 127.5 rounds to even
  EXPECT_EQ(p.ColorAgeRamp[24], RGB(0, 255, 255));
  EXPECT_EQ(p.ColorAgeRamp[25], p.HueWheel[180]);
  // The last entry: hue CLng(2.4) = 2 at 126/200 of its brightness.
  const Colour hue2 = p.HueWheel[2];
  const Colour last = p.ColorAgeRamp[99];
  EXPECT_NEAR(RedOf(last), RedOf(hue2) * 0.63, 0.5);
  EXPECT_NEAR(GreenOf(last), GreenOf(hue2) * 0.63, 0.5);
  EXPECT_NEAR(BlueOf(last), BlueOf(hue2) * 0.63, 0.5);

  // Built from the wheel in force when it is built.
  ColourParams zero;
  zero.ColorRed = zero.ColorGrn = zero.ColorBlu = 0;
  const Palette grey(zero);
  EXPECT_EQ(grey.ColorAgeRamp[25], RGB(55, 55, 55));
  EXPECT_EQ(grey.ColorAgeRamp[0], RGB(255, 255, 255));
}

TEST(PickColor, IntensityVariationNeverBrightens) {
  const Palette p;
  ProgramRandom().Seed(3);
  int darker = 0;
  for (int i = 0; i < 5000; ++i) {
    const Colour base = RGB(i % 256, (i * 7) % 256, 255 - i % 256) | (i == 0 ? 1 : 0);
    const Colour c = p.PickColor(base, 0);
    EXPECT_LE(RedOf(c), RedOf(base));
    EXPECT_LE(GreenOf(c), GreenOf(base));
    EXPECT_LE(BlueOf(c), BlueOf(base));
    darker += c != base;
  }
  EXPECT_GT(darker, 4900);
}

TEST(PickColor, HueSpreadAndRandomHue) {
  ColourParams narrow;
  narrow.ColorHueWheel = 0;
  const Palette fixed(narrow);
  ProgramRandom().Seed(4);
  for (Integer hue : {1, 29, 30, 100, 359, 360}) {
    for (int i = 0; i < 50; ++i) {
      EXPECT_EQ(fixed.PickColor(RGB(1, 2, 3), hue), fixed.HueWheel[(hue + 330) % 360]);
    }
  }

  const Palette p;  // width 60 around hue 100: hues 70..129
  std::set<Colour> allowed(p.HueWheel.begin() + 70, p.HueWheel.begin() + 130);
  std::set<Colour> seen;
  for (int i = 0; i < 3000; ++i) {
    const Colour c = p.PickColor(RGB(9, 9, 9), 100);
    EXPECT_TRUE(allowed.count(c));
    seen.insert(c);
  }
  EXPECT_GT(seen.size(), 40u);

  std::set<Colour> wheel(p.HueWheel.begin(), p.HueWheel.end());
  for (int i = 0; i < 3000; ++i) EXPECT_TRUE(wheel.count(p.PickColor(0, 0)));
}

TEST(PickColor, FixedHuesIgnoresTheArguments) {
  ColourParams params;
  params.FixedHues = true;
  params.ColorRed = 100;
  params.ColorGrn = 0;
  params.ColorBlu = 50;
  const Palette p(params);
  ProgramRandom().Seed(5);
  for (int i = 0; i < 2000; ++i) {
    const Colour c = p.PickColor(i % 3 ? RGB(1, 1, 1) : 0, static_cast<Integer>(i % 400));
    EXPECT_EQ(GreenOf(c), 55);
    EXPECT_GE(RedOf(c), 55);
    EXPECT_LE(RedOf(c), 255);
    EXPECT_GE(BlueOf(c), 55);
    EXPECT_LE(BlueOf(c), 155);
    // One draw for all channels: blue rises half as fast as red.
    EXPECT_NEAR(BlueOf(c) - 55, (RedOf(c) - 55) * 0.5, 1.0);
  }
}

TEST(PickColor, OutOfRangeSettingsStayOffTheTableEnds) {
  ColourParams params;
  params.ColorHueWheel = -2000;
  const Palette p(params);
  ProgramRandom().Seed(6);
  std::set<Colour> wheel(p.HueWheel.begin(), p.HueWheel.end());
  for (int i = 0; i < 2000; ++i) {
    for (Integer hue : {-32768, -400, 1, 32767}) {
      const Colour c = p.PickColor(RGB(3, 3, 3), hue);
      EXPECT_TRUE(c == 0 || wheel.count(c));
    }
  }
}

struct SchemeCount {
  int intensity = 0, hue = 0, solid = 0;
};

SchemeCount Schemes(const Palette& p, int draws) {
  SchemeCount n;
  for (int i = 0; i < draws; ++i) {
    Colour colour = -1;
    bool solid = false;
    Integer hue = -1;
    p.ChooseColorScheme(colour, solid, hue);
    EXPECT_NE(colour, -1);
    if (solid) {
      EXPECT_EQ(hue, 0);
      ++n.solid;
    } else if (hue == 0) {
      ++n.intensity;
    } else {
      EXPECT_GE(hue, 1);
      EXPECT_LE(hue, 360);
      ++n.hue;
    }
  }
  return n;
}

TEST(ChooseColorScheme, PercentagesAtTheirLimits) {
  ProgramRandom().Seed(8);
  ColourParams params;
  params.ColorPctInt = 100;
  SchemeCount n = Schemes(Palette(params), 2000);
  EXPECT_EQ(n.intensity, 2000);

  params.ColorPctInt = 0;
  params.ColorPctHue = 0;
  n = Schemes(Palette(params), 2000);
  EXPECT_EQ(n.solid, 2000);

  n = Schemes(Palette(), 2000);  // defaults: every object gets hue variation
  EXPECT_EQ(n.hue, 2000);

  params.ColorPctInt = 25;
  params.ColorPctHue = 25;
  n = Schemes(Palette(params), 8000);
  EXPECT_NEAR(n.intensity, 2000, 200);
  EXPECT_NEAR(n.hue, 2000, 200);
  EXPECT_NEAR(n.solid, 4000, 250);
}

// Replays depend on the number of draws: two for intensity and solid schemes, three for hue
// variation, one per SchemeColor that is not solid and none for a solid one.
TEST(ChooseColorScheme, DrawsInTheWrittenOrder) {
  auto drawsUsed = [](auto&& call) {
    ProgramRandom().Seed(99);
    call();
    const float next = Rnd();
    ProgramRandom().Seed(99);
    for (int used = 0; used < 10; ++used) {
      if (Rnd() == next) return used;
    }
    return -1;
  };
  Colour colour;
  bool solid;
  Integer hue;
  ColourParams params;
  params.ColorPctInt = 100;
  const Palette intensity(params);
  EXPECT_EQ(drawsUsed([&] { intensity.ChooseColorScheme(colour, solid, hue); }), 2);
  const Palette hues;
  EXPECT_EQ(drawsUsed([&] { hues.ChooseColorScheme(colour, solid, hue); }), 3);
  EXPECT_EQ(drawsUsed([&] { EXPECT_EQ(hues.SchemeColor(true, 1234, 7), 1234); }), 0);
  EXPECT_EQ(drawsUsed([&] { hues.SchemeColor(false, 1234, 7); }), 1);

  // The hue of the third draw: CInt(Int(Rnd * 360) + 1).
  ProgramRandom().Seed(11);
  Rnd();
  Rnd();
  const int expectedHue = static_cast<int>(std::floor(Rnd() * 360.0f)) + 1;
  ProgramRandom().Seed(11);
  hues.ChooseColorScheme(colour, solid, hue);
  EXPECT_EQ(hue, expectedHue);
}

TEST(DemoColours, ResetWeightsButKeepFixedHuesAndStartHue) {
  ColourParams params;
  params.ColorRed = 3;
  params.ColorPctInt = 40;
  params.ColorPctHue = 10;
  params.ColorHueWheel = 200;
  params.FixedHues = true;
  params.Adv_HueStart = 77;
  ApplyDemoColourDefaults(params);
  EXPECT_EQ(params.ColorRed, 100);
  EXPECT_EQ(params.ColorPctInt, 0);
  EXPECT_EQ(params.ColorPctHue, 100);
  EXPECT_EQ(params.ColorHueWheel, 60);
  EXPECT_TRUE(params.FixedHues);
  EXPECT_EQ(params.Adv_HueStart, 77);
}

}  // namespace
}  // namespace lmvn
