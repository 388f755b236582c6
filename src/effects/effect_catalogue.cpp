#include "effects/effect_catalogue.h"

#include <cctype>

namespace lmvn {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<EffectId> ParseEffect(std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '5') {
    return static_cast<EffectId>(text[0] - '0');
  }
  for (const EffectInfo& info : kEffects) {
    if (EqualsIgnoringCase(text, info.name)) return info.id;
  }
  return std::nullopt;
}

}  // namespace lmvn
