// Sound files as the mixer takes them: only regular files, opened without blocking, within a
// size limit, read whole in one go; and the program's own sounds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lmvn::sound {

inline constexpr std::int64_t kMaxFileBytes = std::int64_t{32} << 20;
inline constexpr double kMaxSeconds = 20.0;

// Why a file does not play (None: it does).
enum class Refusal {
  None,
  Missing,
  NotRegular,
  TooBig,
  Unreadable,
  Undecodable,
  TooLong,
  NoDevice
};

// A short reason for people: "no such file", "not a regular file", ...
std::string_view RefusalText(Refusal refusal);

// What a file was when it was read: a changed size or time means it is read again.
struct FileStamp {
  std::int64_t size = -1;  // -1: there was no file
  std::int64_t mtimeNs = 0;
  bool operator==(const FileStamp&) const = default;
};

// The file's stamp now, without opening it.
FileStamp StampOf(const std::string& path);

// Reads the whole file into bytes when it is a regular file of at most kMaxFileBytes. It is
// opened without blocking (a FIFO or a device never holds the caller) and checked after
// opening; stamp is what was read.
Refusal ReadSoundFile(const std::string& path, std::vector<unsigned char>& bytes, FileStamp& stamp);

// The program's own sounds, in cue order (launch first, twister last).
inline constexpr std::array<std::string_view, 8> kBuiltInSounds = {
    "launch-whistle.wav",       "bang.wav",          "multi-burst-rattle.wav", "jet-roar.wav",
    "scintillator-crackle.wav", "sparkler-fizz.wav", "ring-thump.wav",         "twister-whirl.wav"};

// The folder of the program's own sounds: share/lumivane/sounds beside the program's
// installation (or the build tree's). Empty when there is none.
std::string BuiltInSoundFolder();

}  // namespace lmvn::sound
