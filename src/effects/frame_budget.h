// The frame budget of one effect run when the saver cycles through effects.
#pragma once

#include <limits>

#include "render/numeric.h"

namespace lmvn {

class FrameBudget {
 public:
  explicit FrameBudget(Long framesPerEffect = 0) : FramesPerEffect(framesPerEffect) {}

  // Starts a new effect run.
  void Reset() { CycleFrameCount = 0; }

  // Called once at the end of every frame: true on the frame that spends the budget. With no
  // budget (FramesPerEffect below 1) the effect runs until it is stopped.
  bool CycleFrameDue() {
    if (FramesPerEffect < 1) return false;
    if (CycleFrameCount == std::numeric_limits<Long>::max()) return false;
    ++CycleFrameCount;
    return CycleFrameCount == FramesPerEffect;
  }

  Long FramesPerEffect = 0;
  Long CycleFrameCount = 0;
};

}  // namespace lmvn
