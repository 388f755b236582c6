// B-Spline Sparklers: emitters glide along cubic B-splines around the scene centre and spray
// sparks that a radial solar wind pushes outward, gravity pulls down and damping slows. With
// symmetry on, one master emitter moves and the others stand symmetric to it about the centre.
#pragma once

#include <span>
#include <vector>

#include "effects/effect.h"
#include "render/geometry.h"
#include "settings/loaders.h"

namespace lmvn {

// The runtime values of one run, in the units the frame loop uses.
struct SparklerParams {
  Integer Splines = 20;           // emitters requested (adjusted under symmetry)
  Integer Sparks = 2400;          // sparks
  Integer StepsPerSegment = 120;  // frames per B-spline segment
  Single LaunchSpeed = 0.002f;    // spark launch speed per frame
  Single Persist = 0.95f;         // chance per frame that a spark survives
  Single Gravity = 0.0f;          // added to the downward velocity each frame
  Single DampingFactor = 1.0f;    // velocity factor per frame, 0.5 .. 1
  Single SolarWind = 4.0f;        // radial push at birth, in units of the launch speed
  Single Extent = 0.75f;          // half-size of the cube that holds the control points
  bool Symmetric = true;
};

// The stored settings clamped to their ranges and converted to runtime units.
SparklerParams SparklerParamsFromSettings(const SparklerSettings& settings);
// The welcome screen's demonstration: fixed values, with symmetry (three times in four), the
// emitter count and the solar wind drawn at random.
SparklerParams SparklerDemoParams();

// The number of splines a symmetric group fills exactly (2, 4, 6, 10, 20, 34, ...), for a
// requested count: below 4 gives 2, 4 or 5 gives 4, 6 to 9 gives 6, and from 10 on
// 2 * Int(Sqr((s - 2) / 2))^2 + 2. Shared with the warp's symmetric types.
Integer SymmetricSplineCount(Integer requested);

// The projection rule used for the on-screen tests of sparks and streaks. Unlike
// ProjectPoint it also maps points behind the eye (mirrored through it), so a spark behind
// the viewer is judged by where that puts it; false when z is 0 or NaN or a coordinate does
// not fit a Long.
bool ProjectThroughEye(const SurfaceState& view, Single x, Single y, Single z, Long& sx, Long& sy);

class Sparklers final : public Effect {
 public:
  struct Spark {
    Single X = 0, Y = 0, Z = 0;
    Single VX = 0, VY = 0, VZ = 0;
    lmvn::Colour Colour = 0;
    // The dot on the surface now, so the erase covers exactly what was drawn.
    bool Drawn = false;
    Long DotX = 0, DotY = 0;
  };

  // Sets up the emitters and gives birth to every spark; nothing is drawn yet.
  Sparklers(const SparklerParams& params, const EffectContext& context);

  void Frame() override;

  // The run's state, for the tests.
  const SparklerParams& params() const { return p_; }
  Integer EmitterCount() const { return static_cast<Integer>(headX_.size()); }
  Point3 Emitter(Integer i) const {
    const auto k = static_cast<std::size_t>(i);
    return {headX_[k], headY_[k], headZ_[k]};
  }
  std::span<const Spark> sparks() const { return sparks_; }
  Single SegmentT() const { return t_; }
  long Births() const { return births_; }

 private:
  void PlaceEmitters();
  void Birth(Spark& spark);
  void Erase(Spark& spark);

  SparklerParams p_;
  Surface& surface_;
  const SurfaceState& view_;
  const Palette& palette_;

  // Emitters as parallel arrays, so the symmetric placement can rewrite them in place.
  std::vector<Single> headX_, headY_, headZ_;
  std::vector<lmvn::Colour> colour_;
  std::vector<char> solid_;
  std::vector<Integer> hue_;
  // Four control points per row: one row per emitter, or only the master's under symmetry.
  std::vector<Point3> control_;

  std::vector<Spark> sparks_;
  Single t_ = 0;
  Integer step_ = 0;
  long births_ = 0;
};

}  // namespace lmvn
