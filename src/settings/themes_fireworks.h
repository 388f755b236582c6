// The thirteen built-in Fireworks themes: their names, their texts, the field rule that reads
// a text, and how a theme fills the Fireworks settings.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "render/numeric.h"
#include "settings/loaders.h"

namespace lmvn {

inline constexpr Integer kFireworksThemeCount = 13;

// The theme list as the Properties dialog shows it; the index is the theme number and 0 is
// "< NONE >".
extern const std::array<std::string_view, kFireworksThemeCount + 1> kFireworksThemeNames;

// The text of theme n (1-13): 39 comma-separated decimal fields. Empty for any other n.
std::string_view FireworksTheme(Integer n);

// The Fireworks key each field of a theme text fills, in field order (39 keys).
extern const std::array<std::string_view, 39> kFireworksThemeKeys;

// Field k (from 0) of a theme text: the trimmed text between the k-th and the next comma,
// once a comma has been appended to the whole text. Empty when the text has fewer fields.
std::string_view ThemeTextField(std::string_view text, int k);

// Fills every Fireworks value from theme n: Integer keys round the field to 16 bits (ties to
// even), Single keys read it as a Single, the two switches are on when the field's integer
// value is above 0, and FireSparks is CInt(field x perfMult) in double precision. False, and
// `settings` untouched, when n is not a theme.
bool ApplyFireworksTheme(Integer n, Single perfMult, FireworksSettings& settings);

}  // namespace lmvn
