// The firework sound cues: the eight events that can carry a wave file, their setting names,
// and the rule that decides whether a cue makes a sound.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/loaders.h"

namespace lmvn {

// The firework events that can carry a wave file, in the order of their settings (the index
// into SoundFileSet).
enum class Cue { Launch, Standard, MultiBurst, JetBurst, Scintil, Sparkle, RingDisk, Twister };

inline constexpr std::size_t kCueCount = 8;

// The setting that names the cue's wave file: "Fire_Launch", "Fire_Standard", ...
std::string_view CueKey(Cue cue);

// The wave file named for the cue, as stored (possibly blank).
const std::string& CueFileSetting(const SoundSettings& sound, Cue cue);

// The file a cue plays: the stored name trimmed of spaces, when sound is on (SoundFX_ON is
// exactly "1") and the name is not blank. Empty means the cue is silent.
std::optional<std::string> CueFileToPlay(const SoundSettings& sound, Cue cue);

}  // namespace lmvn
