// The rules of the mix, kept apart from the device so they can be checked on their own: how
// loud each side plays a cue from its place, and which voice a new cue takes.
#pragma once

#include <cstdint>
#include <span>

#include "effects/cue_sink.h"

namespace lmvn::sound {

// Cues that can sound at once.
inline constexpr int kVoices = 16;
// The gain of a cue at the back of the scene never drops below this.
inline constexpr float kFarthestGain = 0.3f;

struct Gains {
  float left = 0;
  float right = 0;
};

// Equal-power panning across the screen (left edge fully left, right edge fully right, the
// middle at -3 dB on both sides), scaled by the distance gain: nearness itself (amplitude
// falls as one over distance), never below kFarthestGain. Out-of-range places are clamped.
Gains PlaceGains(CuePlace place);

// The voice a new cue takes: the first silent one, or else the one that started first
// (started holds each voice's start serial, larger is later). -1 when there are no voices.
int PickVoice(std::span<const bool> busy, std::span<const std::uint64_t> started);

}  // namespace lmvn::sound
