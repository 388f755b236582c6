#include "ui/welcome_screen.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "effects/effect_factory.h"
#include "render/gradient.h"
#include "settings/loaders.h"
#include "settings/store.h"
#include "ui/credits_screen.h"
#include "ui/screen_rules.h"
#include "ui/screens.h"
#include "ui/surface_view.h"

#ifndef LUMIVANE_VERSION
#define LUMIVANE_VERSION ""
#endif

namespace lmvn::ui {

namespace {

// The gradient of the background: circles around a point near the top-left corner, given in
// twips as the screen's layout was first drawn.
constexpr double kGradientCentreXTwips = 660, kGradientCentreYTwips = 840;

// A label whose text has a shadow a few pixels to the right and below.
class ShadowLabel final : public QLabel {
 public:
  ShadowLabel(const QString& text, QColor colour, double pointScale, bool bold)
      : QLabel(text), colour_(colour) {
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * pointScale);
    f.setBold(bold);
    setFont(f);
    setWordWrap(true);
    shadow_ = pointScale > 2 ? 3 : 2;
    setContentsMargins(0, 0, shadow_, shadow_);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect box = contentsRect();
    const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    p.setPen(QColor(0, 0, 0, 190));
    p.drawText(box.translated(shadow_, shadow_), flags, text());
    p.setPen(colour_);
    p.drawText(box, flags, text());
  }

 private:
  QColor colour_;
  int shadow_ = 2;
};

QString Body(bool about) {
  const QString what = QStringLiteral(
      "Lumivane draws fireworks, galaxies, star fields and sparkling splines one pixel at a "
      "time.");
  if (about) {
    QString version = QStringLiteral(LUMIVANE_VERSION);
    // The file this run really uses (XDG_CONFIG_HOME decides where it is).
    const QString file = QString::fromLocal8Bit(SettingsFilePath(kSettingsApp).c_str());
    return what + QStringLiteral("\n\nVersion ") + version +
           QStringLiteral(". Settings live in %1.").arg(file);
  }
  return what + QStringLiteral(
                    "\n\nPress Dismiss to start the saver. While it runs, Space opens the "
                    "Properties dialog, where every effect can be tuned, and Escape ends it.");
}

}  // namespace

WelcomeScreen::WelcomeScreen(QWidget* parent)
    : QDialog(parent), basePalette_(LoadColourSettings()), palette_(basePalette_) {
  setWindowTitle(QStringLiteral("Welcome to Lumivane"));
  ApplyTopmostRule(this);
  FitWhenShown(this);
  setFixedSize(680, 420);

  auto* title = new ShadowLabel(QStringLiteral("Lumivane"), QColor(255, 255, 255), 3.2, true);
  auto* subtitle =
      new ShadowLabel(QStringLiteral("single pixels in motion"), QColor(255, 214, 96), 1.5, false);
  auto* body = new ShadowLabel(Body(false), QColor(230, 236, 255), 1.05, false);
  body->setObjectName(QStringLiteral("body"));

  picture_ = new SurfaceView(nullptr, [this] { RunFrame(); });
  picture_->setFixedSize(320, 240);
  picture_->setAccessibleName(QStringLiteral("Demonstration"));
  auto* pictureFrame = new QFrame;
  pictureFrame->setFrameShape(QFrame::Panel);
  pictureFrame->setFrameShadow(QFrame::Sunken);
  pictureFrame->setLineWidth(2);
  auto* pictureLayout = new QVBoxLayout(pictureFrame);
  pictureLayout->setContentsMargins(2, 2, 2, 2);
  pictureLayout->addWidget(picture_);
  demoName_ = new ShadowLabel(QString(), QColor(255, 255, 255), 1.0, true);

  credits_ = new QPushButton(QStringLiteral("Credits"));
  dismiss_ = new QPushButton(QStringLiteral("Dismiss"));
  dismiss_->setDefault(true);
  credits_->hide();
  connect(credits_, &QPushButton::clicked, this, &WelcomeScreen::ShowCredits);
  connect(dismiss_, &QPushButton::clicked, this, &QDialog::accept);

  auto* left = new QVBoxLayout;
  left->addWidget(title);
  left->addWidget(subtitle);
  left->addSpacing(16);
  left->addWidget(body);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(pictureFrame);
  right->addWidget(demoName_);
  right->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addSpacing(12);
  columns->addLayout(right);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(credits_);
  buttons->addWidget(dismiss_);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(24, 20, 20, 16);
  outer->addLayout(columns);
  outer->addLayout(buttons);
}

WelcomeScreen::~WelcomeScreen() {
  picture_->presenter().Stop();
  effect_.reset();  // before the surface and palette it draws with
}

void WelcomeScreen::FormLet(bool credits) {
  credits_role_ = credits;
  setWindowTitle(credits ? QStringLiteral("About Lumivane")
                         : QStringLiteral("Welcome to Lumivane"));
  if (auto* body = findChild<QLabel*>(QStringLiteral("body"))) body->setText(Body(credits));
}

bool WelcomeScreen::animating() const {
  return picture_->presenter().running();
}

void WelcomeScreen::PaintBackground() {
  background_.Resize(width(), height());
  GradientFill(background_, RGB(0, 32, 128), RGB(128, 0, 0), 24, kGradientCircles,
               PixelsFromTwips(this, kGradientCentreXTwips),
               PixelsFromTwips(this, kGradientCentreYTwips));
  update();
}

void WelcomeScreen::paintEvent(QPaintEvent* event) {
  const Surface& s = background_;
  const QImage image(reinterpret_cast<const uchar*>(s.pixels()), s.width(), s.height(),
                     static_cast<qsizetype>(s.width()) * 4, QImage::Format_RGBX8888);
  QPainter painter(this);
  painter.drawImage(event->rect().topLeft(), image, event->rect());
}

void WelcomeScreen::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (shown_) PaintBackground();
}

void WelcomeScreen::StartDemo() {
  effect_.reset();
  budget_.Reset();
  budget_.FramesPerEffect = kDemoFrames;
  picture_->FitSurface();
  Surface& surface = picture_->surface();
  const DemoSurfaceSetup setup = InitSurface(surface);
  view_ = setup.state;
  palette_ = basePalette_;
  ApplyDemoColourDefaults(palette_.params);
  EffectRequest request;
  request.id = kDemos[static_cast<std::size_t>(demoIndex_)];
  request.demo = true;
  effect_ = MakeEffect(request, SettingOverrides{}, EffectContext{surface, view_, palette_, cues_});
  demoName_->setText(
      effect_ ? QString::fromUtf8(InfoOf(request.id).title.data(),
                                  static_cast<qsizetype>(InfoOf(request.id).title.size()))
              : QString());
  picture_->Present();
  emit demoStarted(static_cast<int>(request.id), effect_ != nullptr);
}

void WelcomeScreen::StartDemonstration() {
  StartDemo();
  picture_->presenter().Start(DemoSurfaceSetup{}.FrameDelay);
}

void WelcomeScreen::RunFrame() {
  bool next = effect_ == nullptr;
  if (effect_) {
    effect_->Frame();
    picture_->Present();
    next = budget_.CycleFrameDue();
  }
  if (next) {
    demoIndex_ = (demoIndex_ + 1) % static_cast<int>(kDemos.size());
    StartDemo();
  }
}

void WelcomeScreen::ShowCredits() {
  picture_->presenter().Stop();  // a modal screen pauses the demonstration
  {
    CreditsScreen credits(this);
    credits.FormLet(100, 0.0075f, 2.0f, CreditsScreen::CreditLines());
    credits.exec();
  }
  PaintBackground();
  StartDemonstration();
}

void WelcomeScreen::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  PaintBackground();
  credits_->setVisible(credits_role_);
  layout()->activate();  // place the button now, before the first frame is drawn
  StartDemonstration();
}

void WelcomeScreen::done(int result) {
  picture_->presenter().Stop();
  QDialog::done(result);
}

void ShowWelcomeScreen(QWidget* parent, bool credits) {
  WelcomeScreen screen(parent);
  screen.FormLet(credits);
  screen.exec();
}

}  // namespace lmvn::ui
