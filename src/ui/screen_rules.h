// The rules every screen of the program follows: centred on the screen, on top of other
// windows when the program runs from the saver folder, whole text selected when a text box
// gains the focus, and the same message box for a user's slip.
#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace lmvn::ui {

// Moves a top-level window to the middle of the screen it is on.
void CentreOnScreen(QWidget* window);

// Keeps the window above all others when the program runs installed; call before showing.
void ApplyTopmostRule(QWidget* window);

// Selects the whole text of `box` whenever it gains the focus (by key or by click).
void SelectAllOnFocus(QLineEdit* box);

// A message with an exclamation icon and an OK button.
void ShowExclamation(QWidget* parent, const QString& text);

// The value of text as the dialogs read a number: "0" is put in front of the text and the
// longest leading run of digits with at most one decimal point is read, so an empty box is 0
// and anything after the number is ignored.
double LeadingNumber(const QString& text);

// Screen pixels for a length in twips (1440 per inch) on the screen of `widget`.
double PixelsFromTwips(const QWidget* widget, double twips);

}  // namespace lmvn::ui
