#include "settings/transfers.h"

#include <array>

#include "settings/dialog_layout.h"
#include "settings/store.h"
#include "settings/value_text.h"

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

namespace lmvn {
namespace {

constexpr std::array<std::string_view, 8> kDialogSections = {
    kSectionGeneral, kSectionPixelColor, kSectionFireworks,   kSectionStarfield,
    kSectionWarp,    kSectionSparkler,   kSectionGravityWell, kSectionGalaxy};

}  // namespace

std::span<const std::string_view> DialogSections() {
  return kDialogSections;
}

std::string DialogTextFromStored(const KeySpec& key, std::optional<std::string_view> stored) {
  const DialogField* field = FindDialogField(key.section, key.name);
  const FieldKind kind = field != nullptr ? field->kind : FieldKind::Text;
  const auto integerDefault = [&] { return IntegerFromText(key.defaultText, 0); };
  switch (kind) {
    case FieldKind::Integer:
    case FieldKind::List:
      return std::to_string(IntegerFromText(stored, integerDefault()));
    case FieldKind::Long:
      return std::to_string(LongFromText(stored, LongFromText(key.defaultText, 0)));
    case FieldKind::Single:
      return FieldText(FieldKind::Single,
                       SingleFromText(stored, SingleFromText(key.defaultText, 0)));
    case FieldKind::Switch:
      return IntegerFromText(stored, integerDefault()) == 1 ? "1" : "0";
    case FieldKind::SwitchNonZero:
      return IntegerFromText(stored, integerDefault()) != 0 ? "1" : "0";
    case FieldKind::Text:
    case FieldKind::Hidden:
      break;
  }
  return StringFromText(stored, key.defaultText);
}

void LoadStoreIntoDialog(DialogValues& values) {
  for (std::string_view section : DialogSections()) {
    for (const KeySpec* key : TransferKeys(section)) {
      if (!key->loaded) continue;  // Grav_StarMass: written, never loaded
      // One string read per key; the typed conversion follows the store's own rules.
      const std::string missing = "\x01";
      const std::string text = ReadSettingString(kSettingsApp, section, key->name, missing);
      values.Set(section, key->name,
                 DialogTextFromStored(
                     *key, text == missing ? std::nullopt : std::optional<std::string_view>(text)));
    }
  }
}

bool SaveDialogToStore(const DialogValues& values) {
  // One replacement of the file for the whole dialog: all of it is stored, or nothing.
  std::vector<std::string> texts;
  std::vector<SettingWrite> writes;
  for (std::string_view section : DialogSections()) {
    for (const KeySpec* key : TransferKeys(section)) {
      texts.push_back(values.Get(section, key->name));
    }
  }
  std::size_t i = 0;
  for (std::string_view section : DialogSections()) {
    for (const KeySpec* key : TransferKeys(section))
      writes.push_back({section, key->name, texts[i++]});
  }
  return WriteSettings(kSettingsApp, writes);
}

SettingOverrides DialogOverrides(const DialogValues& values) {
  SettingOverrides overrides;
  for (std::string_view section : DialogSections()) {
    for (const KeySpec* key : TransferKeys(section)) {
      if (values.Has(section, key->name)) {
        overrides.Set(section, key->name, values.Get(section, key->name));
      }
    }
  }
  return overrides;
}

bool LoadFactoryDefaults(DialogValues& values) {
  for (std::string_view section : DialogSections()) {
    for (const KeySpec* key : TransferKeys(section)) {
      if (!key->loaded) continue;  // Grav_StarMass keeps what the box holds
      values.Set(section, key->name, DialogTextFromStored(*key, std::nullopt));
    }
  }
  std::vector<SettingWrite> writes;
  for (const KeySpec* key : TransferKeys(kSectionAdvanced)) {
    if (SameName(key->name, "Adv_PerfMult")) continue;  // the multiplier stays as stored
    writes.push_back({kSectionAdvanced, key->name, key->defaultText});
  }
  return WriteSettings(kSettingsApp, writes);
}

}  // namespace lmvn
