// The saver's cue sink and the wave output, with a recording output in place of the sound
// device where the test needs to see what was asked for.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <vector>

#include "../ui/recording_output.h"
#include "app/cue_output.h"
#include "ui/sound_output.h"

namespace lmvn::app {
namespace {

SoundFileSet Files() {
  SoundFileSet files;
  files.Fire_Launch = "  /sounds/launch.wav ";
  files.Fire_Standard = "   ";
  files.Fire_Twister = "/sounds/twister.wav";
  return files;
}

TEST(CueOutput, PlaysTheTrimmedFileOfTheCueOnlyWhenSoundIsOn) {
  static std::vector<std::string> played;  // outlives the output, which stays installed
  ui::SetSoundOutput(std::make_unique<ui::test::RecordingOutput>(&played));
  AppCueSink sink;
  sink.Use(false, Files());
  sink.PlayCue(Cue::Launch);
  EXPECT_TRUE(played.empty());

  sink.Use(true, Files());
  sink.PlayCue(Cue::Launch);
  sink.PlayCue(Cue::Standard);  // blank: silent
  sink.PlayCue(Cue::JetBurst);  // empty: silent
  sink.PlayCue(Cue::Twister);
  EXPECT_EQ(played, (std::vector<std::string>{"/sounds/launch.wav", "/sounds/twister.wav"}));
}

}  // namespace
}  // namespace lmvn::app

namespace lmvn::ui {
namespace {

// The real output: missing files, files that are not sound, a valid file on a machine that
// may have no sound device, and cues that follow each other all return and stay silent.
TEST(WaveOutput, BadFilesAndNoDeviceAreSilentAndNeverThrow) {
  int argc = 1;
  char name[] = "cue_output_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const std::string junk = dir.filePath("junk.wav").toStdString();
  std::ofstream(junk) << "not a wave file";
  const std::string wave = dir.filePath("tick.wav").toStdString();
  // 0.1 s of 8-bit mono silence at 8 kHz.
  std::ofstream(wave, std::ios::binary)
      << std::string(
             "RIFF\x44\x03\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x40\x1f\0\0\1\0\x08\0"
             "data\x20\x03\0\0",
             44)
      << std::string(800, '\x80');
  const auto wave_output = MakeWaveOutput();
  SoundOutput& output = *wave_output;
  for (const std::string& path : {std::string("/no/such/file.wav"), junk, wave, wave, junk}) {
    output.Play(path);
    QCoreApplication::processEvents();
  }
  output.Stop();
  QCoreApplication::processEvents();
  SUCCEED();
}

}  // namespace
}  // namespace lmvn::ui
