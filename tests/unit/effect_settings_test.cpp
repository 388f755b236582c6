// The limits every effect puts on its stored settings, checked against the catalogue.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "effect_harness.h"
#include "settings/transfers.h"
#include "settings/value_text.h"

namespace lmvn {
namespace {

using EffectSettings = testing::EffectHarness;

// A stored value far beyond a key's dialog range runs as the range's end: the effect draws
// the very frames it draws from the end itself.
TEST_F(EffectSettings, ValuesBeyondTheDialogRangeRunAsItsEnds) {
  Screen(64, 48);
  std::set<std::string> differ;
  for (int effect = 0; effect <= 5; ++effect) {
    const std::string_view section = EffectSection(effect);
    for (const KeySpec& key : KeysOfSection(section)) {
      if (!key.loaded || key.min == key.max || key.type == KeyType::String ||
          key.type == KeyType::Switch || key.type == KeyType::NonZeroSwitch) {
        continue;
      }
      const auto frames = [&](const std::string& text) {
        overrides_ = {};
        overrides_.Set(section, key.name, text);
        ProgramRandom().Seed(3);
        Make<Effect>(static_cast<EffectId>(effect));
        Run(8);
        return std::vector<std::uint32_t>(surface_->pixels(), surface_->pixels() + 64 * 48);
      };
      const char* far[][2] = {{"-32768", "32767"}, {"-2e9", "2e9"}, {"-1e30", "1e30"}};
      const int kind = key.type == KeyType::Integer ? 0 : key.type == KeyType::Long ? 1 : 2;
      for (const int high : {0, 1}) {
        const std::string end = *SettingText(high ? key.max : key.min);
        if (frames(end) != frames(far[kind][high])) {
          differ.insert(std::string(key.name) + (high ? " above" : " below"));
        }
      }
    }
  }
  // Where the program has always gone its own way: the shell count sets the spark limit and a
  // negative count runs one shell, the ambient colour age and the comet share take more than
  // the dialog offers, and an unknown hue source or warp type runs as a known one.
  const std::set<std::string> own = {"FireWorks above",         "FireWorks below",
                                     "Galaxy_AmbCAgeInc above", "Grav_ColorComp above",
                                     "Grav_ColorComp below",    "Star_Comet_Percent below",
                                     "Warp_Type below"};
  EXPECT_EQ(differ, own);
}

}  // namespace
}  // namespace lmvn
