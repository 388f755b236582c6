#include "ui/credits_screen.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "render/gradient.h"
#include "render/random.h"
#include "ui/screen_rules.h"
#include "ui/surface_view.h"

namespace lmvn::ui {

namespace {

constexpr Integer kFewestStars = 10, kMostStars = 200;
constexpr Single kSlowest = 0.0025f, kFastest = 0.25f;
constexpr Single kLeastScroll = 0.5f, kMostScroll = 10.0f;
constexpr double kRowSpacing = 1.2;

void XorPixel(Surface& s, Long x, Long y) {
  s.SetPixelV(x, y, s.GetPixel(x, y) ^ 0xFFFFFF);
}

// The scrolling text: one line per row, headings (lines ending in ":") set apart.
class CreditsText final : public QWidget {
 public:
  CreditsText(QWidget* parent, QStringList lines) : QWidget(parent), lines_(std::move(lines)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    setFont(f);
  }
  int RowHeight() const {
    return static_cast<int>(std::lround(kRowSpacing * fontMetrics().height()));
  }
  int TextHeight() const { return static_cast<int>(lines_.size()) * RowHeight(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const int row = RowHeight();
    QFont heading = font();
    heading.setBold(true);
    for (qsizetype i = 0; i < lines_.size(); ++i) {
      const QString& line = lines_[i];
      const bool isHeading = line.endsWith(':') && !line.startsWith(' ');
      p.setFont(isHeading ? heading : font());
      const QRect box(0, static_cast<int>(i) * row, width(), row);
      p.setPen(QColor(0, 0, 0, 160));
      p.drawText(box.translated(2, 2), Qt::AlignCenter, line.trimmed());
      p.setPen(isHeading ? QColor(255, 214, 96) : QColor(255, 255, 255));
      p.drawText(box, Qt::AlignCenter, line.trimmed());
    }
  }

 private:
  QStringList lines_;
};

}  // namespace

// ---- CreditStarField

CreditStarField::CreditStarField(Integer lastStar, Single speed)
    : stars_(static_cast<std::size_t>(ClampInteger(lastStar, kFewestStars, kMostStars)) + 1),
      speed_(ClampSingle(speed, kSlowest, kFastest)) {}

void CreditStarField::Reborn(Star& star) {
  star.x = Rnd() * 2 - 1;
  star.y = Rnd() * 2 - 1;
  star.z = 1;
  star.px = star.x;
  star.py = star.y;
}

void CreditStarField::Restart(Surface& surface) {
  surface.Clear();
  GradientFill(surface, RGB(0, 0, 48), RGB(160, 0, 0), 24, kGradientBoxes);
  ProgramRandom().SeedFromClock();
  for (Star& star : stars_) {
    Reborn(star);
    Plot(surface, star);
  }
}

void CreditStarField::Frame(Surface& surface) {
  for (Star& star : stars_) {
    Plot(surface, star);  // erases the dot of the last frame
    star.z -= speed_;
    bool out = !(star.z >= kNearest);
    if (!out) {
      star.px = star.x / star.z;
      star.py = star.y / star.z;
      out = !(star.px >= -1 && star.px <= 1 && star.py >= -1 && star.py <= 1);
    }
    if (out) Reborn(star);
    Plot(surface, star);
  }
}

void CreditStarField::Plot(Surface& surface, const Star& star) {
  if (!(star.z > 0)) return;
  const int width = static_cast<int>(std::clamp(Int(1.0f / star.z), 1.0f, 64.0f));
  const auto cx = FloorToLong((star.px + 1.0) * 0.5 * surface.width());
  const auto cy = FloorToLong((1.0 - star.py) * 0.5 * surface.height());
  if (!cx || !cy) return;
  if (width <= 1) {
    XorPixel(surface, *cx, *cy);
    return;
  }
  const int half = width / 2;
  const int r2 = width * width;  // (width / 2)^2, times 4
  for (int dy = -half; dy <= half; ++dy) {
    for (int dx = -half; dx <= half; ++dx) {
      if (4 * (dx * dx + dy * dy) <= r2) XorPixel(surface, *cx + dx, *cy + dy);
    }
  }
}

// ---- CreditsScreen

CreditsScreen::CreditsScreen(QWidget* parent)
    : QDialog(parent), field_(std::make_unique<CreditStarField>(100, 0.0075f)) {
  setWindowTitle(QStringLiteral("Lumivane Credits"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  ApplyTopmostRule(this);
  FitWhenShown(this);
  resize(600, 440);
  view_ = new SurfaceView(this, [this] { RunFrame(); });
  view_->setAccessibleName(QStringLiteral("Star field"));
  view_->onDoubleClick = [this] { isMaximized() ? showNormal() : showMaximized(); };
  frame_ = new QWidget(view_);
  frame_->setAttribute(Qt::WA_TransparentForMouseEvents);
  text_ = new CreditsText(frame_, {});
  dismiss_ = new QPushButton(QStringLiteral("Dismiss"), this);
  dismiss_->setDefault(true);
  connect(dismiss_, &QPushButton::clicked, this, &QDialog::accept);
}

CreditsScreen::~CreditsScreen() = default;

void CreditsScreen::FormLet(Integer lastStar, Single speed, Single scrollStep,
                            const QStringList& lines) {
  field_ = std::make_unique<CreditStarField>(lastStar, speed);
  scrollStep_ = ClampSingle(scrollStep, kLeastScroll, kMostScroll);
  delete text_;
  text_ = new CreditsText(frame_, lines);
  LayOut();
}

QStringList CreditsScreen::CreditLines() {
  return {
      QStringLiteral("Lumivane"),
      QStringLiteral("single pixels in motion"),
      QString(),
      QStringLiteral("Software Engineer:"),
      QStringLiteral("    The Lumivane project"),
      QString(),
      QStringLiteral("Algorithms:"),
      QStringLiteral("    Particles, B-spline curves and perspective"),
      QStringLiteral("    by the Lumivane project"),
      QString(),
      QStringLiteral("Product Testing:"),
      QStringLiteral("    GoogleTest and Google Benchmark"),
      QStringLiteral("    Xvfb and xdotool"),
      QStringLiteral("    XScreenSaver, as the host"),
      QString(),
      QStringLiteral("Post Production:"),
      QStringLiteral("    Qt 6: Widgets and Test; SDL2_mixer"),
      QStringLiteral("    libpng and ImageMagick"),
      QString(),
      QStringLiteral("Sales & Marketing:"),
      QStringLiteral("    Everyone who shows it to a friend"),
      QString(),
      QStringLiteral("Legal Council:"),
      QStringLiteral("    The licences of the libraries named here"),
      QString(),
      QStringLiteral("Catering:"),
      QStringLiteral("    SimpleIni, which keeps the settings"),
      QStringLiteral("    CMake and Ninja, which build it all"),
      QString(),
      QStringLiteral("Fine Print:"),
      QStringLiteral("    Every pixel drawn is erased again in black."),
      QStringLiteral("    Built on Qt, SimpleIni, libpng,"),
      QStringLiteral("    GoogleTest and Google Benchmark."),
      QStringLiteral("    README.md tells how to build, run and install it."),
      QString(),
      QStringLiteral("Dedication:"),
      QStringLiteral("    To everyone who leaves the screen alone"),
      QStringLiteral("    long enough to watch."),
      QString(),
      QStringLiteral("Copyright (C) the Lumivane authors"),
  };
}

bool CreditsScreen::animating() const {
  return view_->presenter().running();
}

void CreditsScreen::LayOut() {
  view_->setGeometry(rect());
  const QSize button = dismiss_->sizeHint();
  dismiss_->setGeometry(width() - button.width() - 12, height() - button.height() - 12,
                        button.width(), button.height());
  dismiss_->raise();
  const int frameWidth = std::max(1, width() * 3 / 4);
  const int frameHeight = std::max(1, height() - button.height() - 36);
  frame_->setGeometry((width() - frameWidth) / 2, 12, frameWidth, frameHeight);
  auto* text = static_cast<CreditsText*>(text_);
  text_->setGeometry(0, static_cast<int>(std::lround(textTop_)), frameWidth, text->TextHeight());
}

void CreditsScreen::RestartAnimation() {
  view_->FitSurface();
  field_->Restart(view_->surface());
  view_->Present();
}

void CreditsScreen::RunFrame() {
  field_->Frame(view_->surface());
  view_->Present();
  const double height = text_->height();
  if (textTop_ < -height) {
    textTop_ = frame_->height() - 10;
  } else {
    textTop_ -= scrollStep_;
  }
  text_->move(0, static_cast<int>(std::lround(textTop_)));
}

void CreditsScreen::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  LayOut();
  textTop_ = frame_->height() - 10;
  LayOut();
  RestartAnimation();
  view_->presenter().Start(DemoSurfaceSetup{}.FrameDelay);
}

void CreditsScreen::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOut();
  if (shown_) RestartAnimation();
}

void CreditsScreen::done(int result) {
  view_->presenter().Stop();
  QDialog::done(result);
}

}  // namespace lmvn::ui
