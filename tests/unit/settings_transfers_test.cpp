#include <string>
#include <tuple>
#include <vector>

#include "settings/catalogue.h"
#include "settings/dialog_layout.h"
#include "settings/store.h"
#include "settings/transfers.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

std::vector<std::string> Names(std::span<const KeySpec* const> keys) {
  std::vector<std::string> names;
  for (const KeySpec* key : keys) names.emplace_back(key->name);
  return names;
}

TEST(TransferOrder, SectionsAndKeysInTransferOrder) {
  std::size_t count = 0;
  for (const TransferSection& entry : TransferOrder()) {
    count += entry.keys.size();
    for (const KeySpec* key : entry.keys) EXPECT_EQ(key->section, entry.section);
  }
  // Every catalogue key but the sound and window-placement ones.
  EXPECT_EQ(count, AllKeys().size() - KeysOfSection("SoundFX").size() -
                       KeysOfSection("DisplayForm").size());
  // Grav_StarMass, which no loader reads, keeps its place after Grav_ARadius.
  EXPECT_EQ(
      Names(TransferKeys("GravityWell")),
      (std::vector<std::string>{"Grav_Emitters", "Grav_Attractors", "Grav_Pixels", "Grav_ESpeed",
                                "Grav_Gravity", "Grav_ARadius", "Grav_StarMass", "Grav_TrailLength",
                                "Grav_ColorMult", "Grav_Refresh", "Grav_ColorComp"}));
  EXPECT_TRUE(TransferKeys("SoundFX").empty());
  EXPECT_EQ(EffectSection(4), "GravityWell");
  EXPECT_EQ(EffectSection(6), "");
  EXPECT_EQ(EffectSection(-1), "");
}

using testing::SettingsTest;
using Transfers = SettingsTest;

std::string Stored(std::string_view section, std::string_view key) {
  return ReadSettingString(kSettingsApp, section, key, "<none>");
}

TEST_F(Transfers, LoadReadsInTheFieldsKindAndKeepsWideValues) {
  PutFile(
      "[Fireworks]\nFireWorks=2.5\nFireTwistRad=2.5\nFireMultiMoment=2\nFireSparks=abc\n"
      "[General]\nFixedHues=2\n[Galaxy]\nGalaxy_AmbRadius=50000\nGalaxy_Radius=300.5\n"
      "[GravityWell]\nGrav_StarMass=7\nGrav_Gravity=29999\n");
  DialogValues values;
  LoadStoreIntoDialog(values);
  EXPECT_EQ(values.Get("Fireworks", "FireWorks"), "2");  // half to even
  EXPECT_EQ(values.Get("Fireworks", "FireTwistRad"), "2.5");
  EXPECT_EQ(values.Get("Fireworks", "FireMultiMoment"), "0");  // on exactly when 1
  EXPECT_EQ(values.Get("Fireworks", "FireSparks"), "450");     // not a number: the default
  EXPECT_EQ(values.Get("General", "FixedHues"), "1");          // on when not 0
  EXPECT_EQ(values.Get("Galaxy", "Galaxy_AmbRadius"), "50000");
  EXPECT_EQ(values.Get("Galaxy", "Galaxy_Radius"), "300");
  EXPECT_EQ(values.Get("GravityWell", "Grav_Gravity"), "29999");
  // The box for Grav_StarMass is never filled, so Accept writes what it holds.
  ASSERT_TRUE(SaveDialogToStore(values));
  EXPECT_EQ(Stored("GravityWell", "Grav_StarMass"), "");
  EXPECT_EQ(Stored("Galaxy", "Galaxy_AmbRadius"), "50000");
  // The factory defaults (the rest is checked with the Properties screen) leave that box too.
  values.Set("GravityWell", "Grav_StarMass", "42");
  ASSERT_TRUE(LoadFactoryDefaults(values));
  EXPECT_EQ(values.Get("GravityWell", "Grav_StarMass"), "42");
  EXPECT_EQ(values.Get("Fireworks", "FireSparks"), "450");
}

TEST(DialogFieldRules, ValidationSteppingAndReading) {
  const std::pair<const char*, double> numbers[] = {
      {"", 0}, {".5", 0.5}, {"12abc", 12}, {"1.2.3", 1.2}};
  for (const auto& [text, n] : numbers) EXPECT_EQ(FieldNumber(text), n) << text;
  // An empty box becomes its lower bound, or 0; far beyond the 16-bit range: limited, never an
  // overflow.
  const std::tuple<FieldKind, const char*, double, double, const char*> cases[] = {
      {FieldKind::Integer, "", 10, 9999, "10"},
      {FieldKind::Integer, "", 0, 100, "0"},
      {FieldKind::Integer, "2.5", 0, 100, "2"},
      {FieldKind::Integer, "3.5", 0, 100, "4"},
      {FieldKind::Integer, "99999999999", 1, 99, "99"},
      {FieldKind::Long, "99999999999", 100, 99999, "99999"},
      {FieldKind::Single, "0.00001", 0.0001, 1, "0.0001"},
      {FieldKind::Single, "0.955", 0.25, 0.99, "0.955"}};
  for (const auto& [kind, text, low, high, want] : cases) {
    EXPECT_EQ(ValidateFieldText(kind, text, low, high), want) << text;
  }
  for (const auto& [text, step, want] :
       {std::tuple{"15", -1, "10"}, {"10", -1, "10"}, {"9995", +1, "9999"}}) {
    EXPECT_EQ(StepFieldText(FieldKind::Integer, text, 10, 10, 9999, step), want) << text;
  }
}

TEST(DialogFieldRules, EveryDialogKeyHasAFieldAndCrossLimitsHold) {
  for (std::string_view section : DialogSections()) {
    EXPECT_EQ(DialogFields(section).size(), TransferKeys(section).size()) << section;
    for (const DialogField& field : DialogFields(section)) {
      EXPECT_TRUE(field.kind != FieldKind::List || !field.entries.empty()) << field.key->name;
      EXPECT_TRUE(!field.stepped || field.key->step > 0) << field.key->name;
    }
  }
  DialogValues values;
  values.Set("Fireworks", "FireWorks", "16");
  values.Set("Fireworks", "FireSparks", "450");
  const CrossLimit* shells = CrossLimitOf("Fireworks", "FireSparks");
  ASSERT_NE(shells, nullptr);
  EXPECT_EQ(CrossLimitBounds(*shells, "FireSparks", values), std::make_pair(1.0, 1875.0));
  values.Set("Fireworks", "FireWorks", "");
  EXPECT_EQ(CrossLimitBounds(*shells, "FireSparks", values).second, 30000);
  const CrossLimit* bursts = CrossLimitOf("fireworks", "FireRingPct");
  ASSERT_NE(bursts, nullptr);
  values.Set("Fireworks", "FireScintPct", "60");
  values.Set("Fireworks", "FireTwistPct", "70");
  EXPECT_EQ(CrossLimitBounds(*bursts, "FireRingPct", values).second, 0);
  EXPECT_EQ(CrossLimitOf("Fireworks", "FireLength"), nullptr);
}

}  // namespace
}  // namespace lmvn
