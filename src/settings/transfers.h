// Moving settings between the store and the Properties dialog's values, and the factory reset.
//
// The transfer order is the order in which the dialog transfers and the template files move
// the settings: the sections General, Advanced, PixelColor and the six effect sections in
// effect order, each with its catalogue keys in catalogue order, except that Grav_StarMass
// (which no loader reads and so has its own catalogue list) follows Grav_ARadius. It is derived
// from the catalogue: a key added there joins the transfers.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "settings/catalogue.h"

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

}  // namespace lmvn
