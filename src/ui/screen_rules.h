// The rules every screen of the program follows: centred on the screen, on top of other
// windows when the program runs from the saver folder, and the same message box for a user's
// slip. (Text boxes select their whole text on focus: SelectAllEdit in ui/properties_field.h.)
#pragma once

#include <QString>

class QWidget;

namespace lmvn::ui {

// Moves a top-level window to the middle of the screen it is on.
void CentreOnScreen(QWidget* window);

// Keeps the window above all others when the program runs installed; call before showing.
void ApplyTopmostRule(QWidget* window);

// A message with an exclamation icon and an OK button.
void ShowExclamation(QWidget* parent, const QString& text);

// Screen pixels for a length in twips (1440 per inch) on the screen of `widget`.
double PixelsFromTwips(const QWidget* widget, double twips);

}  // namespace lmvn::ui
