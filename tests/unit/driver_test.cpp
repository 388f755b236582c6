#include "effects/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "effects/frame_budget.h"
#include "effects/preview.h"
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

// A round of runs as text: "effect[.theme]" and + when shown, - when not, ! on an idle run.
std::string Round(Driver& driver, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const EffectRun run = driver.NextRun();
    text.append(i ? " " : "").append(std::to_string(static_cast<int>(run.request.id)));
    if (run.request.theme) text.append(".").append(std::to_string(run.request.theme));
    text.append(run.shown ? "+" : "-").append(run.idle ? "!" : "");
    // Shown runs of the cycle are scaled and take the cycle's budget.
    EXPECT_TRUE(!run.shown ||
                (run.request.scale && run.request.perfMult == 1.5f && run.framesPerEffect == 100));
  }
  return text;
}

std::string Themes(int effect, int count, const char* mark) {
  std::string text;
  for (int t = 1; t <= count; ++t) {
    text.append(t > 1 ? " " : "").append(std::to_string(effect)).append(".");
    text.append(std::to_string(t)).append(mark);
  }
  return text;
}

// Bit n picks effect n; bits 64 and 128 run the Fireworks and Galaxies themes in place of the
// stored settings. Unpicked effects pass without drawing; a round with nothing picked rests.
TEST(Driver, TheSelectionPicksEffectsAndThemeRoundsAndRestsWhenNothingIsPicked) {
  const std::string fireworks = Themes(0, 13, "+"), hidden = Themes(0, 13, "-");
  const std::pair<Long, std::string> cases[] = {
      {1 + 64, fireworks + " 1- 2- 3- 4- 5-"},
      {249, fireworks + " 1- 2- 3+ 4+ " + Themes(5, 16, "+")},
      {64 + 2, hidden + " 1+ 2- 3- 4- 5-"},
      {0, "0- 1- 2- 3- 4- 5-!"},
      {256, "0- 1- 2- 3- 4- 5-!"},
      {64, hidden + " 1- 2- 3- 4- 5-!"},
      {128 + 64, hidden + " 1- 2- 3- 4- " + Themes(5, 16, "-") + "!"}};
  for (const auto& [pick, round] : cases) {
    Driver driver;
    driver.RunEffects(Cycling(pick), false);
    ASSERT_TRUE(driver.cycling());
    const auto count = static_cast<int>(std::count(round.begin(), round.end(), ' ') + 1);
    for (int n = 0; n < 2; ++n) EXPECT_EQ(Round(driver, count), round) << pick;
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
      EXPECT_TRUE(run.request.theme == 0 && !run.request.scale && run.shown);
      EXPECT_LT(run.framesPerEffect, 1);
    }
  }
}

class DriverStore : public testing::SettingsTest {};

TEST_F(DriverStore, CycleBudgetsComeFromTheStoreRaisedTo100AndCappedAt9999) {
  const std::tuple<const char*, bool, Long> cases[] = {
      {"0", false, 0},    {"-5", false, -5},     {"1", true, 100},  {"99", true, 100},
      {"250", true, 250}, {"30000", true, 9999}, {"junk", false, 0}};
  for (const auto& [stored, cycling, budget] : cases) {
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
  // Galaxies themes 1-16 for 200 frames, Fireworks themes 1-13 for 400, then Sparklers for
  // 600 and Gravity Wells for 1000, all shown and scaled, round after round.
  const std::string once = Themes(5, 16, "/200") + " " + Themes(0, 13, "/400") + " 3/600 4/1000";
  std::string tour;
  for (int i = 0; i < 2 * 31; ++i) {
    if (i == 10) driver.RunEffects(r, true);  // a restart (F5, or back from Properties) goes on
    const EffectRun run = driver.NextRun();
    tour.append(i ? " " : "").append(std::to_string(static_cast<int>(run.request.id)));
    if (run.request.theme) tour.append(".").append(std::to_string(run.request.theme));
    tour.append("/").append(std::to_string(run.framesPerEffect));
    EXPECT_TRUE(run.request.scale && run.shown) << i;
  }
  EXPECT_EQ(tour, once + " " + once);
  // Once the first run is over, the restarted driver shows the chosen effect.
  driver.RunEffects(Cycling(2, 300), false);
  EXPECT_EQ(driver.NextRun().request.id, EffectId::Fireworks);
  EXPECT_EQ(driver.NextRun().request.id, EffectId::Starfield);
}

TEST(FrameBudget, DueOnTheLastFrameOfEachRunOnlyAndNeverOverflows) {
  for (const Long frames : {100, 0, -5}) {  // below 1: no budget, the effect runs on
    FrameBudget budget(frames);
    for (int run = 0; run < 2; ++run) {
      budget.Reset();
      for (int frame = 1; frame <= 250; ++frame) {
        ASSERT_EQ(budget.CycleFrameDue(), frame == frames) << frames << ": " << frame;
      }
    }
  }
  FrameBudget missed(1);  // a missed reset never fires again
  missed.CycleFrameCount = std::numeric_limits<Long>::max() - 1;
  for (int frame = 0; frame < 10; ++frame) EXPECT_FALSE(missed.CycleFrameDue());
  EXPECT_EQ(missed.CycleFrameCount, std::numeric_limits<Long>::max());
}

TEST(EffectSequence, RunsClearAndCountAndEveryOutputShowsThemWithAnEffectOfItsOwn) {
  Surface big(320, 200), small(160, 120);
  const SurfaceState bigView = MakeSurfaceState(320, 200, 1.0f, 1);
  const SurfaceState smallView = MakeSurfaceState(160, 120, 1.0f, 1);
  const Palette palette;
  SilentCueSink cues;
  const SettingOverrides overrides;
  EffectSequence sequence(overrides);
  sequence.AddOutput({big, bigView, palette, cues});
  ProgramRandom().Seed(5);
  sequence.Restart(Cycling(2 + 4, 100), false);  // Starfield, then Warp
  const EffectRun& passed = sequence.BeginRun();
  EXPECT_TRUE(passed.request.id == EffectId::Fireworks && !passed.shown);  // not picked
  EXPECT_FALSE(sequence.built());
  big.SetPixelV(3, 3, RGB(255, 0, 0));
  EXPECT_EQ(sequence.BeginRun().request.id, EffectId::Starfield);
  EXPECT_TRUE(sequence.built());
  EXPECT_EQ(big.GetPixel(3, 3), 0);  // cleared when the run began
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

// The preview miniature: ten coloured bursts and thirty white stars, different for each seed,
// on a surface of any size.
TEST(Preview, BurstsAndStars) {
  const Palette palette;
  Surface a(400, 300), b(400, 300);
  ProgramRandom().Seed(11);
  DrawPreview(a, palette);
  ProgramRandom().Seed(12);
  DrawPreview(b, palette);
  std::set<Colour> colours;
  long white = 0, differ = 0;
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x) {
      const Colour c = a.GetPixel(x, y);
      if (c != 0) colours.insert(c);
      if (c == 0xFFFFFF) ++white;
      if (c != b.GetPixel(x, y)) ++differ;
    }
  }
  EXPECT_TRUE(colours.size() >= 2 && colours.size() <= 11);  // ten burst colours and white
  EXPECT_GE(white, 30);
  EXPECT_GT(differ, 0);
  Surface wide(5000, 3), none(1, 1);
  DrawPreview(wide, palette);
  EXPECT_GT(wide.CountLitPixels(), 0u);
  DrawPreview(none, palette, 0, 0);  // a window of no size: everything sits at the origin
  EXPECT_NE(none.GetPixel(0, 0), 0);
}

}  // namespace
}  // namespace lmvn
