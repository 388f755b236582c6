// A sound output that records what it is asked to play, in place of the sound device.
#pragma once

#include <string>
#include <vector>

#include "ui/sound_output.h"

namespace lmvn::ui::test {

class RecordingOutput final : public SoundOutput {
 public:
  explicit RecordingOutput(std::vector<std::string>* played) : played_(played) {}
  void Play(const std::string& path) override { played_->push_back(path); }
  void Stop() override {}

 private:
  std::vector<std::string>* played_;
};

}  // namespace lmvn::ui::test
