// Moving settings between the store and the Properties dialog's values, and the factory reset.
//
// The transfer order is the order in which the dialog transfers and the template files move
// the settings: the sections General, Advanced, PixelColor and the six effect sections in
// effect order, each with its catalogue keys in catalogue order, except that Grav_StarMass
// (which no loader reads and so has its own catalogue list) follows Grav_ARadius. It is derived
// from the catalogue: a key added there joins the transfers.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/catalogue.h"
#include "settings/dialog_values.h"
#include "settings/loaders.h"

namespace lmvn {

struct TransferSection {
  std::string_view section;
  std::vector<const KeySpec*> keys;  // catalogue rows, in transfer order
};

// Every transferred section, in transfer order: General, Advanced, PixelColor, Fireworks,
// Starfield, B-SplineWarp, B-SplineSpark, GravityWell, Galaxy.
std::span<const TransferSection> TransferOrder();

// The keys of one transferred section in transfer order (section matched without regard to
// case); empty for a section that is not transferred (SoundFX, DisplayForm, unknown names).
std::span<const KeySpec* const> TransferKeys(std::string_view section);

// The section of effect number `effect` (0 Fireworks, 1 Starfield, 2 B-SplineWarp,
// 3 B-SplineSpark, 4 GravityWell, 5 Galaxy); empty outside 0..5.
std::string_view EffectSection(int effect);

// The sections the Properties dialog moves: General, PixelColor and the six effect sections
// (Advanced belongs to the Advanced dialog; the factory reset writes it straight to the store).
std::span<const std::string_view> DialogSections();

// Store to every dialog value: each key read with its catalogue default, in the number type
// its field validates to. Grav_StarMass is never loaded.
void LoadStoreIntoDialog(DialogValues& values);

// Every dialog value to the store (trimmed text), in transfer order, with one replacement of
// the settings file: all of them are stored, or (false) none.
bool SaveDialogToStore(const DialogValues& values);

// The dialog's values as the overrides of one run: the loaders read what Accept would store,
// and the store is neither read for those keys nor written.
SettingOverrides DialogOverrides(const DialogValues& values);

// Factory defaults into every dialog value (Grav_StarMass is left as it is), and the Advanced
// defaults but Adv_PerfMult straight to the store (all of them, or false and none).
bool LoadFactoryDefaults(DialogValues& values);

// The text a dialog value holds for `key` when the store holds `stored` (std::nullopt: nothing
// stored); the catalogue default otherwise.
std::string DialogTextFromStored(const KeySpec& key, std::optional<std::string_view> stored);

}  // namespace lmvn
