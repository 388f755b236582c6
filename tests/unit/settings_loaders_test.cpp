#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <variant>

#include "settings/catalogue.h"
#include "settings/loaders.h"
#include "settings/store.h"
#include "settings/theme_fields.h"
#include "settings/themes_fireworks.h"
#include "settings/themes_galaxy.h"
#include "settings/value_text.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

using testing::SettingsTest;
constexpr std::string_view kApp = kSettingsApp;

bool Numeric(KeyType type) {
  return type != KeyType::String;
}

// The range a dialog label prints, "(lo - hi)", when it prints one.
std::optional<std::pair<double, double>> PrintedRange(std::string_view label) {
  const auto number = [](std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos;
  };
  for (auto open = label.find('('); open != std::string_view::npos;
       open = label.find('(', open + 1)) {
    const auto close = label.find(')', open);
    if (close == std::string_view::npos) break;
    const std::string_view inside = label.substr(open + 1, close - open - 1);
    const auto dash = inside.find(" - ");
    if (dash == std::string_view::npos) continue;
    const std::string lo(inside.substr(0, dash)), hi(inside.substr(dash + 3));
    if (number(lo) && number(hi)) return std::pair{std::stod(lo), std::stod(hi)};
  }
  return std::nullopt;
}

TEST(Catalogue, DefaultsRangesAndLabelsAgree) {
  std::set<std::string> names, outside, labelDiffers;
  for (const KeySpec& key : AllKeys()) {
    const std::string where = std::string(key.section) + "/" + std::string(key.name);
    std::string lower(key.name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(names.insert(lower).second) << "duplicate " << where;
    EXPECT_EQ(FindKey(key.section, key.name), &key);
    if (Numeric(key.type)) {
      // The default is held as the store would write it.
      ASSERT_TRUE(IsNumericText(key.defaultText)) << where;
      const Single value = SingleFromText(key.defaultText, NAN);
      EXPECT_EQ(SettingText(value).value_or("?"), key.defaultText) << where;
      if (key.type != KeyType::Single) {
        EXPECT_EQ(value, std::floor(value)) << where;
      }
      if (key.type == KeyType::Switch || key.type == KeyType::NonZeroSwitch) {
        EXPECT_TRUE(value == 0 || value == 1) << where;
      }
      if (key.control != KeyControl::None || key.min != key.max) {
        EXPECT_LT(key.min, key.max) << where;
        EXPECT_GT(key.step, 0) << where;
        if (value < key.min || value > key.max) outside.insert(where);
      }
    }
    const auto printed = PrintedRange(key.label);
    if (printed && (printed->first != key.min || printed->second != key.max)) {
      labelDiffers.insert(std::string(key.name));
    }
  }
  // Every default lies within its dialog range.
  EXPECT_TRUE(outside.empty()) << *outside.begin();
  // Labels that print a range other than the one the dialog enforces, as the program has
  // always shown them.
  const std::set<std::string> expected = {
      "Adv_EffectCycle",    "FireSpeed",          "FireScintPct",
      "FireLaunchPersist",  "Star_Comet_Percent", "Star_Dyson_Percent",
      "B_Spline_MaxExtent", "Galaxy_CometSpeed",  "Galaxy_AmbCAgeInc"};
  EXPECT_EQ(labelDiffers, expected);
}

// The value a loader must yield for a key of an empty store.
using Value = std::variant<Integer, Long, Single, bool, std::string>;
Value CatalogueDefault(const KeySpec& key) {
  switch (key.type) {
    case KeyType::Integer:
      return IntegerFromText(key.defaultText, 0);
    case KeyType::Long:
      return LongFromText(key.defaultText, 0);
    case KeyType::Single:
      return SingleFromText(key.defaultText, 0);
    case KeyType::Switch:
      return IntegerFromText(key.defaultText, 0) == 1;
    case KeyType::NonZeroSwitch:
      return IntegerFromText(key.defaultText, 0) != 0;
    case KeyType::String:
      break;
  }
  return std::string(key.defaultText);
}

template <class Settings>
void ExpectCatalogueDefaults(const Settings& settings, std::string_view section,
                             std::size_t firstKey = 0) {
  std::vector<std::string_view> visited;
  VisitSettings(settings, [&](std::string_view name, const auto& value) {
    visited.push_back(name);
    const KeySpec* key = FindKey(section, name);
    ASSERT_NE(key, nullptr) << name;
    EXPECT_EQ(Value(value), CatalogueDefault(*key)) << name;
  });
  std::vector<std::string_view> loaded;
  for (const KeySpec& key : KeysOfSection(section).subspan(firstKey)) {
    if (key.loaded) loaded.push_back(LoaderSpelling(key.name));
  }
  EXPECT_EQ(visited, loaded) << section;
}

using Loaders = SettingsTest;

TEST_F(Loaders, AnEmptyStoreGivesTheCatalogueDefaults) {
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "AnimationType", -1), -1);
  ExpectCatalogueDefaults(LoadFireworksSettings(0, false, 1), kSectionFireworks);
  ExpectCatalogueDefaults(LoadStarfieldSettings(false, 1), kSectionStarfield);
  ExpectCatalogueDefaults(LoadWarpSettings(false, 1), kSectionWarp);
  ExpectCatalogueDefaults(LoadSparklerSettings(false, 1), kSectionSparkler);
  ExpectCatalogueDefaults(LoadGravityWellSettings(false, 1), kSectionGravityWell);
  ExpectCatalogueDefaults(LoadGalaxySettings(0, false, 1), kSectionGalaxy);
  ExpectCatalogueDefaults(LoadSoundSettings().SoundFiles, kSectionSoundFX, 1);
  for (const KeySpec& key : AllKeys()) EXPECT_EQ(LoadSetting(key), CatalogueDefault(key));

  // The runtime values derived from the defaults.
  const RuntimeSettings r = LoadRuntimeSettings();
  EXPECT_TRUE(r.PerfMult == 1.0f && r.FocalLength == 1.0f && r.InvFocalLength == 1.0f);
  EXPECT_TRUE(r.FrameDelay == 25 && r.FramesPerEffect == 0 && r.Adv_PickEffects == 249);
  EXPECT_TRUE(!r.SoundOn && !r.colour.FixedHues && !r.Adv_WindowResize);
  EXPECT_FALSE(std::filesystem::exists(root_ / "Lumivane"));
}

TEST_F(Loaders, RuntimeValuesAreClampedAndConverted) {
  const auto runtime = [](std::string_view section, std::string_view key, std::string_view text) {
    EXPECT_TRUE(WriteSetting(kApp, section, key, text));
    return LoadRuntimeSettings();
  };
  EXPECT_EQ(runtime("General", "PixelSize", "12").PixelSize, 9);
  EXPECT_EQ(runtime("General", "PixelSize", "letters").PixelSize, 1);
  EXPECT_EQ(runtime("General", "PixelSize", "-3").PixelSize, 1);
  const RuntimeSettings focal = runtime("General", "FocalLength", "0");
  EXPECT_EQ(focal.FocalLength, 0.01f);
  EXPECT_EQ(focal.InvFocalLength, 1.0f / 0.01f);
  EXPECT_EQ(runtime("General", "FocalLength", "1e999").FocalLength, 1.0f);
  EXPECT_EQ(runtime("General", "FocalLength", "1e30").FocalLength, 9999.0f);
  EXPECT_EQ(runtime("General", "ColorRed", "250").colour.ColorRed, 250);  // not clamped
  const RuntimeSettings sound = runtime("SoundFX", "Fire_Twister", "/tmp/boom.wav");
  EXPECT_EQ(sound.SoundFiles.Fire_Twister, "/tmp/boom.wav");
  EXPECT_EQ(sound.SoundFiles[7], "/tmp/boom.wav");
  EXPECT_EQ(sound.SoundFiles[0], "");
  EXPECT_TRUE(runtime("Advanced", "Adv_WindowResize", "1").Adv_WindowResize);
  EXPECT_FALSE(runtime("Advanced", "Adv_WindowResize", "1.0").Adv_WindowResize);
}

// A switch is on when its value rounds to 1; FixedHues is on when not 0, and the catalogue,
// which drives dialogs, resets and templates, must read it as the loader does.
TEST_F(Loaders, SwitchesAreOnAtOneAndFixedHuesWhenNotZero) {
  const std::pair<const char*, bool> switches[] = {{"1", true},  {"1.0", true}, {"0.6", true},
                                                   {"2", false}, {"-1", false}, {"yes", true}};
  for (const auto& [text, on] : switches) {
    ASSERT_TRUE(WriteSetting(kApp, "Starfield", "Star_Comet_NonBallistic", text));
    EXPECT_EQ(LoadStarfieldSettings(false, 1).Star_Comet_NonBallistic, on) << text;
  }
  const KeySpec* fixed = FindKey(kSectionGeneral, "FixedHues");
  ASSERT_NE(fixed, nullptr);
  for (const auto& [text, on] : {std::pair{"2", true}, {"-1", true}, {"1", true}, {"0", false}}) {
    ASSERT_TRUE(WriteSetting(kApp, "General", "FixedHues", text));
    EXPECT_EQ(LoadColourSettings().FixedHues, on) << text;
    EXPECT_EQ(LoadSetting(*fixed), SettingValue(on)) << text;
  }
  // One key read on its own follows its own type's rule.
  SettingOverrides overrides;
  overrides.Set("Starfield", "Star_Comet_NonBallistic", "2");
  EXPECT_EQ(LoadSetting(*FindKey("Starfield", "Star_Comet_NonBallistic"), overrides),
            SettingValue(false));
}

// A theme replaces the store, its counts as they are but for the Fireworks sparks; theme 0 and
// numbers without a theme read the store, whose counts the scale flag scales.
TEST_F(Loaders, ThemesReplaceTheStoreAndCountsAreScaledWhenAsked) {
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireWorks", "50"));
  ASSERT_TRUE(WriteSetting(kApp, "Galaxy", "Galaxy_Stars", "11"));
  using Count = Integer (*)(Integer theme, bool scale, Single mult);
  const Count shells = [](Integer t, bool s, Single m) {
    return LoadFireworksSettings(t, s, m).FireWorks;
  };
  const Count sparks = [](Integer t, bool s, Single m) {
    return LoadFireworksSettings(t, s, m).FireSparks;
  };
  const Count stars = [](Integer t, bool s, Single m) {
    return LoadGalaxySettings(t, s, m).Galaxy_Stars;
  };
  const std::tuple<Count, Integer, bool, Single, Integer> cases[] = {
      {shells, 0, false, 1, 50},    {shells, 12, false, 1, 15},    {shells, 14, false, 1, 50},
      {sparks, 10, true, 2, 3200},  {sparks, 0, false, 0.5f, 450}, {stars, 1, false, 0.5f, 1000},
      {stars, 1, true, 0.5f, 1000}, {stars, 0, false, 0.5f, 11},   {stars, 0, true, 0.5f, 6},
      {stars, 17, false, 0.5f, 11}};
  for (const auto& [count, theme, scale, mult, want] : cases) {
    EXPECT_EQ(count(theme, scale, mult), want) << theme << " " << scale << " " << mult;
  }
  // Ties round to even, in double precision (5 x 0.1 is just above one half); a product
  // beyond 16 bits keeps the count.
  const int scaled[][3] = {{5, 1, 1}, {5, 5, 2}, {7, 5, 4}, {1600, 5, 800}, {-9999, 99, -9999}};
  for (const auto& [count, tenths, want] : scaled) {
    EXPECT_EQ(ScaleCount(static_cast<Integer>(count), static_cast<Single>(tenths) * 0.1f), want);
  }
  ASSERT_TRUE(WriteSetting(kApp, "Starfield", "Star_Stars", "9999"));
  EXPECT_EQ(LoadStarfieldSettings(true, 9.9f).Star_Stars, 9999);
  EXPECT_EQ(LoadStarfieldSettings(true, NAN).Star_Stars, 9999);
}

// Every theme record holds exactly its numeric fields; numbers without a theme hold none.
TEST(Themes, EveryRecordHoldsItsNumericFields) {
  const std::tuple<std::string (*)(Integer), Integer, int> tables[] = {
      {[](Integer n) { return std::string(FireworksTheme(n)); }, kFireworksThemeCount, 39},
      {GalaxyTheme, kGalaxyThemeCount, kGalaxyThemeFields}};
  for (const auto& [record, count, fields] : tables) {
    EXPECT_TRUE(record(0).empty() && record(count + 1).empty() && record(-1).empty());
    for (Integer n = 1; n <= count; ++n) {
      for (int k = 0; k < fields; ++k) {
        EXPECT_TRUE(IsNumericText(ThemeField(record(n), k))) << n << " field " << k;
      }
      EXPECT_EQ(ThemeField(record(n), fields), "") << n << " has more fields";
    }
  }
  for (Integer n = 0; n <= kGalaxyThemeCount; ++n) EXPECT_EQ(GalaxyThemeName(n).size(), 23u) << n;
  EXPECT_TRUE(GalaxyThemeName(17).empty() && GalaxyThemeName(-1).empty());
}

TEST_F(Loaders, OverridesFollowTheReadRulesAndLeaveTheStoreAlone) {
  ASSERT_TRUE(WriteSetting(kApp, "Galaxy", "Galaxy_CometCPersist", 0.5f));
  EXPECT_EQ(LoadGalaxySettings(0, false, 1).Galaxy_CometCPersist, 0.5f);
  ASSERT_TRUE(WriteSetting(kApp, "Starfield", "Star_Stars", Integer{300}));
  const std::string before = FileText();

  SettingOverrides overrides;
  overrides.Set("starfield", "STAR_STARS", "2.5");
  overrides.Set("Starfield", "Star_Speed", std::string(128, '1'));
  overrides.Set("General", "PixelSize", "40");
  overrides.Set("Galaxy", "galaxy_cometcpersist", "0.75");
  EXPECT_EQ(*overrides.Find("STARFIELD", "star_stars"), "2.5");
  EXPECT_EQ(overrides.Find("Starfield", "Star_Comet_Percent"), nullptr);
  const StarfieldSettings star = LoadStarfieldSettings(false, 1, overrides);
  EXPECT_EQ(star.Star_Stars, 2);
  EXPECT_EQ(star.Star_Speed, 0.005f);
  EXPECT_EQ(LoadRuntimeSettings(overrides).PixelSize, 9);
  EXPECT_EQ(LoadGalaxySettings(0, false, 1, overrides).Galaxy_CometCPersist, 0.75f);
  overrides.Set("Starfield", "Star_Stars", "40");
  EXPECT_EQ(LoadStarfieldSettings(true, 2, overrides).Star_Stars, 80);
  EXPECT_EQ(FileText(), before);
  EXPECT_EQ(LoadStarfieldSettings(false, 1).Star_Stars, 300);
}

}  // namespace
}  // namespace lmvn
