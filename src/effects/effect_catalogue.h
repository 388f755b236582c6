// The six effects by number and name. The numbers are the values of AnimationType and the
// bit positions of the effect choice for cycling.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "render/numeric.h"

namespace lmvn {

enum class EffectId : Integer {
  Fireworks = 0,
  Starfield = 1,
  Warp = 2,
  Sparklers = 3,
  GravityWells = 4,
  Galaxies = 5,
};

struct EffectInfo {
  EffectId id;
  std::string_view name;   // short name for command lines: "starfield"
  std::string_view title;  // what a user reads: "3-D Starfield"
};

inline constexpr std::array<EffectInfo, 6> kEffects = {{
    {EffectId::Fireworks, "fireworks", "Fireworks"},
    {EffectId::Starfield, "starfield", "3-D Starfield"},
    {EffectId::Warp, "warp", "B-Spline Warp"},
    {EffectId::Sparklers, "sparklers", "B-Spline Sparklers"},
    {EffectId::GravityWells, "gravity", "Stars and Gravity Wells"},
    {EffectId::Galaxies, "galaxies", "Galaxies"},
}};

inline const EffectInfo& InfoOf(EffectId id) {
  return kEffects[static_cast<std::size_t>(id)];
}

// How many built-in themes an effect has (numbered from 1); 0 for the effects without themes.
constexpr Integer ThemeCount(EffectId id) {
  switch (id) {
    case EffectId::Fireworks:
      return 13;
    case EffectId::Galaxies:
      return 16;
    default:
      return 0;
  }
}

// An effect number 0-5 ("1") or a short name ("starfield", any case). Empty otherwise.
std::optional<EffectId> ParseEffect(std::string_view text);

}  // namespace lmvn
