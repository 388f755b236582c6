#include "ui/surface_view.h"

#include <QPaintEvent>
#include <QPainter>

namespace lmvn::ui {

SurfaceView::SurfaceView(QWidget* parent, std::function<void()> frame)
    : QWidget(parent),
      surface_(std::make_unique<Surface>(1, 1)),
      presenter_(std::make_unique<Presenter>(*this, *surface_, std::move(frame))) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

SurfaceView::~SurfaceView() {
  presenter_.reset();  // before the surface whose memory it may hold
}

void SurfaceView::FitSurface() {
  presenter_->Resize(std::max(1, width()), std::max(1, height()));
  update();
}

void SurfaceView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  presenter_->Paint(painter, event->region());
}

void SurfaceView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (onDoubleClick) {
    onDoubleClick();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace lmvn::ui
