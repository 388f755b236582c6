// The small pixel patterns of the firework stars: scintillators, multi-burst fragments and
// sparkle bursts. Offsets are in units of FocalLength / z, so a stamp shrinks with distance.
#pragma once

#include <span>

#include "render/numeric.h"

namespace lmvn {

struct StampOffset {
  Integer a, b;
};

// The points of each stamp besides the centre, which is always drawn first.
// Scintillator by size (5, 9, ..., 37; any other size: none).
std::span<const StampOffset> ScintillatorOffsets(Integer size);
// Multi-burst fragment by size (the shell's group size).
std::span<const StampOffset> MultiShellOffsets(Integer size);
// Sparkle burst by the number of pixels per sparkle burst (1-30).
std::span<const StampOffset> SparkleOffsets(Integer pixels);

}  // namespace lmvn
