// The saver's cue sink: a firework event plays its wave file when sound is on and the file
// name is not blank. Playback never waits (ui::Sound() plays asynchronously).
#pragma once

#include "effects/cue_sink.h"
#include "settings/loaders.h"

namespace lmvn::app {

class AppCueSink final : public CueSink {
 public:
  // The sound settings as the runtime loader read them for this run.
  void Use(bool soundOn, const SoundFileSet& files) {
    soundOn_ = soundOn;
    files_ = files;
  }
  void PlayCue(Cue cue) override;

 private:
  bool soundOn_ = false;
  SoundFileSet files_;
};

}  // namespace lmvn::app
