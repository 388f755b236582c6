#include "settings/dialog_layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "render/numeric.h"
#include "settings/catalogue_layout.h"
#include "settings/transfers.h"
#include "settings/value_text.h"

namespace lmvn {
namespace {

struct LayoutRow {
  std::string_view name;
  FieldKind kind;
  std::string_view frame;
  int index;
  bool stepped;
  std::string_view entries;
};

#define LMVN_LAYOUT_ROW(name, kind, frame, index, stepped, entries) \
  LayoutRow{#name, FieldKind::kind, frame, index, stepped, entries},

struct SectionLayout {
  std::string_view section;
  std::vector<LayoutRow> rows;
};

const std::vector<SectionLayout>& Layouts() {
  static const std::vector<SectionLayout> layouts = {
      {kSectionGeneral, {LMVN_GENERAL_LAYOUT(LMVN_LAYOUT_ROW)}},
      {kSectionPixelColor, {LMVN_PIXELCOLOR_LAYOUT(LMVN_LAYOUT_ROW)}},
      {kSectionFireworks, {LMVN_FIREWORKS_LAYOUT(LMVN_LAYOUT_ROW)}},
      {kSectionStarfield, {LMVN_STARFIELD_LAYOUT(LMVN_LAYOUT_ROW)}},
      {kSectionWarp, {LMVN_WARP_LAYOUT(LMVN_LAYOUT_ROW)}},
      {kSectionSparkler, {LMVN_SPARKLER_LAYOUT(LMVN_LAYOUT_ROW)}},
      {kSectionGravityWell, {LMVN_GRAVITYWELL_LAYOUT(LMVN_LAYOUT_ROW)}},
      {kSectionGalaxy, {LMVN_GALAXY_LAYOUT(LMVN_LAYOUT_ROW)}},
  };
  return layouts;
}

#undef LMVN_LAYOUT_ROW

std::vector<std::string_view> SplitEntries(std::string_view text) {
  std::vector<std::string_view> entries;
  while (!text.empty()) {
    const std::size_t bar = text.find('|');
    entries.push_back(text.substr(0, bar));
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  return entries;
}

// The kind of a key that has no layout row, from its catalogue type and control.
FieldKind DefaultKind(const KeySpec& key) {
  switch (key.control) {
    case KeyControl::List:
      return FieldKind::List;
    case KeyControl::Switch:
      return FieldKind::Switch;
    case KeyControl::Text:
      return FieldKind::Text;
    case KeyControl::None:
    case KeyControl::BitSet:
      return FieldKind::Hidden;
    case KeyControl::Field:
      break;
  }
  switch (key.type) {
    case KeyType::Integer:
      return FieldKind::Integer;
    case KeyType::Long:
      return FieldKind::Long;
    case KeyType::Single:
      return FieldKind::Single;
    case KeyType::Switch:
      return FieldKind::Switch;
    case KeyType::NonZeroSwitch:
      return FieldKind::SwitchNonZero;
    case KeyType::String:
      return FieldKind::Text;
  }
  return FieldKind::Text;
}

struct SectionFields {
  std::string_view section;
  std::vector<DialogField> fields;
};

std::vector<SectionFields> BuildFields() {
  std::vector<SectionFields> all;
  for (const SectionLayout& layout : Layouts()) {
    SectionFields entry{layout.section, {}};
    for (const LayoutRow& row : layout.rows) {
      const KeySpec* key = FindKey(layout.section, row.name);
      if (key == nullptr) continue;  // a layout row for a key the catalogue no longer has
      entry.fields.push_back(
          {key, row.kind, row.frame, row.index, row.stepped, SplitEntries(row.entries)});
    }
    for (const KeySpec* key : TransferKeys(layout.section)) {
      const bool placed = std::any_of(entry.fields.begin(), entry.fields.end(),
                                      [&](const DialogField& f) { return f.key == key; });
      if (!placed) entry.fields.push_back({key, DefaultKind(*key), {}, -1, false, {}});
    }
    all.push_back(std::move(entry));
  }
  return all;
}

const std::vector<SectionFields>& Fields() {
  static const std::vector<SectionFields> fields = BuildFields();
  return fields;
}

constexpr std::array<std::string_view, 8> kFireworksSubPages = {"Launch",
                                                                "Pixel Dispersion Pattern",
                                                                "Burst Config:  Multi-Burst",
                                                                "Burst Config:  Jet-Burst",
                                                                "Burst Config:  Scintillators",
                                                                "Burst Config:  Sparklers",
                                                                "Burst Config:  Rings",
                                                                "Burst Config:  Twisters"};
constexpr std::array<std::string_view, 6> kGalaxySubPages = {
    "Galaxy Characteristics", "New Star Creation",     "Nova Star Creation",
    "Star Burst Creation",    "Comet Characteristics", "Ambient Star Characteristics"};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The limits of the kind itself, so that a conversion never overflows.
std::pair<double, double> KindLimits(FieldKind kind) {
  switch (kind) {
    case FieldKind::Integer:
      return {std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()};
    case FieldKind::Long:
      return {std::numeric_limits<Long>::min(), std::numeric_limits<Long>::max()};
    default:
      return {-std::numeric_limits<Single>::max(), std::numeric_limits<Single>::max()};
  }
}

double ToKind(FieldKind kind, double value) {
  const auto [low, high] = KindLimits(kind);
  value = std::clamp(value, low, high);
  switch (kind) {
    case FieldKind::Integer:
      return CIntOr(value, 0);
    case FieldKind::Long:
      return CLngOr(value, 0);
    default:
      return static_cast<double>(static_cast<Single>(value));
  }
}

}  // namespace

std::span<const DialogField> DialogFields(std::string_view section) {
  for (const SectionFields& entry : Fields()) {
    if (SameName(entry.section, section)) return entry.fields;
  }
  return {};
}

const DialogField* FindDialogField(std::string_view section, std::string_view key) {
  for (const DialogField& field : DialogFields(section)) {
    if (SameName(field.key->name, key)) return &field;
  }
  return nullptr;
}

std::span<const std::string_view> FireworksSubPages() {
  return kFireworksSubPages;
}
std::span<const std::string_view> GalaxySubPages() {
  return kGalaxySubPages;
}

double FieldNumber(std::string_view text) {
  // "0" in front: the text itself may be empty or start with its point.
  std::string number = "0";
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      number += text[i];
    } else if (text[i] == '.' && !point) {
      point = true;
      number += '.';
    } else {
      break;
    }
  }
  // An exponent only when digits follow it.
  if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (text[j] == '+' || text[j] == '-') exponent += text[j++];
    const std::size_t digits = j;
    while (j < text.size() && IsDigit(text[j])) exponent += text[j++];
    if (j > digits) number += exponent;
  }
  const double value = std::strtod(number.c_str(), nullptr);
  return std::isfinite(value) ? value : std::numeric_limits<double>::max();
}

std::string FieldText(FieldKind kind, double value) {
  if (kind == FieldKind::Integer || kind == FieldKind::Long) {
    return std::to_string(static_cast<long long>(ToKind(kind, value)));
  }
  const Single single = static_cast<Single>(ToKind(FieldKind::Single, value));
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, single, std::chars_format::fixed);
  if (result.ec != std::errc{}) return "0";
  return std::string(buffer, result.ptr);
}

std::string ValidateFieldText(FieldKind kind, std::string_view text, double low, double high) {
  double value = ToKind(kind, FieldNumber(text));
  if (high >= low) value = std::clamp(value, low, high);
  return FieldText(kind, value);
}

std::string StepFieldText(FieldKind kind, std::string_view text, double step, double low,
                          double high, int direction) {
  const double value = FieldNumber(text);
  const double next = direction > 0 ? std::min(value + step, high) : std::max(value - step, low);
  return FieldText(kind, next);
}

std::span<const CrossLimit> CrossLimits() {
  using Rule = CrossLimit::Rule;
  static const std::vector<CrossLimit> limits = {
      {Rule::Product30000, kSectionFireworks, {"FireWorks", "FireSparks"}},
      {Rule::SumTo100, kSectionFireworks, {"FireSplinePct", "FirePatternPct"}},
      {Rule::SumTo100,
       kSectionFireworks,
       {"FireScintPct", "FireMultiPct", "FireBurstPct", "FireSparkPct", "FireRingPct",
        "FireTwistPct"}},
      {Rule::Product30000, kSectionWarp, {"Warp_Works", "Warp_Sparks"}},
      {Rule::SumTo100, kSectionStarfield, {"Star_Comet_Percent", "Star_Dyson_Percent"}},
      {Rule::SumTo100, kSectionPixelColor, {"ColorPctInt", "ColorPctHue"}},
  };
  return limits;
}

const CrossLimit* CrossLimitOf(std::string_view section, std::string_view key) {
  for (const CrossLimit& limit : CrossLimits()) {
    if (!SameName(limit.section, section)) continue;
    for (std::string_view member : limit.keys) {
      if (SameName(member, key)) return &limit;
    }
  }
  return nullptr;
}

std::pair<double, double> CrossLimitBounds(const CrossLimit& limit, std::string_view key,
                                           const DialogValues& values) {
  double others = 0;
  for (std::string_view member : limit.keys) {
    if (SameName(member, key)) continue;
    const double number = FieldNumber(values.Get(limit.section, member));
    others = limit.rule == CrossLimit::Rule::Product30000 ? number : others + number;
  }
  if (limit.rule == CrossLimit::Rule::Product30000) {
    return {1, std::floor(30000 / std::max(others, 1.0))};
  }
  return {0, std::clamp(100 - others, 0.0, 100.0)};
}

}  // namespace lmvn
