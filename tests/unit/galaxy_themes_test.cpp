#include <gtest/gtest.h>

#include <string>

#include "settings/loaders.h"
#include "settings/store.h"
#include "settings/theme_fields.h"
#include "settings/themes_galaxy.h"
#include "settings/value_text.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

TEST(ThemeFields, FieldRule) {
  const std::string text = " 12, 3.5 ,x,,7,";
  EXPECT_EQ(ThemeField(text, 0), "12");
  EXPECT_EQ(ThemeField(text, 1), "3.5");
  EXPECT_EQ(ThemeField(text, 2), "x");
  EXPECT_EQ(ThemeField(text, 3), "");
  EXPECT_EQ(ThemeField(text, 4), "7");
  EXPECT_EQ(ThemeField(text, 5), "");  // the field the appended comma closes
  EXPECT_EQ(ThemeField(text, 6), "");  // past the end
  EXPECT_EQ(ThemeField(text, -1), "");
  EXPECT_EQ(ThemeField("5", 0), "5");  // no comma at all: the whole text
  EXPECT_EQ(ThemeField("", 0), "");
}

TEST(GalaxyThemes, NamesAreFixedWidthFields) {
  EXPECT_EQ(GalaxyThemeName(0), "< NONE >               ");
  EXPECT_EQ(GalaxyThemeName(1), "Classical              ");
  EXPECT_EQ(GalaxyThemeName(7), "Twisting Ring World    ");
  EXPECT_EQ(GalaxyThemeName(16), "Dark Matter Sparklers  ");
  EXPECT_EQ(GalaxyThemeName(17), "");
  EXPECT_EQ(GalaxyThemeName(-1), "");
}

TEST(GalaxyThemes, RecordsHaveThirtyEightNumericFields) {
  EXPECT_EQ(GalaxyTheme(0), "");
  EXPECT_EQ(GalaxyTheme(17), "");
  for (Integer n = 1; n <= kGalaxyThemeCount; ++n) {
    SCOPED_TRACE(n);
    const std::string record = GalaxyTheme(n);
    for (int field = 0; field < kGalaxyThemeFields; ++field) {
      EXPECT_TRUE(IsNumericText(ThemeField(record, field))) << field;
    }
    EXPECT_EQ(ThemeField(record, kGalaxyThemeFields), "");
    EXPECT_EQ(ThemeField(record, kGalaxyThemeAxialPlaneField), "0");
  }
  EXPECT_EQ(ThemeField(GalaxyTheme(14), 12), "359.85");
  EXPECT_EQ(ThemeField(GalaxyTheme(15), 32), "0.9");
}

using GalaxyThemeLoaderTest = testing::SettingsTest;

TEST_F(GalaxyThemeLoaderTest, ThemeReplacesTheStoreAndScalesTheCounts) {
  WriteSetting(kSettingsApp, "Galaxy", "Galaxy_Radius", "999");
  WriteSetting(kSettingsApp, "Galaxy", "Galaxy_Stars", "11");
  const GalaxySettings theme1 = LoadGalaxySettings(1, false, 0.5f);
  EXPECT_EQ(theme1.Galaxy_Stars, 1000);
  EXPECT_EQ(theme1.Galaxy_AmbStars, 50);
  EXPECT_FLOAT_EQ(theme1.Galaxy_Radius, 200.0f);
  EXPECT_FLOAT_EQ(theme1.Galaxy_GHW_Ratio, 0.65f);
  EXPECT_EQ(theme1.Galaxy_ColorMult, 2000);
  EXPECT_FLOAT_EQ(theme1.Galaxy_CometCPersist, 0.9975f);
  EXPECT_FLOAT_EQ(theme1.Galaxy_AmbCAgeInc, 0.5f);

  const GalaxySettings theme16 = LoadGalaxySettings(16, false, 1.0f);
  EXPECT_EQ(theme16.Galaxy_BurstFreq, 0);
  EXPECT_EQ(theme16.Galaxy_CometFreq, 0);
  EXPECT_EQ(theme16.Galaxy_ColorComp, 4);
  EXPECT_EQ(LoadGalaxySettings(13, false, 1.0f).Galaxy_CometOrbit, 0.0f);
  EXPECT_EQ(LoadGalaxySettings(10, false, 1.0f).Galaxy_AmbRadius, 4000);

  // Theme 0 (and a number without a theme) read the store; only the scale flag scales.
  EXPECT_FLOAT_EQ(LoadGalaxySettings(0, false, 0.5f).Galaxy_Radius, 999.0f);
  EXPECT_EQ(LoadGalaxySettings(0, false, 0.5f).Galaxy_Stars, 11);
  EXPECT_EQ(LoadGalaxySettings(0, true, 0.5f).Galaxy_Stars, 6);  // 5.5 rounds to even
  EXPECT_EQ(LoadGalaxySettings(17, false, 0.5f).Galaxy_Stars, 11);
}

}  // namespace
}  // namespace lmvn
