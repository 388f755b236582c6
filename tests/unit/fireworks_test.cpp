// The Fireworks effect, by its invariants: what is drawn is erased, kinds and launches follow
// their rules, cues come where they belong, and no setting makes it fault.
#include "effects/fireworks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "render/random.h"
#include "settings/store.h"

namespace lmvn {
namespace {

class RecordingCues final : public CueSink {
 public:
  void PlayCue(Cue cue) override { cues.push_back(cue); }
  std::vector<Cue> cues;
};

class FireworksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() / ("lmvn-fireworks-" + std::to_string(::getpid()));
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    ProgramRandom().Seed(20261206);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Set(const std::string& key, const std::string& value) {
    overrides_.Set("Fireworks", key, value);
  }
  // Only the named kind, with the named geometry ("sphere", "spline" or "solid").
  void OnlyKind(const char* kindKey, const char* geometry) {
    for (const char* key : {"FireScintPct", "FireMultiPct", "FireBurstPct", "FireSparkPct",
                            "FireRingPct", "FireTwistPct"}) {
      Set(key, "0");
    }
    if (kindKey != nullptr) Set(kindKey, "100");
    Set("FireSplinePct", std::string(geometry) == "spline" ? "100" : "0");
    Set("FirePatternPct", std::string(geometry) == "solid" ? "100" : "0");
  }

  Fireworks& Start(int width = 320, int height = 200) {
    surface_ = std::make_unique<Surface>(width, height);
    view_ = MakeSurfaceState(width, height, 1.0f, 1);
    context_ = std::make_unique<EffectContext>(EffectContext{*surface_, view_, palette_, cues_});
    effect_ =
        std::make_unique<Fireworks>(LoadFireworksSettings(0, false, 1.0f, overrides_), *context_);
    return *effect_;
  }

  // Lets every shell finish its firework; the number of lit pixels seen at the most.
  std::size_t Drain(long maxFrames = 50000) {
    effect_->Finish();
    std::size_t most = surface_->CountLitPixels();
    for (long f = 0; f < maxFrames && !effect_->Finished(); ++f) {
      effect_->Frame();
      if (f % 8 == 0) most = std::max(most, surface_->CountLitPixels());
    }
    EXPECT_TRUE(effect_->Finished());
    return most;
  }

  std::filesystem::path dir_;
  SettingOverrides overrides_;
  Palette palette_;
  RecordingCues cues_;
  std::unique_ptr<Surface> surface_;
  SurfaceState view_{};
  std::unique_ptr<EffectContext> context_;
  std::unique_ptr<Fireworks> effect_;
};

// A burst kind by its percentage key (empty: standard bursts) and a geometry.
using KindCase = std::tuple<std::string, std::string>;

class EveryKindAndGeometry : public FireworksTest,
                             public ::testing::WithParamInterface<KindCase> {};

// The property that matters most: the screen is never cleared, so a firework that has run its
// whole life must have erased every pixel it drew.
TEST_P(EveryKindAndGeometry, AShellsWholeLifeLeavesTheSurfaceBlack) {
  const auto& [kind, geometry] = GetParam();
  OnlyKind(kind.empty() ? nullptr : kind.c_str(), geometry.c_str());
  Set("FireWorks", "6");
  Set("FireSparks", "300");
  Set("FireLaunchPct", "50");
  Set("FireSizeDev", "4");
  // Even spheres with the switches on, then bursts filled down to speed 0 with them off.
  for (const char* symmetry : {"1", "0"}) {
    Set("FireSymmetry", symmetry);
    Set("FireMultiMoment", symmetry);
    Set("FireBurstShell", symmetry);
    Start();
    const std::size_t most = Drain();
    EXPECT_GT(most, 0u) << "nothing was drawn";
    EXPECT_EQ(surface_->CountLitPixels(), 0u) << "symmetry " << symmetry;
  }
}

INSTANTIATE_TEST_SUITE_P(Fireworks, EveryKindAndGeometry,
                         ::testing::Combine(::testing::Values("", "FireScintPct", "FireMultiPct",
                                                              "FireBurstPct", "FireSparkPct",
                                                              "FireRingPct", "FireTwistPct"),
                                            ::testing::Values("sphere", "spline", "solid")),
                         [](const ::testing::TestParamInfo<KindCase>& info) {
                           const std::string& kind = std::get<0>(info.param);
                           return (kind.empty() ? std::string("Standard") : kind) + "_" +
                                  std::get<1>(info.param);
                         });

TEST_F(FireworksTest, EveryPhaseOfASingleShellEndsOnABlackSurface) {
  for (const char* key : {"FireScintPct", "FireMultiPct", "FireBurstPct", "FireSparkPct",
                          "FireRingPct", "FireTwistPct"}) {
    Set(key, "14");
  }
  Set("FireWorks", "1");
  Set("FirePatternPct", "30");
  Set("FireSplinePct", "20");
  Set("FireLaunchPct", "60");
  Start();
  long changes = 0;
  long last = effect_->shells()[0].Phases;
  for (int f = 0; f < 6000; ++f) {
    effect_->Frame();
    const long phases = effect_->shells()[0].Phases;
    if (phases != last) {
      ++changes;
      ASSERT_EQ(surface_->CountLitPixels(), 0u) << "frame " << f;
      last = phases;
    }
  }
  EXPECT_GT(changes, 30);
}

TEST_F(FireworksTest, ALongRunWithEveryKindLeavesNothingBehind) {
  for (const char* key : {"FireScintPct", "FireMultiPct", "FireBurstPct", "FireSparkPct",
                          "FireRingPct", "FireTwistPct"}) {
    Set(key, "13");
  }
  Set("FireWorks", "24");
  Set("FireSparks", "400");
  Set("FireSplinePct", "15");
  Set("FirePatternPct", "30");
  Set("FireSymmetry", "0.5");
  Set("FireSizeDev", "5");
  Start(480, 270);
  std::size_t most = 0;
  for (int f = 0; f < 4000; ++f) {
    effect_->Frame();
    if (f % 50 == 0) most = std::max(most, surface_->CountLitPixels());
  }
  EXPECT_GT(most, 500u);
  Drain();
  EXPECT_EQ(surface_->CountLitPixels(), 0u);
}

TEST_F(FireworksTest, KindChoiceFollowsTheRunningSums) {
  FireworksSettings s = LoadFireworksSettings(0, false, 1.0f);
  for (Integer* pct : {&s.FireScintPct, &s.FireMultiPct, &s.FireBurstPct, &s.FireSparkPct,
                       &s.FireRingPct, &s.FireTwistPct}) {
    *pct = 0;
  }
  for (Single r : {0.0f, 42.0f, 99.99f}) {
    EXPECT_EQ(Fireworks::ChooseKind(r, s), Fireworks::kStandard) << r;
  }
  s.FireScintPct = 10;
  s.FireMultiPct = 10;
  s.FireBurstPct = 10;
  s.FireSparkPct = 10;
  s.FireRingPct = 10;
  s.FireTwistPct = 10;
  EXPECT_EQ(Fireworks::ChooseKind(0.0f, s), Fireworks::kScintillator);
  EXPECT_EQ(Fireworks::ChooseKind(9.99f, s), Fireworks::kScintillator);
  EXPECT_EQ(Fireworks::ChooseKind(10.0f, s), Fireworks::kMultiBurst);  // a tie falls through
  EXPECT_EQ(Fireworks::ChooseKind(20.0f, s), Fireworks::kJetBurst);
  EXPECT_EQ(Fireworks::ChooseKind(30.0f, s), Fireworks::kSparkler);
  EXPECT_EQ(Fireworks::ChooseKind(40.0f, s), Fireworks::kRing);
  EXPECT_EQ(Fireworks::ChooseKind(59.5f, s), Fireworks::kTwister);
  EXPECT_EQ(Fireworks::ChooseKind(60.0f, s), Fireworks::kStandard);
  s.FireScintPct = 100;
  EXPECT_EQ(Fireworks::ChooseKind(99.99f, s), Fireworks::kScintillator);
}

TEST_F(FireworksTest, LaunchesRiseFromTheBottomEdgeAndShellsStartStaggered) {
  Set("FireWorks", "30");
  Set("FireSparks", "320");  // shell s waits s x 10 frames
  Set("FireLaunchPct", "100");
  Start();
  for (const Fireworks::Shell& shell : effect_->shells()) {
    ASSERT_EQ(shell.State, Fireworks::kLaunch);
    Long sx = 0, sy = 0;
    ASSERT_TRUE(ProjectPoint(view_, shell.X, shell.Y, shell.Z, sx, sy));
    EXPECT_NEAR(sy, view_.ScreenHeight, 1);
    EXPECT_EQ(shell.LiveCount, 60);
  }
  for (int f = 1; f <= 20; ++f) effect_->Frame();
  EXPECT_EQ(effect_->shells()[1].Age, 10);
  EXPECT_EQ(effect_->shells()[2].Age, 0);
  effect_->Frame();
  EXPECT_EQ(effect_->shells()[2].Age, 1);
  EXPECT_EQ(effect_->shells()[29].Age, 0);

  Set("FireLaunchPct", "0");
  Set("FireWorks", "10");
  Start();
  for (int f = 0; f < 600; ++f) {
    effect_->Frame();
    for (const Fireworks::Shell& shell : effect_->shells()) {
      ASSERT_NE(shell.State, Fireworks::kLaunch);
    }
  }
}

TEST_F(FireworksTest, CuesComeWithEveryEmission) {
  const struct {
    const char* key;
    Cue cue;
  } kinds[] = {{nullptr, Cue::Standard},          {"FireScintPct", Cue::Scintil},
               {"FireMultiPct", Cue::MultiBurst}, {"FireBurstPct", Cue::JetBurst},
               {"FireSparkPct", Cue::Sparkle},    {"FireRingPct", Cue::RingDisk},
               {"FireTwistPct", Cue::Twister}};
  Set("FireWorks", "3");
  Set("FireLaunchPct", "100");
  for (const auto& kind : kinds) {
    OnlyKind(kind.key, "sphere");
    cues_.cues.clear();
    Start();
    EXPECT_EQ(cues_.cues, std::vector<Cue>(3, Cue::Launch));  // every shell starts at once
    Drain();
    long phases = 0, sparkleBursts = 0;
    for (const Fireworks::Shell& shell : effect_->shells()) phases += shell.Phases;
    if (kind.cue == Cue::Sparkle) sparkleBursts = phases - 6;  // no cue when sparkles burst
    ASSERT_EQ(static_cast<long>(cues_.cues.size()), phases - sparkleBursts) << CueKey(kind.cue);
    long own = 0, standard = 0;
    for (std::size_t i = 3; i < cues_.cues.size(); ++i) {
      own += cues_.cues[i] == kind.cue;
      standard += cues_.cues[i] == Cue::Standard;
      EXPECT_NE(cues_.cues[i], Cue::Launch);
    }
    EXPECT_EQ(own, 3) << CueKey(kind.cue);
    // Fragments of multi-bursts and jets turn into standard bursts with their own cue.
    if (kind.cue != Cue::Standard) {
      EXPECT_EQ(own + standard, static_cast<long>(cues_.cues.size()) - 3);
    }
  }
}

TEST_F(FireworksTest, GroupCountsAboveTheSparksKeepAStrideOfOne) {
  Set("FireWorks", "4");
  Set("FireSparks", "10");
  Set("FireMultiBurst", "99");
  Set("FireBurstCount", "99");
  Set("FireTwistCnt", "99");
  for (const char* key : {"FireMultiPct", "FireBurstPct", "FireTwistPct"}) {
    OnlyKind(key, "sphere");
    Set("FireLaunchPct", "0");
    Start();
    for (const Fireworks::Shell& shell : effect_->shells()) EXPECT_EQ(shell.GroupSize, 1) << key;
    for (int f = 0; f < 300; ++f) effect_->Frame();
    Drain();
    EXPECT_EQ(surface_->CountLitPixels(), 0u) << key;
  }
}

// Every drawn spark of a scheme-coloured kind takes its own colour of the scheme: a burst of
// 400 sparks shows many colours, a twister's helices included (not one colour per helix).
TEST_F(FireworksTest, SchemeColouredSparksEachTakeTheirOwnColour) {
  for (const char* kind : {"FireRingPct", "FireTwistPct"}) {
    OnlyKind(kind, "sphere");
    Set("FireWorks", "1");
    Set("FireSparks", "400");
    Set("FireLaunchPct", "0");
    Set("FireTwistCnt", "2");
    Start(640, 360);
    std::set<std::uint32_t> colours;
    for (int f = 0; f < 25; ++f) {
      effect_->Frame();
      const std::uint32_t* p = surface_->pixels();
      colours.insert(p, p + 640 * 360);
    }
    EXPECT_GT(colours.size(), 20u) << kind;
  }
}

TEST(FireworksTwister, ALeaderThatHasNotMovedEmitsFromItself) {
  Single prevX = 0.25f, prevY = -0.5f, prevZ = 1.5f, angle = 2.0f;
  Single ex = NAN, ey = NAN, ez = NAN;
  Fireworks::TwisterEmitPoint(0.25f, -0.5f, 1.5f, prevX, prevY, prevZ, angle, 0.05f, 15, ex, ey,
                              ez);
  EXPECT_EQ(ex, 0.25f);
  EXPECT_EQ(ey, -0.5f);
  EXPECT_EQ(ez, 1.5f);
  EXPECT_FLOAT_EQ(angle, 2.0f + 15 * 3.1415927f / 180.0f);

  // A moving leader emits `extent` away from itself, once the angle has passed a tenth of a turn.
  Fireworks::TwisterEmitPoint(0.35f, -0.5f, 1.5f, prevX, prevY, prevZ, angle, 0.05f, 15, ex, ey,
                              ez);
  EXPECT_NEAR(std::hypot(ex - 0.35f, ey + 0.5f, ez - 1.5f), 0.05f, 1e-6f);
  EXPECT_EQ(prevX, 0.35f);
}

TEST_F(FireworksTest, SettingsTakeTheirEngineForm) {
  Start();
  const FireworksSettings& s = effect_->settings();
  EXPECT_FLOAT_EQ(s.FireGravity, 0.02f * 0.005f);
  EXPECT_FLOAT_EQ(s.FireDamping, 0.9f);
  EXPECT_FLOAT_EQ(effect_->JetDamping(), 0.98f);
  EXPECT_FLOAT_EQ(s.FireBurstRadius, 3 * 0.0025f);
  EXPECT_FLOAT_EQ(s.FireTwistExt, 25 * 0.0025f);

  // The demonstration's values are taken as they are.
  surface_ = std::make_unique<Surface>(200, 150);
  view_ = MakeSurfaceState(200, 150, 0.75f, 1);
  context_ = std::make_unique<EffectContext>(EffectContext{*surface_, view_, palette_, cues_});
  Fireworks demo(Fireworks::DemoSettings(), *context_, Fireworks::Form::Engine);
  EXPECT_EQ(demo.settings().FireWorks, 16);
  EXPECT_EQ(demo.settings().FireSparks, 250);
  EXPECT_EQ(demo.settings().FireBurstRadius, 3 * 0.0025f);
  EXPECT_EQ(demo.settings().FireGravity, 0.04f * 0.005f);
  EXPECT_EQ(demo.shells().size(), 16u);
  for (int f = 0; f < 200; ++f) demo.Frame();
  EXPECT_GT(surface_->CountLitPixels(), 0u);
}

// Every key at its dialog minimum, at its maximum, far beyond both, not a number, and at
// random values: the run never faults (the sanitizer build checks it) and keeps its pools.
TEST_F(FireworksTest, ExtremeSettingsNeverFault) {
  const std::vector<std::string> keys = {
      "FireWorks",         "FireSparks",      "FireLength",       "FireSymmetry",
      "FireSpeed",         "FirePersist",     "FireGravity",      "FireSizeDev",
      "FireDamping",       "FireSplinePct",   "FireSplineKnot",   "FireScintPct",
      "FireScintStyle",    "FireMultiPct",    "FireMultiAge",     "FireMultiBurst",
      "FireBurstPct",      "FireBurstAge",    "FireBurstCount",   "FireBurstRadius",
      "FireLaunchPct",     "FireLaunchPixel", "FireLaunchRadius", "FireLaunchSteps",
      "FireLaunchPersist", "FireSparkPct",    "FireSparkAge",     "FireSparkPix",
      "FireRingPct",       "FireRingEmb",     "FireRingDeg",      "FireTwistPct",
      "FireTwistCnt",      "FireTwistDeg",    "FireTwistRad",     "FireTwistExt",
      "FirePatternPct",    "FireMultiMoment", "FireBurstShell"};
  auto run = [&](const char* what) {
    Start(160, 100);
    const auto& s = effect_->settings();
    ASSERT_LE(long{s.FireWorks} * s.FireSparks, 30000) << what;
    ASSERT_LE(s.FireLaunchPixel, s.FireSparks) << what;
    for (int f = 0; f < 120; ++f) effect_->Frame();
  };
  for (const char* value :
       {"-1e30", "-32768", "0", "0.0001", "1", "9999", "32767", "1e30", "abc", "nan"}) {
    for (const std::string& key : keys) Set(key, value);
    run(value);
  }
  // Dialog extremes: every percentage at 100 and the counts at their limits.
  for (const std::string& key : keys) Set(key, "999.9");
  Set("FireWorks", "99");
  Set("FireSparks", "9999");
  Set("FirePersist", "0.99");
  run("maximum");
  std::uint64_t bits = 12345;
  for (int round = 0; round < 12; ++round) {
    for (const std::string& key : keys) {
      bits = bits * 6364136223846793005ULL + 1442695040888963407ULL;
      const double v = static_cast<double>(bits >> 11) / 9007199254740992.0;  // [0, 1)
      const double value = round % 2 ? (v - 0.5) * 2400.0 : v * 120.0;
      Set(key, std::to_string(value));
    }
    run("random");
  }
  // The same through the store file itself.
  overrides_ = SettingOverrides{};
  for (const char* value : {"abc", "-1e30", "32767", "0"}) {
    for (const std::string& key : keys) {
      ASSERT_TRUE(WriteSetting(kSettingsApp, "Fireworks", key, value));
    }
    run(value);
  }
}

}  // namespace
}  // namespace lmvn
