// A widget that shows a Surface: the pixels are drawn through a QImage over the Surface's own
// memory (no conversion, no copy), and only what changed since the last frame is repainted.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "render/surface.h"

namespace lmvn::ui {

class SurfaceView : public QWidget {
  Q_OBJECT
 public:
  explicit SurfaceView(QWidget* parent = nullptr);

  Surface& surface() { return *surface_; }
  // Gives the surface the widget's size (contents cleared).
  void FitSurface();
  // Sends what changed on the surface since the last call to the screen.
  void Present();

  // Called on a double click.
  std::function<void()> onDoubleClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::unique_ptr<Surface> surface_;
};

}  // namespace lmvn::ui
