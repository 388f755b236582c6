// Where effects send their sound cues. Cues never wait: a sink queues or plays them
// asynchronously, or drops them.
#pragma once

#include "settings/sound_cues.h"

namespace lmvn {

class CueSink {
 public:
  virtual ~CueSink() = default;
  virtual void PlayCue(Cue cue) = 0;
};

// A sink for runs without sound.
class SilentCueSink final : public CueSink {
 public:
  void PlayCue(Cue) override {}
};

}  // namespace lmvn
