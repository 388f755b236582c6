#include "effects/effect_factory.h"

#include "effects/starfield.h"

namespace lmvn {

std::unique_ptr<Effect> MakeEffect(EffectId id, bool scale, Single perfMult,
                                   const SettingOverrides& overrides,
                                   const EffectContext& context) {
  switch (id) {
    case EffectId::Starfield:
      return std::make_unique<Starfield>(LoadStarfieldSettings(scale, perfMult, overrides),
                                         context);
    case EffectId::Fireworks:
    case EffectId::Warp:
    case EffectId::Sparklers:
    case EffectId::GravityWells:
    case EffectId::Galaxies:
      break;
  }
  return nullptr;
}

}  // namespace lmvn
