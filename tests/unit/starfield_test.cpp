#include "effects/starfield.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

// Runs the starfield on a small surface with settings read from an empty store plus
// overrides, the way the saver loads them.
class StarfieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() / ("lmvn-starfield-" + std::to_string(::getpid()));
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    ProgramRandom().Seed(20261206);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Set(const std::string& key, const std::string& value) {
    overrides_.Set("Starfield", key, value);
  }

  Starfield& Start(int width = 320, int height = 200, Single focalLength = 1.0f) {
    surface_ = std::make_unique<Surface>(width, height);
    view_ = MakeSurfaceState(width, height, focalLength, 1);
    context_ = std::make_unique<EffectContext>(EffectContext{*surface_, view_, palette_, cues_});
    effect_ =
        std::make_unique<Starfield>(LoadStarfieldSettings(false, 1.0f, overrides_), *context_);
    return *effect_;
  }

  void Run(int frames) {
    for (int i = 0; i < frames; ++i) effect_->Frame();
  }

  // Every lit pixel must belong to the dot of a living star: nothing drawn is left behind.
  void ExpectNoStrayPixels() {
    Surface expected(surface_->width(), surface_->height());
    for (const auto& star : effect_->stars()) {
      if (!star.Active) continue;
      Long sx = 0, sy = 0;
      if (!ProjectPoint(view_, star.X, star.Y, star.Z, sx, sy)) continue;  // not drawn either
      expected.FillDot(sx, sy, Starfield::DotWidth(view_.FocalLength, star.Z), 0xFFFFFF);
    }
    long stray = 0;
    for (int y = 0; y < surface_->height(); ++y) {
      for (int x = 0; x < surface_->width(); ++x) {
        if (surface_->GetPixel(x, y) != 0 && expected.GetPixel(x, y) == 0) ++stray;
      }
    }
    EXPECT_EQ(stray, 0);
  }

  long ActiveStars() const {
    long n = 0;
    for (const auto& star : effect_->stars()) n += star.Active;
    return n;
  }

  std::filesystem::path dir_;
  SettingOverrides overrides_;
  Palette palette_;
  SilentCueSink cues_;
  std::unique_ptr<Surface> surface_;
  SurfaceState view_{};
  std::unique_ptr<EffectContext> context_;
  std::unique_ptr<Starfield> effect_;
};

TEST_F(StarfieldTest, EverythingDrawnIsErasedWhileSpheresComeAndGo) {
  Set("Star_Stars", "400");
  Set("Star_Dyson_Percent", "40");
  Set("Star_Speed", "0.02");
  Starfield& field = Start();
  for (int round = 0; round < 6; ++round) {
    Run(50);
    ExpectNoStrayPixels();
  }
  EXPECT_GT(field.SpheresBuilt(), 0);
  EXPECT_GT(ActiveStars(), 0);
  EXPECT_GT(surface_->CountLitPixels(), 0u);
}

TEST_F(StarfieldTest, NoSphereFormsWithoutReservations) {
  Set("Star_Dyson_Percent", "0");
  Starfield& field = Start();
  Run(600);
  EXPECT_EQ(field.ReserveCount(), 0);
  EXPECT_EQ(field.SpheresBuilt(), 0);
  for (const auto& star : field.stars()) {
    EXPECT_TRUE(star.Active);
    EXPECT_FALSE(star.DysonMember);
  }
}

TEST_F(StarfieldTest, OversizedSphereNeverFormsAndTheFieldEmpties) {
  Set("Star_Stars", "10");
  Set("Star_Dyson_Laterals", "20");
  Set("Star_Dyson_LatPixels", "50");
  Set("Star_Dyson_Percent", "50");
  Set("Star_Speed", "0.05");
  Starfield& field = Start();
  EXPECT_GT(field.SphereSize(), 10);
  Run(2000);
  EXPECT_EQ(field.SpheresBuilt(), 0);
  EXPECT_EQ(ActiveStars(), 0);
  EXPECT_EQ(field.ReserveCount(), 10);
  EXPECT_EQ(surface_->CountLitPixels(), 0u);
}

TEST_F(StarfieldTest, AllCometsAreBornAtTheHead) {
  Set("Star_Comet_Percent", "100");
  Set("Star_Dyson_Percent", "0");
  for (const char* nonBallistic : {"0", "1"}) {
    Set("Star_Comet_NonBallistic", nonBallistic);
    Starfield& field = Start();
    const auto head = field.head();
    for (const auto& star : field.stars()) {
      EXPECT_EQ(star.X, head.x);
      EXPECT_EQ(star.Y, head.y);
      EXPECT_EQ(star.Z, head.z);
    }
    Run(300);  // reborn stars too come from the head, wherever it has moved
    ExpectNoStrayPixels();
  }
}

TEST_F(StarfieldTest, EdgesOfTheSurfaceStillCountAsInside) {
  const SurfaceState view = MakeSurfaceState(640, 480, 1.0f, 1);
  EXPECT_FALSE(Starfield::Leaves(view, 1.0f, 640, 480));
  EXPECT_FALSE(Starfield::Leaves(view, 1.0f, 0, 0));
  EXPECT_TRUE(Starfield::Leaves(view, 1.0f, 641, 10));
  EXPECT_TRUE(Starfield::Leaves(view, 1.0f, 10, 481));
  EXPECT_TRUE(Starfield::Leaves(view, 1.0f, -1, 10));
  EXPECT_TRUE(Starfield::Leaves(view, 1.0f, 10, -1));
  EXPECT_TRUE(Starfield::Leaves(view, 0.0019f, 10, 10));
  EXPECT_FALSE(Starfield::Leaves(view, 0.002f, 10, 10));
}

TEST(StarfieldDots, WidthGrowsAsStarsApproachAndIsOneAtTheFarPlane) {
  for (const Single f : {0.01f, 0.75f, 1.0f, 50.0f, 9999.0f}) {
    EXPECT_EQ(Starfield::DotWidth(f, f + 0.9999f), 1) << f;
  }
  EXPECT_EQ(Starfield::DotWidth(1.0f, 0.5f), 4);
  EXPECT_EQ(Starfield::DotWidth(1.0f, 0.25f), 8);
}

TEST(StarfieldColours, BlendRunsFromTheFirstColourTowardsTheSecond) {
  const Colour colours[] = {RGB(255, 55, 55), RGB(55, 255, 200), RGB(0, 0, 0), 0xFFFFFF};
  for (const Colour c : colours) {
    for (Integer k = 0; k <= 11; ++k) EXPECT_EQ(Starfield::BlendColor(c, c, k, 10), c);
  }
  const Colour a = RGB(255, 55, 55), b = RGB(55, 255, 155);
  EXPECT_EQ(Starfield::BlendColor(a, b, 0, 10), a);
  EXPECT_EQ(Starfield::BlendColor(a, b, 11, 10), b);
  const Colour mid = Starfield::BlendColor(a, b, 5, 10);
  EXPECT_LT(RedOf(mid), 255);
  EXPECT_GT(RedOf(mid), 55);
  EXPECT_GT(GreenOf(mid), 55);
  EXPECT_LT(GreenOf(mid), 255);
  EXPECT_GT(BlueOf(mid), 55);
  EXPECT_LT(BlueOf(mid), 155);
}

TEST_F(StarfieldTest, ExtremeSettingsNeverFault) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> values;
    int width, height;
    Single focal;
  };
  const Case cases[] = {
      {{{"Star_Stars", "999"},
        {"Star_Speed", "1"},
        {"Star_Dyson_Percent", "100"},
        {"Star_Dyson_Laterals", "20"},
        {"Star_Dyson_LatPixels", "49"},
        {"Star_Dyson_Radius", "50"},
        {"Star_Dyson_RotAngle", "90"}},
       64,
       48,
       9999.0f},
      {{{"Star_Stars", "-5"},
        {"Star_Speed", "-1"},
        {"Star_Comet_Percent", "400"},
        {"Star_Comet_Lifespan", "32767"},
        {"Star_Comet_Expansion", "-32768"},
        {"Star_Dyson_Percent", "-1"}},
       1,
       1,
       0.01f},
      {{{"Star_Stars", "999"},
        {"Star_Speed", "0.0001"},
        {"Star_Dyson_Percent", "60"},
        {"Star_Dyson_Laterals", "1"},
        {"Star_Dyson_LatPixels", "1"},
        {"Star_Comet_Percent", "100"}},
       1920,
       1080,
       0.01f},
  };
  for (const Case& c : cases) {
    overrides_ = SettingOverrides();
    for (const auto& [key, value] : c.values) Set(key, value);
    Start(c.width, c.height, c.focal);
    Run(250);
    ExpectNoStrayPixels();
  }
}

TEST_F(StarfieldTest, TheSameSeedGivesTheSameFrames) {
  Start();
  Run(120);
  const std::vector<std::uint32_t> first(surface_->pixels(), surface_->pixels() + 320 * 200);
  ProgramRandom().Seed(20261206);
  Start();
  Run(120);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), surface_->pixels()));
}

}  // namespace
}  // namespace lmvn
