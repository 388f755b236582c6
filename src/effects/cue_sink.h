// Where effects send their sound cues. Cues never wait: a sink queues or plays them
// asynchronously, or drops them.
#pragma once

#include "settings/sound_cues.h"

namespace lmvn {

// Where a cue happens as the viewer sees it.
struct CuePlace {
  float across = 0.5f;    // 0 at the screen's left edge, 1 at its right edge
  float nearness = 1.0f;  // the scene centre's distance over the event's, at most 1 (far: small)
};

class CueSink {
 public:
  virtual ~CueSink() = default;
  virtual void PlayCue(Cue cue, CuePlace place) = 0;
};

// A sink for runs without sound.
class SilentCueSink final : public CueSink {
 public:
  void PlayCue(Cue, CuePlace) override {}
};

}  // namespace lmvn
