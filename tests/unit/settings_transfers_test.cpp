#include <string>
#include <vector>

#include "settings/catalogue.h"
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
  std::vector<std::string> sections;
  std::size_t count = 0;
  for (const TransferSection& entry : TransferOrder()) {
    sections.emplace_back(entry.section);
    count += entry.keys.size();
    for (const KeySpec* key : entry.keys) EXPECT_EQ(key->section, entry.section);
  }
  EXPECT_EQ(sections,
            (std::vector<std::string>{"General", "Advanced", "PixelColor", "Fireworks", "Starfield",
                                      "B-SplineWarp", "B-SplineSpark", "GravityWell", "Galaxy"}));
  // Every catalogue key but the sound and window-placement ones.
  EXPECT_EQ(count, AllKeys().size() - KeysOfSection("SoundFX").size() -
                       KeysOfSection("DisplayForm").size());
  EXPECT_EQ(Names(TransferKeys("general")),
            (std::vector<std::string>{"AnimationType", "ColorRed", "ColorGrn", "ColorBlu",
                                      "FixedHues", "PixelSize", "FocalLength", "LockMessage"}));
  EXPECT_EQ(Names(TransferKeys("Advanced")),
            (std::vector<std::string>{"Adv_TimeDelay", "Adv_EffectCycle", "Adv_PerfMult",
                                      "Adv_PickEffects", "Adv_WindowResize", "Adv_HueStart"}));
  EXPECT_EQ(
      Names(TransferKeys("GravityWell")),
      (std::vector<std::string>{"Grav_Emitters", "Grav_Attractors", "Grav_Pixels", "Grav_ESpeed",
                                "Grav_Gravity", "Grav_ARadius", "Grav_StarMass", "Grav_TrailLength",
                                "Grav_ColorMult", "Grav_Refresh", "Grav_ColorComp"}));
  const auto fire = Names(TransferKeys("Fireworks"));
  ASSERT_EQ(fire.size(), 39u);
  EXPECT_EQ(fire[6], "FireGravity");
  EXPECT_EQ(fire[20], "FireLaunchPct");
  EXPECT_EQ(fire[38], "FireBurstShell");
  EXPECT_TRUE(TransferKeys("SoundFX").empty());
  EXPECT_EQ(EffectSection(4), "GravityWell");
  EXPECT_EQ(EffectSection(6), "");
  EXPECT_EQ(EffectSection(-1), "");
}

}  // namespace
}  // namespace lmvn
