#include "effects/starfield.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effect_harness.h"
#include "render/geometry.h"

namespace lmvn {
namespace {

// Runs the starfield with settings read from an empty store plus overrides.
class StarfieldTest : public testing::EffectHarness {
 protected:
  StarfieldTest() { section_ = "Starfield"; }
  Starfield& Start(int width = 320, int height = 200, Single focalLength = 1.0f) {
    Screen(width, height, focalLength);
    return *(field_ = &Make<Starfield>(EffectId::Starfield));
  }

  // Every lit pixel must belong to the dot of a living star: nothing drawn is left behind.
  void ExpectNoStrayPixels() {
    Surface expected(surface_->width(), surface_->height());
    for (const auto& star : field_->stars()) {
      Long sx = 0, sy = 0;
      if (!star.Active || !ProjectPoint(view_, star.X, star.Y, star.Z, sx, sy)) continue;
      expected.FillDot(sx, sy, Starfield::DotWidth(view_.FocalLength, star.Z), 0xFFFFFF);
    }
    EXPECT_EQ(LitOutside(expected), 0);
  }
  long ActiveStars() const {
    long n = 0;
    for (const auto& star : field_->stars()) n += star.Active;
    return n;
  }

  Starfield* field_ = nullptr;
};

TEST_F(StarfieldTest, EverythingDrawnIsErasedWhileSpheresComeAndGo) {
  Set("Star_Stars=400 Star_Dyson_Percent=40 Star_Speed=0.02");
  Starfield& field = Start();
  for (int round = 0; round < 6; ++round) {
    Run(50);
    ExpectNoStrayPixels();
  }
  EXPECT_TRUE(field.SpheresBuilt() > 0 && ActiveStars() > 0 && surface_->CountLitPixels() > 0);
}

TEST_F(StarfieldTest, NoSphereFormsWithoutReservations) {
  Set("Star_Dyson_Percent", "0");
  Starfield& field = Start();
  Run(600);
  EXPECT_EQ(field.ReserveCount(), 0);
  EXPECT_EQ(field.SpheresBuilt(), 0);
  for (const auto& star : field.stars()) {
    EXPECT_TRUE(star.Active && !star.DysonMember);
  }
}

TEST_F(StarfieldTest, OversizedSphereNeverFormsAndTheFieldEmpties) {
  Set("Star_Stars=10 Star_Dyson_Laterals=20 Star_Dyson_LatPixels=50 Star_Dyson_Percent=50 "
      "Star_Speed=0.05");
  Starfield& field = Start();
  EXPECT_GT(field.SphereSize(), 10);
  Run(2000);
  EXPECT_EQ(field.SpheresBuilt(), 0);
  EXPECT_EQ(ActiveStars(), 0);
  EXPECT_EQ(field.ReserveCount(), 10);
  EXPECT_EQ(surface_->CountLitPixels(), 0u);
}

TEST_F(StarfieldTest, AllCometsAreBornAtTheHead) {
  Set("Star_Comet_Percent=100 Star_Dyson_Percent=0");
  for (const char* nonBallistic : {"0", "1"}) {
    Set("Star_Comet_NonBallistic", nonBallistic);
    Starfield& field = Start();
    const auto head = field.head();
    for (const auto& star : field.stars()) {
      EXPECT_TRUE(star.X == head.x && star.Y == head.y && star.Z == head.z);
    }
    Run(300);  // reborn stars too come from the head, wherever it has moved
    ExpectNoStrayPixels();
  }
}

TEST(StarfieldGeometry, EdgesCountAsInsideAndDotsGrowAsStarsApproach) {
  const SurfaceState view = MakeSurfaceState(640, 480, 1.0f, 1);
  const std::tuple<Single, Long, Long, bool> cases[] = {
      {1.0f, 640, 480, false}, {1.0f, 0, 0, false},    {1.0f, 641, 10, true},
      {1.0f, 10, 481, true},   {1.0f, -1, 10, true},   {1.0f, 10, -1, true},
      {0.0019f, 10, 10, true}, {0.002f, 10, 10, false}};
  for (const auto& [z, x, y, leaves] : cases) {
    EXPECT_EQ(Starfield::Leaves(view, z, x, y), leaves) << z << " " << x << "," << y;
  }
  for (const Single f : {0.01f, 0.75f, 1.0f, 50.0f, 9999.0f}) {
    EXPECT_EQ(Starfield::DotWidth(f, f + 0.9999f), 1) << f;  // one pixel at the far plane
  }
  EXPECT_EQ(Starfield::DotWidth(1.0f, 0.5f), 4);
  EXPECT_EQ(Starfield::DotWidth(1.0f, 0.25f), 8);
}

TEST(StarfieldColours, BlendRunsFromTheFirstColourTowardsTheSecond) {
  for (const Colour c : {RGB(255, 55, 55), RGB(55, 255, 200), RGB(0, 0, 0), 0xFFFFFF}) {
    for (Integer k = 0; k <= 11; ++k) EXPECT_EQ(Starfield::BlendColor(c, c, k, 10), c);
  }
  const Colour a = RGB(255, 55, 55), b = RGB(55, 255, 155);
  EXPECT_EQ(Starfield::BlendColor(a, b, 0, 10), a);
  EXPECT_EQ(Starfield::BlendColor(a, b, 11, 10), b);
  const Colour mid = Starfield::BlendColor(a, b, 5, 10);
  EXPECT_TRUE(RedOf(mid) < 255 && RedOf(mid) > 55 && GreenOf(mid) > 55 && GreenOf(mid) < 255 &&
              BlueOf(mid) > 55 && BlueOf(mid) < 155);
}

TEST_F(StarfieldTest, OddStoredSettingsRunWithoutFault) {
  RunOddSettings<Starfield>(
      EffectId::Starfield, "Starfield", 20, 120,
      [](const Starfield& e) { return e.stars().size(); },
      [&](Starfield& e) {
        field_ = &e;
        ExpectNoStrayPixels();
      });
}

}  // namespace
}  // namespace lmvn
