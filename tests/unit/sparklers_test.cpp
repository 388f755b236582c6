#include "effects/sparklers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "effect_harness.h"
#include "render/geometry.h"

namespace lmvn {
namespace {

class SparklersTest : public testing::EffectHarness {
 protected:
  SparklersTest() { section_ = "B-SplineSpark"; }

  Sparklers& Start() { return Make<Sparklers>(EffectId::Sparklers); }

  // Every lit pixel belongs to the dot of a spark drawn in the last frame, and every spark
  // drawn was in front of the eye.
  void ExpectOnlyLivingDots(const Sparklers& effect) {
    Surface allowed(surface_->width(), surface_->height());
    for (const auto& spark : effect.sparks()) {
      if (!spark.Drawn) continue;
      EXPECT_GT(spark.Z, 0.0001f);
      PlotDot(allowed, view_.PixelSize, spark.DotX, spark.DotY, 0xFFFFFF);
    }
    EXPECT_EQ(LitOutside(allowed), 0);
  }
};

TEST(SparklerCounts, SymmetricGroupsFillTheirShapeExactly) {
  const std::pair<Integer, Integer> cases[] = {
      {-5, 2},  {1, 2},   {3, 2},   {4, 4},   {5, 4},   {6, 6},     {9, 6},
      {10, 10}, {19, 10}, {20, 20}, {33, 20}, {34, 34}, {999, 970}, {32767, 32260}};
  for (const auto& [requested, count] : cases) {
    EXPECT_EQ(SymmetricSplineCount(requested), count) << requested;
  }
}

// Under symmetry one spline gives two mirrored emitters and more stay on one sphere round
// the centre; without it every spline is its own.
TEST_F(SparklersTest, SymmetricEmittersMirrorAndShareASphere) {
  Set("B_Spline_Splines", "1");
  Set("B_Spline_SSpeed", "7");  // several segments pass
  Sparklers& one = Start();
  ASSERT_EQ(one.EmitterCount(), 2);
  for (int frame = 0; frame < 30; ++frame) {
    Run(1);
    const auto a = one.Emitter(0), b = one.Emitter(1);
    EXPECT_TRUE(b.x == -a.x && b.y == -a.y && b.z == 2 * view_.FocalLength - a.z) << frame;
  }
  Set("B_Spline_Splines", "33");  // 20 under symmetry
  Sparklers& effect = Start();
  ASSERT_EQ(effect.EmitterCount(), 20);
  Run(50);
  const auto radius = [&](Integer i) {
    const auto e = effect.Emitter(i);
    return std::hypot(e.x, e.y, e.z - view_.FocalLength);
  };
  for (Integer i = 1; i < 20; ++i) EXPECT_NEAR(radius(i), radius(0), 1e-4) << i;
  Set("B_Spline_Symmetry", "0");
  EXPECT_EQ(Start().EmitterCount(), 33);
}

TEST_F(SparklersTest, SparksAtOrBehindTheNearPlaneMoveButAreNotDrawn) {
  // A huge extent round a near centre puts about half the control points behind the eye.
  Set("B_Spline_MaxExtent=99 B_Spline_Persist=0.99 B_Spline_AntiGrav=0 B_Spline_Symmetry=0");
  Screen(320, 200, 0.01f);
  Sparklers& effect = Start();
  long movedBehind = 0;
  for (int frame = 0; frame < 40; ++frame) {
    const std::vector<Sparklers::Spark> before(effect.sparks().begin(), effect.sparks().end());
    Run(1);
    for (std::size_t i = 0; i < before.size(); ++i) {
      const auto& now = effect.sparks()[i];
      if (!(now.Z <= 0.0001f)) continue;
      EXPECT_FALSE(now.Drawn);
      if (now.Z == before[i].Z + before[i].VZ && now.X == before[i].X + before[i].VX) ++movedBehind;
    }
    ExpectOnlyLivingDots(effect);
  }
  EXPECT_GT(movedBehind, 100);
}

TEST_F(SparklersTest, LongRunsLeaveOnlyTheLivingSparksLit) {
  struct Case {
    const char *splines, *sparks, *persist, *gravity, *damping, *wind, *symmetric;
    Integer pixelSize;
  };
  const Case cases[] = {{"20", "2400", "0.95", "0", "0", "4", "1", 1},
                        {"7", "3000", "0.99", "9.99", "0", "0", "0", 1},
                        {"999", "500", "0.25", "0", "1", "999", "1", 4},
                        {"3", "800", "0.99", "0.5", "0.3", "20", "0", 9}};
  for (const Case& c : cases) {
    Set("B_Spline_Splines", c.splines);
    Set("B_Spline_Pixels", c.sparks);
    Set("B_Spline_Persist", c.persist);
    Set("B_Spline_Gravity", c.gravity);
    Set("B_Spline_Damping", c.damping);
    Set("B_Spline_AntiGrav", c.wind);
    Set("B_Spline_Symmetry", c.symmetric);
    Set("B_Spline_SSpeed", "40");
    Screen(240, 160, 1.0f, c.pixelSize);
    Sparklers& effect = Start();
    for (int round = 0; round < 4; ++round) {
      Run(150);
      ExpectOnlyLivingDots(effect);
      EXPECT_LE(surface_->CountLitPixels(),
                static_cast<std::size_t>(effect.params().Sparks) * c.pixelSize);
    }
    EXPECT_GT(surface_->CountLitPixels(), 0u);
  }
}

TEST_F(SparklersTest, WithoutWindGravityOrDampingSparksFlyStraightAtTheLaunchSpeed) {
  Set("B_Spline_AntiGrav=0 B_Spline_ESpeed=5");
  Sparklers& effect = Start();
  const Single speed = 0.005f;
  for (const auto& s : effect.sparks()) {
    const double length =
        std::sqrt(std::pow(s.VX / view_.AspectRatio, 2) + s.VY * s.VY + s.VZ * s.VZ);
    EXPECT_NEAR(length, speed, 1e-6);
  }
  long straight = 0;
  for (int frame = 0; frame < 20; ++frame) {
    const std::vector<Sparklers::Spark> before(effect.sparks().begin(), effect.sparks().end());
    const long births = effect.Births();
    Run(1);
    if (effect.Births() != births) {
      // Only reborn sparks change their velocity.
      for (std::size_t i = 0; i < before.size(); ++i) {
        const auto& now = effect.sparks()[i];
        if (now.X == before[i].X + before[i].VX) {
          EXPECT_TRUE(now.VX == before[i].VX && now.VY == before[i].VY && now.VZ == before[i].VZ);
          ++straight;
        }
      }
    }
  }
  EXPECT_GT(straight, 1000);
}

TEST_F(SparklersTest, TheDemonstrationIgnoresTheStoreAndDrawsItsOwnShape) {
  Set("B_Spline_Pixels=50 B_Spline_Symmetry=0");
  int symmetric = 0;
  for (int run = 0; run < 40; ++run) {
    ProgramRandom().Seed(static_cast<std::uint64_t>(run));
    Sparklers& demo = Make<Sparklers>(EffectId::Sparklers, true);
    const SparklerParams& p = demo.params();
    EXPECT_EQ(p.Sparks, 1200);  // not the stored 50
    EXPECT_TRUE(p.SolarWind == 1 || p.SolarWind == 4 || p.SolarWind == 9 || p.SolarWind == 16);
    if (p.Symmetric) {
      ++symmetric;
      EXPECT_TRUE(p.Splines == 6 || p.Splines == 10 || p.Splines == 20) << p.Splines;
    } else {
      EXPECT_TRUE(p.Splines >= 6 && p.Splines <= 10) << p.Splines;
    }
    EXPECT_EQ(demo.EmitterCount(), p.Splines);
    Run(20);
  }
  EXPECT_TRUE(symmetric > 20 && symmetric < 40) << symmetric;
}

TEST_F(SparklersTest, OddStoredSettingsRunWithoutFault) {
  RunOddSettings<Sparklers>(
      EffectId::Sparklers, "B-SplineSpark", 24, 30,
      [](const Sparklers& e) { return e.params().Sparks; },
      [&](Sparklers& e) { ExpectOnlyLivingDots(e); });
}

}  // namespace
}  // namespace lmvn
