// The saver's cue sink, with a recording output in place of the sound device: which file a cue
// plays and the place it carries.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "../ui/recording_output.h"
#include "app/cue_output.h"

namespace lmvn::app {
namespace {

TEST(CueOutput, PlaysTheTrimmedFileOfTheCueAtItsPlaceOnlyWhenSoundIsOn) {
  ui::test::SoundLog log;
  sound::SetSoundOutput(std::make_unique<ui::test::RecordingOutput>(&log));
  SoundFileSet files;
  files.Fire_Launch = "  /sounds/launch.wav ";
  files.Fire_Standard = "   ";
  files.Fire_Twister = "/sounds/twister.wav";
  AppCueSink sink;
  sink.Use(false, files);
  sink.PlayCue(Cue::Launch, {0.1f, 1.0f});
  EXPECT_TRUE(log.played.empty());

  sink.Use(true, files);
  sink.PlayCue(Cue::Launch, {0.25f, 1.0f});
  sink.PlayCue(Cue::Standard, {});  // blank: silent
  sink.PlayCue(Cue::JetBurst, {});  // empty: silent
  sink.PlayCue(Cue::Twister, {1.0f, 0.5f});
  EXPECT_EQ(log.preloaded, (std::vector<std::string>{"/sounds/launch.wav", "/sounds/twister.wav"}));
  EXPECT_EQ(log.played, (std::vector<ui::test::Played>{{"/sounds/launch.wav", 0.25f},
                                                       {"/sounds/twister.wav", 1.0f}}));
  sound::SetSoundOutput(nullptr);
}

}  // namespace
}  // namespace lmvn::app
