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
  // "0" in front, then the digits and at most one decimal point that begin the text.
  std::string number(1, '0');
  bool point = false;
  for (const QChar c : text) {
    if (c.unicode() >= '0' && c.unicode() <= '9') {
      number.push_back(static_cast<char>(c.unicode()));
    } else if (c == QLatin1Char('.') && !point) {
      point = true;
      number.push_back('.');
    } else {
      break;
    }
  }
  double value = 0;
  // from_chars ignores the locale, whose decimal point may not be ".".
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) return HUGE_VAL;
  return value;
}

double PixelsFromTwips(const QWidget* widget, double twips) {
  double dpi = 96.0;
  if (widget && widget->logicalDpiX() > 0) dpi = widget->logicalDpiX();
  return twips * dpi / 1440.0;
}

}  // namespace lmvn::ui
