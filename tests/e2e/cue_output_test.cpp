// The saver's cue sink, with a recording output in place of the sound device: which file a cue
// plays and the place it carries.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/cue_output.h"
#include "sound/sound_output.h"

namespace lmvn::app {
namespace {

struct Played {
  std::string path;
  float across = 0;
  bool operator==(const Played&) const = default;
};

class RecordingOutput final : public sound::SoundOutput {
 public:
  explicit RecordingOutput(std::shared_ptr<std::vector<Played>> played)
      : played_(std::move(played)) {}
  void Play(const std::string& path, CuePlace place) override {
    played_->push_back({path, place.across});
  }
  sound::Refusal PlayChecked(const std::string&, std::chrono::milliseconds) override {
    return sound::Refusal::None;
  }
  void Preload(const std::string& path) override { played_->push_back({"preload " + path, 0}); }
  void Stop() override {}

 private:
  std::shared_ptr<std::vector<Played>> played_;
};

TEST(CueOutput, PlaysTheTrimmedFileOfTheCueAtItsPlaceOnlyWhenSoundIsOn) {
  auto played = std::make_shared<std::vector<Played>>();
  sound::SetSoundOutput(std::make_unique<RecordingOutput>(played));
  SoundFileSet files;
  files.Fire_Launch = "  /sounds/launch.wav ";
  files.Fire_Standard = "   ";
  files.Fire_Twister = "/sounds/twister.wav";
  AppCueSink sink;
  sink.Use(false, files);
  sink.PlayCue(Cue::Launch, {0.1f, 1.0f});
  EXPECT_TRUE(played->empty());

  sink.Use(true, files);
  sink.PlayCue(Cue::Launch, {0.25f, 1.0f});
  sink.PlayCue(Cue::Standard, {});  // blank: silent
  sink.PlayCue(Cue::JetBurst, {});  // empty: silent
  sink.PlayCue(Cue::Twister, {1.0f, 0.5f});
  EXPECT_EQ(*played, (std::vector<Played>{{"preload /sounds/launch.wav", 0},
                                          {"preload /sounds/twister.wav", 0},
                                          {"/sounds/launch.wav", 0.25f},
                                          {"/sounds/twister.wav", 1.0f}}));
  sound::SetSoundOutput(nullptr);
}

}  // namespace
}  // namespace lmvn::app
