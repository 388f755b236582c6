#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "settings/loaders.h"
#include "settings/store.h"
#include "settings/theme_fields.h"
#include "settings/themes_galaxy.h"
#include "settings/value_text.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

// Fields are split at commas and trimmed; a missing field is empty.
TEST(ThemeFields, FieldRuleNamesAndRecords) {
  const std::tuple<const char*, int, const char*> cases[] = {{" 12, 3.5 ,x,,7,", 0, "12"},
                                                             {" 12, 3.5 ,x,,7,", 1, "3.5"},
                                                             {" 12, 3.5 ,x,,7,", 2, "x"},
                                                             {" 12, 3.5 ,x,,7,", 3, ""},
                                                             {" 12, 3.5 ,x,,7,", 4, "7"},
                                                             {" 12, 3.5 ,x,,7,", 5, ""},
                                                             {" 12, 3.5 ,x,,7,", 6, ""},
                                                             {" 12, 3.5 ,x,,7,", -1, ""},
                                                             {"5", 0, "5"},
                                                             {"", 0, ""},
                                                             {"15,400 ,  10", 2, "10"},
                                                             {"15,400", 2, ""}};
  for (const auto& [text, field, want] : cases) {
    EXPECT_EQ(ThemeField(text, field), want) << "'" << text << "' " << field;
  }
  // Galaxy theme names are fixed-width fields; numbers without a theme have none.
  for (Integer n = 0; n <= 16; ++n) EXPECT_EQ(GalaxyThemeName(n).size(), 23u) << n;
  EXPECT_EQ(GalaxyThemeName(7), "Twisting Ring World    ");
  EXPECT_TRUE(GalaxyThemeName(17).empty() && GalaxyThemeName(-1).empty());
  EXPECT_TRUE(GalaxyTheme(0).empty() && GalaxyTheme(17).empty());
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
  EXPECT_TRUE(theme1.Galaxy_Stars == 1000 && theme1.Galaxy_AmbStars == 50 &&
              theme1.Galaxy_ColorMult == 2000);
  const Single got[] = {theme1.Galaxy_Radius, theme1.Galaxy_GHW_Ratio, theme1.Galaxy_CometCPersist,
                        theme1.Galaxy_AmbCAgeInc};
  const Single want[] = {200.0f, 0.65f, 0.9975f, 0.5f};
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(got[i], want[i]) << i;
  const GalaxySettings theme16 = LoadGalaxySettings(16, false, 1.0f);
  EXPECT_TRUE(theme16.Galaxy_BurstFreq == 0 && theme16.Galaxy_CometFreq == 0 &&
              theme16.Galaxy_ColorComp == 4);
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
