#include "ui/sound_output.h"

namespace lmvn::ui {

namespace {

// Silent until audible playback is built.
class SilentOutput final : public SoundOutput {
 public:
  void Play(const std::string&) override {}
  void Stop() override {}
};

std::unique_ptr<SoundOutput>& Current() {
  static std::unique_ptr<SoundOutput> output = std::make_unique<SilentOutput>();
  return output;
}

}  // namespace

SoundOutput& Sound() {
  return *Current();
}

void SetSoundOutput(std::unique_ptr<SoundOutput> output) {
  if (output) Current() = std::move(output);
}

}  // namespace lmvn::ui
