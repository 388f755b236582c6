// The welcome screen (frmWelcome): it greets a new user before the saver first runs and is
// the About box of the Properties dialog, where it also offers the credits. While it is open
// it plays demonstrations of four effects in its picture, one after another.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "effects/effect.h"
#include "effects/effect_catalogue.h"
#include "effects/frame_budget.h"
#include "render/colour.h"
#include "render/surface.h"

class QLabel;
class QPushButton;

namespace lmvn::ui {

class SurfaceView;

class WelcomeScreen : public QDialog {
  Q_OBJECT
 public:
  // The demonstrations in the order they run, and how many frames each one runs.
  static constexpr std::array<EffectId, 4> kDemos = {EffectId::Fireworks, EffectId::Galaxies,
                                                     EffectId::GravityWells, EffectId::Sparklers};
  static constexpr Long kDemoFrames = 2000;

  explicit WelcomeScreen(QWidget* parent = nullptr);
  ~WelcomeScreen() override;

  // Sets the role before the screen is shown: true for the About role (with its Credits
  // button), false for the welcome role.
  void FormLet(bool credits);

  // One frame of the running demonstration (the presenter calls it; tests may too). A
  // demonstration whose effect cannot be built shows nothing and gives way to the next.
  void RunFrame();

  // Which demonstration runs (0 to 3, an index into kDemos), whether its effect exists, and
  // how many of its frames have been shown.
  int demoIndex() const { return demoIndex_; }
  bool demoShown() const { return effect_ != nullptr; }
  Long demoFrames() const { return budget_.CycleFrameCount; }
  bool animating() const;

  QPushButton* creditsButton() const { return credits_; }
  QPushButton* dismissButton() const { return dismiss_; }
  SurfaceView* picture() const { return picture_; }

 signals:
  // A demonstration has started: its effect number, and whether it shows anything.
  void demoStarted(int effect, bool shown);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void done(int result) override;

 private:
  void PaintBackground();
  void StartDemonstration();
  void StartDemo();
  void ShowCredits();

  bool credits_role_ = false;
  int demoIndex_ = 0;
  FrameBudget budget_{kDemoFrames};
  Surface background_{1, 1};
  // What the running effect draws with; they outlive it.
  SurfaceState view_;
  Palette basePalette_;
  Palette palette_;
  SilentCueSink cues_;
  std::unique_ptr<Effect> effect_;

  SurfaceView* picture_ = nullptr;
  QLabel* demoName_ = nullptr;
  QPushButton* credits_ = nullptr;
  QPushButton* dismiss_ = nullptr;
  bool shown_ = false;
};

}  // namespace lmvn::ui
