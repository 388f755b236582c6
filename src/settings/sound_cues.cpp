#include "settings/sound_cues.h"

namespace lmvn {

std::string_view CueKey(Cue cue) {
#define LMVN_SOUND_FILE_NAME(name, ...) #name,
  static constexpr std::string_view kKeys[] = {LMVN_SOUND_FILE_KEYS(LMVN_SOUND_FILE_NAME)};
#undef LMVN_SOUND_FILE_NAME
  static_assert(std::size(kKeys) == kCueCount);
  const auto index = static_cast<std::size_t>(cue);
  return kKeys[index < kCueCount ? index : 0];
}

const std::string& CueFileSetting(const SoundSettings& sound, Cue cue) {
  return sound.SoundFiles[static_cast<std::size_t>(cue)];
}

std::optional<std::string> CueFileToPlay(const SoundSettings& sound, Cue cue) {
  if (!sound.SoundOn) return std::nullopt;
  std::string_view file = CueFileSetting(sound, cue);
  const auto first = file.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;  // empty or only spaces
  file = file.substr(first, file.find_last_not_of(' ') - first + 1);
  return std::string(file);
}

}  // namespace lmvn
