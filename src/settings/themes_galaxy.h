// The sixteen built-in Galaxy themes and their names.
#pragma once

#include <string>
#include <string_view>

#include "render/numeric.h"

namespace lmvn {

inline constexpr Integer kGalaxyThemeCount = 16;
// Fields of a theme record (ThemeField of settings/theme_fields.h reads them).
inline constexpr int kGalaxyThemeFields = 38;
// Field 6 is the axial plane of the rotation (list index; 0 = "Y-Z" is the only plane).
inline constexpr int kGalaxyThemeAxialPlaneField = 6;

// The 23-character name of list entry `index` (0 = "< NONE >", 1..16 the themes), trailing
// blanks included; empty outside 0..16.
std::string_view GalaxyThemeName(Integer index);

// Theme n (1..16): 38 comma-separated decimal fields, in the order of the Galaxy keys with
// the axial plane at position 6 (see GalaxyThemeKey). Empty for any other n.
std::string GalaxyTheme(Integer n);

// The stored key each theme field fills, by position; empty for the axial plane, which has
// no key.
std::string_view GalaxyThemeKey(int field);

}  // namespace lmvn
