// The rules of the mix (where a cue sounds, which voice gives way) and the checks a sound file
// passes before it is decoded.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <vector>

#include "sound/mix_rules.h"
#include "sound/sound_file.h"

namespace lmvn::sound {
namespace {

TEST(SoundMix, PlaceGivesEqualPowerPanAndAQuieterFarSideWithinAFloor) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float half = std::sqrt(0.5f);
  struct Case {
    CuePlace place;
    float left, right;
  } cases[] = {
      {{0.0f, 1.0f}, 1.0f, 0.0f},                // left edge: fully left
      {{1.0f, 1.0f}, 0.0f, 1.0f},                // right edge: fully right
      {{0.5f, 1.0f}, half, half},                // middle: -3 dB each side
      {{0.5f, 0.5f}, 0.5f * half, 0.5f * half},  // twice as far: half the amplitude
      {{0.0f, 0.01f}, kFarthestGain, 0.0f},      // far away: the floor
      {{-3.0f, 7.0f}, 1.0f, 0.0f},               // out of range: clamped
      {{nan, nan}, half, half},                  // no place: the middle, near
  };
  for (const Case& c : cases) {
    const Gains g = PlaceGains(c.place);
    EXPECT_NEAR(g.left, c.left, 1e-5f) << c.place.across << " " << c.place.nearness;
    EXPECT_NEAR(g.right, c.right, 1e-5f) << c.place.across << " " << c.place.nearness;
  }
  // Equal power all the way across.
  for (float across = 0.0f; across <= 1.0f; across += 0.125f) {
    const Gains g = PlaceGains({across, 1.0f});
    EXPECT_NEAR(g.left * g.left + g.right * g.right, 1.0f, 1e-5f);
  }
}

TEST(SoundMix, ANewCueTakesASilentVoiceOrElseTheOldest) {
  struct Case {
    std::vector<bool> busy;
    std::vector<std::uint64_t> started;
    int voice;
  } cases[] = {
      {{false, false, false}, {0, 0, 0}, 0},
      {{true, false, true}, {5, 1, 2}, 1},  // a silent voice, however old the others
      {{true, true, true}, {7, 3, 9}, 1},   // all busy: the first started gives way
      {{}, {}, -1},
  };
  for (const Case& c : cases) {
    const auto busy = std::make_unique<bool[]>(c.busy.size());
    std::copy(c.busy.begin(), c.busy.end(), busy.get());
    EXPECT_EQ(PickVoice({busy.get(), c.busy.size()}, c.started), c.voice);
  }
}

TEST(SoundFile, OnlyRegularFilesWithinTheLimitAreRead) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("lumivane_sound_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string fifo = (dir / "fifo.wav").string(), big = (dir / "big.wav").string(),
                    ok = (dir / "ok.wav").string(), locked = (dir / "locked.wav").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(big).close();
  std::filesystem::resize_file(big, static_cast<std::uintmax_t>(kMaxFileBytes) + 1);
  std::ofstream(ok) << "RIFF....";
  std::ofstream(locked) << "x";
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  struct Case {
    std::string path;
    Refusal refusal;
    std::size_t bytes;
  } cases[] = {
      {(dir / "missing.wav").string(), Refusal::Missing, 0},
      {dir.string(), Refusal::NotRegular, 0},
      {fifo, Refusal::NotRegular, 0},  // opened without waiting for a writer
      {big, Refusal::TooBig, 0},
      {ok, Refusal::None, 8},
      // root reads anything: only an ordinary user meets the unreadable file
      {locked, ::geteuid() == 0 ? Refusal::None : Refusal::Unreadable, ::geteuid() == 0 ? 1u : 0u},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> bytes;
    FileStamp stamp;
    EXPECT_EQ(ReadSoundFile(c.path, bytes, stamp), c.refusal) << c.path;
    EXPECT_EQ(bytes.size(), c.bytes) << c.path;
  }
  // The stamp read with the file is the stamp the cache compares; a change shows.
  std::vector<unsigned char> bytes;
  FileStamp stamp;
  ReadSoundFile(ok, bytes, stamp);
  EXPECT_EQ(stamp, StampOf(ok));
  std::ofstream(ok, std::ios::app) << "more";
  EXPECT_NE(stamp, StampOf(ok));
  EXPECT_EQ(StampOf((dir / "missing.wav").string()).size, -1);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lmvn::sound
