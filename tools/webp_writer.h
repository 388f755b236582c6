// Writes surface frames as an animated WebP.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "render/surface.h"

namespace lmvn {

// The largest animation written: more frames, or more bytes by the reckoning below, is
// refused before anything is drawn.
inline constexpr long kMaxWebpFrames = 4096;
inline constexpr std::uint64_t kMaxWebpBytes = std::uint64_t{64} << 20;

// Whether a file name asks for an animated WebP (it ends in ".webp", in any case).
bool IsWebpName(const std::string& path);

// What an animation of `frames` frames of width x height is reckoned to take at most, to refuse
// one that would be too large before any of it is drawn. The frames are stored without loss,
// each as the rectangle that changed since the one before; the reckoning allows 1/32 byte per
// pixel and frame, six times what the busiest effect takes at its defaults.
std::uint64_t EstimatedWebpBytes(long frames, int width, int height);

// The frames of one animation, compressed without loss as they are added and written out at the
// end. Each frame is shown for the duration given with it. The encoder merges a frame that is
// identical to the one before into it (one longer frame).
class WebpAnimation {
 public:
  WebpAnimation(int width, int height);
  ~WebpAnimation();
  WebpAnimation(const WebpAnimation&) = delete;
  WebpAnimation& operator=(const WebpAnimation&) = delete;

  // Adds the surface's current picture, shown for `durationMs`. False (with a message) when the
  // encoder fails.
  bool Add(const Surface& surface, int durationMs, std::string& error);
  // Assembles the animation and writes it. Nothing is written when it would exceed
  // `maxBytes`. False (with a message) when it cannot be written.
  bool Write(const std::string& path, std::uint64_t maxBytes, std::string& error);

 private:
  struct Encoder;
  std::unique_ptr<Encoder> encoder_;
};

}  // namespace lmvn
