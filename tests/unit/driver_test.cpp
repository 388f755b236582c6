#include "effects/driver.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/random.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

RuntimeSettings Cycling(Long pick, Long frames = 100) {
  RuntimeSettings r;
  r.FramesPerEffect = frames;
  r.Adv_PickEffects = pick;
  r.PerfMult = 1.5f;
  return r;
}

struct Seen {
  int id, theme;
  bool shown;
};

std::vector<Seen> Runs(Driver& driver, int count) {
  std::vector<Seen> seen;
  for (int i = 0; i < count; ++i) {
    const EffectRun run = driver.NextRun();
    seen.push_back({static_cast<int>(run.request.id), run.request.theme, run.shown});
  }
  return seen;
}

TEST(Driver, FireworksThemesThenTheOtherEffectsPassWithoutDrawingThenAgain) {
  Driver driver;
  driver.RunEffects(Cycling(1 + 64), false);
  ASSERT_TRUE(driver.cycling());
  for (int round = 0; round < 2; ++round) {
    for (int theme = 1; theme <= 13; ++theme) {
      const EffectRun run = driver.NextRun();
      EXPECT_EQ(run.request.id, EffectId::Fireworks);
      EXPECT_EQ(run.request.theme, theme);
      EXPECT_TRUE(run.shown);
      EXPECT_TRUE(run.request.scale);
      EXPECT_EQ(run.request.perfMult, 1.5f);
      EXPECT_EQ(run.framesPerEffect, 100);
    }
    for (int effect = 1; effect <= 5; ++effect) {
      const EffectRun run = driver.NextRun();
      EXPECT_EQ(static_cast<int>(run.request.id), effect);
      EXPECT_FALSE(run.shown);
      EXPECT_FALSE(run.idle);
    }
  }
}

TEST(Driver, DefaultSelectionShowsEveryPickedEffectAndBothThemeRounds) {
  Driver driver;
  driver.RunEffects(Cycling(249), false);
  const auto seen = Runs(driver, 2 * (13 + 4 + 16));
  for (int round = 0; round < 2; ++round) {
    const Seen* r = &seen[static_cast<std::size_t>(round * 33)];
    for (int t = 0; t < 13; ++t) EXPECT_TRUE(r[t].id == 0 && r[t].theme == t + 1 && r[t].shown);
    EXPECT_TRUE(r[13].id == 1 && !r[13].shown);  // Starfield not picked
    EXPECT_TRUE(r[14].id == 2 && !r[14].shown);  // Warp not picked
    EXPECT_TRUE(r[15].id == 3 && r[15].shown && r[15].theme == 0);
    EXPECT_TRUE(r[16].id == 4 && r[16].shown);
    for (int t = 0; t < 16; ++t) {
      EXPECT_TRUE(r[17 + t].id == 5 && r[17 + t].theme == t + 1 && r[17 + t].shown);
    }
  }
}

TEST(Driver, ThemeBitWithoutEffectBitLoadsThemesWithoutShowingThem) {
  Driver driver;
  driver.RunEffects(Cycling(64 + 2), false);
  const auto seen = Runs(driver, 13 + 5);
  for (int t = 0; t < 13; ++t) EXPECT_TRUE(seen[t].id == 0 && seen[t].theme == t + 1);
  for (int t = 0; t < 13; ++t) EXPECT_FALSE(seen[t].shown);
  EXPECT_TRUE(seen[13].id == 1 && seen[13].shown);
}

TEST(Driver, ASelectionWithoutEffectBitsRestsOncePerRoundAndNeverDraws) {
  for (const Long pick : {0, 64, 128 + 64, 256}) {
    Driver driver;
    driver.RunEffects(Cycling(pick), false);
    const int perRound = 6 + ((pick & 64) ? 12 : 0) + ((pick & 128) ? 15 : 0);
    for (int round = 0; round < 3; ++round) {
      for (int i = 1; i <= perRound; ++i) {
        const EffectRun run = driver.NextRun();
        EXPECT_FALSE(run.shown);
        EXPECT_EQ(run.idle, i == perRound) << pick << " run " << i;
      }
    }
  }
}

TEST(Driver, WithoutCyclingTheChosenEffectRunsFromTheStoreClampedToTheSix) {
  for (const auto& [stored, expected] : std::vector<std::pair<Integer, EffectId>>{
           {-1, EffectId::Fireworks}, {1, EffectId::Starfield}, {9, EffectId::Galaxies}}) {
    RuntimeSettings r;
    r.AnimationType = stored;
    r.FramesPerEffect = 0;
    Driver driver;
    driver.RunEffects(r, false);
    EXPECT_FALSE(driver.cycling());
    for (int i = 0; i < 3; ++i) {
      const EffectRun run = driver.NextRun();
      EXPECT_EQ(run.request.id, expected);
      EXPECT_EQ(run.request.theme, 0);
      EXPECT_FALSE(run.request.scale);
      EXPECT_TRUE(run.shown);
      EXPECT_LT(run.framesPerEffect, 1);
    }
  }
}

class DriverStore : public testing::SettingsTest {};

TEST_F(DriverStore, CycleBudgetsComeFromTheStoreRaisedTo100AndCappedAt9999) {
  for (const auto& [stored, cycling, budget] :
       std::vector<std::tuple<const char*, bool, Long>>{{"0", false, 0},
                                                        {"-5", false, -5},
                                                        {"1", true, 100},
                                                        {"99", true, 100},
                                                        {"250", true, 250},
                                                        {"30000", true, 9999},
                                                        {"junk", false, 0}}) {
    WriteSetting(kSettingsApp, "Advanced", "Adv_EffectCycle", stored);
    Driver driver;
    driver.RunEffects(LoadRuntimeSettings(), false);
    EXPECT_EQ(driver.cycling(), cycling) << stored;
    EXPECT_EQ(driver.NextRun().framesPerEffect, budget) << stored;
  }
}

TEST(Driver, TourOrderBudgetsAndResumptionAcrossRestarts) {
  Driver driver;
  RuntimeSettings r = Cycling(1, 300);  // the tour ignores the cycle settings
  driver.RunEffects(r, true);
  std::vector<EffectRun> runs;
  for (int i = 0; i < 10; ++i) runs.push_back(driver.NextRun());
  // A restart (F5, or the return from the Properties dialog) continues the tour.
  driver.RunEffects(r, true);
  for (int i = 10; i < 2 * 31; ++i) runs.push_back(driver.NextRun());
  for (int cycle = 0; cycle < 2; ++cycle) {
    const EffectRun* run = &runs[static_cast<std::size_t>(cycle * 31)];
    for (int t = 0; t < 16; ++t) {
      EXPECT_EQ(run[t].request.id, EffectId::Galaxies);
      EXPECT_EQ(run[t].request.theme, t + 1);
      EXPECT_EQ(run[t].framesPerEffect, 200);
      EXPECT_TRUE(run[t].request.scale && run[t].shown);
    }
    for (int t = 0; t < 13; ++t) {
      EXPECT_EQ(run[16 + t].request.id, EffectId::Fireworks);
      EXPECT_EQ(run[16 + t].request.theme, t + 1);
      EXPECT_EQ(run[16 + t].framesPerEffect, 400);
    }
    EXPECT_EQ(run[29].request.id, EffectId::Sparklers);
    EXPECT_EQ(run[29].framesPerEffect, 600);
    EXPECT_EQ(run[30].request.id, EffectId::GravityWells);
    EXPECT_EQ(run[30].framesPerEffect, 1000);
  }
  // Once the first run is over, the restarted driver shows the chosen effect.
  driver.RunEffects(Cycling(2, 300), false);
  EXPECT_EQ(driver.NextRun().request.id, EffectId::Fireworks);
  EXPECT_EQ(driver.NextRun().request.id, EffectId::Starfield);
}

TEST(EffectSequence, RunsCountFramesAgainstTheirBudgetAndClearTheSurface) {
  Surface surface(160, 120);
  const SurfaceState view = MakeSurfaceState(160, 120, 1.0f, 1);
  const Palette palette;
  SilentCueSink cues;
  const SettingOverrides overrides;
  EffectSequence sequence({surface, view, palette, cues}, overrides);
  ProgramRandom().Seed(5);
  // Starfield and (possibly unbuilt) Fireworks are picked.
  sequence.Restart(Cycling(1 + 2, 100), false);

  const EffectRun& first = sequence.BeginRun();
  EXPECT_EQ(first.request.id, EffectId::Fireworks);
  surface.SetPixelV(3, 3, RGB(255, 0, 0));
  for (int frame = 1; frame <= 100; ++frame) ASSERT_EQ(sequence.Frame(), frame == 100);

  const EffectRun& second = sequence.BeginRun();
  EXPECT_EQ(second.request.id, EffectId::Starfield);
  EXPECT_TRUE(sequence.built());
  EXPECT_EQ(surface.GetPixel(3, 3), 0);  // cleared when the run began
  for (int frame = 1; frame < 100; ++frame) ASSERT_FALSE(sequence.Frame());
  EXPECT_GT(surface.CountLitPixels(), 0u);
  EXPECT_TRUE(sequence.Frame());
  EXPECT_EQ(sequence.framesThisRun(), 100);

  EXPECT_FALSE(sequence.BeginRun().shown);  // Warp: bit clear, nothing built
  EXPECT_FALSE(sequence.built());
}

TEST(EffectSequence, EveryOutputShowsTheSameRunsWithAnEffectOfItsOwn) {
  Surface big(320, 200), small(160, 120);
  const SurfaceState bigView = MakeSurfaceState(320, 200, 1.0f, 1);
  const SurfaceState smallView = MakeSurfaceState(160, 120, 1.0f, 1);
  const Palette palette;
  SilentCueSink cues;
  const SettingOverrides overrides;
  EffectSequence sequence(overrides);
  sequence.AddOutput({big, bigView, palette, cues});
  ProgramRandom().Seed(5);
  sequence.Restart(Cycling(2 + 4, 100), false);                    // Starfield, then Warp
  EXPECT_EQ(sequence.BeginRun().request.id, EffectId::Fireworks);  // not picked: passes
  EXPECT_EQ(sequence.BeginRun().request.id, EffectId::Starfield);
  for (int frame = 1; frame <= 50; ++frame) ASSERT_FALSE(sequence.Frame());
  // A monitor added in the middle of a run joins it; the budget stays the sequence's.
  small.SetPixelV(3, 3, RGB(255, 0, 0));
  sequence.AddOutput({small, smallView, palette, cues});
  EXPECT_EQ(small.GetPixel(3, 3), 0);
  for (int frame = 51; frame <= 100; ++frame) ASSERT_EQ(sequence.Frame(), frame == 100);
  EXPECT_GT(big.CountLitPixels(), 0u);
  EXPECT_GT(small.CountLitPixels(), 0u);
  // A monitor removed is no longer drawn on; the others go on.
  sequence.RemoveOutput(big);
  EXPECT_EQ(sequence.outputs(), 1u);
  EXPECT_EQ(sequence.BeginRun().request.id, EffectId::Warp);
  sequence.Frame();
  EXPECT_GT(small.CountLitPixels(), 0u);
  EXPECT_GT(big.CountLitPixels(), 0u);  // no longer cleared by the runs
}

TEST(FramePacer, AFrameStartsNoEarlierThanTheDelayAndALateFrameDoesNotCatchUp) {
  FramePacer pacer;
  pacer.FrameDelay = 25;
  pacer.StartFrame(1'000'000);
  EXPECT_EQ(pacer.WaitAfterFrame(1'005'000), 20'000);  // a 5 ms frame ends at 25 ms
  pacer.StartFrame(1'025'000);
  EXPECT_EQ(pacer.WaitAfterFrame(1'065'000), 0);  // a 40 ms frame: the next starts at once
  pacer.StartFrame(1'065'000);
  EXPECT_EQ(pacer.WaitAfterFrame(1'066'000), 24'000);  // no catch-up for the late one
  // A clock that went backwards counts as elapsed time.
  EXPECT_EQ(pacer.WaitAfterFrame(1'025'000), 0);
  for (const Long delay : {0, -3}) {
    pacer.FrameDelay = delay;
    EXPECT_EQ(pacer.WaitAfterFrame(1'065'000), 0);
  }
}

TEST(FramePacer, LabelsRefreshAtTheFirstFrameEndThenEveryFiveSeconds) {
  FramePacer pacer;
  EXPECT_TRUE(pacer.LabelRefreshDue(7'000'000));
  EXPECT_FALSE(pacer.LabelRefreshDue(7'025'000));
  EXPECT_FALSE(pacer.LabelRefreshDue(11'999'999));
  EXPECT_TRUE(pacer.LabelRefreshDue(12'010'000));
  EXPECT_FALSE(pacer.LabelRefreshDue(17'000'000));
  EXPECT_TRUE(pacer.LabelRefreshDue(17'010'000));
}

}  // namespace
}  // namespace lmvn

namespace lmvn {
namespace {

// The saver builds the colour-age ramp once, at start-up; later runs take new colour
// settings for the hue wheel only.
TEST(Palette, NewSettingsRebuildTheWheelAndKeepTheStartupRamp) {
  ColourParams startup;
  startup.ColorGrn = 0;
  ColourParams later;
  later.ColorRed = 10;
  later.ColorBlu = 40;
  Palette palette(startup);
  palette.UseSettings(later);
  EXPECT_EQ(palette.HueWheel, Palette(later).HueWheel);
  EXPECT_EQ(palette.ColorAgeRamp, Palette(startup).ColorAgeRamp);
  EXPECT_NE(palette.ColorAgeRamp, Palette(later).ColorAgeRamp);
  EXPECT_EQ(palette.params.ColorRed, 10);
}

}  // namespace
}  // namespace lmvn
