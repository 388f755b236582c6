// The rules every screen of the program follows: centred on the screen, on top of other
// windows when the program runs from the saver folder, text fields that select their whole text
// on focus, and the same message box for a user's slip. (The Properties dialog's number boxes
// select all through SelectAllEdit in ui/properties_field.h.)
#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace lmvn::ui {

// Moves a top-level window to the middle of the screen it is on.
void CentreOnScreen(QWidget* window);

// Keeps the window above all others when the program runs installed; call before showing.
void ApplyTopmostRule(QWidget* window);

// The field's whole text is selected whenever it gains the focus (by key or by click).
void SelectAllOnFocus(QLineEdit* field);

// A message with an exclamation icon and an OK button.
void ShowExclamation(QWidget* parent, const QString& text);

// Screen pixels for a length in twips (1440 per inch) on the screen of `widget`.
double PixelsFromTwips(const QWidget* widget, double twips);

}  // namespace lmvn::ui
