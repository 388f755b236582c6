// The runtime loaders: the typed settings that the saver and the effects run with.
//
// Each effect's settings struct has one member per key of its section, named by the key and
// generated from settings/catalogue_keys.h, so struct, catalogue and loader cannot drift.
// Switch keys become bool (true exactly when the stored number is 1; NonZeroSwitch keys true
// whenever it is not 0).
//
// A loader reads every value through the store with the catalogue default; a
// SettingOverrides entry for a key replaces the stored text for that run (the headless
// renderer's --set) and goes through the same read rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "render/colour.h"
#include "render/numeric.h"
#include "settings/catalogue_keys.h"

namespace lmvn {

// Texts that stand in for stored values, for one run, without touching the store.
class SettingOverrides {
 public:
  // Sets (or replaces) the text of section/key.
  void Set(std::string_view section, std::string_view key, std::string_view text);
  // The text for section/key (names matched without regard to case); nullptr when none.
  const std::string* Find(std::string_view section, std::string_view key) const;
  bool empty() const { return entries_.empty(); }

 private:
  struct Entry {
    std::string section, key, text;
  };
  std::vector<Entry> entries_;
};

#define LMVN_MEMBER_TYPE_Integer ::lmvn::Integer
#define LMVN_MEMBER_TYPE_Long ::lmvn::Long
#define LMVN_MEMBER_TYPE_Single ::lmvn::Single
#define LMVN_MEMBER_TYPE_String std::string
#define LMVN_MEMBER_TYPE_Switch bool
#define LMVN_MEMBER_TYPE_NonZeroSwitch bool
#define LMVN_SETTINGS_MEMBER(name, type, ...) LMVN_MEMBER_TYPE_##type name{};
#define LMVN_VISIT_MEMBER(name, ...) f(LoaderSpelling(#name), settings.name);

// The name a loader asks for, and the name of the runtime value it fills. The Galaxy loader
// has always spelled one key differently from its writers; names are matched without regard
// to case, so both reach the same value.
constexpr std::string_view LoaderSpelling(std::string_view name) {
  return name == "Galaxy_CometCPersist" ? std::string_view("Galaxy_CometcPersist") : name;
}

// The colour settings (sections General, PixelColor, Advanced) are the colour model's own
// parameters; the loader fills them without clamping. FixedHues is true when the stored number
// is not 0.
using ColourSettings = ColourParams;

// The eight sound cue files, by key name; operator[] gives them in cue order (0 = launch).
struct SoundFileSet {
  LMVN_SOUND_FILE_KEYS(LMVN_SETTINGS_MEMBER)
  static constexpr std::size_t kCount = 8;
  const std::string& operator[](std::size_t cue) const;
};

struct SoundSettings {
  bool SoundOn{};  // true exactly when SoundFX_ON is the text "1"
  SoundFileSet SoundFiles;
};

// What the saver reads before every run, besides the window geometry and the hue wheel.
struct RuntimeSettings {
  ColourSettings colour;
  bool SoundOn{};
  SoundFileSet SoundFiles;
  Single PerfMult{};        // Adv_PerfMult
  Long FrameDelay{};        // Adv_TimeDelay, not clamped
  Long FramesPerEffect{};   // Adv_EffectCycle, clamped to 100..9999 when above 0
  Integer PixelSize{};      // clamped to 1..9
  Single FocalLength{};     // clamped to 0.01..9999
  Single InvFocalLength{};  // 1 / FocalLength
  std::string LockMessage;  // trimmed
  Integer AnimationType{};  // not clamped here (the saver clamps it to 0..5)
  Long Adv_PickEffects{};
  bool Adv_WindowResize{};  // true exactly when the text is "1"
};

struct FireworksSettings {
  LMVN_FIREWORKS_KEYS(LMVN_SETTINGS_MEMBER)
};
struct StarfieldSettings {
  LMVN_STARFIELD_KEYS(LMVN_SETTINGS_MEMBER)
};
struct WarpSettings {
  LMVN_WARP_KEYS(LMVN_SETTINGS_MEMBER)
};
struct SparklerSettings {
  LMVN_SPARKLER_KEYS(LMVN_SETTINGS_MEMBER)
};
struct GravityWellSettings {
  LMVN_GRAVITYWELL_KEYS(LMVN_SETTINGS_MEMBER)
};
struct GalaxySettings {
  LMVN_GALAXY_KEYS(LMVN_SETTINGS_MEMBER)
};

ColourSettings LoadColourSettings(const SettingOverrides& overrides = {});
SoundSettings LoadSoundSettings(const SettingOverrides& overrides = {});
RuntimeSettings LoadRuntimeSettings(const SettingOverrides& overrides = {});

// The effect loaders. With `scale` true the effect's particle counts are multiplied by
// perfMult and rounded to a 16-bit integer, ties to even; a product that does not fit keeps
// the unscaled count. Fireworks and Galaxies take a theme number: 0 means the stored values;
// from 1 on the built-in theme of that number replaces them (the themes plug in here; until
// they exist the stored values are read), and the counts are always multiplied.
//
// Like every loader, the Fireworks loader gives values in setting units; a Fireworks run first
// applies ApplyFireworksLimits to them, then clamps them.
FireworksSettings LoadFireworksSettings(Integer theme, bool scale, Single perfMult,
                                        const SettingOverrides& overrides = {});

// World units per setting unit of the Fireworks radii.
inline constexpr Single kFireworksWorldUnit = 0.0025f;

// The limits a Fireworks run applies to loaded values before it clamps them, in this order:
// FireSparks at most 30000 \ FireWorks (no limit when FireWorks is 0: the run clamps it to
// one shell), FireLaunchPixel at most FireSparks, and the four radii (FireTwistRad,
// FireTwistExt, FireBurstRadius, FireLaunchRadius) times kFireworksWorldUnit.
void ApplyFireworksLimits(FireworksSettings& settings);

StarfieldSettings LoadStarfieldSettings(bool scale, Single perfMult,
                                        const SettingOverrides& overrides = {});
WarpSettings LoadWarpSettings(bool scale, Single perfMult, const SettingOverrides& overrides = {});
SparklerSettings LoadSparklerSettings(bool scale, Single perfMult,
                                      const SettingOverrides& overrides = {});
GravityWellSettings LoadGravityWellSettings(bool scale, Single perfMult,
                                            const SettingOverrides& overrides = {});
GalaxySettings LoadGalaxySettings(Integer theme, bool scale, Single perfMult,
                                  const SettingOverrides& overrides = {});

// The count multiplied by perfMult in double precision and rounded half to even (5 x 0.1
// gives 1); the count itself when the product does not fit 16 bits.
Integer ScaleCount(Integer count, Single perfMult);

// VisitSettings calls f(std::string_view name, value) for every member, in catalogue order,
// with value an Integer, Long, Single, bool or std::string.
template <class F>
void VisitSettings(const FireworksSettings& settings, F&& f) {
  LMVN_FIREWORKS_KEYS(LMVN_VISIT_MEMBER)
}
template <class F>
void VisitSettings(const StarfieldSettings& settings, F&& f) {
  LMVN_STARFIELD_KEYS(LMVN_VISIT_MEMBER)
}
template <class F>
void VisitSettings(const WarpSettings& settings, F&& f) {
  LMVN_WARP_KEYS(LMVN_VISIT_MEMBER)
}
template <class F>
void VisitSettings(const SparklerSettings& settings, F&& f) {
  LMVN_SPARKLER_KEYS(LMVN_VISIT_MEMBER)
}
template <class F>
void VisitSettings(const GravityWellSettings& settings, F&& f) {
  LMVN_GRAVITYWELL_KEYS(LMVN_VISIT_MEMBER)
}
template <class F>
void VisitSettings(const GalaxySettings& settings, F&& f) {
  LMVN_GALAXY_KEYS(LMVN_VISIT_MEMBER)
}
template <class F>
void VisitSettings(const SoundFileSet& settings, F&& f) {
  LMVN_SOUND_FILE_KEYS(LMVN_VISIT_MEMBER)
}
template <class F>
void VisitSettings(const ColourSettings& s, F&& f) {
  f(std::string_view("ColorRed"), s.ColorRed);
  f(std::string_view("ColorGrn"), s.ColorGrn);
  f(std::string_view("ColorBlu"), s.ColorBlu);
  f(std::string_view("FixedHues"), s.FixedHues);
  f(std::string_view("ColorPctInt"), s.ColorPctInt);
  f(std::string_view("ColorPctHue"), s.ColorPctHue);
  f(std::string_view("ColorHueWheel"), s.ColorHueWheel);
  f(std::string_view("Adv_HueStart"), s.Adv_HueStart);
}
// The runtime settings: the colour members first, then the others under their own names.
template <class F>
void VisitSettings(const RuntimeSettings& s, F&& f) {
  VisitSettings(s.colour, f);
  f(std::string_view("SoundOn"), s.SoundOn);
  VisitSettings(s.SoundFiles, f);
  f(std::string_view("PerfMult"), s.PerfMult);
  f(std::string_view("FrameDelay"), s.FrameDelay);
  f(std::string_view("FramesPerEffect"), s.FramesPerEffect);
  f(std::string_view("PixelSize"), s.PixelSize);
  f(std::string_view("FocalLength"), s.FocalLength);
  f(std::string_view("InvFocalLength"), s.InvFocalLength);
  f(std::string_view("LockMessage"), s.LockMessage);
  f(std::string_view("AnimationType"), s.AnimationType);
  f(std::string_view("Adv_PickEffects"), s.Adv_PickEffects);
  f(std::string_view("Adv_WindowResize"), s.Adv_WindowResize);
}

}  // namespace lmvn
