#include "effects/gravity_wells.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "effect_harness.h"
#include "render/geometry.h"

namespace lmvn {
namespace {

class GravityWellsTest : public testing::EffectHarness {
 protected:
  GravityWellsTest() { section_ = "GravityWell"; }

  GravityWells& Start() { return Make<GravityWells>(EffectId::GravityWells); }

  // A fingerprint of the whole surface (FNV-1a over the pixel values).
  std::uint64_t Pixels() const {
    std::uint64_t h = 1469598103934665603u;
    const std::size_t n = static_cast<std::size_t>(surface_->width()) * surface_->height();
    for (std::size_t i = 0; i < n; ++i) h = (h ^ surface_->pixels()[i]) * 1099511628211u;
    return h;
  }

  // Runs the stored settings once in each trail form, from the same seed, and expects the
  // very same pixels after every frame.
  void ExpectBothFormsAlike(int frames) {
    GravityWellParams p =
        GravityWellParamsFromSettings(LoadGravityWellSettings(false, 1, overrides_));
    std::vector<std::uint64_t> ring;
    p.TrailForm = GravityTrailForm::RingBuffer;
    ProgramRandom().Seed(99);
    MakeFrom<GravityWells>(p);
    for (int i = 0; i < frames; ++i) {
      Run(1);
      ring.push_back(Pixels());
    }
    p.TrailForm = GravityTrailForm::Shadow;
    ProgramRandom().Seed(99);
    MakeFrom<GravityWells>(p);
    for (int i = 0; i < frames; ++i) {
      Run(1);
      ASSERT_TRUE(Pixels() == ring[static_cast<std::size_t>(i)]) << "frame " << i + 1;
    }
    EXPECT_GT(surface_->CountLitPixels(), 0u);
  }
};

TEST_F(GravityWellsTest, RingBufferAndShadowLightTheSamePixels) {
  EXPECT_TRUE(GravityUsesRingBuffer(100, 320));
  EXPECT_FALSE(GravityUsesRingBuffer(100, 321));
  EXPECT_FALSE(GravityUsesRingBuffer(9999, 999));

  Set("Grav_Pixels=100 Grav_TrailLength=320");
  Set("Grav_Refresh", "700");  // one clear between cycles on the way
  EXPECT_TRUE(Start().RingBuffer());
  ExpectBothFormsAlike(900);

  Set("Grav_TrailLength", "321");
  EXPECT_FALSE(Start().RingBuffer());

  // Short trails, strong wells, several attractors, big dots, particles behind the eye.
  Set("Grav_Pixels=400 Grav_TrailLength=3 Grav_Attractors=9 Grav_Emitters=9 Grav_Gravity=30000 "
      "Grav_ESpeed=200 Grav_Refresh=150");
  Screen(200, 150, 0.5f, 5);
  ExpectBothFormsAlike(400);
}

TEST_F(GravityWellsTest, TrailLengthOneShowsOnePixelPerParticle) {
  Set("Grav_TrailLength=1 Grav_ARadius=0 Grav_Pixels=300");
  GravityWells& effect = Start();
  for (int frame = 0; frame < 200; ++frame) {
    Run(1);
    Surface allowed(surface_->width(), surface_->height());
    for (std::size_t j = 0; j < 300; ++j) {
      Long sx = 0, sy = 0;
      if (effect.Z(j) > 0.0001f &&
          ProjectPoint(view_, effect.X(j), effect.Y(j), effect.Z(j), sx, sy)) {
        allowed.SetPixelV(sx, sy, 0xFFFFFF);
      }
    }
    ASSERT_EQ(LitOutside(allowed), 0) << "frame " << frame + 1;
  }
  EXPECT_GT(surface_->CountLitPixels(), 0u);
}

TEST_F(GravityWellsTest, LongRunsDoNotAccumulateLitPixels) {
  for (const char* form : {"4", "40"}) {  // 2000 x 4 fits the ring buffer, 2000 x 40 does not
    Set("Grav_TrailLength", form);
    Set("Grav_Refresh=0 Grav_ARadius=0");
    GravityWells& effect = Start();
    const std::size_t bound = static_cast<std::size_t>(effect.params().Particles) *
                              static_cast<std::size_t>(effect.params().TrailLength);
    for (int round = 0; round < 4; ++round) {
      Run(150);
      EXPECT_LE(surface_->CountLitPixels(), bound);
    }
    EXPECT_EQ(effect.Cycles(), 0);  // refresh 0: one endless cycle, never cleared
  }
}

TEST_F(GravityWellsTest, CyclesEndWithAClearAfterTheRefreshCount) {
  Set("Grav_Refresh", "40");
  GravityWells& effect = Start();
  Run(39);
  EXPECT_EQ(effect.Cycles(), 0);
  EXPECT_GT(surface_->CountLitPixels(), 0u);
  Run(1);
  EXPECT_EQ(effect.Cycles(), 1);
  EXPECT_EQ(effect.FrameCount(), 0);
  EXPECT_EQ(surface_->CountLitPixels(), 0u);
  Run(200);
  EXPECT_EQ(effect.Cycles(), 6);
}

TEST_F(GravityWellsTest, AttractorCirclesAreDrawnOnlyWithARadius) {
  Set("Grav_Pixels", "10");
  const auto circlePixels = [this] {
    long n = 0;  // no wheel colour is white
    for (int y = 0; y < surface_->height(); ++y) {
      for (int x = 0; x < surface_->width(); ++x) {
        n += surface_->GetPixel(x, y) == GravityWells::kCircleColour;
      }
    }
    return n;
  };
  Set("Grav_ARadius", "0");
  Start();
  Run(60);
  EXPECT_EQ(circlePixels(), 0);
  Set("Grav_ARadius", "6");
  Start();
  Run(60);
  EXPECT_GT(circlePixels(), 20);
}

TEST_F(GravityWellsTest, AParticleExactlyOnAnAttractorIsNotPulledByIt) {
  Set("Grav_Attractors=1 Grav_Pixels=10 Grav_TrailLength=2");
  for (const char* form : {"2", "9999"}) {  // ring buffer, then the shadow form
    Set("Grav_TrailLength", form);
    GravityWells& effect = Start();
    effect.SetAttractor(0, 0.25f, -0.125f, 1.5f);
    for (std::size_t j = 0; j < 10; ++j) effect.SetParticle(j, 0.25f, -0.125f, 1.5f);
    Run(5);
    for (std::size_t j = 0; j < 10; ++j) {
      EXPECT_TRUE(effect.X(j) == 0.25f && effect.Y(j) == -0.125f && effect.Z(j) == 1.5f) << j;
    }
    EXPECT_GT(surface_->CountLitPixels(), 0u);
  }
}

// The demonstration keeps only the stored hue source.
TEST_F(GravityWellsTest, TheDemonstrationKeepsOnlyTheHueSource) {
  Set("Grav_Pixels=77 Grav_ColorComp=2");
  GravityWells& demo = Make<GravityWells>(EffectId::GravityWells, true);
  EXPECT_EQ(demo.params().Particles, 1200);
  EXPECT_EQ(demo.params().ColorComp, 2);
  EXPECT_TRUE(demo.RingBuffer());
  Run(100);
  EXPECT_GT(surface_->CountLitPixels(), 0u);
}

TEST_F(GravityWellsTest, HueSourcesColourTheParticles) {
  // Every source gives wheel colours; an unknown source keeps the starting hue.
  Set("Grav_ARadius=0 Grav_Pixels=200");
  for (const char* source : {"0", "1", "2", "7"}) {
    Set("Grav_ColorComp", source);
    Start();
    Run(30);
    std::set<Colour> colours;
    for (int y = 0; y < surface_->height(); ++y) {
      for (int x = 0; x < surface_->width(); ++x) {
        if (const Colour c = surface_->GetPixel(x, y)) colours.insert(c);
      }
    }
    ASSERT_FALSE(colours.empty()) << source;
    for (const Colour c : colours) {
      EXPECT_NE(std::find(palette_.HueWheel.begin(), palette_.HueWheel.end(), c),
                palette_.HueWheel.end());
    }
    if (std::string(source) == "7") {
      EXPECT_EQ(colours, std::set<Colour>{palette_.HueWheel[0]});
    } else {
      EXPECT_GT(colours.size(), 1u) << source;
    }
  }
}

TEST_F(GravityWellsTest, OddStoredSettingsRunWithoutFault) {
  RunOddSettings<GravityWells>(
      EffectId::GravityWells, "GravityWell", 20, 20,
      [](const GravityWells& e) { return e.params().Particles; }, [](GravityWells&) {});
}

}  // namespace
}  // namespace lmvn
