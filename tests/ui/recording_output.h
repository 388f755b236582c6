// A sound output that records what it is asked to play, in place of the sound device.
#pragma once

#include <string>
#include <vector>

#include "sound/sound_output.h"

namespace lmvn::ui::test {

struct Played {
  std::string path;
  float across = 0;
  bool operator==(const Played&) const = default;
};

struct SoundLog {
  std::vector<Played> played;  // Play and PlayChecked, in order
  std::vector<std::string> preloaded;
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const Played& p : played) paths.push_back(p.path);
    return paths;
  }
};

class RecordingOutput final : public sound::SoundOutput {
 public:
  explicit RecordingOutput(SoundLog* log) : log_(log) {}
  void Play(const std::string& path, CuePlace place) override {
    log_->played.push_back({path, place.across});
  }
  sound::Refusal PlayChecked(const std::string& path, std::chrono::milliseconds) override {
    log_->played.push_back({path, 0.5f});
    return sound::Refusal::None;
  }
  void Preload(const std::string& path) override { log_->preloaded.push_back(path); }
  void Stop() override {}

 private:
  SoundLog* log_;
};

}  // namespace lmvn::ui::test
