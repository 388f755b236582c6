#include "settings/catalogue.h"

#include <vector>

#include "settings/catalogue_keys.h"

namespace lmvn {
namespace {

#define LMVN_KEY_ROW(name, type, def, lo, hi, step, control, label, note)                       \
  rows.push_back(KeySpec{section, #name, KeyType::type, def, lo, hi, step, KeyControl::control, \
                         label, note, loaded});

std::vector<KeySpec> BuildTable() {
  std::vector<KeySpec> rows;
  std::string_view section;
  bool loaded = true;
  section = kSectionGeneral;
  LMVN_GENERAL_KEYS(LMVN_KEY_ROW)
  section = kSectionPixelColor;
  LMVN_PIXELCOLOR_KEYS(LMVN_KEY_ROW)
  section = kSectionAdvanced;
  LMVN_ADVANCED_KEYS(LMVN_KEY_ROW)
  section = kSectionSoundFX;
  LMVN_SOUNDFX_KEYS(LMVN_KEY_ROW)
  section = kSectionDisplayForm;
  LMVN_DISPLAYFORM_KEYS(LMVN_KEY_ROW)
  section = kSectionFireworks;
  LMVN_FIREWORKS_KEYS(LMVN_KEY_ROW)
  section = kSectionStarfield;
  LMVN_STARFIELD_KEYS(LMVN_KEY_ROW)
  section = kSectionWarp;
  LMVN_WARP_KEYS(LMVN_KEY_ROW)
  section = kSectionSparkler;
  LMVN_SPARKLER_KEYS(LMVN_KEY_ROW)
  section = kSectionGravityWell;
  LMVN_GRAVITYWELL_KEYS(LMVN_KEY_ROW)
  loaded = false;
  LMVN_GRAVITYWELL_UNREAD_KEYS(LMVN_KEY_ROW)
  loaded = true;
  section = kSectionGalaxy;
  LMVN_GALAXY_KEYS(LMVN_KEY_ROW)
  return rows;
}

#undef LMVN_KEY_ROW

const std::vector<KeySpec>& Table() {
  static const std::vector<KeySpec> table = BuildTable();
  return table;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::span<const KeySpec> AllKeys() {
  return Table();
}

std::span<const KeySpec> KeysOfSection(std::string_view section) {
  const auto& table = Table();
  std::size_t first = 0;
  while (first < table.size() && !SameName(table[first].section, section)) ++first;
  std::size_t last = first;
  while (last < table.size() && SameName(table[last].section, section)) ++last;
  return std::span<const KeySpec>(table).subspan(first, last - first);
}

const KeySpec* FindKey(std::string_view section, std::string_view key) {
  for (const KeySpec& entry : KeysOfSection(section)) {
    if (SameName(entry.name, key)) return &entry;
  }
  return nullptr;
}

}  // namespace lmvn
