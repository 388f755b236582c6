// sound_probe [FILE ACROSS DELAY_MS]... HOLD_MS: plays each FILE through the program's sound
// engine at its place across the screen (0 left, 1 right), DELAY_MS after the start, then
// keeps running HOLD_MS more and lets the device go. The end-to-end sound test records what
// reaches the sound server.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "sound/sound_output.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc % 3 != 2) return 2;
  using namespace std::chrono;
  lmvn::sound::SoundOutput& out = lmvn::sound::Mixer();
  for (int i = 1; i + 2 < argc; i += 3) out.Preload(argv[i]);
  const auto start = steady_clock::now();
  for (int i = 1; i + 2 < argc; i += 3) {
    std::this_thread::sleep_until(start + milliseconds(std::atoi(argv[i + 2])));
    out.Play(argv[i], {std::strtof(argv[i + 1], nullptr), 1.0f});
  }
  std::this_thread::sleep_for(milliseconds(std::atoi(argv[argc - 1])));
  out.Stop();
  return 0;
}
