// Fireworks: a fixed number of shells, each cycling for ever through the same life. A shell
// picks a spot in the sky, may climb there as a launch trail rising from the bottom edge,
// bursts in one of seven kinds (standard sphere or shape, scintillator, multi-burst, jet
// burst, sparkler, ring, twister), lets its sparks fall, fade and die, and starts again.
//
// The screen is never cleared. Everything a spark draws is erased again exactly: by the spark
// itself before it moves, or by its tail, an eraser that replays the spark's motion some
// frames behind it with the very same arithmetic (Motion::Step and Motion::Slow).
#pragma once

#include <span>
#include <vector>

#include "effects/effect.h"
#include "render/geometry.h"
#include "settings/loaders.h"

namespace lmvn {

class Fireworks final : public Effect {
 public:
  // A shell's phase.
  enum State : Integer {
    kLaunch = 0,
    kStandard = 1,
    kScintillator = 2,
    kMultiBurst = 3,
    kJetBurst = 4,
    kSparkler = 5,
    kRing = 6,  // only while a ring is emitted; it then runs as a standard burst
    kTwister = 7,
    kSparkleBurst = 9,
    kIdle = 10,  // finished for good (after Finish)
  };
  enum class Geometry { Sphere, Spline, Solid };

  // A position and a velocity. A spark and its eraser move through the same two functions, so
  // the eraser retraces the spark bit for bit.
  struct Motion {
    Single x = 0, y = 0, z = 0;
    Single vx = 0, vy = 0, vz = 0;
    void Step() {
      x += vx;
      y += vy;
      z += vz;
    }
    void Slow(Single gravity, Single damping) {
      vy += gravity;
      vx *= damping;
      vy *= damping;
      vz *= damping;
    }
  };

  struct Spark {
    Motion head;
    // The eraser of a standard-burst spark. A twister leader keeps its previous position in
    // tail.x/y/z and its rotation angle in tail.vx.
    Motion tail;
    Long Age = 0;  // frames since emission (standard bursts)
    lmvn::Colour Colour = 0;
    Integer TailRemaining = 0;
    bool Alive = false;
    bool TailActive = false;
  };

  struct Shell {
    Single X = 0, Y = 0, Z = 0;
    Single VX = 0, VY = 0, VZ = 0;  // while climbing
    Integer State = kStandard;
    Integer LiveCount = 0;    // sparks or followers that must still die
    Integer TrailLength = 1;  // standard bursts
    Integer GroupSize = 1;    // stride between leader slots, at least 1
    Long Age = 0;             // frames since the phase began
    Long StartDelay = 0;      // frames waited before the first processed frame
    long Phases = 0;          // phases begun (launches, bursts, secondary and sparkle bursts)
  };

  // `settings` as the loader gives them (clamped here), or with Form::Engine values already
  // in the engine's form and taken as they are (the demonstration).
  enum class Form { Loaded, Engine };
  Fireworks(const FireworksSettings& settings, const EffectContext& context,
            Form form = Form::Loaded);

  void Frame() override;

  // Every shell completes the firework it is in (launch, burst, secondary bursts) and then
  // stays idle, so the surface ends black.
  void Finish() { finishing_ = true; }
  bool Finished() const;

  // The settings in engine form, and the run's state, for the tests.
  const FireworksSettings& settings() const { return s_; }
  Single JetDamping() const { return jetDamping_; }
  std::span<const Shell> shells() const { return shells_; }
  std::span<const Spark> sparks() const { return sparks_; }

  // Loaded settings (setting units) to engine form: the pool limits and world units of
  // ApplyFireworksLimits, then the clamps, with gravity and damping in their per-frame forms.
  static void ToEngineForm(FireworksSettings& s);
  // The welcome screen's demonstration values, in engine form.
  static FireworksSettings DemoSettings();

  // The burst kind for a draw r in [0, 100): the first kind whose running sum of percentages
  // (scintillator, multi-burst, jet, sparkler, ring, twister) exceeds r; standard otherwise.
  static State ChooseKind(Single r, const FireworksSettings& s);

  // Rotation of a vector about the origin: about y by angleY, then about x by angleX.
  static void RotateVector(Single x, Single y, Single z, Single angleX, Single angleY, Single& outX,
                           Single& outY, Single& outZ);
  // The point a twister leader at (x, y, z) emits from: `extent` away from the leader, across
  // its last step (from prev), turned by `angle`; the extent grows over the first tenth of a
  // turn. Updates prev to (x, y, z) and advances angle by degPerFrame. A leader whose last
  // step has no length emits from itself.
  static void TwisterEmitPoint(Single x, Single y, Single z, Single& prevX, Single& prevY,
                               Single& prevZ, Single& angle, Single extent, Integer degPerFrame,
                               Single& outX, Single& outY, Single& outZ);

 private:
  // Burst values chosen when a shell bursts.
  struct Burst {
    Geometry geometry = Geometry::Sphere;
    Integer solidKind = 0;
    Single scale = 0;
    lmvn::Colour colour = 0;
    bool solid = false;
    Integer hue = 0;
  };

  void StartShell(int s);
  void StartLaunch(Shell& shell, int first);
  void StartBurst(Shell& shell, int first);
  // Geometry, size (withScale), spline path and colour scheme of a burst at the shell.
  void ChooseBurstLook(Burst& burst, Single shellX, Single shellY, Single shellZ, bool withScale);
  void SecondaryBurst(int s, bool fromMulti);
  void NextSpot(int s) {
    shells_[static_cast<std::size_t>(s)].State = kStandard;
    StartShell(s);
  }

  void LaunchFrame(int s);
  void StandardFrame(int s);
  void ScintillatorFrame(int s);
  void MultiBurstFrame(int s);
  void JetFrame(int s, bool twister);
  void SparklerFrame(int s);
  void SparkleBurstFrame(int s);

  Single ShellSpeed(Single scale) const;
  void BurstDirection(Motion& m, Single shellX, Single shellY, Single shellZ, Single speed,
                      const Burst& burst, bool halve);
  void SolidDirection(Motion& m, Integer kind, Single scale) const;
  void BuildSplinePath(Single x, Single y, Single z);
  void SplineDirection(Motion& m, Single x, Single y, Single z, Single scale, bool halve) const;

  bool Project(const Motion& m, Long& sx, Long& sy) const {
    return ProjectPoint(view_, m.x, m.y, m.z, sx, sy);
  }
  bool OnScreen(Long sx, Long sy) const {
    return sx >= 0 && sx <= view_.ScreenWidth && sy >= 0 && sy <= view_.ScreenHeight;
  }
  // The pixel of a spark at its current position, in colour c (0 erases).
  void Plot(const Motion& m, lmvn::Colour c) {
    Long sx = 0, sy = 0;
    if (Project(m, sx, sy)) surface_.SetPixelV(sx, sy, c);
  }
  enum class Stamp { Scintillator, MultiShell, Sparkle };
  void PlotStamp(Stamp stamp, const Motion& m, Integer size, lmvn::Colour c);
  void PlotStampAt(Stamp stamp, Long sx, Long sy, Single z, Integer size, lmvn::Colour c);

  int First(int s) const { return s * s_.FireSparks; }
  // Where a cue raised at (x, z) is heard: across the screen and how far from the eye.
  CuePlace PlaceOf(Single x, Single z) const;

  FireworksSettings s_;
  Surface& surface_;
  const SurfaceState& view_;
  const Palette& palette_;
  CueSink& cues_;

  Single jetDamping_ = 1;
  bool finishing_ = false;
  std::vector<Shell> shells_;
  std::vector<Spark> sparks_;
  std::vector<Single> knotX_, knotY_, knotZ_;  // the closed B-spline path of a spline burst
  std::vector<Single> ringAngleX_, ringAngleY_;
  std::vector<Motion> centres_;  // fragments of a secondary burst
};

}  // namespace lmvn
