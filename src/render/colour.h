// The colour model: the hue wheel built from the channel weights, the colour-age ramp, and
// the colour picks of particles and objects.
#pragma once

#include <array>

#include "render/numeric.h"
#include "render/surface.h"

namespace lmvn {

// The colour settings the model reads (the settings layer fills it in).
struct ColourParams {
  Integer ColorRed = 100, ColorGrn = 100, ColorBlu = 100;  // channel weights: 55..55 + 2 * w
  bool FixedHues = false;      // every colour is a random intensity of the weights' colour
  Integer ColorPctInt = 0;     // percent of objects coloured by intensity variation
  Integer ColorPctHue = 100;   // percent of objects coloured by hue variation
  Integer ColorHueWheel = 60;  // width in degrees of the hue spread around a base hue
  Integer Adv_HueStart = 0;    // starting hue of the gravity wells
};

// The colour defaults of the demonstrations: weights 100, percentages 0 and 100, hue width
// 60. FixedHues and Adv_HueStart keep their values; the tables are not rebuilt.
void ApplyDemoColourDefaults(ColourParams& params);

class Palette {
 public:
  Palette();                              // defaults, both tables built
  explicit Palette(const ColourParams&);  // both tables built from these settings

  ColourParams params;
  std::array<Colour, 360> HueWheel{};      // index = hue in whole degrees
  std::array<Colour, 100> ColorAgeRamp{};  // index = colour age

  // New colour settings for the next run: the hue wheel is rebuilt from them; the colour-age
  // ramp keeps what it was built from (the saver builds it once, at start-up).
  void UseSettings(const ColourParams& p) {
    params = p;
    BuildHueWheel();
  }

  // Fills HueWheel from the channel weights of `params`.
  void BuildHueWheel();
  // Fills ColorAgeRamp from HueWheel: white fading to cyan (0..24), then the wheel from hue
  // 180 down to 0, darkening to 63 % (25..99).
  void BuildColorAgeRamp();

  // The colour of one particle; one Rnd draw. With FixedHues: a random intensity of the
  // weights' colour. Otherwise base 0: a random wheel hue; hue 0: the base dimmed by the
  // draw (never brighter); else a wheel hue from hue - 30 spreading ColorHueWheel degrees.
  // A hue index that falls outside the wheel (settings beyond their ranges) gives black.
  Colour PickColor(Colour baseColour, Integer hue) const;
  // The colour scheme of one object (outputs): intensity variation (hue 0), hue variation
  // (hue 1..360) or solid, chosen by ColorPctInt and ColorPctHue.
  void ChooseColorScheme(Colour& colour, bool& solid, Integer& hue) const;
  // The colour of one particle of an object under its scheme.
  Colour SchemeColor(bool solid, Colour colour, Integer hue) const {
    return solid ? colour : PickColor(colour, hue);
  }

 private:
  Colour WheelAt(int index) const;
};

}  // namespace lmvn
