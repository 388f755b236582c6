#include "app/cue_output.h"

#include "settings/value_text.h"
#include "ui/sound_output.h"

namespace lmvn::app {

void AppCueSink::PlayCue(Cue cue) {
  if (!soundOn_) return;
  const std::string& file = files_[static_cast<std::size_t>(cue)];
  const std::string_view name = TrimBlanks(file);
  if (name.empty()) return;
  ui::Sound().Play(std::string(name));
}

}  // namespace lmvn::app
