// How setting values become text and text becomes values.
//
// Every setting is stored as text. These rules are shared by the store's typed reads, the
// runtime loaders (for values overridden on the command line) and, later, templates.
//
//   - A value is read only when its text has at most kMaxValueLength characters; a missing or
//     longer value reads as the caller's default.
//   - A numeric text is: optional blanks, an optional sign, digits with an optional decimal
//     point and fraction (or a point and a fraction), an optional exponent (e or E, optional
//     sign, digits), optional blanks. Anything else reads as the default.
//   - Integer and Long reads round half to even ("2.5" -> 2, "3.5" -> 4). A numeric text whose
//     value does not fit the type (also "1e999") reads as 0.
//   - Single reads round the decimal text to the nearest float. A text too large for a float
//     (above about 3.4e38, "1e999") reads as the default; one too small reads as 0.
//   - Numbers are written as the shortest decimal text that reads back as the same value
//     ("25", "0.95", "0.005"). Non-finite numbers have no text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "render/numeric.h"

namespace lmvn {

inline constexpr std::size_t kMaxValueLength = 127;

// True when text follows the numeric grammar above.
bool IsNumericText(std::string_view text);

// The value a read yields from `text` (std::nullopt: the value is missing).
std::string StringFromText(std::optional<std::string_view> text, std::string_view def);
Integer IntegerFromText(std::optional<std::string_view> text, Integer def);
Long LongFromText(std::optional<std::string_view> text, Long def);
Single SingleFromText(std::optional<std::string_view> text, Single def);

// The number a readable numeric text stands for, before any rounding (infinity when it is too
// large even for a double); std::nullopt when the text is not numeric or too long to be read.
std::optional<double> NumberFromText(std::string_view text);

// The text a write stores for a number; std::nullopt for NaN and infinities.
std::string SettingText(Long value);
std::optional<std::string> SettingText(Single value);
std::optional<std::string> SettingText(double value);

// Leading and trailing blanks (spaces and tabs) removed.
std::string_view TrimBlanks(std::string_view text);

}  // namespace lmvn
