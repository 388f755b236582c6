#include "ui/dialog_rules.h"

#include <QEvent>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "ui/screens.h"

namespace lmvn::ui {
namespace {

class SelectAllFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      // After the click that gave the focus has placed the cursor.
      QPointer<QLineEdit> field = qobject_cast<QLineEdit*>(watched);
      QTimer::singleShot(0, field, [field] {
        if (field && field->hasFocus()) field->selectAll();
      });
    }
    return false;
  }
};

}  // namespace

void SelectAllOnFocus(QLineEdit* field) {
  field->installEventFilter(new SelectAllFilter(field));
}

void ApplyTopmostRule(QWidget* screen) {
  if (Run().runMode == RunMode::Installed) screen->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

}  // namespace lmvn::ui
