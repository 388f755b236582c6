// Builds the effect that runs next, with the settings its loader reads.
#pragma once

#include <memory>

#include "effects/effect.h"
#include "effects/effect_catalogue.h"
#include "settings/loaders.h"

namespace lmvn {

// Which effect to build, and how its settings are chosen.
struct EffectRequest {
  EffectId id = EffectId::Fireworks;
  // A built-in theme (Fireworks 1-13, Galaxies 1-16) instead of the stored values; 0 = the
  // store. Ignored by the effects that have no themes.
  Integer theme = 0;
  // Multiply the particle counts by perfMult, as the cycling driver and the tour do.
  bool scale = false;
  Single perfMult = 1.0f;
  // The effect's fixed demonstration values (the welcome screen) instead of the store.
  bool demo = false;
};

// The effect `request` names, with its settings loaded from the store (and `overrides`), a
// theme or its demonstration values. Empty for an effect that is not built yet.
std::unique_ptr<Effect> MakeEffect(const EffectRequest& request, const SettingOverrides& overrides,
                                   const EffectContext& context);

}  // namespace lmvn
