// The values the Properties dialog holds: one text per catalogue key.
//
// The dialog's fields are mirrored here so that the transfers between store and dialog, the
// factory reset and the template files work on plain data, without a window. Text boxes hold
// their text, switches "1" or "0", lists their selected index as text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lmvn {

class DialogValues {
 public:
  // The text of section/key (matched without regard to case); empty when never set.
  std::string Get(std::string_view section, std::string_view key) const;
  bool Has(std::string_view section, std::string_view key) const;
  void Set(std::string_view section, std::string_view key, std::string_view text);

 private:
  struct Entry {
    std::string section, key, text;
  };
  std::vector<Entry> entries_;
};

}  // namespace lmvn
