// The field rule of the built-in theme texts.
//
// A theme is one text of comma-separated decimal fields. Field k (counting from 0) is the text
// between the k-th and the (k+1)-th comma, with blanks around it removed, after one comma has
// been appended to the whole text; so the first field is everything before the first comma.
#pragma once

#include <string_view>

namespace lmvn {

// Field `index` of `text` by the rule above; empty when the text has fewer fields (or the
// index is negative).
std::string_view ThemeField(std::string_view text, int index);

}  // namespace lmvn
