// The Properties dialog's live preview: the effect of the page on show, run with the values the
// dialog holds now (not the stored ones) at the configured frame delay, through the presenter.
//
// A change of a field, a theme or the effect restarts it once the changes settle; it pauses
// while its dialog is hidden or minimised, and it never writes the store.
#pragma once

#include <QTimer>
#include <functional>
#include <memory>

#include "effects/effect.h"
#include "render/colour.h"
#include "settings/dialog_values.h"
#include "settings/loaders.h"
#include "ui/surface_view.h"

namespace lmvn::ui {

class PropertiesPreview final : public SurfaceView {
  Q_OBJECT
 public:
  static constexpr int kWidth = 240, kHeight = 135;
  // Changes within this time of each other restart the preview once, this long after the last.
  static constexpr int kSettleMs = 250;

  // `values` gives the dialog's values whenever the preview starts anew.
  PropertiesPreview(std::function<DialogValues()> values, QWidget* parent = nullptr);
  ~PropertiesPreview() override;

  // Something the preview shows has changed: it restarts once the changes settle.
  void ScheduleRestart();
  // Builds the effect anew from the dialog's values now, and runs it while it can be seen.
  void Restart();
  // Pauses (the dialog is going away) until the preview is shown again.
  void Pause();

  bool running() const { return presenter().running(); }
  long restarts() const { return restarts_; }
  long frames() const { return frames_; }
  const Effect* effect() const { return effect_.get(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Frame();
  // Runs the effect exactly while it exists and the preview can be seen.
  void FollowVisibility();

  std::function<DialogValues()> values_;
  QTimer settle_;
  QObject* watchedWindow_ = nullptr;
  // What the effect draws with; they outlive it.
  SettingOverrides overrides_;
  SurfaceState view_;
  Palette palette_;
  SilentCueSink cues_;
  std::unique_ptr<Effect> effect_;
  Long delay_ = 0;
  long restarts_ = 0;
  long frames_ = 0;
};

}  // namespace lmvn::ui
