// Where sound files are played: the saver's firework cues and the dialogs' Play. Playing never
// waits; a file is checked and decoded once; up to kVoices sounds mix, each to its end; a bad
// file or a machine without a sound device stays silent after one line on stderr.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "effects/cue_sink.h"
#include "sound/sound_file.h"

namespace lmvn::sound {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Queues the file to sound at the place; returns at once.
  virtual void Play(const std::string& path, CuePlace place) = 0;
  // Checks, loads and plays the file in the middle, waiting at most `wait` for the answer
  // (a dialog's Play, never a frame). A file still loading after that counts as playing.
  virtual Refusal PlayChecked(const std::string& path, std::chrono::milliseconds wait) = 0;
  // Loads the files ahead of their first cue; returns at once.
  virtual void Preload(const std::string& path) = 0;
  // Silences everything and lets the device go; returns at once.
  virtual void Stop() = 0;
};

// The mixer on the sound device. It is never destroyed: its worker may still be waiting for
// the device when the program ends.
SoundOutput& Mixer();

// The program's output: the mixer unless a test installs its own.
SoundOutput& Sound();
void SetSoundOutput(std::unique_ptr<SoundOutput> output);

}  // namespace lmvn::sound
