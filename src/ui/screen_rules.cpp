#include "ui/screen_rules.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "settings/store.h"
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

class FitFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && !shown_) {
      shown_ = true;
      FitOnScreen(window);
    } else if (event->type() == QEvent::WindowActivate) {
      const QScreen* screen = window->screen();
      if (screen && !screen->availableGeometry().contains(window->frameGeometry())) {
        FitOnScreen(window);
      }
      deleteLater();
    }
    return false;
  }

 private:
  bool shown_ = false;
};

class WholePageScroll : public QScrollArea {
 public:
  QSize sizeHint() const override {
    if (widget() == nullptr) return QScrollArea::sizeHint();
    return widget()->sizeHint() + QSize(2 * frameWidth(), 2 * frameWidth());
  }
};

}  // namespace

void SelectAllOnFocus(QLineEdit* field) {
  field->installEventFilter(new SelectAllFilter(field));
}

void FitOnScreen(QWidget* window) {
  if (!window) return;
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize frame = window->frameGeometry().size() - window->size();
  // A size the program chose stands; otherwise the layout's whole wish (adjustSize cuts it to
  // two thirds of the screen, which leaves a small screen's room unused).
  const QSize wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
  window->resize(wanted.boundedTo(area.size() - frame));
  const QSize outer = window->size() + frame;
  window->move(std::max(area.x(), area.x() + (area.width() - outer.width()) / 2),
               std::max(area.y(), area.y() + (area.height() - outer.height()) / 2));
}

void FitWhenShown(QWidget* window) {
  window->installEventFilter(new FitFilter(window));
}

QScrollArea* ScrollWhenTall(QWidget* page) {
  auto* area = new WholePageScroll;
  area->setFrameShape(QFrame::NoFrame);
  area->setFocusPolicy(Qt::NoFocus);  // Tab goes to the page's fields, and scrolls to them
  area->setWidgetResizable(true);
  area->setWidget(page);
  return area;
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

void ShowWriteFailure(QWidget* parent, const QString& what, const std::string& path) {
  QString reason = QString::fromStdString(LastWriteProblem());
  if (reason.isEmpty()) reason = QStringLiteral("the file could not be written");
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumivane"),
                  QStringLiteral("%1 could not be saved to %2: %3.")
                      .arg(what, QString::fromLocal8Bit(path.c_str()), reason),
                  QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("writeFailure"));
  box.setInformativeText(
      QStringLiteral("Nothing was changed there; your values are still in the dialog."));
  box.exec();
}

double PixelsFromTwips(const QWidget* widget, double twips) {
  double dpi = 96.0;
  if (widget && widget->logicalDpiX() > 0) dpi = widget->logicalDpiX();
  return twips * dpi / 1440.0;
}

}  // namespace lmvn::ui
