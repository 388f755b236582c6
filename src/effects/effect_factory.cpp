#include "effects/effect_factory.h"

#include "effects/galaxies.h"
#include "effects/starfield.h"

namespace lmvn {

std::unique_ptr<Effect> MakeEffect(const EffectRequest& request, const SettingOverrides& overrides,
                                   const EffectContext& context) {
  switch (request.id) {
    case EffectId::Starfield:
      return std::make_unique<Starfield>(
          LoadStarfieldSettings(request.scale, request.perfMult, overrides), context);
    case EffectId::Fireworks:
    case EffectId::Warp:
    case EffectId::Sparklers:
    case EffectId::GravityWells:
      break;
    case EffectId::Galaxies:
      return std::make_unique<Galaxies>(
          request.demo
              ? GalaxyDemoSettings()
              : LoadGalaxySettings(request.theme, request.scale, request.perfMult, overrides),
          context);
  }
  return nullptr;
}

}  // namespace lmvn
