// The Properties dialog's text boxes: select-all on focus, the key filter, Up/Down stepping and
// validation when the focus leaves.
#pragma once

#include <QLineEdit>
#include <functional>
#include <utility>

#include "settings/dialog_layout.h"

namespace lmvn::ui {

// The beep of a refused key (QApplication::beep); tests count beeps through the replacement.
void Beep();
void SetBeepForTesting(std::function<void()> beep);

// A text box that selects its whole text when it gains the focus.
class SelectAllEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

// A numeric box of the dialog. Integer boxes take digits and Backspace; decimal boxes also one
// "."; anything else typed is refused with a beep. Stepped boxes go up and down by their step
// with the arrow keys. Leaving the box validates its text to the field's kind and range.
class PropertyField : public SelectAllEdit {
  Q_OBJECT
 public:
  PropertyField(const DialogField& field, QWidget* parent);

  const DialogField& field() const { return field_; }
  // The validation range; by default the catalogue's, the dialog narrows some by their partners.
  void setBoundsProvider(std::function<std::pair<double, double>()> bounds) {
    bounds_ = std::move(bounds);
  }
  std::pair<double, double> bounds() const;
  // Validates the text now, as leaving the box does.
  void validate();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  const DialogField& field_;
  std::function<std::pair<double, double>()> bounds_;
};

}  // namespace lmvn::ui
