// The Fireworks themes, the limits a run puts on loaded values, and the sound cue rules.
#include <gtest/gtest.h>

#include <string>

#include "effects/fireworks.h"
#include "settings/loaders.h"
#include "settings/sound_cues.h"
#include "settings/store.h"
#include "settings/theme_fields.h"
#include "settings/themes_fireworks.h"
#include "settings/value_text.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

using testing::SettingsTest;
constexpr std::string_view kApp = kSettingsApp;

TEST(FireworksThemes, EveryThemeHas39NumericFields) {
  EXPECT_TRUE(FireworksTheme(0).empty() && FireworksTheme(14).empty() &&
              FireworksTheme(-1).empty());
  for (Integer n = 1; n <= kFireworksThemeCount; ++n) {
    const std::string_view text = FireworksTheme(n);
    for (int k = 0; k < 39; ++k) {
      EXPECT_TRUE(IsNumericText(ThemeField(text, k))) << "theme " << n << " field " << k;
    }
    EXPECT_EQ(ThemeField(text, 39), "") << "theme " << n << " has more than 39 fields";
  }
}

using FireworksLoader = SettingsTest;

TEST_F(FireworksLoader, ThemesReplaceTheStoreAndAlwaysScale) {
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireWorks", "50"));
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireLaunchSteps", "7"));
  EXPECT_EQ(LoadFireworksSettings(0, false, 1).FireWorks, 50);

  const FireworksSettings ground = LoadFireworksSettings(12, false, 1);
  const FireworksSettings disks = LoadFireworksSettings(7, false, 1);
  const Long got[] = {ground.FireWorks,  ground.FireLaunchSteps, ground.FireLaunchPixel,
                      disks.FireRingPct, disks.FireRingEmb,      disks.FireRingDeg};
  const Long want[] = {15, 1, 400, 100, 1, 10};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], want[i]) << i;
  EXPECT_TRUE(ground.FireLaunchRadius == 32.0f && ground.FireLaunchPersist == 0.92f &&
              disks.FireSymmetry == 0.5f && disks.FirePersist == 0.98f);
  EXPECT_TRUE(!ground.FireBurstShell && ground.FireMultiMoment);
  EXPECT_TRUE(LoadFireworksSettings(13, false, 1).FireBurstShell);

  // The count is scaled in double precision: 5 x 0.1 is just above one half.
  EXPECT_EQ(ScaleCount(5, 0.1f), 1);
  EXPECT_EQ(ScaleCount(1600, 0.5f), 800);
  EXPECT_EQ(ScaleCount(-9999, 9.9f), -9999);  // a product beyond 16 bits keeps the count
  EXPECT_EQ(LoadFireworksSettings(10, false, 0.5f).FireSparks, 800);
  EXPECT_EQ(LoadFireworksSettings(10, true, 2.0f).FireSparks, 3200);

  // A number that names no theme reads the store.
  EXPECT_EQ(LoadFireworksSettings(14, false, 1).FireWorks, 50);
}

TEST_F(FireworksLoader, RunLimitsKeepThePoolWithin30000) {
  // Theme 10 at half the sparks: 800, within 30000 \ 4.
  FireworksSettings sphere = LoadFireworksSettings(10, false, 0.5f);
  ApplyFireworksLimits(sphere);
  EXPECT_EQ(sphere.FireSparks, 800);
  // Theme 13 at 9.9 times the sparks: 5445, cut to 30000 \ 20.
  FireworksSettings finale = LoadFireworksSettings(13, false, 9.9f);
  EXPECT_EQ(finale.FireSparks, 5445);
  ApplyFireworksLimits(finale);
  EXPECT_EQ(finale.FireSparks, 1500);
  EXPECT_EQ(finale.FireLaunchPixel, 50);
  EXPECT_EQ(finale.FireTwistExt, 30.0f * kFireworksWorldUnit);
  EXPECT_EQ(finale.FireBurstRadius, 4.0f * kFireworksWorldUnit);

  // A shell count of 0 divides nothing by zero: it sets no limit (the run clamps it to one
  // shell). Negative counts give a negative limit, which the run's clamps lift to 10 sparks.
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireWorks", "0"));
  FireworksSettings none = LoadFireworksSettings(0, false, 1);
  ApplyFireworksLimits(none);
  EXPECT_EQ(none.FireSparks, 450);
  for (const char* shells : {"0", "-7", "-32768"}) {
    ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireWorks", shells));
    FireworksSettings s = LoadFireworksSettings(0, false, 1);
    Fireworks::ToEngineForm(s);
    EXPECT_EQ(s.FireWorks, 1) << shells;
    EXPECT_EQ(s.FireSparks, std::string(shells) == "0" ? 450 : 10) << shells;
    EXPECT_LE(s.FireLaunchPixel, s.FireSparks) << shells;
  }
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireWorks", "99"));
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireSparks", "9999"));
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireLaunchPixel", "999"));
  FireworksSettings most = LoadFireworksSettings(0, false, 1);
  ApplyFireworksLimits(most);
  EXPECT_EQ(most.FireSparks, 303);
  EXPECT_EQ(most.FireLaunchPixel, 303);
}

// Sound is on exactly when SoundFX_ON reads 1; which file a cue plays (trimmed, none when
// blank) is checked with the saver's cue sink.
TEST_F(FireworksLoader, SoundCuesPlayOnlyWhenSoundIsOn) {
  ASSERT_TRUE(WriteSetting(kApp, "SoundFX", "Fire_Launch", "boom.wav"));
  for (const char* off : {"0", "true", "01", "1.0", ""}) {
    ASSERT_TRUE(WriteSetting(kApp, "SoundFX", "SoundFX_ON", off));
    const SoundSettings sound = LoadSoundSettings();
    EXPECT_FALSE(sound.SoundOn) << off;
    EXPECT_EQ(CueFileToPlay(sound, Cue::Launch), std::nullopt) << off;
  }
  ASSERT_TRUE(WriteSetting(kApp, "SoundFX", "SoundFX_ON", "1"));
  EXPECT_EQ(CueFileToPlay(LoadSoundSettings(), Cue::Launch), "boom.wav");
}

}  // namespace
}  // namespace lmvn
