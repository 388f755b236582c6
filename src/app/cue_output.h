// The saver's cue sink: a firework event plays its wave file by the settings' cue rule (sound
// on and a file name that is not blank). Playback never waits (ui::Sound() plays
// asynchronously).
#pragma once

#include "effects/cue_sink.h"
#include "settings/loaders.h"

namespace lmvn::app {

class AppCueSink final : public CueSink {
 public:
  // The sound settings as the runtime loader read them for this run.
  void Use(bool soundOn, const SoundFileSet& files) {
    sound_.SoundOn = soundOn;
    sound_.SoundFiles = files;
  }
  void PlayCue(Cue cue) override;

 private:
  SoundSettings sound_;
};

}  // namespace lmvn::app
