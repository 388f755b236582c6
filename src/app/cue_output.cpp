#include "app/cue_output.h"

#include "settings/sound_cues.h"
#include "sound/sound_output.h"

namespace lmvn::app {

AppCueSink::~AppCueSink() {
  sound::Sound().Stop();
}

void AppCueSink::Use(bool soundOn, const SoundFileSet& files) {
  sound_.SoundOn = soundOn;
  sound_.SoundFiles = files;
  for (std::size_t i = 0; i < kCueCount; ++i) {
    if (const auto file = CueFileToPlay(sound_, static_cast<Cue>(i))) sound::Sound().Preload(*file);
  }
}

void AppCueSink::PlayCue(Cue cue, CuePlace place) {
  if (const auto file = CueFileToPlay(sound_, cue)) sound::Sound().Play(*file, place);
}

}  // namespace lmvn::app
