#include "settings/theme_fields.h"

#include "settings/value_text.h"

namespace lmvn {

std::string_view ThemeField(std::string_view text, int index) {
  if (index < 0) return {};
  std::size_t start = 0;
  for (int k = 0; k < index; ++k) {
    const std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) return {};  // fewer fields than asked for
    start = comma + 1;
  }
  // The appended comma ends the last field: a missing comma means "to the end of the text".
  const std::size_t end = text.find(',', start);
  return TrimBlanks(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
}

}  // namespace lmvn
