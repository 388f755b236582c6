#include "effects/effect_catalogue.h"

#include "settings/catalogue.h"

namespace lmvn {
std::optional<EffectId> ParseEffect(std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '5') {
    return static_cast<EffectId>(text[0] - '0');
  }
  for (const EffectInfo& info : kEffects) {
    if (SameName(text, info.name)) return info.id;
  }
  return std::nullopt;
}

}  // namespace lmvn
