#include "effects/effect_factory.h"

#include "effects/fireworks.h"
#include "effects/gravity_wells.h"
#include "effects/sparklers.h"
#include "effects/starfield.h"
#include "effects/warp.h"

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
    case EffectId::Warp:  // no demonstration: always the stored values
      return std::make_unique<Warp>(
          WarpParamsFromSettings(LoadWarpSettings(request.scale, request.perfMult, overrides)),
          context);
    case EffectId::Sparklers:
      return std::make_unique<Sparklers>(request.demo
                                             ? SparklerDemoParams()
                                             : SparklerParamsFromSettings(LoadSparklerSettings(
                                                   request.scale, request.perfMult, overrides)),
                                         context);
    case EffectId::GravityWells: {
      const GravityWellSettings stored =
          LoadGravityWellSettings(request.scale, request.perfMult, overrides);
      return std::make_unique<GravityWells>(
          request.demo ? GravityWellDemoParams(stored) : GravityWellParamsFromSettings(stored),
          context);
    }
    case EffectId::Galaxies:
      break;
  }
  return nullptr;
}

}  // namespace lmvn
