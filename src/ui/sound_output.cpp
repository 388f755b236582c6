#include "ui/sound_output.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>
#if LUMIVANE_HAVE_MULTIMEDIA
#include <QSoundEffect>
#endif

namespace lmvn::ui {

namespace {

#if LUMIVANE_HAVE_MULTIMEDIA
// Wave files through Qt Multimedia. Loading and playing happen off the caller's path: Play
// returns at once. One effect object plays at a time, so a new sound cuts off the last one.
// A file that does not exist or cannot be decoded, or a machine without a sound device,
// leaves the effect in its error state: nothing is heard and nothing is reported.
class MultimediaOutput final : public SoundOutput {
 public:
  void Play(const std::string& path) override {
    if (QCoreApplication::instance() == nullptr || path.empty()) return;
    // Owned by the application object, so it goes with it even when this output outlives it.
    if (!effect_) effect_ = new QSoundEffect(QCoreApplication::instance());
    effect_->stop();
    const QUrl source = QUrl::fromLocalFile(QString::fromStdString(path));
    if (effect_->source() != source) effect_->setSource(source);
    effect_->play();
  }
  void Stop() override {
    if (effect_) effect_->stop();
  }

 private:
  QPointer<QSoundEffect> effect_;

 public:
  ~MultimediaOutput() override { delete effect_.data(); }
};
#else
// Built without Qt Multimedia: silent.
class MultimediaOutput final : public SoundOutput {
 public:
  void Play(const std::string&) override {}
  void Stop() override {}
};
#endif

std::unique_ptr<SoundOutput>& Current() {
  static std::unique_ptr<SoundOutput> output = MakeWaveOutput();
  return output;
}

}  // namespace

std::unique_ptr<SoundOutput> MakeWaveOutput() {
  return std::make_unique<MultimediaOutput>();
}

SoundOutput& Sound() {
  return *Current();
}

void SetSoundOutput(std::unique_ptr<SoundOutput> output) {
  if (output) Current() = std::move(output);
}

}  // namespace lmvn::ui
