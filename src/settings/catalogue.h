// The key catalogue: every setting of the program, with its section, type, default, dialog
// range and step, dialog label and control. It is built from settings/catalogue_keys.h and
// drives the loaders, and later the dialogs, the factory reset and the template files.
#pragma once

#include <span>
#include <string_view>

namespace lmvn {

// Switch is an Integer that is on exactly when it is 1; NonZeroSwitch an Integer that is on
// whenever it is not 0.
enum class KeyType { Integer, Long, Single, String, Switch, NonZeroSwitch };
enum class KeyControl { None, Field, List, Switch, Text, BitSet };

struct KeySpec {
  std::string_view section;
  std::string_view name;
  KeyType type;
  std::string_view defaultText;  // as the store would hold it
  double min;                    // dialog range; min == max == 0 where there is none
  double max;
  double step;  // spinner / arrow increment
  KeyControl control;
  std::string_view label;  // dialog label, empty where there is none
  std::string_view note;
  bool loaded;  // false for keys that are written but read by no loader (Grav_StarMass)
};

// The section names, in catalogue order.
inline constexpr std::string_view kSectionGeneral = "General";
inline constexpr std::string_view kSectionPixelColor = "PixelColor";
inline constexpr std::string_view kSectionAdvanced = "Advanced";
inline constexpr std::string_view kSectionSoundFX = "SoundFX";
inline constexpr std::string_view kSectionDisplayForm = "DisplayForm";
inline constexpr std::string_view kSectionFireworks = "Fireworks";
inline constexpr std::string_view kSectionStarfield = "Starfield";
inline constexpr std::string_view kSectionWarp = "B-SplineWarp";
inline constexpr std::string_view kSectionSparkler = "B-SplineSpark";
inline constexpr std::string_view kSectionGravityWell = "GravityWell";
inline constexpr std::string_view kSectionGalaxy = "Galaxy";

// Every key, section by section, in catalogue order.
std::span<const KeySpec> AllKeys();
// The keys of one section (matched without regard to case); empty for an unknown section.
std::span<const KeySpec> KeysOfSection(std::string_view section);
// One key (section and name matched without regard to case); nullptr when unknown.
const KeySpec* FindKey(std::string_view section, std::string_view key);

// Case-insensitive comparison of ASCII names, as the store matches them.
bool SameName(std::string_view a, std::string_view b);

}  // namespace lmvn
