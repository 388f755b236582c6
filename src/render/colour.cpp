#include "render/colour.h"

#include <cmath>

#include "render/random.h"

namespace lmvn {
namespace {

// A channel value held in floating point (already floored or rounded) as an int, 0..255.
int Channel(double value) {
  if (!(value > 0.0)) return 0;
  if (value > 255.0) return 255;
  return static_cast<int>(value);
}

}  // namespace

void ApplyDemoColourDefaults(ColourParams& params) {
  params.ColorRed = params.ColorGrn = params.ColorBlu = 100;
  params.ColorPctInt = 0;
  params.ColorPctHue = 100;
  params.ColorHueWheel = 60;
}

Palette::Palette() : Palette(ColourParams{}) {}

Palette::Palette(const ColourParams& p) : params(p) {
  BuildHueWheel();
  BuildColorAgeRamp();
}

// Each sixth of the wheel holds one channel full, one at the low value 55 and moves the third
// up or down linearly; f is the position within the sixth.
void Palette::BuildHueWheel() {
  const Integer weights[3] = {params.ColorRed, params.ColorGrn, params.ColorBlu};
  for (int h = 0; h < 360; ++h) {
    const Single f = static_cast<Single>((h % 60) * 0.0166666);
    int up[3], down[3], full[3];
    for (int c = 0; c < 3; ++c) {
      const Single w = weights[c];
      up[c] = Channel(Int(2.0f * f * w + 55.0f));
      down[c] = Channel(Int(2.0f * (1.0f - f) * w + 55.0f));
      full[c] = 2 * weights[c] + 55;
    }
    constexpr int low = 55;
    Colour colour = 0;
    switch (h / 60) {
      case 0:
        colour = RGB(full[0], up[1], low);
        break;
      case 1:
        colour = RGB(down[0], full[1], low);
        break;
      case 2:
        colour = RGB(low, full[1], up[2]);
        break;
      case 3:
        colour = RGB(low, down[1], full[2]);
        break;
      case 4:
        colour = RGB(up[0], low, full[2]);
        break;
      default:
        colour = RGB(full[0], low, down[2]);
        break;
    }
    HueWheel[static_cast<std::size_t>(h)] = colour;
  }
}

void Palette::BuildColorAgeRamp() {
  const int n = CIntOr(100 * 0.25, 25);
  for (int i = 0; i < n; ++i) {
    const int v = CIntOr(255 - (i / 24.0) * 255, 0);
    ColorAgeRamp[static_cast<std::size_t>(i)] = RGB(v, 255, 255);
  }
  for (int i = n; i < 100; ++i) {
    const Long k = CLngOr(180 - ((i - 25) / 75.0) * 180, 0);
    const Colour c = HueWheel[static_cast<std::size_t>(ClampLong(k, 0, 359))];
    const Single s = static_cast<Single>(((200 - i) + 25) / 200.0);
    ColorAgeRamp[static_cast<std::size_t>(i)] = RGB(CIntOr(RedOf(c) * static_cast<double>(s), 0),
                                                    CIntOr(GreenOf(c) * static_cast<double>(s), 0),
                                                    CIntOr(BlueOf(c) * static_cast<double>(s), 0));
  }
}

Colour Palette::WheelAt(int index) const {
  if (index < 0 || index >= 360) return 0;
  return HueWheel[static_cast<std::size_t>(index)];
}

Colour Palette::PickColor(Colour baseColour, Integer hue) const {
  const Single r = Rnd();
  if (params.FixedHues) {
    const Single r2 = 2.0f * r;
    return RGB(Channel(Int(r2 * params.ColorRed + 55.0f)),
               Channel(Int(r2 * params.ColorGrn + 55.0f)),
               Channel(Int(r2 * params.ColorBlu + 55.0f)));
  }
  if (baseColour == 0) {
    // r * 360 stays below 360 for every draw; the mod keeps the index on the wheel anyway.
    return WheelAt(static_cast<int>(Int(r * 360.0f)) % 360);
  }
  if (hue == 0) {
    const double dr = r;
    return RGB(Channel(Int(RedOf(baseColour) * dr)), Channel(Int(GreenOf(baseColour) * dr)),
               Channel(Int(BlueOf(baseColour) * dr)));
  }
  // Whole numbers within +-66000: the sum is exact in a Single and fits an int. The remainder
  // keeps the sign of the dividend, so a negative sum (settings beyond their ranges) leaves
  // the wheel.
  const Single sum = Int(params.ColorHueWheel * r) + static_cast<Single>(hue) + 330.0f;
  return WheelAt(static_cast<int>(sum) % 360);
}

void Palette::ChooseColorScheme(Colour& colour, bool& solid, Integer& hue) const {
  const Single p = Rnd() * 100.0f;
  if (p < params.ColorPctInt) {
    colour = PickColor(0, 0);
    solid = false;
    hue = 0;
  } else if (p < params.ColorPctInt + params.ColorPctHue) {
    colour = PickColor(0, 0);
    solid = false;
    hue = CIntOr(Int(Rnd() * 360.0f) + 1.0f, 1);
  } else {
    colour = PickColor(0, 0);
    solid = true;
    hue = 0;
  }
}

}  // namespace lmvn
