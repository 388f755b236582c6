#include "sound/mix_rules.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lmvn::sound {

namespace {

float Clamped(float v, float lo, float hi, float fallback) {
  return v == v ? std::clamp(v, lo, hi) : fallback;  // NaN takes the fallback
}

}  // namespace

Gains PlaceGains(CuePlace place) {
  const float across = Clamped(place.across, 0.0f, 1.0f, 0.5f);
  const float gain = Clamped(place.nearness, kFarthestGain, 1.0f, 1.0f);
  const float angle = across * std::numbers::pi_v<float> * 0.5f;
  return {gain * std::cos(angle), gain * std::sin(angle)};
}

int PickVoice(std::span<const bool> busy, std::span<const std::uint64_t> started) {
  const std::size_t n = std::min(busy.size(), started.size());
  int oldest = -1;
  for (std::size_t i = 0; i < n; ++i) {
    if (!busy[i]) return static_cast<int>(i);
    if (oldest < 0 || started[i] < started[static_cast<std::size_t>(oldest)]) {
      oldest = static_cast<int>(i);
    }
  }
  return oldest;
}

}  // namespace lmvn::sound
