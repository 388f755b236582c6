#include "app/cue_output.h"

#include "settings/sound_cues.h"
#include "ui/sound_output.h"

namespace lmvn::app {

void AppCueSink::PlayCue(Cue cue) {
  if (const auto file = CueFileToPlay(sound_, cue)) ui::Sound().Play(*file);
}

}  // namespace lmvn::app
