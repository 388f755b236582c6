#include "ui/surface_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

namespace lmvn::ui {

SurfaceView::SurfaceView(QWidget* parent)
    : QWidget(parent), surface_(std::make_unique<Surface>(1, 1)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceView::FitSurface() {
  surface_->Resize(std::max(1, width()), std::max(1, height()));
  update();
}

void SurfaceView::Present() {
  const Surface::Rect r = surface_->TakeChangedRect();
  if (!r.empty()) update(QRect(r.x, r.y, r.w, r.h));
}

void SurfaceView::paintEvent(QPaintEvent* event) {
  const Surface& s = *surface_;
  const QImage image(reinterpret_cast<const uchar*>(s.pixels()), s.width(), s.height(),
                     static_cast<qsizetype>(s.width()) * 4, QImage::Format_RGBX8888);
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, Qt::black);  // beyond the surface while it catches up with a resize
  painter.drawImage(area.topLeft(), image, area);
}

void SurfaceView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (onDoubleClick) {
    onDoubleClick();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace lmvn::ui
