// Where wave files are played: the saver's firework cues and the Sound Effects dialog's Play.
// Playing never waits; a new sound stops the one playing; a missing file, a bad format or no
// sound device stays silent.
#pragma once

#include <memory>
#include <string>

namespace lmvn::ui {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual void Play(const std::string& path) = 0;
  virtual void Stop() = 0;
};

// Wave files through Qt Multimedia (silent when the program is built without it). The
// program's output is one of these unless a test installs its own.
std::unique_ptr<SoundOutput> MakeWaveOutput();

// The program's sound output. Tests may install their own with SetSoundOutput.
SoundOutput& Sound();
void SetSoundOutput(std::unique_ptr<SoundOutput> output);

}  // namespace lmvn::ui
