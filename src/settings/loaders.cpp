#include "settings/loaders.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "settings/catalogue.h"
#include "settings/store.h"
#include "settings/themes_fireworks.h"
#include "settings/value_text.h"

namespace lmvn {

void SettingOverrides::Set(std::string_view section, std::string_view key, std::string_view text) {
  for (Entry& entry : entries_) {
    if (SameName(entry.section, section) && SameName(entry.key, key)) {
      entry.text = std::string(text);
      return;
    }
  }
  entries_.push_back({std::string(section), std::string(key), std::string(text)});
}

const std::string* SettingOverrides::Find(std::string_view section, std::string_view key) const {
  for (const Entry& entry : entries_) {
    if (SameName(entry.section, section) && SameName(entry.key, key)) return &entry.text;
  }
  return nullptr;
}

const std::string& SoundFileSet::operator[](std::size_t cue) const {
#define LMVN_SOUND_FILE_POINTER(name, ...) &SoundFileSet::name,
  static constexpr std::string SoundFileSet::*kFiles[] = {
      LMVN_SOUND_FILE_KEYS(LMVN_SOUND_FILE_POINTER)};
#undef LMVN_SOUND_FILE_POINTER
  static_assert(std::size(kFiles) == kCount);
  return this->*kFiles[cue < kCount ? cue : 0];
}

namespace {

// Reads the values of one section: an override first, else the store.
class SectionReader {
 public:
  SectionReader(std::string_view section, const SettingOverrides& overrides)
      : section_(section), overrides_(overrides) {}

  void Read(std::string_view key, std::string_view def, Integer& out) const {
    const Integer fallback = IntegerFromText(def, 0);
    const std::string* text = overrides_.Find(section_, key);
    out = text ? IntegerFromText(*text, fallback)
               : ReadSettingInteger(kSettingsApp, section_, key, fallback);
  }
  void Read(std::string_view key, std::string_view def, Long& out) const {
    const Long fallback = LongFromText(def, 0);
    const std::string* text = overrides_.Find(section_, key);
    out = text ? LongFromText(*text, fallback)
               : ReadSettingLong(kSettingsApp, section_, key, fallback);
  }
  void Read(std::string_view key, std::string_view def, Single& out) const {
    const Single fallback = SingleFromText(def, 0);
    const std::string* text = overrides_.Find(section_, key);
    out = text ? SingleFromText(*text, fallback)
               : ReadSettingSingle(kSettingsApp, section_, key, fallback);
  }
  void Read(std::string_view key, std::string_view def, std::string& out) const {
    const std::string* text = overrides_.Find(section_, key);
    out = text ? StringFromText(*text, def) : ReadSettingString(kSettingsApp, section_, key, def);
  }
  // Switch keys: on exactly when the stored number is 1, or, for NonZeroSwitch keys,
  // whenever it is not 0.
  void Read(std::string_view key, std::string_view def, bool& out,
            KeyType type = KeyType::Switch) const {
    Integer value = 0;
    Read(key, def, value);
    out = type == KeyType::NonZeroSwitch ? value != 0 : value == 1;
  }
  template <typename T>
  void Read(std::string_view key, std::string_view def, T& out, KeyType) const {
    Read(key, def, out);
  }

  // A key read with its catalogue default.
  template <typename T>
  T Get(std::string_view key) const {
    const KeySpec* entry = FindKey(section_, key);
    if (entry == nullptr) {
      std::fprintf(stderr, "settings: %.*s/%.*s is not in the catalogue\n",
                   static_cast<int>(section_.size()), section_.data(), static_cast<int>(key.size()),
                   key.data());
      std::abort();
    }
    T value{};
    Read(key, entry->defaultText, value, entry->type);
    return value;
  }

 private:
  std::string_view section_;
  const SettingOverrides& overrides_;
};

#define LMVN_LOAD_MEMBER(name, type, def, ...) \
  reader.Read(LoaderSpelling(#name), def, settings.name, KeyType::type);

}  // namespace

Integer ScaleCount(Integer count, Single perfMult) {
  const double product = static_cast<double>(count) * static_cast<double>(perfMult);
  return CInt(product).value_or(count);
}

ColourSettings LoadColourSettings(const SettingOverrides& overrides) {
  const SectionReader general(kSectionGeneral, overrides);
  const SectionReader pixelColor(kSectionPixelColor, overrides);
  ColourSettings c;
  c.ColorRed = general.Get<Integer>("ColorRed");
  c.ColorGrn = general.Get<Integer>("ColorGrn");
  c.ColorBlu = general.Get<Integer>("ColorBlu");
  c.FixedHues = general.Get<bool>("FixedHues");
  c.ColorPctInt = pixelColor.Get<Integer>("ColorPctInt");
  c.ColorPctHue = pixelColor.Get<Integer>("ColorPctHue");
  c.ColorHueWheel = pixelColor.Get<Integer>("ColorHueWheel");
  c.Adv_HueStart = SectionReader(kSectionAdvanced, overrides).Get<Integer>("Adv_HueStart");
  return c;
}

SoundSettings LoadSoundSettings(const SettingOverrides& overrides) {
  const SectionReader reader(kSectionSoundFX, overrides);
  SoundSettings sound;
  sound.SoundOn = reader.Get<std::string>("SoundFX_ON") == "1";
  auto& settings = sound.SoundFiles;
  LMVN_SOUND_FILE_KEYS(LMVN_LOAD_MEMBER)
  return sound;
}

RuntimeSettings LoadRuntimeSettings(const SettingOverrides& overrides) {
  const SectionReader general(kSectionGeneral, overrides);
  const SectionReader advanced(kSectionAdvanced, overrides);
  RuntimeSettings r;
  r.colour = LoadColourSettings(overrides);
  SoundSettings sound = LoadSoundSettings(overrides);
  r.SoundOn = sound.SoundOn;
  r.SoundFiles = std::move(sound.SoundFiles);
  r.PerfMult = advanced.Get<Single>("Adv_PerfMult");
  r.FrameDelay = advanced.Get<Long>("Adv_TimeDelay");
  r.FramesPerEffect = advanced.Get<Long>("Adv_EffectCycle");
  if (r.FramesPerEffect > 0) r.FramesPerEffect = ClampLong(r.FramesPerEffect, 100, 9999);
  r.PixelSize = ClampInteger(general.Get<Integer>("PixelSize"), 1, 9);
  r.FocalLength = ClampSingle(general.Get<Single>("FocalLength"), 0.01f, 9999.0f);
  r.InvFocalLength = 1.0f / r.FocalLength;
  r.LockMessage = std::string(TrimBlanks(general.Get<std::string>("LockMessage")));
  r.AnimationType = general.Get<Integer>("AnimationType");
  r.Adv_PickEffects = advanced.Get<Long>("Adv_PickEffects");
  r.Adv_WindowResize = advanced.Get<std::string>("Adv_WindowResize") == "1";
  return r;
}

FireworksSettings LoadFireworksSettings(Integer theme, bool scale, Single perfMult,
                                        const SettingOverrides& overrides) {
  FireworksSettings settings;
  // A theme replaces the stored values and is always scaled. A number that names no theme
  // reads the store.
  if (theme < 1 || !ApplyFireworksTheme(theme, perfMult, settings)) {
    const SectionReader reader(kSectionFireworks, overrides);
    LMVN_FIREWORKS_KEYS(LMVN_LOAD_MEMBER)
    if (scale) settings.FireSparks = ScaleCount(settings.FireSparks, perfMult);
  }
  return settings;
}

void ApplyFireworksLimits(FireworksSettings& settings) {
  // Shells x sparks stays within 30000, so every spark slot fits 16 bits. A shell count of 0
  // sets no limit here (there is nothing to divide by); the run makes it one shell.
  if (settings.FireWorks != 0) {
    settings.FireSparks =
        MinInteger(settings.FireSparks, static_cast<Integer>(30000 / settings.FireWorks));
  }
  settings.FireLaunchPixel = MinInteger(settings.FireLaunchPixel, settings.FireSparks);
  // Radii from setting units to world units.
  settings.FireTwistRad *= kFireworksWorldUnit;
  settings.FireTwistExt *= kFireworksWorldUnit;
  settings.FireBurstRadius *= kFireworksWorldUnit;
  settings.FireLaunchRadius *= kFireworksWorldUnit;
}

StarfieldSettings LoadStarfieldSettings(bool scale, Single perfMult,
                                        const SettingOverrides& overrides) {
  const SectionReader reader(kSectionStarfield, overrides);
  StarfieldSettings settings;
  LMVN_STARFIELD_KEYS(LMVN_LOAD_MEMBER)
  if (scale) settings.Star_Stars = ScaleCount(settings.Star_Stars, perfMult);
  return settings;
}

WarpSettings LoadWarpSettings(bool scale, Single perfMult, const SettingOverrides& overrides) {
  const SectionReader reader(kSectionWarp, overrides);
  WarpSettings settings;
  LMVN_WARP_KEYS(LMVN_LOAD_MEMBER)
  if (scale) settings.Warp_Sparks = ScaleCount(settings.Warp_Sparks, perfMult);
  return settings;
}

SparklerSettings LoadSparklerSettings(bool scale, Single perfMult,
                                      const SettingOverrides& overrides) {
  const SectionReader reader(kSectionSparkler, overrides);
  SparklerSettings settings;
  LMVN_SPARKLER_KEYS(LMVN_LOAD_MEMBER)
  if (scale) settings.B_Spline_Pixels = ScaleCount(settings.B_Spline_Pixels, perfMult);
  return settings;
}

GravityWellSettings LoadGravityWellSettings(bool scale, Single perfMult,
                                            const SettingOverrides& overrides) {
  const SectionReader reader(kSectionGravityWell, overrides);
  GravityWellSettings settings;
  LMVN_GRAVITYWELL_KEYS(LMVN_LOAD_MEMBER)
  if (scale) settings.Grav_Pixels = ScaleCount(settings.Grav_Pixels, perfMult);
  return settings;
}

GalaxySettings LoadGalaxySettings(Integer theme, bool scale, Single perfMult,
                                  const SettingOverrides& overrides) {
  // Theme numbers from 1 on select a built-in theme, which replaces the stored values read
  // here; its counts are always scaled.
  const SectionReader reader(kSectionGalaxy, overrides);
  GalaxySettings settings;
  LMVN_GALAXY_KEYS(LMVN_LOAD_MEMBER)
  if (scale || theme >= 1) {
    settings.Galaxy_Stars = ScaleCount(settings.Galaxy_Stars, perfMult);
    settings.Galaxy_AmbStars = ScaleCount(settings.Galaxy_AmbStars, perfMult);
  }
  return settings;
}

}  // namespace lmvn
