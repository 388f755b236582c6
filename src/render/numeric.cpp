#include "render/numeric.h"

#include <limits>

namespace lmvn {
namespace {

// Round half to even without depending on the current floating-point rounding mode.
double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

template <typename T>
std::optional<T> RoundChecked(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = RoundHalfEven(value);
  if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<T>::max())) {
    return std::nullopt;
  }
  return static_cast<T>(rounded);
}

}  // namespace

std::optional<Integer> CInt(double value) {
  return RoundChecked<Integer>(value);
}
std::optional<Long> CLng(double value) {
  return RoundChecked<Long>(value);
}

std::optional<Long> FloorToLong(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double floor = std::floor(value);
  if (floor < static_cast<double>(std::numeric_limits<Long>::min()) ||
      floor > static_cast<double>(std::numeric_limits<Long>::max())) {
    return std::nullopt;
  }
  return static_cast<Long>(floor);
}

std::optional<Long> IDiv(Long a, Long b) {
  if (b == 0) return std::nullopt;
  if (a == std::numeric_limits<Long>::min() && b == -1) return std::nullopt;
  return a / b;
}

}  // namespace lmvn
