// The saver's cue sink: a firework event plays its sound file by the settings' cue rule (sound
// on and a file name that is not blank), at the place where it happens. Playing never waits.
#pragma once

#include "effects/cue_sink.h"
#include "settings/loaders.h"

namespace lmvn::app {

class AppCueSink final : public CueSink {
 public:
  // Lets the sound device go (at the end of the run).
  ~AppCueSink() override;
  // The sound settings as the runtime loader read them for this run; with sound on, the files
  // start loading so that their first cues are ready.
  void Use(bool soundOn, const SoundFileSet& files);
  void PlayCue(Cue cue, CuePlace place) override;

 private:
  SoundSettings sound_;
};

}  // namespace lmvn::app
