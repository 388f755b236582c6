// The shape every effect has.
//
// An effect is built from its settings and the things it draws with, sets itself up in its
// constructor (clamping and deriving its settings, filling its pools, drawing its first
// state), and then advances exactly one frame per call to Frame(): move, erase, draw. It owns
// its pools for its whole run, allocates nothing per frame, and never waits: timing, input
// and the cycle budget belong to whoever calls it (the saver window, the demonstrations, the
// headless renderer, the tests).
#pragma once

#include "effects/cue_sink.h"
#include "render/colour.h"
#include "render/surface.h"

namespace lmvn {

// What an effect draws on and with. All references outlive the effect.
struct EffectContext {
  Surface& surface;
  const SurfaceState& view;
  const Palette& palette;
  CueSink& cues;
};

class Effect {
 public:
  virtual ~Effect() = default;
  // One frame: move, erase and redraw every particle.
  virtual void Frame() = 0;
};

}  // namespace lmvn
