#include "settings/dialog_values.h"

#include "settings/catalogue.h"

namespace lmvn {

namespace {

template <typename Entries>
auto FindEntry(Entries& entries, std::string_view section, std::string_view key) {
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (SameName(it->section, section) && SameName(it->key, key)) return it;
  }
  return entries.end();
}

}  // namespace

std::string DialogValues::Get(std::string_view section, std::string_view key) const {
  const auto it = FindEntry(entries_, section, key);
  return it == entries_.end() ? std::string() : it->text;
}

bool DialogValues::Has(std::string_view section, std::string_view key) const {
  return FindEntry(entries_, section, key) != entries_.end();
}

void DialogValues::Set(std::string_view section, std::string_view key, std::string_view text) {
  const auto it = FindEntry(entries_, section, key);
  if (it != entries_.end()) {
    it->text = std::string(text);
    return;
  }
  entries_.push_back({std::string(section), std::string(key), std::string(text)});
}

}  // namespace lmvn
