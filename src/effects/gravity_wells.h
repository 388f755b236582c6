// Stars and Gravity Wells: emitters shoot particles into the combined pull of a few
// attractors; each particle leaves a short trail coloured by its distance, speed or change of
// speed. After a set number of frames the screen is cleared and a new cycle starts.
#pragma once

#include <vector>

#include "effects/effect.h"
#include "settings/loaders.h"

namespace lmvn {

// How a particle's trail is erased: from a ring buffer of the pixels drawn, or by a shadow
// copy of the particle that retraces its path TrailLength frames behind. Both erase exactly
// the pixels that were drawn.
enum class GravityTrailForm { Automatic, RingBuffer, Shadow };

// The runtime values of one run, in the units the frame loop uses.
struct GravityWellParams {
  Integer Emitters = 1;
  Integer Attractors = 2;
  Integer Particles = 2000;
  Single EmitSpeed = 0.02f;     // launch speed per frame
  Single Gravity = 0.000125f;   // strength of every attractor
  Long Refresh = 1000;          // frames per cycle; 0 = one endless cycle
  Integer AttractorRadius = 1;  // pixels; 0 draws no circles
  Long ColorMult = 12000;       // hue multiplier
  Long TrailLength = 5;         // frames a drawn pixel stays lit
  Integer ColorComp = 1;        // hue source: 0 distance, 1 speed, 2 change of speed
  GravityTrailForm TrailForm = GravityTrailForm::Automatic;
};

// The stored settings clamped to their ranges and converted to runtime units.
GravityWellParams GravityWellParamsFromSettings(const GravityWellSettings& settings);
// The welcome screen's demonstration values; the hue source stays the stored one.
GravityWellParams GravityWellDemoParams(const GravityWellSettings& settings);

// The automatic choice: the ring buffer while it holds at most 32000 entries.
bool GravityUsesRingBuffer(Integer particles, Long trailLength);

class GravityWells final : public Effect {
 public:
  // The colour of the attractor circles.
  static constexpr lmvn::Colour kCircleColour = 0xFFFFFF;

  // Starts the first cycle; nothing is drawn yet.
  GravityWells(const GravityWellParams& params, const EffectContext& context);

  void Frame() override;

  // The run's state, for the tests.
  const GravityWellParams& params() const { return p_; }
  bool RingBuffer() const { return ring_; }
  long Cycles() const { return cycles_; }  // cycles completed (screen clears)
  Long FrameCount() const { return frameCount_; }
  Single X(std::size_t j) const { return x_[j]; }
  Single Y(std::size_t j) const { return y_[j]; }
  Single Z(std::size_t j) const { return z_[j]; }
  // Places attractor a (for tests of the degenerate pull).
  void SetAttractor(std::size_t a, Single x, Single y, Single z);
  // Places particle j (and its shadow) at rest.
  void SetParticle(std::size_t j, Single x, Single y, Single z);

 private:
  void NewCycle();
  void Pull(Single& x, Single& y, Single& z, Single& vx, Single& vy, Single& vz) const;
  void EraseOldest(std::size_t j);
  Colour HueColour(std::size_t j);

  GravityWellParams p_;
  Surface& surface_;
  const SurfaceState& view_;
  const Palette& palette_;
  bool ring_ = true;

  std::vector<Single> ax_, ay_, az_, ag_;
  std::vector<Single> ex_, ey_, ez_;
  std::vector<Single> x_, y_, z_, vx_, vy_, vz_, prevSpeed_;
  // The shadow form's copies.
  std::vector<Single> sx_, sy_, sz_, svx_, svy_, svz_;
  // The ring buffer form's drawn pixels; kNoPixel in X marks a slot with nothing drawn.
  std::vector<Long> trailX_, trailY_;

  Long frameCount_ = 0, refreshCount_ = 0, head_ = 0;
  long cycles_ = 0;
  // The hue value carries over from one particle to the next when its source is unknown.
  Single hueValue_ = 0;
  Colour colour_ = 0;
};

}  // namespace lmvn
