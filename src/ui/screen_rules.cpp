#include "ui/screen_rules.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

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

void CentreOnScreen(QWidget* window) {
  if (!window) return;
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize size = window->frameGeometry().size();
  window->move(area.x() + (area.width() - size.width()) / 2,
               area.y() + (area.height() - size.height()) / 2);
}

void ApplyTopmostRule(QWidget* window) {
  if (window && Run().runMode == RunMode::Installed) {
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  }
}

void ShowExclamation(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumivane"), text, QMessageBox::Ok, parent);
  box.exec();
}

double PixelsFromTwips(const QWidget* widget, double twips) {
  double dpi = 96.0;
  if (widget && widget->logicalDpiX() > 0) dpi = widget->logicalDpiX();
  return twips * dpi / 1440.0;
}

}  // namespace lmvn::ui
