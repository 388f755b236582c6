#include "effects/warp.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "effect_harness.h"
#include "effects/sparklers.h"

namespace lmvn {
namespace {

class WarpTest : public testing::EffectHarness {
 protected:
  WarpTest() { section_ = "B-SplineWarp"; }

  Warp& Start() { return Make<Warp>(EffectId::Warp); }

  // Every lit pixel lies on the part of a streak that is still shown: the points the tail has
  // not yet passed, up to the head (or to the point before the one where the head died).
  // Replayed from each tail with the effect's own arithmetic, so the positions match exactly.
  long LitOffTheStreaks(const Warp& warp) {
    Surface allowed(surface_->width(), surface_->height());
    const Single damping = warp.params().DampingFactor;
    for (const Warp::Slot& slot : warp.slots()) {
      if (!slot.InUse) continue;
      Single x = slot.TailX, y = slot.TailY, z = slot.TailZ;
      Single vx = slot.TailVX, vy = slot.TailVY, vz = slot.TailVZ;
      const Long last = slot.HeadActive ? slot.Age : slot.Age - 1;
      for (Long m = slot.TailSteps; m <= last; ++m) {
        Long sx = 0, sy = 0;
        if (m > 0 && z > 0.0001f && ProjectThroughEye(view_, x, y, z, sx, sy)) {
          PlotDot(allowed, view_.PixelSize, sx, sy, 0xFFFFFF);
        }
        x += vx;
        y += vy;
        z += vz;
        vx *= damping;
        vy *= damping;
        vz *= damping;
      }
    }
    return LitOutside(allowed);
  }
};

TEST_F(WarpTest, SlotCountsAreKeptWithinSixteenBits) {
  struct Case {
    const char *works, *sparks, *type;
    bool scale;
    Single perfMult;
    Integer guides, sparksPerGuide;
  };
  const Case cases[] = {
      {"100", "30", "4", false, 1.0f, 100, 30},   // the defaults stay as they are
      {"999", "999", "4", false, 1.0f, 970, 33},  // symmetric: 970 guides
      {"999", "999", "0", false, 1.0f, 999, 32},  // independent guides
      {"100", "300", "0", true, 9.9f, 100, 327},  // the multiplier, then the clamp
  };
  for (const Case& c : cases) {
    Set("Warp_Works", c.works);
    Set("Warp_Sparks", c.sparks);
    Set("Warp_Type", c.type);
    Warp& warp = Make<Warp>(EffectId::Warp, false, c.scale, c.perfMult);
    EXPECT_EQ(warp.params().Works, c.guides) << c.works << " x " << c.sparks;
    EXPECT_EQ(warp.params().Sparks, c.sparksPerGuide) << c.works << " x " << c.sparks;
    EXPECT_EQ(warp.guides().size(), static_cast<std::size_t>(c.guides));
    EXPECT_LE(warp.slots().size(), static_cast<std::size_t>(kWarpMaxSlots));
  }
  // Parameters built by hand are held to the same limit.
  WarpParams p;
  p.Type = WarpType::CentralRandom;
  p.Works = 32767;
  p.Sparks = 32767;
  const Warp& warp = MakeFrom<Warp>(p);
  EXPECT_LE(warp.slots().size(), static_cast<std::size_t>(kWarpMaxSlots));
  Run(3);
}

TEST_F(WarpTest, AStoredTypeOutsideTheListRunsAsTheDefaultType) {
  for (const char* type : {"5", "-1", "32767", "-32768", "abc"}) {
    Set("Warp_Type", type);
    Set("Warp_Works", "1");
    Warp& warp = Start();
    EXPECT_EQ(warp.params().Type, WarpType::ExtendedSymmetric) << type;
    EXPECT_EQ(warp.guides().size(), 2u) << type;  // symmetric: one guide becomes a pair
    Run(40);
    EXPECT_EQ(LitOffTheStreaks(warp), 0);
  }
  WarpParams p;
  p.Type = static_cast<WarpType>(9);
  EXPECT_EQ(MakeFrom<Warp>(p).params().Type, WarpType::ExtendedSymmetric);
}

TEST_F(WarpTest, SymmetricTypesWithOneSplineUseTwoMirroredGuides) {
  Set("Warp_Works=1 Warp_SplineIncs=9");
  for (const char* type : {"2", "3", "4"}) {
    Set("Warp_Type", type);
    Warp& warp = Start();
    ASSERT_EQ(warp.guides().size(), 2u);
    for (int frame = 0; frame < 30; ++frame) {
      Run(1);
      const auto& a = warp.guides()[0];
      const auto& b = warp.guides()[1];
      EXPECT_TRUE(b.X == -a.X && b.Y == -a.Y && b.Z == 2 * view_.FocalLength - a.Z) << frame;
    }
  }
  for (const char* type : {"0", "1"}) {
    Set("Warp_Type", type);
    EXPECT_EQ(Start().guides().size(), 1u);
  }
}

TEST_F(WarpTest, TrailLengthOneGivesSingleMovingPixels) {
  Set("Warp_Length=1 Warp_Works=20");
  Warp& warp = Start();
  for (int frame = 0; frame < 300; ++frame) {
    Run(1);
    long heads = 0;
    for (const auto& slot : warp.slots()) heads += slot.HeadActive;
    ASSERT_LE(surface_->CountLitPixels(), static_cast<std::size_t>(heads));
    ASSERT_EQ(LitOffTheStreaks(warp), 0) << "frame " << frame + 1;
  }
  EXPECT_GT(surface_->CountLitPixels(), 0u);
}

TEST_F(WarpTest, EverythingDrawnIsErasedWhenItsStreakEnds) {
  struct Case {
    const char *type, *length, *persist, *damping, *speed;
    Integer pixelSize;
    Single focal;
  };
  const Case cases[] = {
      {"4", "99", "0.99", "0.02", "8", 1, 1.0f},  // long tails, long lives
      {"0", "12", "0.25", "0", "999", 1, 1.0f},   // short lives, screen exits at once
      {"1", "40", "0.9", "1", "50", 4, 1.0f},     // velocity halving every frame
      {"2", "7", "0.99", "0.5", "3", 9, 0.01f},   // streaks behind the eye
      {"3", "99", "0.99", "0", "1", 1, 9999.0f},  // all but still at the centre
  };
  for (const Case& c : cases) {
    Set("Warp_Type", c.type);
    Set("Warp_Length", c.length);
    Set("Warp_Persist", c.persist);
    Set("Warp_Damping", c.damping);
    Set("Warp_Speed", c.speed);
    Set("Warp_Works=40 Warp_SplineIncs=30");
    Screen(240, 160, c.focal, c.pixelSize);
    Warp& warp = Start();
    for (int round = 0; round < 6; ++round) {
      Run(100);
      ASSERT_EQ(LitOffTheStreaks(warp), 0) << "type " << c.type << " round " << round;
    }
  }
}

TEST_F(WarpTest, LockedHuesTurnOnceRoundTheWheelEvery360Frames) {
  Set("Warp_CyclePct=100 Warp_HueLock=1");
  Warp& warp = Start();
  for (int frame = 1; frame <= 400; ++frame) {
    Run(1);
    EXPECT_EQ(warp.SharedHue(), frame % 360);
    const Colour now = palette_.HueWheel[static_cast<std::size_t>(warp.SharedHue())];
    for (const auto& slot : warp.slots()) {
      if (slot.InUse && slot.Age <= 1 && slot.TailSteps == 0 && slot.HeadActive) {
        EXPECT_EQ(slot.Colour, now);  // launched in this frame
      }
    }
  }
  Set("Warp_HueLock", "0");
  Warp& own = Start();
  Run(50);
  for (const auto& guide : own.guides()) EXPECT_GT(guide.HueIndex, 0);
  EXPECT_EQ(own.SharedHue(), 0);
}

TEST_F(WarpTest, TheDemonstrationFlagStillRunsTheStoredWarp) {
  Set("Warp_Works=7 Warp_Type=0");
  EXPECT_EQ(Make<Warp>(EffectId::Warp, true).params().Works, 7);
}

TEST_F(WarpTest, OddStoredSettingsRunWithoutFault) {
  RunOddSettings<Warp>(
      EffectId::Warp, "B-SplineWarp", 20, 25, [](const Warp& e) { return e.params().Works; },
      [&](Warp& e) {
        EXPECT_LE(e.slots().size(), static_cast<std::size_t>(kWarpMaxSlots));
        EXPECT_EQ(LitOffTheStreaks(e), 0);
      });
}

}  // namespace
}  // namespace lmvn
