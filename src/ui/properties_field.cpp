#include "ui/properties_field.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace lmvn::ui {

namespace {
std::function<void()>& BeepHook() {
  static std::function<void()> hook;
  return hook;
}
}  // namespace

void Beep() {
  if (BeepHook()) {
    BeepHook()();
  } else {
    QApplication::beep();
  }
}

void SetBeepForTesting(std::function<void()> beep) {
  BeepHook() = std::move(beep);
}

void SelectAllEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (isReadOnly()) return;
  selectAll();
  // A mouse click places the cursor after the focus arrives; select again once it has.
  QTimer::singleShot(0, this, [this] {
    if (hasFocus()) selectAll();
  });
}

PropertyField::PropertyField(const DialogField& field, QWidget* parent)
    : SelectAllEdit(parent), field_(field) {
  setObjectName(
      QString::fromUtf8(field.key->name.data(), static_cast<qsizetype>(field.key->name.size())));
  setMaxLength(32);
}

std::pair<double, double> PropertyField::bounds() const {
  return bounds_ ? bounds_() : std::make_pair(field_.key->min, field_.key->max);
}

void PropertyField::validate() {
  const auto [low, high] = bounds();
  const QString text =
      QString::fromStdString(ValidateFieldText(field_.kind, this->text().toStdString(), low, high));
  if (text != this->text()) setText(text);
}

void PropertyField::keyPressEvent(QKeyEvent* event) {
  if (field_.stepped && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const auto [low, high] = bounds();
    setText(
        QString::fromStdString(StepFieldText(field_.kind, text().toStdString(), field_.key->step,
                                             low, high, event->key() == Qt::Key_Up ? 1 : -1)));
    selectAll();
    event->accept();
    return;
  }
  const QString typed = event->text();
  const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
  if (typed.size() == 1 && typed[0].unicode() >= 0x20 && typed[0].unicode() != 0x7f && !shortcut) {
    const QChar c = typed[0];
    bool accept = c >= u'0' && c <= u'9';
    if (c == u'.' && field_.kind == FieldKind::Single) {
      // One point: refused when the text outside the selection already holds one.
      QString outside = text();
      if (hasSelectedText()) outside.remove(selectionStart(), selectedText().size());
      accept = !outside.contains(u'.');
    }
    if (!accept) {
      Beep();
      event->accept();
      return;
    }
  }
  SelectAllEdit::keyPressEvent(event);
}

void PropertyField::focusOutEvent(QFocusEvent* event) {
  SelectAllEdit::focusOutEvent(event);
  // A popup menu or another window taking the focus is not leaving the box.
  if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
    validate();
  }
}

}  // namespace lmvn::ui
