#include "effects/galaxies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "effect_harness.h"
#include "effects/galaxies_internal.h"
#include "settings/value_text.h"

namespace lmvn {
namespace {

// Runs a galaxy with settings read from an empty store plus overrides, the way the saver
// loads them.
class GalaxiesTest : public testing::EffectHarness {
 protected:
  GalaxiesTest() { section_ = "Galaxy"; }
  // Every event at its most frequent.
  void SetBusy() {
    Set("Galaxy_NewFreq=9999 Galaxy_BurstFreq=9999 Galaxy_CometFreq=9999 Galaxy_NovaFreq=5000");
  }
  Galaxies& Start(Integer theme = 0) {
    return StartWith(LoadGalaxySettings(theme, false, 1.0f, overrides_));
  }
  Galaxies& StartWith(const GalaxySettings& settings) {
    galaxy_ = &MakeFrom<Galaxies>(settings);
    return *galaxy_;
  }
  // Whatever the galaxy shows, drawn again in black, must leave a black surface: every pixel
  // it ever drew is either erased already or still known to it.
  void ExpectEverythingErasable() {
    galaxy_->EraseAll();
    EXPECT_EQ(surface_->CountLitPixels(), 0u);
  }

  Galaxies* galaxy_ = nullptr;
};

// Odd stored values run without fault, inside the ranges, and leave nothing behind.
TEST_F(GalaxiesTest, OddStoredSettingsRunWithoutFault) {
  RunOddSettings<Galaxies>(
      EffectId::Galaxies, "Galaxy", 16, 60, [](const Galaxies& e) { return e.params().Stars; },
      [&](Galaxies& e) {
        const GalaxyParams& p = e.params();
        EXPECT_TRUE(p.Stars >= 10 && p.Stars <= 9999 && p.Radius >= 0.01f && p.Radius <= 99.99f);
        EXPECT_LE(static_cast<long>(p.Stars) * p.Trail, 32000);
        galaxy_ = &e;
        ExpectEverythingErasable();
      });
}

TEST_F(GalaxiesTest, AStarBehindTheEyeLeavesNothingToErase) {
  Set("Galaxy_Distance", "0");  // the centre starts at the eye: half the galaxy is behind it
  Set("Galaxy_Velocity", "0");
  SetBusy();
  Galaxies& galaxy = Start();
  bool sawHidden = false;
  for (int frame = 0; frame < 120; ++frame) {
    galaxy.Frame();
    for (const auto& star : galaxy.stars()) {
      if (star.newCount > 0 || star.novaCount > 0) {
        // A sprite is either shown in front of the eye or not shown at all.
        EXPECT_TRUE(star.depth == 0.0f || star.depth > galaxy::kNearest);
        sawHidden = sawHidden || star.depth == 0.0f;
      }
    }
  }
  EXPECT_TRUE(sawHidden);
  ExpectEverythingErasable();
}

TEST_F(GalaxiesTest, NovasOfOneAndTwoFrames) {
  Set("Galaxy_NewFreq", "9999");
  Set("Galaxy_NovaFreq", "9999");  // every rebirth is a nova
  for (const Integer frames : {1, 2}) {
    Set("Galaxy_NovaFrames", std::to_string(frames));
    Galaxies& galaxy = Start();
    bool sawNova = false, sawNewStar = false;
    for (int frame = 0; frame < 40; ++frame) {
      galaxy.Frame();
      for (const auto& star : galaxy.stars()) {
        // One frame: an odd nova ends as a normal star. Two: drawn once with count 2, then
        // the star is re-placed as a new star.
        EXPECT_TRUE(star.novaCount == 0 || star.novaCount == frames);
        EXPECT_TRUE(frames == 2 || star.newCount == 0);
        sawNova = sawNova || star.novaCount == frames;
        sawNewStar = sawNewStar || star.newCount == galaxy.params().NewFrames;
      }
    }
    EXPECT_TRUE(frames == 1 ? sawNova : sawNewStar) << frames;
    ExpectEverythingErasable();
  }
}

TEST(GalaxyNewStar, PictureThresholds) {
  // Exactly 1/10 counts as below 0.1; exactly 0.2 and 0.5 take the picture they start.
  const std::tuple<Integer, Integer, int> cases[] = {{0, 10, 0},  {1, 10, 0}, {2, 10, 2},
                                                     {5, 10, 5},  {7, 10, 7}, {9, 10, 9},
                                                     {10, 10, 9}, {3, 20, 1}};
  for (const auto& [left, frames, picture] : cases) {
    EXPECT_EQ(NewStarPicture(left, frames), picture) << left << "/" << frames;
  }
  // The same call in black erases a picture.
  const NewStarLook look{1.0f, 10, 1.0f};
  Surface surface(100, 100);
  for (const Integer left : {1, 5, 10}) {
    DrawNewStar(surface, 1, look, 50, 50, 1.0f, left, 0xFFFFFF);
    EXPECT_GT(surface.CountLitPixels(), 0u);
    DrawNewStar(surface, 1, look, 50, 50, 1.0f, left, 0);
    EXPECT_EQ(surface.CountLitPixels(), 0u) << left;
  }
}

TEST_F(GalaxiesTest, BurstsAndCometsUseEverySlotSafely) {
  Screen(160, 100);
  const std::tuple<Integer, Integer, std::size_t> cases[] = {
      {1, 2000, 2000}, {3, 667, 2001}, {7, 286, 2002}, {11, 182, 2002}, {999, 2, 1998}};
  for (const auto& [perSlot, slots, pool] : cases) {
    SCOPED_TRACE(perSlot);
    EXPECT_EQ(EventSlotCount(perSlot), slots);
    EXPECT_EQ(EventPoolSize(perSlot), pool);
    Set("Galaxy_BurstStars", std::to_string(perSlot));
    Set("Galaxy_CometStars", std::to_string(perSlot));
    Set("Galaxy_BurstFreq=9999 Galaxy_CometFreq=9999 Galaxy_Stars=100");
    Galaxies& galaxy = Start();
    ASSERT_EQ(galaxy.burstParticles().size(), pool);
    ASSERT_EQ(galaxy.cometParticles().size(), pool);
    Run(150);
    // A slot's count of live particles matches its particles.
    const auto n = static_cast<std::size_t>(perSlot);
    for (std::size_t b = 0; b < galaxy.burstSlots().size(); ++b) {
      long live = 0;
      for (std::size_t k = b * n; k < (b + 1) * n; ++k) live += galaxy.burstParticles()[k].live;
      EXPECT_EQ(galaxy.burstSlots()[b].alive, live);
    }
    ExpectEverythingErasable();
  }
}

TEST(GalaxyBall, PointsStayInTheBallOrOnItsSphere) {
  Single x = 5, y = 5, z = 5;
  RandomPointInBall(x, y, z, 0.0f);
  EXPECT_TRUE(x == 0.0f && y == 0.0f && z == 0.0f);
  for (int i = 0; i < 1000; ++i) {
    RandomPointInBall(x, y, z, 2.0f);
    EXPECT_LE(std::sqrt(x * x + y * y + z * z), 2.0f);
    ScatterAmbientStar(x, y, z, 3.0f, 1.0f, 1.0f);  // symmetry 1: on the sphere
    EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 3.0f, 1e-4f);
  }
}

// After a rebuild the surface holds only the new galaxy, and however long the galaxies run,
// everything they draw is erased again.
TEST_F(GalaxiesTest, RebuildsClearTheSurfaceAndNothingAccumulates) {
  Set("Galaxy_Velocity", "3000");  // a galaxy lasts about 150 frames
  Set("Galaxy_Stars=1500 Galaxy_AmbStars=300 Galaxy_Trail=6");
  SetBusy();
  Galaxies& galaxy = Start();
  long rebuilds = 0;
  for (int frame = 0; frame < 800; ++frame) {
    const long built = galaxy.galaxiesBuilt();
    galaxy.Frame();
    if (galaxy.galaxiesBuilt() != built) {
      ++rebuilds;
      EXPECT_EQ(surface_->CountLitPixels(), 0u);  // cleared; the new galaxy draws next frame
    }
  }
  EXPECT_GE(rebuilds, 3);
  ExpectEverythingErasable();

  Screen(320, 200, 1.0f, 4);  // dots of several pixels, too
  Start();
  Run(300);
  ExpectEverythingErasable();
}

// Every theme and the demonstration run and erase; theme 16 shows no bursts or comets and its
// trails are invisible, but new stars, novas and ambient stars show.
TEST_F(GalaxiesTest, EveryThemeAndTheDemonstrationRunAndErase) {
  Screen(200, 120);
  for (Integer theme = 0; theme <= 16; ++theme) {
    SCOPED_TRACE(theme);
    Galaxies& galaxy = theme == 0 ? StartWith(GalaxyDemoSettings()) : Start(theme);
    Run(theme == 16 ? 200 : 120);
    if (theme == 16) {
      EXPECT_EQ(galaxy.params().BurstFreq + galaxy.params().CometFreq, 0);
      for (const auto& slot : galaxy.burstSlots()) EXPECT_EQ(slot.alive, 0);
      for (const auto& slot : galaxy.cometSlots()) EXPECT_EQ(slot.alive, 0);
      for (const auto& star : galaxy.stars()) EXPECT_EQ(star.colour, 0);
      EXPECT_GT(surface_->CountLitPixels(), 0u);
    }
    ExpectEverythingErasable();
  }
}

// Themes 7 and 14 tilt by 359 and 359.85 degrees a frame: a slow backward tumble of 1 and
// 0.15 degrees, as steady after thousands of frames as at the start.
TEST_F(GalaxiesTest, Themes7And14TumbleSlowlyBackwards) {
  constexpr double kDegree = 6.283185307179586 / 360.0;
  Screen(64, 64);
  for (auto [theme, step] : {std::pair<Integer, double>{7, -1.0}, {14, -0.15}}) {
    SCOPED_TRACE(theme);
    GalaxySettings settings = LoadGalaxySettings(theme, false, 1.0f);
    settings.Galaxy_Velocity = 0;  // one galaxy for the whole run
    settings.Galaxy_Stars = 10;
    Galaxies& galaxy = StartWith(settings);
    auto turn = [&] {
      const double before = galaxy.tilt();
      galaxy.Frame();
      return std::remainder(galaxy.tilt() - before, 6.283185307179586) / kDegree;
    };
    EXPECT_NEAR(turn(), step, 0.001);
    Run(20000);
    EXPECT_NEAR(turn(), step, 0.001);
    EXPECT_LT(std::fabs(galaxy.tilt()), 6.3f);
  }
}

// "Distance from Core" with stars far above the disk gives negative hues; they wrap round the
// wheel and every star keeps a wheel colour.
TEST_F(GalaxiesTest, NegativeHuesStayOnTheWheel) {
  Set("Galaxy_ColorComp=2 Galaxy_HWheelIdx=0 Galaxy_GHW_Ratio=99.9 Galaxy_HeightExp=0 "
      "Galaxy_ColorMult=9999");
  Galaxies& galaxy = Start();
  const std::set<Colour> wheel(palette_.HueWheel.begin(), palette_.HueWheel.end());
  for (const auto& star : galaxy.stars()) EXPECT_EQ(wheel.count(star.colour), 1u);
}

// Long novas reach colour index 100 on their last counts, and ambient stars whose colour age
// passes 99.5; both take the ramp's last entry without reading past it.
TEST_F(GalaxiesTest, LongNovasAndOldAmbientStars) {
  const Palette palette;
  for (const auto& [age, entry] :
       {std::pair{99.4f, 99}, {99.5f, 99}, {99.9f, 99}, {1e30f, 99}, {0.5f, 0}, {-3.0f, 0}}) {
    EXPECT_EQ(galaxy::RampColour(palette, age), palette.ColorAgeRamp[entry]) << age;
  }
  Set("Galaxy_NewFreq=2000 Galaxy_NovaFreq=9999 Galaxy_NovaFrames=999 Galaxy_AmbCAgeInc=10 "
      "Galaxy_AmbPersist=1 Galaxy_Velocity=0");
  Galaxies& galaxy = Start();
  Run(520);
  ExpectEverythingErasable();
  for (const auto& star : galaxy.ambientStars()) EXPECT_GT(star.colourAge, 100.0f);
}

}  // namespace
}  // namespace lmvn
