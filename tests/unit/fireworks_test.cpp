// The Fireworks effect, by its invariants: what is drawn is erased, kinds and launches follow
// their rules, cues come where they belong, and no setting makes it fault.
#include "effects/fireworks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "effect_harness.h"
#include "settings/loaders.h"
#include "settings/sound_cues.h"
#include "settings/value_text.h"

namespace lmvn {
namespace {

// The percentage keys of the six special kinds.
constexpr const char* kKindKeys[] = {"FireScintPct", "FireMultiPct", "FireBurstPct",
                                     "FireSparkPct", "FireRingPct",  "FireTwistPct"};

class RecordingCues final : public CueSink {
 public:
  void PlayCue(Cue cue, CuePlace place) override {
    cues.push_back(cue);
    places.push_back(place);
  }
  std::vector<Cue> cues;
  std::vector<CuePlace> places;
};

class FireworksTest : public testing::EffectHarness {
 protected:
  FireworksTest() { section_ = "Fireworks"; }
  // Only the named kind, with the named geometry ("sphere", "spline" or "solid").
  void OnlyKind(const char* kindKey, const char* geometry) {
    for (const char* key : kKindKeys) Set(key, "0");
    if (kindKey != nullptr) Set(kindKey, "100");
    Set("FireSplinePct", std::string(geometry) == "spline" ? "100" : "0");
    Set("FirePatternPct", std::string(geometry) == "solid" ? "100" : "0");
  }

  // A run from the store and the overrides, its cues recorded.
  Fireworks& Start(int width = 320, int height = 200) {
    Screen(width, height);
    context_ =
        std::make_unique<EffectContext>(EffectContext{*surface_, view_, palette_, recorded_});
    fw_ = &MakeFrom<Fireworks>(LoadFireworksSettings(0, false, 1.0f, overrides_));
    return *fw_;
  }

  // Lets every shell finish its firework; the number of lit pixels seen at the most.
  std::size_t Drain(long maxFrames = 50000) {
    fw_->Finish();
    std::size_t most = surface_->CountLitPixels();
    for (long f = 0; f < maxFrames && !fw_->Finished(); ++f) {
      fw_->Frame();
      if (f % 8 == 0) most = std::max(most, surface_->CountLitPixels());
    }
    EXPECT_TRUE(fw_->Finished());
    return most;
  }

  RecordingCues recorded_;
  Fireworks* fw_ = nullptr;
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
  Set("FireWorks=6 FireSparks=300 FireLaunchPct=50 FireSizeDev=4");
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
  for (const char* key : kKindKeys) Set(key, "14");
  Set("FireWorks=1 FirePatternPct=30 FireSplinePct=20 FireLaunchPct=60");
  Start();
  long changes = 0;
  long last = fw_->shells()[0].Phases;
  for (int f = 0; f < 6000; ++f) {
    fw_->Frame();
    const long phases = fw_->shells()[0].Phases;
    if (phases != last) {
      ++changes;
      ASSERT_EQ(surface_->CountLitPixels(), 0u) << "frame " << f;
      last = phases;
    }
  }
  EXPECT_GT(changes, 30);
}

TEST(FireworksKinds, ChoiceFollowsTheRunningSums) {
  FireworksSettings s = LoadFireworksSettings(0, false, 1.0f);
  Integer* pcts[] = {&s.FireScintPct, &s.FireMultiPct, &s.FireBurstPct,
                     &s.FireSparkPct, &s.FireRingPct,  &s.FireTwistPct};
  for (Integer* pct : pcts) *pct = 0;
  EXPECT_EQ(Fireworks::ChooseKind(99.99f, s), Fireworks::kStandard);
  for (Integer* pct : pcts) *pct = 10;
  // A draw on a sum falls through to the next kind.
  const std::pair<Single, Integer> draws[] = {
      {0.0f, Fireworks::kScintillator}, {9.99f, Fireworks::kScintillator},
      {10.0f, Fireworks::kMultiBurst},  {20.0f, Fireworks::kJetBurst},
      {30.0f, Fireworks::kSparkler},    {40.0f, Fireworks::kRing},
      {59.5f, Fireworks::kTwister},     {60.0f, Fireworks::kStandard}};
  for (const auto& [r, kind] : draws) EXPECT_EQ(Fireworks::ChooseKind(r, s), kind) << r;
}

TEST_F(FireworksTest, LaunchesRiseFromTheBottomEdgeAndShellsStartStaggered) {
  Set("FireWorks", "30");
  Set("FireSparks", "320");  // shell s waits s x 10 frames
  Set("FireLaunchPct", "100");
  Start();
  for (const Fireworks::Shell& shell : fw_->shells()) {
    ASSERT_EQ(shell.State, Fireworks::kLaunch);
    Long sx = 0, sy = 0;
    ASSERT_TRUE(ProjectPoint(view_, shell.X, shell.Y, shell.Z, sx, sy));
    EXPECT_NEAR(sy, view_.ScreenHeight, 1);
    EXPECT_EQ(shell.LiveCount, 60);
  }
  for (int f = 1; f <= 20; ++f) fw_->Frame();
  EXPECT_EQ(fw_->shells()[1].Age, 10);
  EXPECT_EQ(fw_->shells()[2].Age, 0);
  fw_->Frame();
  EXPECT_EQ(fw_->shells()[2].Age, 1);
  EXPECT_EQ(fw_->shells()[29].Age, 0);

  Set("FireLaunchPct=0 FireWorks=10");
  Start();
  for (int f = 0; f < 600; ++f) {
    fw_->Frame();
    for (const Fireworks::Shell& shell : fw_->shells()) {
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
  Set("FireWorks=3 FireLaunchPct=100");
  float leftmost = 1, rightmost = 0;
  for (const auto& kind : kinds) {
    OnlyKind(kind.key, "sphere");
    recorded_.cues.clear();
    recorded_.places.clear();
    Start();
    EXPECT_EQ(recorded_.cues, std::vector<Cue>(3, Cue::Launch));  // every shell starts at once
    Drain();
    long phases = 0, sparkleBursts = 0;
    for (const Fireworks::Shell& shell : fw_->shells()) phases += shell.Phases;
    if (kind.cue == Cue::Sparkle) sparkleBursts = phases - 6;  // no cue when sparkles burst
    ASSERT_EQ(static_cast<long>(recorded_.cues.size()), phases - sparkleBursts) << CueKey(kind.cue);
    long own = 0, standard = 0;
    for (std::size_t i = 3; i < recorded_.cues.size(); ++i) {
      own += recorded_.cues[i] == kind.cue;
      standard += recorded_.cues[i] == Cue::Standard;
      EXPECT_NE(recorded_.cues[i], Cue::Launch);
    }
    EXPECT_EQ(own, 3) << CueKey(kind.cue);
    // Fragments of multi-bursts and jets turn into standard bursts with their own cue.
    if (kind.cue != Cue::Standard) {
      EXPECT_EQ(own + standard, static_cast<long>(recorded_.cues.size()) - 3);
    }
    // Each cue is placed on the screen, no nearer than the scene's front.
    for (const CuePlace& place : recorded_.places) {
      ASSERT_TRUE(place.across >= 0 && place.across <= 1 && place.nearness > 0 &&
                  place.nearness <= 1);
      leftmost = std::min(leftmost, place.across);
      rightmost = std::max(rightmost, place.across);
    }
  }
  EXPECT_LT(leftmost, 0.4f);
  EXPECT_GT(rightmost, 0.6f);
}

TEST_F(FireworksTest, GroupCountsAboveTheSparksKeepAStrideOfOne) {
  Set("FireWorks=4 FireSparks=10 FireMultiBurst=99 FireBurstCount=99 FireTwistCnt=99");
  for (const char* key : {"FireMultiPct", "FireBurstPct", "FireTwistPct"}) {
    OnlyKind(key, "sphere");
    Set("FireLaunchPct", "0");
    Start();
    for (const Fireworks::Shell& shell : fw_->shells()) EXPECT_EQ(shell.GroupSize, 1) << key;
    for (int f = 0; f < 300; ++f) fw_->Frame();
    Drain();
    EXPECT_EQ(surface_->CountLitPixels(), 0u) << key;
  }
}

// Every drawn spark of a scheme-coloured kind takes its own colour of the scheme: a burst of
// 400 sparks shows many colours, a twister's helices included (not one colour per helix).
TEST_F(FireworksTest, SchemeColouredSparksEachTakeTheirOwnColour) {
  for (const char* kind : {"FireRingPct", "FireTwistPct"}) {
    OnlyKind(kind, "sphere");
    Set("FireWorks=1 FireSparks=400 FireLaunchPct=0 FireTwistCnt=2");
    Start(640, 360);
    std::set<std::uint32_t> colours;
    for (int f = 0; f < 25; ++f) {
      fw_->Frame();
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

// Odd stored values and the dialog's maxima: the run never faults (the sanitizer build checks
// it) and keeps its pools within their limits.
TEST_F(FireworksTest, OddSettingsNeverFault) {
  const auto pools = [](const Fireworks& e) {
    const FireworksSettings& s = e.settings();
    EXPECT_LE(long{s.FireWorks} * s.FireSparks, 30000);
    EXPECT_LE(s.FireLaunchPixel, s.FireSparks);
  };
  RunOddSettings<Fireworks>(
      EffectId::Fireworks, "Fireworks", 16, 120,
      [](const Fireworks& e) { return e.settings().FireSparks; }, pools);
  for (const KeySpec& key : KeysOfSection("Fireworks")) Set(std::string(key.name), "999.9");
  Set("FireWorks=99 FireSparks=9999 FirePersist=0.99");
  pools(Start(160, 100));
  Run(120);
}

// Shells times sparks stay within 30000; no shell count divides by zero, and a negative one
// runs one shell.
TEST_F(FireworksTest, RunLimitsKeepThePoolWithin30000) {
  FireworksSettings finale = LoadFireworksSettings(13, false, 9.9f);
  EXPECT_EQ(finale.FireSparks, 5445);
  ApplyFireworksLimits(finale);
  EXPECT_EQ(finale.FireSparks, 1500);
  EXPECT_EQ(finale.FireLaunchPixel, 50);
  for (const char* shells : {"0", "-7", "-32768"}) {
    ASSERT_TRUE(WriteSetting(kSettingsApp, "Fireworks", "FireWorks", shells));
    FireworksSettings s = LoadFireworksSettings(0, false, 1);
    ApplyFireworksLimits(s);
    Fireworks::ToEngineForm(s);
    EXPECT_EQ(s.FireWorks, 1) << shells;
    EXPECT_EQ(s.FireSparks, std::string(shells) == "0" ? 450 : 10) << shells;
    EXPECT_LE(s.FireLaunchPixel, s.FireSparks) << shells;
  }
}

// Sound is on exactly when SoundFX_ON reads 1.
TEST_F(FireworksTest, SoundCuesPlayOnlyWhenSoundIsOn) {
  ASSERT_TRUE(WriteSetting(kSettingsApp, "SoundFX", "Fire_Launch", "boom.wav"));
  for (const char* on : {"0", "true", "01", "1.0", "", "1"}) {
    ASSERT_TRUE(WriteSetting(kSettingsApp, "SoundFX", "SoundFX_ON", on));
    const auto file = CueFileToPlay(LoadSoundSettings(), Cue::Launch);
    EXPECT_EQ(file, std::string(on) == "1" ? std::optional<std::string>("boom.wav") : std::nullopt)
        << on;
  }
}

}  // namespace
}  // namespace lmvn
