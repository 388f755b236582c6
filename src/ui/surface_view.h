// A widget that shows a Surface through the presenter and runs its frames: the welcome
// screen's demonstrations, the credits' star field and the Properties dialog's preview.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "render/surface.h"
#include "ui/presenter.h"

namespace lmvn::ui {

class SurfaceView : public QWidget {
  Q_OBJECT
 public:
  // `frame` draws one frame when the presenter runs (see Presenter::Start).
  explicit SurfaceView(QWidget* parent = nullptr, std::function<void()> frame = {});
  ~SurfaceView() override;

  Surface& surface() { return *surface_; }
  Presenter& presenter() { return *presenter_; }
  const Presenter& presenter() const { return *presenter_; }
  // Gives the surface the widget's size (contents cleared).
  void FitSurface();
  // Sends what changed on the surface since the last call to the screen.
  void Present() { presenter_->Present(); }

  // Called on a double click.
  std::function<void()> onDoubleClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::unique_ptr<Surface> surface_;
  std::unique_ptr<Presenter> presenter_;
};

}  // namespace lmvn::ui
