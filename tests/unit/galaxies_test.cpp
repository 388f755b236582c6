#include "effects/galaxies.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "effects/galaxies_internal.h"
#include "render/random.h"

namespace lmvn {
namespace {

// Runs a galaxy on a small surface with settings read from an empty store plus overrides, the
// way the saver loads them.
class GalaxiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("lmvn-galaxies-" + std::to_string(::getpid()));
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    ProgramRandom().Seed(20261206);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Set(const std::string& key, const std::string& value) {
    overrides_.Set("Galaxy", key, value);
  }
  // Every event at its most frequent.
  void SetBusy() {
    Set("Galaxy_NewFreq", "9999");
    Set("Galaxy_NovaFreq", "5000");
    Set("Galaxy_BurstFreq", "9999");
    Set("Galaxy_CometFreq", "9999");
  }

  Galaxies& Start(Integer theme = 0, int width = 320, int height = 200, Integer pixelSize = 1) {
    return StartWith(LoadGalaxySettings(theme, false, 1.0f, overrides_), width, height, pixelSize);
  }
  Galaxies& StartWith(const GalaxySettings& settings, int width = 320, int height = 200,
                      Integer pixelSize = 1) {
    surface_ = std::make_unique<Surface>(width, height);
    view_ = MakeSurfaceState(width, height, 1.0f, pixelSize);
    context_ = std::make_unique<EffectContext>(EffectContext{*surface_, view_, palette_, cues_});
    effect_ = std::make_unique<Galaxies>(settings, *context_);
    return *effect_;
  }

  void Run(int frames) {
    for (int i = 0; i < frames; ++i) effect_->Frame();
  }

  // Whatever the galaxy shows, drawn again in black, must leave a black surface: every pixel
  // it ever drew is either erased already or still known to it.
  void ExpectEverythingErasable() {
    effect_->EraseAll();
    EXPECT_EQ(surface_->CountLitPixels(), 0u);
  }

  std::filesystem::path dir_;
  SettingOverrides overrides_;
  Palette palette_;
  SilentCueSink cues_;
  SurfaceState view_;
  std::unique_ptr<Surface> surface_;
  std::unique_ptr<EffectContext> context_;
  std::unique_ptr<Galaxies> effect_;
};

TEST_F(GalaxiesTest, TrailIsCappedByTheStarCount) {
  Set("Galaxy_Trail", "999");
  Set("Galaxy_Stars", "9999");
  EXPECT_EQ(Start().params().Trail, 3);
  Set("Galaxy_Stars", "10");
  EXPECT_EQ(Start().params().Trail, 999);
  Set("Galaxy_Stars", "5");  // below the range: 10 stars
  EXPECT_EQ(Start().params().Stars, 10);
}

TEST_F(GalaxiesTest, ClampsAndScalesOnEntry) {
  const GalaxyParams p = Start().params();  // catalogue defaults
  EXPECT_EQ(p.Stars, 2500);
  EXPECT_FLOAT_EQ(p.Radius, 2.25f);
  EXPECT_FLOAT_EQ(p.Rotation, 0.0005f);
  EXPECT_FLOAT_EQ(p.Distance, 2.0f);
  EXPECT_FLOAT_EQ(p.Velocity, 0.001f);
  EXPECT_FLOAT_EQ(p.AngleTilt, 20.0f * 6.2831855f / 360.0f);
  EXPECT_FLOAT_EQ(p.NewExtMult, 0.25f);
  EXPECT_FLOAT_EQ(p.NovaExtMult, 0.06f);
  EXPECT_FLOAT_EQ(p.AmbRadius, 25.0f);

  // Whole-number settings round half to even before the clamp; the comet orbit's 0 becomes 1.
  Set("Galaxy_Radius", "2.5");
  Set("Galaxy_CometOrbit", "0");
  Set("Galaxy_NewExtMult", "0.4");
  const GalaxyParams q = Start().params();
  EXPECT_FLOAT_EQ(q.Radius, 0.02f);
  EXPECT_FLOAT_EQ(q.CometOrbit, 0.00001f);
  EXPECT_FLOAT_EQ(q.NewExtMult, 0.001f);
}

// Values far outside every range, and texts that are not numbers, run without fault and
// land inside the ranges.
TEST_F(GalaxiesTest, ExtremeAndNonNumericValuesRunSafely) {
  const char* keys[] = {
      "Galaxy_Stars",        "Galaxy_Radius",     "Galaxy_Rotation",      "Galaxy_Distance",
      "Galaxy_Velocity",     "Galaxy_Trail",      "Galaxy_ColorMult",     "Galaxy_NewFreq",
      "Galaxy_NewFrames",    "Galaxy_NewExtMult", "Galaxy_NovaFreq",      "Galaxy_NovaFrames",
      "Galaxy_NovaExtMult",  "Galaxy_BurstFreq",  "Galaxy_BurstStars",    "Galaxy_BurstSpeed",
      "Galaxy_BurstPersist", "Galaxy_CometFreq",  "Galaxy_CometStars",    "Galaxy_CometOrbit",
      "Galaxy_CometSpeed",   "Galaxy_CometSWind", "Galaxy_CometSPersist", "Galaxy_CometCPersist",
      "Galaxy_AmbStars",     "Galaxy_AmbRadius",  "Galaxy_AmbSymmetry",   "Galaxy_AmbPersist",
      "Galaxy_AmbCAgeInc",   "Galaxy_RadiusExp",  "Galaxy_HeightExp",     "Galaxy_GHW_Ratio",
      "Galaxy_AngleTilt",    "Galaxy_AngleTInc",  "Galaxy_HWheelIdx",     "Galaxy_ColorComp",
      "Galaxy_Profile"};
  for (const char* value : {"1e30", "-1e30", "99999", "-99999", "0", "abc", "2147483647"}) {
    SCOPED_TRACE(value);
    overrides_ = {};
    for (const char* key : keys) Set(key, value);
    Galaxies& galaxy = Start(0, 96, 64);
    const GalaxyParams& p = galaxy.params();
    EXPECT_GE(p.Stars, 10);
    EXPECT_LE(p.Stars, 9999);
    EXPECT_GE(p.Radius, 0.01f);
    EXPECT_LE(p.Radius, 99.99f);
    EXPECT_LE(p.AmbRadius, 999.99f);
    EXPECT_LE(static_cast<long>(p.Stars) * p.Trail, 32000);
    Run(60);
    ExpectEverythingErasable();
  }
}

TEST_F(GalaxiesTest, WithoutRotationTheStarsKeepTheirAngles) {
  Set("Galaxy_Rotation", "0");
  Set("Galaxy_NewFreq", "0");  // no star dies, so none is re-placed
  Galaxies& galaxy = Start();
  std::vector<Single> before;
  for (const auto& star : galaxy.stars()) before.push_back(star.angle);
  Run(50);
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(galaxy.stars()[i].angle, before[i]);
    EXPECT_EQ(galaxy.stars()[i].respawnCount, 0);
  }
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
  Set("Galaxy_NovaFrames", "1");
  Galaxies& one = Start();
  bool sawNova = false;
  for (int frame = 0; frame < 40; ++frame) {
    one.Frame();
    for (const auto& star : one.stars()) {
      EXPECT_LE(star.novaCount, 1);
      EXPECT_EQ(star.newCount, 0);  // an odd nova ends as a normal star
      sawNova = sawNova || star.novaCount == 1;
    }
  }
  EXPECT_TRUE(sawNova);
  ExpectEverythingErasable();

  Set("Galaxy_NovaFrames", "2");
  Galaxies& two = Start();
  bool sawNewStar = false;
  for (int frame = 0; frame < 40; ++frame) {
    two.Frame();
    for (const auto& star : two.stars()) {
      // Drawn once with count 2; the next frame re-places the star as a new star.
      EXPECT_TRUE(star.novaCount == 0 || star.novaCount == 2);
      sawNewStar = sawNewStar || star.newCount == two.params().NewFrames;
    }
  }
  EXPECT_TRUE(sawNewStar);
  ExpectEverythingErasable();
}

TEST(GalaxyNewStar, PictureThresholds) {
  EXPECT_EQ(NewStarPicture(0, 10), 0);
  EXPECT_EQ(NewStarPicture(1, 10), 0);  // exactly 1/10 counts as below 0.1
  EXPECT_EQ(NewStarPicture(2, 10), 2);  // exactly 0.2: the 0.2-to-0.3 picture
  EXPECT_EQ(NewStarPicture(5, 10), 5);  // exactly 0.5: the 0.5-to-0.6 picture
  EXPECT_EQ(NewStarPicture(7, 10), 7);
  EXPECT_EQ(NewStarPicture(9, 10), 9);
  EXPECT_EQ(NewStarPicture(10, 10), 9);
  EXPECT_EQ(NewStarPicture(3, 20), 1);

  // With E = 1 the pictures have distinct points: the centre, then C(1), C(2), D(4).
  const NewStarLook look{1.0f, 10, 1.0f};
  Surface surface(100, 100);
  DrawNewStar(surface, 1, look, 50, 50, 1.0f, 1, 0xFFFFFF);
  EXPECT_EQ(surface.CountLitPixels(), 1u);
  DrawNewStar(surface, 1, look, 50, 50, 1.0f, 5, 0xFFFFFF);
  EXPECT_EQ(surface.CountLitPixels(), 13u);
  EXPECT_NE(surface.GetPixel(54, 46), 0);
  DrawNewStar(surface, 1, look, 50, 50, 1.0f, 5, 0);  // the same call in black erases it
  EXPECT_EQ(surface.CountLitPixels(), 0u);
  DrawNewStar(surface, 1, look, 50, 50, 1.0f, 10, 0xFFFFFF);  // the full cross
  EXPECT_EQ(surface.CountLitPixels(), 1u + 8 * 4);
  EXPECT_NE(surface.GetPixel(50, 18), 0);  // C(32)
}

TEST(GalaxyPools, EveryBurstAndCometSlotHasItsParticles) {
  struct Case {
    Integer perSlot, slots;
    std::size_t pool;
  };
  for (const Case& c : {Case{1, 2000, 2000}, Case{3, 667, 2001}, Case{7, 286, 2002},
                        Case{11, 182, 2002}, Case{999, 2, 1998}}) {
    EXPECT_EQ(EventSlotCount(c.perSlot), c.slots) << c.perSlot;
    EXPECT_EQ(EventPoolSize(c.perSlot), c.pool) << c.perSlot;
  }
}

TEST_F(GalaxiesTest, BurstsAndCometsUseEverySlotSafely) {
  for (const char* perSlot : {"1", "3", "7", "11", "999"}) {
    SCOPED_TRACE(perSlot);
    Set("Galaxy_BurstStars", perSlot);
    Set("Galaxy_CometStars", perSlot);
    Set("Galaxy_BurstFreq", "9999");
    Set("Galaxy_CometFreq", "9999");
    Set("Galaxy_Stars", "100");
    Galaxies& galaxy = Start(0, 160, 100);
    const auto n = static_cast<Integer>(std::stoi(perSlot));
    ASSERT_EQ(galaxy.burstParticles().size(), EventPoolSize(n));
    ASSERT_EQ(galaxy.cometParticles().size(), EventPoolSize(n));
    Run(150);
    // A slot's count of live particles matches its particles.
    for (std::size_t b = 0; b < galaxy.burstSlots().size(); ++b) {
      long live = 0;
      for (std::size_t k = b * n; k < (b + 1) * n; ++k) live += galaxy.burstParticles()[k].live;
      EXPECT_EQ(galaxy.burstSlots()[b].alive, live);
    }
    ExpectEverythingErasable();
  }
}

TEST(GalaxyBall, RadiusZeroIsTheOriginWithoutADraw) {
  ProgramRandom().Seed(7);
  Single x = 5, y = 5, z = 5;
  RandomPointInBall(x, y, z, 0.0f);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, 0.0f);
  EXPECT_EQ(z, 0.0f);
  const float next = Rnd();
  ProgramRandom().Seed(7);
  EXPECT_EQ(Rnd(), next);  // no draw was used

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
  Set("Galaxy_Stars", "1500");
  Set("Galaxy_AmbStars", "300");
  Set("Galaxy_Trail", "6");
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

  // Dots of several pixels, too.
  Galaxies& blocks = Start(0, 320, 200, 4);
  for (int frame = 0; frame < 300; ++frame) blocks.Frame();
  ExpectEverythingErasable();
}

TEST_F(GalaxiesTest, EveryThemeRunsAndErases) {
  for (Integer theme = 1; theme <= 16; ++theme) {
    SCOPED_TRACE(theme);
    Galaxies& galaxy = Start(theme, 200, 120);
    Run(120);
    ExpectEverythingErasable();
    (void)galaxy;
  }
}

// Themes 7 and 14 tilt by 359 and 359.85 degrees a frame: a slow backward tumble of 1 and
// 0.15 degrees, as steady after thousands of frames as at the start.
TEST_F(GalaxiesTest, Themes7And14TumbleSlowlyBackwards) {
  constexpr double kDegree = 6.283185307179586 / 360.0;
  for (auto [theme, step] : {std::pair<Integer, double>{7, -1.0}, {14, -0.15}}) {
    SCOPED_TRACE(theme);
    GalaxySettings settings = LoadGalaxySettings(theme, false, 1.0f);
    settings.Galaxy_Velocity = 0;  // one galaxy for the whole run
    settings.Galaxy_Stars = 10;
    Galaxies& galaxy = StartWith(settings, 64, 64);
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

TEST_F(GalaxiesTest, Theme16ShowsNoBurstsOrComets) {
  Galaxies& galaxy = Start(16);
  EXPECT_EQ(galaxy.params().BurstFreq, 0);
  EXPECT_EQ(galaxy.params().CometFreq, 0);
  Run(200);
  for (const auto& slot : galaxy.burstSlots()) EXPECT_EQ(slot.alive, 0);
  for (const auto& slot : galaxy.cometSlots()) EXPECT_EQ(slot.alive, 0);
  for (const auto& star : galaxy.stars()) EXPECT_EQ(star.colour, 0);  // invisible trails
  EXPECT_GT(surface_->CountLitPixels(), 0u);  // new stars, novas and ambient stars show
}

// "Distance from Core" with stars far above the disk gives negative hues; they wrap round the
// wheel and every star keeps a wheel colour.
TEST_F(GalaxiesTest, NegativeHuesStayOnTheWheel) {
  Set("Galaxy_ColorComp", "2");
  Set("Galaxy_HWheelIdx", "0");
  Set("Galaxy_GHW_Ratio", "99.9");
  Set("Galaxy_HeightExp", "0");
  Set("Galaxy_ColorMult", "9999");
  Galaxies& galaxy = Start();
  const std::set<Colour> wheel(palette_.HueWheel.begin(), palette_.HueWheel.end());
  for (const auto& star : galaxy.stars()) {
    EXPECT_EQ(wheel.count(star.colour), 1u);
  }
}

TEST(GalaxyRamp, AgesPastTheLastEntryTakeIt) {
  const Palette palette;
  EXPECT_EQ(galaxy::RampColour(palette, 99.4f), palette.ColorAgeRamp[99]);
  EXPECT_EQ(galaxy::RampColour(palette, 99.5f), palette.ColorAgeRamp[99]);  // would be 100
  EXPECT_EQ(galaxy::RampColour(palette, 99.9f), palette.ColorAgeRamp[99]);
  EXPECT_EQ(galaxy::RampColour(palette, 1e30f), palette.ColorAgeRamp[99]);
  EXPECT_EQ(galaxy::RampColour(palette, 0.5f), palette.ColorAgeRamp[0]);
  EXPECT_EQ(galaxy::RampColour(palette, -3.0f), palette.ColorAgeRamp[0]);
}

// Long novas reach colour index 100 on their last counts, and ambient stars whose colour age
// passes 99.5; both run without reading past the ramp.
TEST_F(GalaxiesTest, LongNovasAndOldAmbientStars) {
  Set("Galaxy_NewFreq", "2000");
  Set("Galaxy_NovaFreq", "9999");
  Set("Galaxy_NovaFrames", "999");
  Set("Galaxy_AmbCAgeInc", "10");
  Set("Galaxy_AmbPersist", "1");
  Set("Galaxy_Velocity", "0");
  Galaxies& galaxy = Start();
  Run(520);
  ExpectEverythingErasable();
  for (const auto& star : galaxy.ambientStars()) EXPECT_GT(star.colourAge, 100.0f);
}

TEST_F(GalaxiesTest, QuietSettings) {
  Set("Galaxy_NewFreq", "0");
  Set("Galaxy_AmbStars", "0");
  Galaxies& galaxy = Start();
  Run(100);
  EXPECT_TRUE(galaxy.ambientStars().empty());
  for (const auto& star : galaxy.stars()) {
    EXPECT_EQ(star.respawnCount + star.newCount + star.novaCount, 0);
  }
  ExpectEverythingErasable();
}

TEST_F(GalaxiesTest, DemoValues) {
  Galaxies& galaxy = StartWith(GalaxyDemoSettings());
  EXPECT_EQ(galaxy.params().Stars, 1600);
  EXPECT_EQ(galaxy.params().Trail, 2);
  EXPECT_FLOAT_EQ(galaxy.params().GHW_Ratio, 0.8f);
  Run(100);
  ExpectEverythingErasable();
}

}  // namespace
}  // namespace lmvn
