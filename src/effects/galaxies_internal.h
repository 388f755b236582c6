// What the galaxy's model and its events share inside the effect.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "effects/galaxies.h"
#include "render/colour.h"

namespace lmvn::galaxy {

inline constexpr Single kTwoPi = 6.2831855f;
// Nearest view depth that is drawn (the Single nearest 1e-4).
inline constexpr Single kNearest = 0.0001f;
inline constexpr Colour kWhite = 0xFFFFFF;

// The points of a nova picture (the core with its centre, two middle and two outer layers),
// and how a drawn point is recorded for its erasure: x and y each offset by a margin into 16
// bits (surfaces are at most 16384 pixels a side, so nothing beyond can show).
inline constexpr std::size_t kNovaPoints = 1 + 28 + 2 * 20 + 2 * 12;
inline constexpr Long kRecordMargin = 16;
inline constexpr std::uint32_t PackPoint(Long x, Long y) {
  return (static_cast<std::uint32_t>(x + kRecordMargin) << 16) |
         static_cast<std::uint32_t>(y + kRecordMargin);
}
inline constexpr Long UnpackX(std::uint32_t packed) {
  return static_cast<Long>(packed >> 16) - kRecordMargin;
}
inline constexpr Long UnpackY(std::uint32_t packed) {
  return static_cast<Long>(packed & 0xFFFFu) - kRecordMargin;
}
// Whether a drawn point can be recorded: beyond the margins nothing can show on any surface.
constexpr bool Recordable(Long x, Long y) {
  return x >= -kRecordMargin && x < 65535 - kRecordMargin && y >= -kRecordMargin &&
         y < 65535 - kRecordMargin;
}
// A record that holds no point (no recordable point packs to it).
inline constexpr std::uint32_t kNoRecord = 0xFFFFFFFFu;

struct ViewPoint {
  Single x, y, z;
};

// A point at orbit radius r, height h and orbit angle `angle` of a galaxy whose centre is
// `distance` away, tumbled about the x axis by the tilt whose sine and cosine are given.
inline ViewPoint ViewOf(Single r, Single h, Single angle, Single distance, Single sinT,
                        Single cosT) {
  const Single a = r * std::sin(angle);
  return {r * std::cos(angle), a * sinT - h * cosT, a * cosT + distance + h * sinT};
}
inline ViewPoint ViewOf(const Galaxies::Star& star, Single distance, Single sinT, Single cosT) {
  return ViewOf(star.orbitRadius, star.height, star.angle, distance, sinT, cosT);
}

// CLng for the sprite points, without a call: round half to even by the add-and-subtract of
// 1.5 * 2^52 (exact in the default rounding mode for every value inside the range checked).
// False when the value is not a 32-bit integer after rounding (or is NaN).
inline bool RoundPoint(double value, Long& out) {
  if (!(value >= -2147483648.5 && value < 2147483647.5)) return false;
  constexpr double kShift = 6755399441055744.0;
  out = static_cast<Long>((value + kShift) - kShift);
  return true;
}

// ProjectPoint of the geometry for a point in front of the eye (z above 0.0001), with the same
// Single arithmetic and the same rounding but without a call to floor: every trail point,
// particle and sprite layer of the galaxy goes through it.
inline bool ProjectView(const SurfaceState& view, Single x, Single y, Single z, Long& sx,
                        Long& sy) {
  if (!(z > 0.0001f)) return false;
  Long px = 0, py = 0;
  if (!RoundPoint(static_cast<double>(x / z * view.ProjScaleX) + view.CentreX, px) ||
      !RoundPoint(static_cast<double>(y / z * view.ProjScaleY) + view.CentreY, py)) {
    return false;
  }
  sx = px;
  sy = py;
  return true;
}

// The colour-age ramp at CLng(age). Ages from 99.5 on (which would round past the ramp's last
// entry) take the last entry, as do all later ages; negative ones the first.
inline Colour RampColour(const Palette& palette, Single age) {
  Long index = 99;
  if (!RoundPoint(age, index)) index = 99;
  return palette.ColorAgeRamp[static_cast<std::size_t>(ClampLong(index, 0, 99))];
}

}  // namespace lmvn::galaxy

namespace lmvn {
inline bool Galaxies::Project(Single x, Single y, Single z, Long& sx, Long& sy) const {
  return galaxy::ProjectView(view_, x, y, z, sx, sy);
}
}  // namespace lmvn
