// B-Spline Warp: invisible guide points glide along cubic B-splines around the scene centre
// and fire streaks of light in their directions. A streak's head draws; its tail retraces the
// head's path a trail length behind and erases it.
#pragma once

#include <span>
#include <vector>

#include "effects/effect.h"
#include "render/geometry.h"
#include "settings/loaders.h"

namespace lmvn {

// Where a streak starts and whether the guide points move alone or as a symmetric group.
enum class WarpType : Integer {
  CentralRandom = 0,
  CentralReflection = 1,
  CentralSymmetric = 2,
  SymmetricReflection = 3,
  ExtendedSymmetric = 4,
};

// The runtime values of one run.
struct WarpParams {
  Integer Works = 100;           // guide points requested (adjusted for the symmetric types)
  Integer Sparks = 30;           // spark slots per guide point
  Integer TrailLength = 12;      // frames (pixels) a streak's trail holds
  Integer SplineIncs = 250;      // frames per B-spline segment
  Single Speed = 8.0f;           // speed multiplier
  Single Persist = 0.98f;        // chance per frame that a head survives
  Integer SizeDev = 1;           // spread of the per-guide speed factor
  Single DampingFactor = 0.99f;  // velocity factor per frame, 0.5 .. 1
  WarpType Type = WarpType::ExtendedSymmetric;
  Integer CyclePct = 100;  // percent of guide points whose streaks take a cycling hue
  bool HueLock = true;     // the cycling guides share one hue
};

// Slots are counted with 16-bit integers: guides * sparks per guide stays at or below this.
inline constexpr Long kWarpMaxSlots = 32767;

// The stored settings clamped to their ranges. A stored type outside 0-4 runs as the default
// type (Extended Symmetric). When the guide count (after the symmetric adjustment) times the
// sparks per guide would exceed kWarpMaxSlots, the sparks per guide are lowered to fit.
WarpParams WarpParamsFromSettings(const WarpSettings& settings);

// The guide count a run of these parameters uses.
Integer WarpGuideCount(const WarpParams& params);

class Warp final : public Effect {
 public:
  struct Slot {
    Single HeadX = 0, HeadY = 0, HeadZ = 0, HeadVX = 0, HeadVY = 0, HeadVZ = 0;
    Single TailX = 0, TailY = 0, TailZ = 0, TailVX = 0, TailVY = 0, TailVZ = 0;
    bool InUse = false, HeadActive = false, TailActive = false;
    lmvn::Colour Colour = 0;
    Long Age = 0;           // moves the head has made
    Integer TailCount = 0;  // frames the tail still runs after the head died
    Long TailSteps = 0;     // moves the tail has made
  };
  struct Guide {
    Single X = 0, Y = 0, Z = 0;
    Single SpeedScale = 0, Speed = 0;
    bool Cycling = false;
    Integer HueIndex = 0;
    lmvn::Colour Colour = 0;
    bool Solid = false;
    Integer Hue = 0;
  };

  // Clamps nothing further; sets up the guides and their control points. Nothing is drawn.
  Warp(const WarpParams& params, const EffectContext& context);

  void Frame() override;

  // The run's state, for the tests.
  const WarpParams& params() const { return p_; }
  std::span<const Guide> guides() const { return guides_; }
  std::span<const Slot> slots() const { return slots_; }
  Integer SharedHue() const { return sharedHue_; }

 private:
  bool Symmetric() const;
  void PlaceGuides();
  void Launch(std::size_t guide);
  void Advance(Slot& slot);

  WarpParams p_;
  Surface& surface_;
  const SurfaceState& view_;
  const Palette& palette_;

  std::vector<Guide> guides_;
  std::vector<Single> gx_, gy_, gz_;  // guide positions, for the symmetric placement
  std::vector<Point3> control_;       // four per guide
  std::vector<Slot> slots_;
  Single t_ = 0;
  Integer step_ = 0;
  Integer sharedHue_ = 0;
};

}  // namespace lmvn
