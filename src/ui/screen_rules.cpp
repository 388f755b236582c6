#include "ui/screen_rules.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <charconv>
#include <cmath>
#include <string>

#include "ui/screens.h"

namespace lmvn::ui {

namespace {

// Selects the text after the focus event has been handled, so that the click that brought
// the focus does not undo the selection.
class SelectAllFilter final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      if (auto* box = qobject_cast<QLineEdit*>(watched); box && !box->isReadOnly()) {
        QTimer::singleShot(0, box, [box] {
          if (box->hasFocus()) box->selectAll();
        });
      }
    }
    return false;
  }
};

}  // namespace

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

void SelectAllOnFocus(QLineEdit* box) {
  if (box) box->installEventFilter(new SelectAllFilter(box));
}

void ShowExclamation(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumivane"), text, QMessageBox::Ok, parent);
  box.exec();
}

double LeadingNumber(const QString& text) {
  const std::string s = "0" + text.toStdString();
  std::size_t end = 0;
  while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
  if (end < s.size() && s[end] == '.') {
    ++end;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
  }
  double value = 0;
  // from_chars ignores the locale, whose decimal point may not be ".".
  const auto result = std::from_chars(s.data(), s.data() + end, value);
  if (result.ec == std::errc::result_out_of_range) return HUGE_VAL;
  return value;
}

double PixelsFromTwips(const QWidget* widget, double twips) {
  double dpi = 96.0;
  if (widget && widget->logicalDpiX() > 0) dpi = widget->logicalDpiX();
  return twips * dpi / 1440.0;
}

}  // namespace lmvn::ui
