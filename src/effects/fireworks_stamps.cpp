#include "effects/fireworks_stamps.h"

#include <array>

namespace lmvn {
namespace {

// Four points on the axes, or on the diagonals, at distance k.
#define LMVN_AXES(k)         \
  {k, 0}, {-k, 0}, {0, k}, { \
    0, -k                    \
  }
#define LMVN_DIAGONALS(k)     \
  {k, k}, {-k, k}, {k, -k}, { \
    -k, -k                    \
  }

// Each scintillator size adds four points to those of the sizes below it.
constexpr StampOffset kScintillator[] = {
    LMVN_AXES(1),      LMVN_AXES(2),  LMVN_DIAGONALS(4),  LMVN_AXES(8),  LMVN_AXES(12),
    LMVN_DIAGONALS(7), LMVN_AXES(16), LMVN_DIAGONALS(11), LMVN_AXES(25),
};
static_assert(std::size(kScintillator) == 36);

// Multi-burst fragments from size 5 on take a growing prefix of this list.
constexpr StampOffset kMultiShell[] = {
    LMVN_AXES(1), LMVN_DIAGONALS(1), LMVN_AXES(2), LMVN_AXES(3),
    LMVN_AXES(4), LMVN_DIAGONALS(3), LMVN_AXES(5), LMVN_AXES(8),
};
constexpr StampOffset kMultiShellSmall[] = {{1, 0}, {-1, 0}};

// Sparkle bursts: one pattern per range of pixel counts; the patterns do not accumulate.
constexpr StampOffset kSparkle2[] = {{2, 0}};
constexpr StampOffset kSparkle3[] = {{-1, 1}, {1, 1}};
constexpr StampOffset kSparkle4[] = {LMVN_AXES(2)};
constexpr StampOffset kSparkle6[] = {{-1, -1}, {1, -1}, {-2, 0}, {2, 0}, {-1, 1}, {1, 1}};
constexpr StampOffset kSparkle8[] = {LMVN_DIAGONALS(1), LMVN_AXES(4)};
constexpr StampOffset kSparkle11[] = {LMVN_DIAGONALS(1), {-5, 0}, {5, 0}, {-2, -3},
                                      {-2, 3},           {2, -3}, {2, 3}};
constexpr StampOffset kSparkle13[] = {LMVN_DIAGONALS(2), LMVN_AXES(6), LMVN_DIAGONALS(4)};
constexpr StampOffset kSparkle15[] = {LMVN_DIAGONALS(2), LMVN_AXES(5), LMVN_DIAGONALS(3),
                                      LMVN_DIAGONALS(6), LMVN_AXES(8)};
constexpr StampOffset kSparkle23[] = {LMVN_DIAGONALS(2), LMVN_AXES(5),      LMVN_DIAGONALS(3),
                                      LMVN_DIAGONALS(5), LMVN_DIAGONALS(6), LMVN_AXES(9)};
constexpr StampOffset kSparkle27[] = {LMVN_DIAGONALS(2), LMVN_AXES(5),      LMVN_AXES(7),
                                      LMVN_DIAGONALS(3), LMVN_DIAGONALS(5), LMVN_DIAGONALS(7),
                                      LMVN_AXES(11)};

#undef LMVN_AXES
#undef LMVN_DIAGONALS

}  // namespace

std::span<const StampOffset> ScintillatorOffsets(Integer size) {
  if (size < 5 || size > 37 || (size - 5) % 4 != 0) return {};
  return std::span(kScintillator).first(static_cast<std::size_t>(size - 1));  // 4 per step
}

std::span<const StampOffset> MultiShellOffsets(Integer size) {
  if (size <= 1) return {};
  if (size == 2) return std::span(kMultiShellSmall).first(1);
  if (size <= 4) return kMultiShellSmall;
  std::size_t count = 32;
  if (size <= 8) {
    count = 4;
  } else if (size <= 12) {
    count = 8;
  } else if (size <= 16) {
    count = 12;
  } else if (size <= 20) {
    count = 16;
  } else if (size <= 24) {
    count = 20;
  } else if (size <= 32) {
    count = 24;
  }
  return std::span(kMultiShell).first(count);
}

std::span<const StampOffset> SparkleOffsets(Integer pixels) {
  if (pixels <= 1) return {};
  if (pixels == 2) return kSparkle2;
  if (pixels == 3) return kSparkle3;
  if (pixels <= 5) return kSparkle4;
  if (pixels <= 7) return kSparkle6;
  if (pixels <= 10) return kSparkle8;
  if (pixels <= 12) return kSparkle11;
  if (pixels <= 14) return kSparkle13;
  if (pixels <= 18) return std::span(kSparkle15).first(16);
  if (pixels <= 22) return kSparkle15;
  if (pixels <= 26) return kSparkle23;
  return kSparkle27;
}

}  // namespace lmvn
