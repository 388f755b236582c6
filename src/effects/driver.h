// The animation driver: which effect runs next and with which settings (one chosen effect,
// cycling through the picked effects and the themes, or the first-run welcome tour), the
// per-run protocol (clear, build, count frames against the budget) and the frame pacing
// rule. Plain logic: the saver window, the headless renderer and the tests drive it, each
// with its own clock and its own way of waiting.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "effects/effect.h"
#include "effects/effect_factory.h"
#include "effects/frame_budget.h"
#include "settings/loaders.h"

namespace lmvn {

// One effect run as the driver plans it.
struct EffectRun {
  EffectRequest request;
  // False when the effect's bit is clear in the cycle selection: the run clears the surface
  // and passes on without drawing. No run has begun yet while it is false by default.
  bool shown = false;
  // The run's frame budget (below 1: the run lasts until the saver stops or restarts).
  Long framesPerEffect = 0;
  // True on the run that closes a whole round of the cycle in which nothing was shown (a
  // selection without effect bits): the caller rests one frame slot before the next run, so
  // such a selection neither draws nor spins.
  bool idle = false;
};

// The position in the welcome tour. It belongs to the saver window and survives restarts of
// the driver, so a restart continues the tour where it was.
struct TourPosition {
  Integer TourIndex = 0;
  Integer TourGalaxyTheme = 0;
  Integer TourFireworksTheme = 0;
};

// The tour's frame budgets by tour index: galaxies, fireworks, sparklers, gravity wells.
inline constexpr Long kTourBudgets[4] = {200, 400, 600, 1000};

class Driver {
 public:
  // Starts (or restarts) the driver with the settings read for this start: the chosen effect
  // (AnimationType clamped to 0..5), cycling on when Adv_EffectCycle is above 0 (its budget
  // is FramesPerEffect), the selection Adv_PickEffects, the performance multiplier. On first
  // run the welcome tour plays instead. The tour position is kept.
  void RunEffects(const RuntimeSettings& runtime, bool firstRun);

  // The next effect run, advancing the cycle or the tour.
  EffectRun NextRun();

  TourPosition tour;

  bool cycling() const { return cycling_; }

 private:
  EffectRun NextCycleRun();
  // One round of the welcome tour.
  EffectRun RunWelcomeTour();

  bool firstRun_ = false;
  bool cycling_ = false;
  EffectId chosen_ = EffectId::Fireworks;
  Long pick_ = 249;
  Long framesPerEffect_ = 0;
  Single perfMult_ = 1.0f;
  Integer current_ = 0;
  Integer fireworksRound_ = 0;
  Integer galaxyRound_ = 0;
  bool shownThisRound_ = false;
};

// The per-run protocol shared by the saver window and the headless renderer: each run clears
// the surface, builds its effect with the settings its loader reads now (so accepted changes
// show in the next run), and counts frames against the run's budget. An effect that is not
// built (the factory has none) runs as a black surface for its budget, so the saver still
// paces, takes input and moves on.
//
// The runs may be shown on several surfaces at once (one per monitor): each output has an
// effect object of its own, built for its surface, while the schedule and the frame budget
// are the sequence's alone, so every output changes effect on the same frame.
class EffectSequence {
 public:
  // `context` and `overrides` outlive the sequence; the caller updates the surface, view and
  // palette they refer to before a restart.
  EffectSequence(const EffectContext& context, const SettingOverrides& overrides)
      : overrides_(overrides) {
    AddOutput(context);
  }
  // A sequence without outputs yet.
  explicit EffectSequence(const SettingOverrides& overrides) : overrides_(overrides) {}

  // Another surface that shows the runs from now on (the context outlives its output). During
  // a shown run it is cleared and gets its effect for that run at once.
  void AddOutput(const EffectContext& context);
  // The output drawing on `surface` is dropped with its effect; other surfaces are ignored.
  void RemoveOutput(const Surface& surface);
  std::size_t outputs() const { return outputs_.size(); }

  // RunEffects again with fresh settings; the current run ends.
  void Restart(const RuntimeSettings& runtime, bool firstRun);

  // Ends the current run and begins the next one. A run that is not shown has no frames: the
  // caller asks for the next run at once (or after one frame slot when it is idle).
  const EffectRun& BeginRun();

  // One frame of the current run on every output (shown runs only). True when the budget is
  // spent.
  bool Frame();

  const EffectRun& run() const { return run_; }
  // The first output has an effect for the current run.
  bool built() const { return !outputs_.empty() && outputs_.front()->effect != nullptr; }
  Long framesThisRun() const { return framesThisRun_; }
  Driver& driver() { return driver_; }

 private:
  struct Output {
    EffectContext context;
    std::unique_ptr<Effect> effect;
  };
  // Clears the output's surface and builds its effect for the current run (when shown).
  void BeginOutput(Output& output);

  const SettingOverrides& overrides_;
  Driver driver_;
  EffectRun run_;
  std::vector<std::unique_ptr<Output>> outputs_;
  FrameBudget budget_;
  Long framesThisRun_ = 0;
};

// Frame pacing. Times are microseconds of a steady clock. A frame starts no earlier than the
// previous frame's start plus the frame delay; a late frame makes the next one start at once
// (no catch-up). The caller waits by scheduling a timer, never by spinning.
class FramePacer {
 public:
  // Adv_TimeDelay in milliseconds; 0 or below: frames follow each other at once.
  Long FrameDelay = 25;

  void StartFrame(std::int64_t now) { FrameStartTick = now; }

  // After a frame that ended at `now`: how long to wait before the next frame starts (0: at
  // once). The distance to the frame start counts as elapsed in either direction, so a clock
  // that went backwards cannot stall the saver.
  std::int64_t WaitAfterFrame(std::int64_t now) const;

  // The label rule of the frame end: true at the first frame end and then whenever 5000 ms
  // have passed since the last refresh.
  bool LabelRefreshDue(std::int64_t now);

  std::int64_t FrameStartTick = 0;

 private:
  std::optional<std::int64_t> labelRefreshTick_;
};

}  // namespace lmvn
