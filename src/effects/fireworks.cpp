// Fireworks: set-up, the frame loop, shell starts, the launch trail and the standard burst.
// The other burst kinds are in fireworks_kinds.cpp.
#include "effects/fireworks.h"

#include <algorithm>
#include <cmath>

#include "render/random.h"

namespace lmvn {
namespace {

constexpr Colour kWhite = 0xFFFFFF;

}  // namespace

void Fireworks::ToEngineForm(FireworksSettings& s) {
  constexpr Single u = kFireworksWorldUnit;
  ApplyFireworksLimits(s);
  s.FireWorks = ClampInteger(s.FireWorks, 1, 99);
  s.FireSparks = ClampInteger(s.FireSparks, 10, 9999);
  s.FireLength = ClampInteger(s.FireLength, 1, 99);
  s.FireSymmetry = ClampSingle(s.FireSymmetry, 0.0f, 1.0f);
  s.FireSpeed = ClampSingle(s.FireSpeed, 0.1f, 99.9f);
  s.FirePersist = ClampSingle(s.FirePersist, 0.25f, 0.99f);
  s.FireGravity = ClampSingle(s.FireGravity, 0.0f, 9.9f) * 0.005f;
  s.FireSizeDev = ClampInteger(s.FireSizeDev, 1, 99);
  s.FireDamping = (1.0f - ClampSingle(s.FireDamping, 0.0f, 1.0f)) * 0.5f + 0.5f;
  s.FireSplinePct = ClampInteger(s.FireSplinePct, 0, 100);
  s.FireSplineKnot = ClampInteger(s.FireSplineKnot, 4, 99);
  s.FireMultiPct = ClampInteger(s.FireMultiPct, 0, 100);
  s.FireMultiAge = ClampInteger(s.FireMultiAge, 5, 99);
  s.FireMultiBurst = ClampInteger(s.FireMultiBurst, 1, 99);
  s.FireBurstPct = ClampInteger(s.FireBurstPct, 0, 100);
  s.FireBurstAge = ClampInteger(s.FireBurstAge, 5, 99);
  s.FireBurstCount = ClampInteger(s.FireBurstCount, 1, 99);
  s.FireBurstRadius = ClampSingle(s.FireBurstRadius, 0.25f * u, 99.9f * u);
  s.FireSparkPct = ClampInteger(s.FireSparkPct, 0, 100);
  s.FireSparkAge = ClampInteger(s.FireSparkAge, 5, 99);
  s.FireSparkPix = ClampInteger(s.FireSparkPix, 1, 30);
  s.FireRingPct = ClampInteger(s.FireRingPct, 0, 100);
  s.FireRingEmb = ClampInteger(s.FireRingEmb, 1, 99);
  s.FireRingDeg = ClampInteger(s.FireRingDeg, 0, 180);
  s.FireTwistPct = ClampInteger(s.FireTwistPct, 0, 100);
  s.FireTwistCnt = ClampInteger(s.FireTwistCnt, 1, 99);
  s.FireTwistDeg = ClampInteger(s.FireTwistDeg, 0, 90);
  s.FireTwistRad = ClampSingle(s.FireTwistRad, 0.1f * u, 99.9f * u);
  s.FireTwistExt = ClampSingle(s.FireTwistExt, 0.25f * u, 999.9f * u);
  s.FireScintPct = ClampInteger(s.FireScintPct, 0, 100);
  s.FireScintStyle = ClampInteger(s.FireScintStyle, 1, 9);
  s.FireLaunchPct = ClampInteger(s.FireLaunchPct, 0, 100);
  s.FireLaunchPixel = ClampInteger(s.FireLaunchPixel, 10, 999);
  s.FireLaunchRadius = ClampSingle(s.FireLaunchRadius, 0.25f * u, 99.9f * u);
  s.FireLaunchSteps = ClampInteger(s.FireLaunchSteps, 1, 999);
  s.FireLaunchPersist = ClampSingle(s.FireLaunchPersist, 0.25f, 0.99f);
  // FirePatternPct, FireMultiMoment and FireBurstShell are used as loaded.
}

FireworksSettings Fireworks::DemoSettings() {
  constexpr Single u = kFireworksWorldUnit;
  FireworksSettings s;
  s.FireWorks = 16;
  s.FireSparks = 250;
  s.FireLength = 10;
  s.FireSymmetry = 1.0f;
  s.FireSpeed = 15;
  s.FirePersist = 0.96f;
  s.FireGravity = 0.04f * 0.005f;
  s.FireSizeDev = 2;
  s.FireDamping = (1.0f - 0.17f) * 0.5f + 0.5f;
  s.FireSplinePct = 0;
  s.FireSplineKnot = 8;
  s.FirePatternPct = 25;
  s.FireMultiPct = 20;
  s.FireMultiAge = 35;
  s.FireMultiBurst = 7;
  s.FireMultiMoment = true;
  s.FireBurstPct = 15;
  s.FireBurstAge = 20;
  s.FireBurstCount = 5;
  s.FireBurstRadius = 3 * u;
  s.FireBurstShell = true;
  s.FireSparkPct = 10;
  s.FireSparkAge = 30;
  s.FireSparkPix = 9;
  s.FireRingPct = 10;
  s.FireRingEmb = 2;
  s.FireRingDeg = 10;
  s.FireTwistPct = 10;
  s.FireTwistCnt = 10;
  s.FireTwistDeg = 20;
  s.FireTwistRad = 2 * u;
  s.FireTwistExt = 20 * u;
  s.FireScintPct = 10;
  s.FireScintStyle = 3;
  s.FireLaunchPct = 100;
  s.FireLaunchPixel = 25;
  s.FireLaunchRadius = u;
  s.FireLaunchSteps = 40;
  s.FireLaunchPersist = 0.75f;
  return s;
}

Fireworks::Fireworks(const FireworksSettings& settings, const EffectContext& context, Form form)
    : s_(settings),
      surface_(context.surface),
      view_(context.view),
      palette_(context.palette),
      cues_(context.cues) {
  if (form == Form::Loaded) ToEngineForm(s_);
  // The pool bounds hold whatever the values' origin: shells x sparks within 30000, launch
  // sparks within the shell's slots.
  s_.FireWorks = ClampInteger(s_.FireWorks, 1, 99);
  s_.FireSparks = ClampInteger(s_.FireSparks, 1, static_cast<Integer>(30000 / s_.FireWorks));
  s_.FireLaunchPixel = ClampInteger(s_.FireLaunchPixel, 0, s_.FireSparks);
  s_.FireSplineKnot = MaxInteger(s_.FireSplineKnot, 4);
  s_.FireRingEmb = MaxInteger(s_.FireRingEmb, 1);
  s_.FireLaunchSteps = MaxInteger(s_.FireLaunchSteps, 1);
  jetDamping_ = 1.0f - (1.0f - s_.FireDamping) * 0.2f;

  shells_.assign(static_cast<std::size_t>(s_.FireWorks), Shell{});
  sparks_.assign(static_cast<std::size_t>(s_.FireWorks) * static_cast<std::size_t>(s_.FireSparks),
                 Spark{});
  const auto knots = static_cast<std::size_t>(s_.FireSplineKnot) + 1;
  knotX_.assign(knots, 0.0f);
  knotY_.assign(knots, 0.0f);
  knotZ_.assign(knots, 0.0f);
  ringAngleX_.assign(static_cast<std::size_t>(s_.FireRingEmb), 0.0f);
  ringAngleY_.assign(static_cast<std::size_t>(s_.FireRingEmb), 0.0f);
  centres_.assign(static_cast<std::size_t>(s_.FireSparks), Motion{});

  for (int s = 0; s < s_.FireWorks; ++s) {
    shells_[static_cast<std::size_t>(s)].State = kStandard;
    shells_[static_cast<std::size_t>(s)].StartDelay = 0;
    StartShell(s);
  }
}

bool Fireworks::Finished() const {
  for (const Shell& shell : shells_) {
    if (shell.State != kIdle) return false;
  }
  return true;
}

void Fireworks::Frame() {
  const double stagger = static_cast<double>(s_.FireSparks) / 32.0;
  for (int s = 0; s < s_.FireWorks; ++s) {
    Shell& shell = shells_[static_cast<std::size_t>(s)];
    if (static_cast<double>(s) * stagger > static_cast<double>(shell.StartDelay)) {
      ++shell.StartDelay;
      continue;
    }
    if (shell.State == kIdle) continue;
    ++shell.Age;
    switch (shell.State) {
      case kLaunch:
        LaunchFrame(s);
        break;
      case kStandard:
        StandardFrame(s);
        break;
      case kScintillator:
        ScintillatorFrame(s);
        break;
      case kMultiBurst:
        MultiBurstFrame(s);
        break;
      case kJetBurst:
        JetFrame(s, false);
        break;
      case kSparkler:
        SparklerFrame(s);
        break;
      case kTwister:
        JetFrame(s, true);
        break;
      case kSparkleBurst:
        SparkleBurstFrame(s);
        break;
      default:
        NextSpot(s);
        break;
    }
  }
}

void Fireworks::StartShell(int s) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  // A launch always ends in its burst; a new spot is refused once the run is finishing.
  if (finishing_ && shell.State != kLaunch) {
    shell.State = kIdle;
    return;
  }
  ++shell.Phases;
  if (shell.State != kLaunch) {
    shell.X = Rnd() * 1.8f - 0.9f;
    shell.Y = Rnd() * 1.8f - 0.9f;
    shell.Z = Rnd() + view_.FocalLength;
  }
  shell.Age = 0;
  const Single r = Rnd() * 100.0f;
  if (shell.State == kStandard && static_cast<Single>(s_.FireLaunchPct) > r) {
    StartLaunch(shell, First(s));
  } else {
    StartBurst(shell, First(s));
  }
}

CuePlace Fireworks::PlaceOf(Single x, Single z) const {
  CuePlace place;
  if (!(z > 0.0f) || view_.ScreenWidth <= 0) return place;
  const double sx = static_cast<double>(x / z * view_.ProjScaleX) + view_.CentreX;
  const double across = sx / static_cast<double>(view_.ScreenWidth);
  if (across == across) place.across = static_cast<float>(std::clamp(across, 0.0, 1.0));
  const double near = static_cast<double>(view_.FocalLength) / static_cast<double>(z);
  if (near == near) place.nearness = static_cast<float>(std::clamp(near, 0.0, 1.0));
  return place;
}

void Fireworks::StartLaunch(Shell& shell, int first) {
  const auto steps = static_cast<Single>(s_.FireLaunchSteps);
  shell.State = kLaunch;
  const Single startX = ClampSingle(shell.X + Rnd() * 0.25f - 0.125f, -0.9f, 0.9f);
  shell.VX = (shell.X - startX) / steps;
  const Single targetY = Rnd() * 1.25f - 0.925f;
  shell.VY = (targetY - shell.Z * view_.InvFocalLength) / steps;
  shell.VZ = (view_.FocalLength + 0.5f - shell.Z) / steps * 2.0f;
  shell.X = startX;
  shell.Y = shell.Z * view_.InvFocalLength;  // projects onto the bottom edge
  shell.LiveCount = s_.FireLaunchPixel;

  cues_.PlayCue(Cue::Launch, PlaceOf(shell.X, shell.Z));
  Spark* spark = sparks_.data() + first;
  for (int j = 0; j < s_.FireLaunchPixel; ++j, ++spark) {
    spark->head.x = shell.X;
    spark->head.y = shell.Y;
    spark->head.z = shell.Z;
    RandomVector(spark->head.vx, spark->head.vy, spark->head.vz, s_.FireLaunchRadius,
                 view_.AspectRatio);
    spark->Alive = true;
    spark->Colour = kWhite;
  }
}

void Fireworks::LaunchFrame(int s) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  if (shell.Age <= s_.FireLaunchSteps) {
    shell.X += shell.VX;
    shell.Y += shell.VY;
    shell.Z += shell.VZ;
  }
  const bool arrived = shell.Age >= s_.FireLaunchSteps;
  Spark* spark = sparks_.data() + First(s);
  for (int j = 0; j < s_.FireLaunchPixel; ++j, ++spark) {
    if (!spark->Alive) continue;
    Motion& m = spark->head;
    Plot(m, 0);
    m.Step();
    Long sx = 0, sy = 0;
    const bool projected = Project(m, sx, sy);
    const bool failed = Rnd() > s_.FireLaunchPersist || !projected || !OnScreen(sx, sy);
    if (failed) {
      if (arrived) {
        spark->Alive = false;
        --shell.LiveCount;
        continue;
      }
      m.x = shell.X;
      m.y = shell.Y;
      m.z = shell.Z;
      RandomVector(m.vx, m.vy, m.vz, s_.FireLaunchRadius, view_.AspectRatio);
    }
    Plot(m, spark->Colour);
    m.Slow(s_.FireGravity, s_.FireDamping);
  }
  if (arrived && shell.LiveCount <= 0) StartShell(s);  // bursts where the shell now is
}

void Fireworks::StandardFrame(int s) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  Spark* spark = sparks_.data() + First(s);
  for (int j = 0; j < s_.FireSparks; ++j, ++spark) {
    if (spark->Alive) {
      Motion& m = spark->head;
      m.Step();
      ++spark->Age;
      Long sx = 0, sy = 0;
      const bool projected = Project(m, sx, sy);
      const bool dies = Rnd() > s_.FirePersist || !projected || !OnScreen(sx, sy);
      if (spark->Age == shell.TrailLength || dies) spark->TailActive = true;
      if (dies) {
        spark->Alive = false;
        spark->TailRemaining = shell.TrailLength;
      } else {
        if (m.z > 0.0001f) surface_.SetPixelV(sx, sy, spark->Colour);
        m.Slow(s_.FireGravity, s_.FireDamping);
      }
    }
    if (spark->TailActive) {
      Plot(spark->tail, 0);
      if (!spark->Alive && --spark->TailRemaining <= 0) {
        spark->TailActive = false;
        --shell.LiveCount;
      }
      spark->tail.Step();
      spark->tail.Slow(s_.FireGravity, s_.FireDamping);
    }
  }
  if (shell.LiveCount <= 0) NextSpot(s);
}

}  // namespace lmvn
