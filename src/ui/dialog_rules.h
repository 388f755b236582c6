// Rules every screen follows: a text field selects its whole text when it gains the focus, and
// on its first activation a screen stays above other windows when the program runs from its
// installed place.
#pragma once

class QLineEdit;
class QWidget;

namespace lmvn::ui {

// The field's whole text is selected whenever it gains the focus (by key or by click).
void SelectAllOnFocus(QLineEdit* field);

// Keeps `screen` above other windows when the program runs from its installed place; call
// before the screen is first shown.
void ApplyTopmostRule(QWidget* screen);

}  // namespace lmvn::ui
