// Builds the effect that runs next, with the settings its loader reads.
#pragma once

#include <memory>

#include "effects/effect.h"
#include "effects/effect_catalogue.h"
#include "settings/loaders.h"

namespace lmvn {

// The effect `id` with its settings loaded from the store (and `overrides`). `scale`
// multiplies its particle counts by perfMult, as when cycling. Empty for an effect that is
// not built yet.
std::unique_ptr<Effect> MakeEffect(EffectId id, bool scale, Single perfMult,
                                   const SettingOverrides& overrides, const EffectContext& context);

}  // namespace lmvn
