// The Properties dialog's fields, from the catalogue and its layout (settings/catalogue_layout.h):
// which page and frame each key stands in, how it validates, and the field rules that do not
// need a window (reading a typed text, stepping, validation, the cross-field limits).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/catalogue.h"
#include "settings/dialog_values.h"

namespace lmvn {

enum class FieldKind { Integer, Long, Single, Text, Switch, SwitchNonZero, List, Hidden };

struct DialogField {
  const KeySpec* key = nullptr;  // label, range, step and default
  FieldKind kind = FieldKind::Text;
  std::string_view frame;  // frame or sub-page caption; empty for the page's main area
  int index = -1;          // control index within the page's array of boxes
  bool stepped = false;    // Up/Down stepping and a spinner
  std::vector<std::string_view> entries;  // a list's entries
  bool numeric() const {
    return kind == FieldKind::Integer || kind == FieldKind::Long || kind == FieldKind::Single;
  }
};

// The fields of one dialog section (General, PixelColor or an effect section), in display order;
// empty for other sections.
std::span<const DialogField> DialogFields(std::string_view section);
// One field; nullptr when the key is not a dialog field.
const DialogField* FindDialogField(std::string_view section, std::string_view key);

// The sub-pages of the Fireworks and Galaxy pages, in list order.
std::span<const std::string_view> FireworksSubPages();
std::span<const std::string_view> GalaxySubPages();

// A box's text read as a number the way the dialog reads it: "0" put in front, then the longest
// leading decimal number (digits, one point); 0 when there is none.
double FieldNumber(std::string_view text);

// The text a box shows for `value` of its kind.
std::string FieldText(FieldKind kind, double value);

// Validation on leaving a box: the number converted to the field's kind (whole kinds round half
// to even) and limited to low..high. Numbers beyond the kind's range are limited first.
std::string ValidateFieldText(FieldKind kind, std::string_view text, double low, double high);

// Up (+1) or Down (-1) on a stepped box: the value plus or minus the step, within low..high.
std::string StepFieldText(FieldKind kind, std::string_view text, double step, double low,
                          double high, int direction);

// A limit that ties a box to its partners on the same page.
struct CrossLimit {
  enum class Rule { Product30000, SumTo100 } rule;
  std::string_view section;
  std::vector<std::string_view> keys;
};
std::span<const CrossLimit> CrossLimits();
// The limit that `key` takes part in, or nullptr.
const CrossLimit* CrossLimitOf(std::string_view section, std::string_view key);
// The bounds of the edited key under its cross limit, from its partners' texts in `values`.
// The low bound is 1 for Product30000 and 0 for SumTo100.
std::pair<double, double> CrossLimitBounds(const CrossLimit& limit, std::string_view key,
                                           const DialogValues& values);

}  // namespace lmvn
