#include "settings/transfers.h"

#include <array>

namespace lmvn {
namespace {

constexpr std::array<std::string_view, 6> kEffectSections = {kSectionFireworks,   kSectionStarfield,
                                                             kSectionWarp,        kSectionSparkler,
                                                             kSectionGravityWell, kSectionGalaxy};

std::vector<TransferSection> BuildOrder() {
  std::vector<std::string_view> sections = {kSectionGeneral, kSectionAdvanced, kSectionPixelColor};
  sections.insert(sections.end(), kEffectSections.begin(), kEffectSections.end());
  std::vector<TransferSection> order;
  for (std::string_view section : sections) {
    TransferSection entry{section, {}};
    const KeySpec* unread = nullptr;  // a key no loader reads waits for its place
    for (const KeySpec& key : KeysOfSection(section)) {
      if (!key.loaded) {
        unread = &key;
        continue;
      }
      entry.keys.push_back(&key);
    }
    if (unread != nullptr) {
      // Grav_StarMass is the only such key; it stands after Grav_ARadius.
      auto at = entry.keys.end();
      for (auto it = entry.keys.begin(); it != entry.keys.end(); ++it) {
        if (SameName((*it)->name, "Grav_ARadius")) at = it + 1;
      }
      entry.keys.insert(at, unread);
    }
    order.push_back(std::move(entry));
  }
  return order;
}

}  // namespace

std::span<const TransferSection> TransferOrder() {
  static const std::vector<TransferSection> order = BuildOrder();
  return order;
}

std::span<const KeySpec* const> TransferKeys(std::string_view section) {
  for (const TransferSection& entry : TransferOrder()) {
    if (SameName(entry.section, section)) return entry.keys;
  }
  return {};
}

std::string_view EffectSection(int effect) {
  if (effect < 0 || effect >= static_cast<int>(kEffectSections.size())) return {};
  return kEffectSections[static_cast<std::size_t>(effect)];
}

}  // namespace lmvn
