#include "effects/effect_factory.h"

#include "effects/fireworks.h"
#include "effects/starfield.h"

namespace lmvn {

std::unique_ptr<Effect> MakeEffect(const EffectRequest& request, const SettingOverrides& overrides,
                                   const EffectContext& context) {
  switch (request.id) {
    case EffectId::Starfield:
      return std::make_unique<Starfield>(
          LoadStarfieldSettings(request.scale, request.perfMult, overrides), context);
    case EffectId::Fireworks:
      if (request.demo) {
        return std::make_unique<Fireworks>(Fireworks::DemoSettings(), context,
                                           Fireworks::Form::Engine);
      }
      return std::make_unique<Fireworks>(
          LoadFireworksSettings(request.theme, request.scale, request.perfMult, overrides),
          context);
    case EffectId::Warp:
    case EffectId::Sparklers:
    case EffectId::GravityWells:
    case EffectId::Galaxies:
      break;
  }
  return nullptr;
}

}  // namespace lmvn
