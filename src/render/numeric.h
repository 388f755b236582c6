// Numeric conventions shared by every layer.
//
// The saver's arithmetic is specified in fixed widths: Integer is 16-bit, Long 32-bit,
// Single a 32-bit float. Conversions round half to even and never overflow silently: a
// conversion that cannot be represented reports failure, and the caller decides what that
// means (usually: skip the statement, or read the value as 0).
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace lmvn {

using Integer = std::int16_t;
using Long = std::int32_t;
using Single = float;

// Round to the nearest 16-bit integer, ties to even. Empty when out of range or NaN.
std::optional<Integer> CInt(double value);
// Round to the nearest 32-bit integer, ties to even. Empty when out of range or NaN.
std::optional<Long> CLng(double value);

// The conversions above with a fallback for values that cannot be represented.
inline Integer CIntOr(double value, Integer fallback) {
  return CInt(value).value_or(fallback);
}
inline Long CLngOr(double value, Long fallback) {
  return CLng(value).value_or(fallback);
}

// Floor, as a floating-point value (Int of the original arithmetic).
inline double Int(double value) {
  return std::floor(value);
}
inline float Int(float value) {
  return std::floor(value);
}

// Floor converted to a 32-bit integer; empty when it cannot be represented.
std::optional<Long> FloorToLong(double value);

// Integer division truncating towards zero. Empty for a zero divisor or when the quotient
// overflows (the most negative value divided by -1).
std::optional<Long> IDiv(Long a, Long b);

// Sign: -1, 0 or +1.
template <typename T>
constexpr int Sgn(T value) {
  return (T(0) < value) - (value < T(0));
}

// Two's-complement wrap to 16 bits, for the places where the arithmetic relies on it.
constexpr Integer Wrap16(std::int64_t value) {
  return static_cast<Integer>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(value)));
}
// 16-bit addition that wraps around instead of overflowing.
constexpr Integer AddWrap16(Integer a, Integer b) {
  return Wrap16(std::int64_t{a} + b);
}

// Clamp, min and max in the widths the effects use.
constexpr Integer ClampInteger(Integer value, Integer low, Integer high) {
  return value < low ? low : (value > high ? high : value);
}
constexpr Long ClampLong(Long value, Long low, Long high) {
  return value < low ? low : (value > high ? high : value);
}
// NaN clamps to low, so a damaged value can never slip through as NaN.
constexpr Single ClampSingle(Single value, Single low, Single high) {
  return !(value >= low) ? low : (value > high ? high : value);
}
constexpr Integer MaxInteger(Integer a, Integer b) {
  return a > b ? a : b;
}
constexpr Integer MinInteger(Integer a, Integer b) {
  return a < b ? a : b;
}
constexpr Long MaxLong(Long a, Long b) {
  return a > b ? a : b;
}

}  // namespace lmvn
