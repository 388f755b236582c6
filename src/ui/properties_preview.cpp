#include "ui/properties_preview.h"

#include <QEvent>

#include "effects/effect_factory.h"
#include "settings/transfers.h"

namespace lmvn::ui {

PropertiesPreview::PropertiesPreview(std::function<DialogValues()> values, QWidget* parent)
    : SurfaceView(parent, [this] { Frame(); }), values_(std::move(values)) {
  setObjectName("picPreview");
  setAccessibleName("Preview");
  setFixedSize(kWidth, kHeight);
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &PropertiesPreview::Restart);
}

PropertiesPreview::~PropertiesPreview() {
  presenter().Stop();
  effect_.reset();  // before the surface, view and palette it draws with
}

void PropertiesPreview::ScheduleRestart() {
  settle_.start();
}

void PropertiesPreview::Restart() {
  settle_.stop();
  presenter().Stop();
  effect_.reset();
  // The loaders read the dialog's values in place of the stored ones; what the dialog does not
  // hold (the frame delay, the performance multiplier) comes from the store as the saver reads it.
  overrides_ = DialogOverrides(values_());
  const RuntimeSettings runtime = LoadRuntimeSettings(overrides_);
  if (surface().width() != width() || surface().height() != height()) {
    FitSurface();
  } else {
    surface().Clear();
  }
  view_ = MakeSurfaceState(surface().width(), surface().height(), runtime.FocalLength,
                           runtime.PixelSize);
  palette_ = Palette(runtime.colour);
  EffectRequest request;
  request.id = static_cast<EffectId>(ClampInteger(runtime.AnimationType, 0, 5));
  request.perfMult = runtime.PerfMult;
  effect_ = MakeEffect(request, overrides_, EffectContext{surface(), view_, palette_, cues_});
  delay_ = runtime.FrameDelay;
  ++restarts_;
  frames_ = 0;
  Present();
  FollowVisibility();
}

void PropertiesPreview::Pause() {
  settle_.stop();
  presenter().Stop();
}

void PropertiesPreview::Frame() {
  if (!effect_) return;
  effect_->Frame();
  ++frames_;
}

void PropertiesPreview::FollowVisibility() {
  const bool seen = isVisible() && !window()->isMinimized();
  if (seen && effect_ != nullptr) {
    if (!presenter().running()) presenter().Start(delay_);
  } else {
    presenter().Stop();
  }
}

void PropertiesPreview::showEvent(QShowEvent* event) {
  SurfaceView::showEvent(event);
  if (watchedWindow_ != window()) {
    if (watchedWindow_ != nullptr) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = window();
    watchedWindow_->installEventFilter(this);
  }
  if (restarts_ == 0) {
    Restart();  // the first showing starts at once
  } else {
    FollowVisibility();
  }
}

void PropertiesPreview::hideEvent(QHideEvent* event) {
  SurfaceView::hideEvent(event);
  presenter().Stop();
}

bool PropertiesPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedWindow_ && event->type() == QEvent::WindowStateChange) {
    FollowVisibility();
  }
  return SurfaceView::eventFilter(watched, event);
}

}  // namespace lmvn::ui
