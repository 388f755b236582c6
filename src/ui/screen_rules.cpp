#include "ui/screen_rules.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include "ui/screens.h"

namespace lmvn::ui {

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
