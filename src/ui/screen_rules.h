// The rules every screen of the program follows: centred within the free area of its screen,
// on top of other windows when the program runs from the saver folder, text fields that select
// their whole text on focus, and the same message box for a user's slip. (The Properties
// dialog's number boxes select all through SelectAllEdit in ui/properties_field.h.)
#pragma once

#include <QString>
#include <string>

class QLineEdit;
class QScrollArea;
class QWidget;

namespace lmvn::ui {

// Fits a top-level window into the free area of its screen (what panels leave) and centres it
// there: never larger than that area, where a page that needs more room scrolls (see
// ScrollWhenTall), and never partly off it.
void FitOnScreen(QWidget* window);

// FitOnScreen when the window first shows, and once more at its first activation if the window
// manager's frame, known only then, makes it stick out.
void FitWhenShown(QWidget* window);

// A scroll area around `page` that asks for the whole page, so that the window shows the page
// unscrolled where its screen has the room and scrolls it where it has not.
QScrollArea* ScrollWhenTall(QWidget* page);

// Keeps the window above all others when the program runs installed; call before showing.
void ApplyTopmostRule(QWidget* window);

// The field's whole text is selected whenever it gains the focus (by key or by click).
void SelectAllOnFocus(QLineEdit* field);

// A message with an exclamation icon and an OK button.
void ShowExclamation(QWidget* parent, const QString& text);

// Says that `what` ("The settings", "The template") could not be saved to `path`, with the
// reason the store gave for its last failed write (settings/store.h), and that the values are
// still in the dialog. Used wherever a dialog's write fails, which then stays open.
void ShowWriteFailure(QWidget* parent, const QString& what, const std::string& path);

// Screen pixels for a length in twips (1440 per inch) on the screen of `widget`.
double PixelsFromTwips(const QWidget* widget, double twips);

}  // namespace lmvn::ui
