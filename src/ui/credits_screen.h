// The credits screen (frmCredits): a flight through a star field, drawn with exclusive-or dots
// over a gradient, behind lines of text that scroll upwards.
#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

#include "render/numeric.h"
#include "render/surface.h"

class QPushButton;

namespace lmvn::ui {

class SurfaceView;

// The star field, without a window. Stars fly towards the viewer in a scale from -1 to 1 on
// both axes (y upwards); each is drawn as an exclusive-or dot of width Int(1 / z), so drawing
// it again at the same place and width erases it and leaves the background as it was.
class CreditStarField {
 public:
  struct Star {
    Single x = 0, y = 0, z = 1;  // z is the depth: 1 far away, falling towards 0
    Single px = 0, py = 0;       // the projection x / z, y / z
  };
  static constexpr Single kNearest = 0.02f;

  // `lastStar` is the number of stars minus one (10 to 200); `speed` the depth a star gains
  // per frame (0.0025 to 0.25). Both are clamped.
  CreditStarField(Integer lastStar, Single speed);

  // Clears the surface, paints the gradient, re-seeds the random generator and draws every
  // star anew at depth 1.
  void Restart(Surface& surface);
  // One frame: each star is erased, moves nearer, is reborn far away when it leaves the field
  // or comes nearer than kNearest, and is drawn again.
  void Frame(Surface& surface);
  // Draws (or, a second time, erases) one star where it is now.
  static void Plot(Surface& surface, const Star& star);

  std::vector<Star>& stars() { return stars_; }
  Single speed() const { return speed_; }

 private:
  static void Reborn(Star& star);
  std::vector<Star> stars_;
  Single speed_;
};

class CreditsScreen : public QDialog {
  Q_OBJECT
 public:
  explicit CreditsScreen(QWidget* parent = nullptr);
  ~CreditsScreen() override;

  // What to show: stars minus one, star speed, text lines moved per frame, the text lines.
  void FormLet(Integer lastStar, Single speed, Single scrollStep, const QStringList& lines);

  // The text lines the welcome screen passes.
  static QStringList CreditLines();

  // One frame: the stars, then the text (the presenter calls it; tests may too).
  void RunFrame();

  CreditStarField& field() { return *field_; }
  SurfaceView* fieldView() const { return view_; }
  QWidget* creditsText() const { return text_; }
  QWidget* viewport() const { return frame_; }
  QPushButton* dismissButton() const { return dismiss_; }
  bool animating() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void done(int result) override;

 private:
  void LayOut();
  void RestartAnimation();

  std::unique_ptr<CreditStarField> field_;
  Single scrollStep_ = 2.0f;
  double textTop_ = 0;
  SurfaceView* view_ = nullptr;
  QWidget* frame_ = nullptr;
  QWidget* text_ = nullptr;
  QPushButton* dismiss_ = nullptr;
  bool shown_ = false;
};

}  // namespace lmvn::ui
