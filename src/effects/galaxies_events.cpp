// Galaxies: the new-star and nova sprites, star bursts, comets and ambient stars.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "effects/galaxies.h"
#include "effects/galaxies_internal.h"
#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

using galaxy::kNearest;
using galaxy::kTwoPi;

// One group of sprite points around (x, y), in multiples of the sprite's unit E:
//   C(n): (x -+ nE, y), (x, y -+ nE)   D(n): (x -+ nE, y -+ nE)
//   H(n): (x -+ nE, y) only            K(a, b): (x -+ aE, y -+ bE)
struct Part {
  char kind;
  int a, b;
};
constexpr Part C(int n) {
  return {'C', n, 0};
}
constexpr Part D(int n) {
  return {'K', n, n};
}
constexpr Part H(int n) {
  return {'H', n, 0};
}
constexpr Part K(int a, int b) {
  return {'K', a, b};
}

// A sprite picture compiled for drawing: the distinct multiples of E it uses, in ascending
// order, and each point as a pair of indexes into the coordinates of one draw (0 = the centre,
// 2j + 1 = centre plus multiple j times E, 2j + 2 = centre minus it). Every coordinate is
// rounded once per draw, however many points share it.
struct Picture {
  static constexpr int kMaxMultiples = 8;
  static constexpr int kMaxPoints = 32;
  int multipleCount = 0;
  std::array<int, kMaxMultiples> multiples{};
  int pointCount = 0;
  std::array<std::array<unsigned char, 2>, kMaxPoints> points{};
};

template <std::size_t N>
constexpr Picture Compile(const std::array<Part, N>& parts) {
  Picture picture;
  auto note = [&picture](int m) {
    for (int j = 0; j < picture.multipleCount; ++j) {
      if (picture.multiples[static_cast<std::size_t>(j)] == m) return;
    }
    // Insert in ascending order.
    int j = picture.multipleCount++;
    while (j > 0 && picture.multiples[static_cast<std::size_t>(j - 1)] > m) {
      picture.multiples[static_cast<std::size_t>(j)] =
          picture.multiples[static_cast<std::size_t>(j - 1)];
      --j;
    }
    picture.multiples[static_cast<std::size_t>(j)] = m;
  };
  for (const Part& part : parts) {
    note(part.a);
    if (part.b != 0) note(part.b);
  }
  auto coordinate = [&picture](int offset) -> unsigned char {
    if (offset == 0) return 0;
    const int m = offset < 0 ? -offset : offset;
    int j = 0;
    while (picture.multiples[static_cast<std::size_t>(j)] != m) ++j;
    return static_cast<unsigned char>(offset > 0 ? 2 * j + 1 : 2 * j + 2);
  };
  auto add = [&](int dx, int dy) {
    picture.points[static_cast<std::size_t>(picture.pointCount++)] = {coordinate(dx),
                                                                      coordinate(dy)};
  };
  for (const Part& part : parts) {
    if (part.kind == 'C') {
      add(-part.a, 0);
      add(part.a, 0);
      add(0, -part.a);
      add(0, part.a);
    } else if (part.kind == 'H') {
      add(-part.a, 0);
      add(part.a, 0);
    } else {
      add(-part.a, -part.b);
      add(part.a, -part.b);
      add(-part.a, part.b);
      add(part.a, part.b);
    }
  }
  return picture;
}

template <typename... P>
constexpr Picture Sprite(P... parts) {
  return Compile(std::array<Part, sizeof...(P)>{parts...});
}

// The new-star pictures 1 to 9, from two points beside the centre to the full cross (picture
// 0 is the centre alone).
constexpr Picture kNewStar1 = Sprite(H(1));
constexpr Picture kNewStar2 = Sprite(C(1));
constexpr Picture kNewStar3 = Sprite(C(1), H(2));
constexpr Picture kNewStar4 = Sprite(C(1), C(2));
constexpr Picture kNewStar5 = Sprite(C(1), C(2), D(4));
constexpr Picture kNewStar6 = Sprite(C(1), C(2), D(4), C(8));
constexpr Picture kNewStar7 = Sprite(C(1), C(2), D(4), C(8), C(14));
constexpr Picture kNewStar8 = Sprite(C(1), C(2), D(4), C(8), C(16), D(7));
constexpr Picture kNewStar9 = Sprite(C(1), C(2), D(4), C(8), C(16), D(7), C(32), D(11));

// The nova's layers: the core (with its centre point), the middle layers at +-0.1 N and the
// outer layers at +-0.2 N of depth.
constexpr Picture kNovaCore = Sprite(C(16), D(16), D(7), C(11), K(2, 24), K(24, 2), C(32));
constexpr Picture kNovaMiddle = Sprite(K(3, 10), K(10, 3), K(7, 5), K(5, 7), C(24));
constexpr Picture kNovaOuter = Sprite(C(2), K(3, 5), K(5, 3));

enum class Draw { Checked, Plain, Distinct };

// Hands the points of P, from the rounded coordinates, to emit(x, y). Checked: coordinates
// may be missing (ok flags). Distinct: every point lies within 8 pixels of the centre, and a
// pixel already emitted by this draw is not emitted again (small sprites put many points on
// the same pixel).
template <const Picture& P, Draw kDraw, typename Emit, std::size_t... I>
[[gnu::always_inline]] inline void EmitPoints(Emit& emit, Long x, Long y, const Long* xs,
                                              const Long* ys, const bool* xOk, const bool* yOk,
                                              std::uint32_t* done, std::index_sequence<I...>) {
  (
      [&] {
        constexpr auto point = P.points[I];
        const Long px = xs[point[0]], py = ys[point[1]];
        if constexpr (kDraw == Draw::Checked) {
          if (!xOk[point[0]] || !yOk[point[1]]) return;
        } else if constexpr (kDraw == Draw::Distinct) {
          const std::uint32_t bit = std::uint32_t{1} << (py - y + 8);
          std::uint32_t& row = done[px - x + 8];
          if ((row & bit) != 0) return;
          row |= bit;
        }
        emit(px, py);
      }(),
      ...);
}

// The points of picture P around (x, y) with unit E (and the centre itself first when asked
// for), handed to emit(x, y); each coordinate is CLng(centre +- mE), and a point whose
// coordinate cannot be represented is left out. Every coordinate is rounded once per draw, and
// the loops are unrolled for each picture. Small pictures hand each pixel over once unless
// the emitter sorts out repeats itself (kDistinct false).
template <const Picture& P, bool kWithCentre = false, bool kDistinct = true, typename Emit>
void EmitPicture(Emit&& emit, Long x, Long y, Single unit) {
  constexpr int kSize = 2 * P.multipleCount + 1;
  constexpr auto kMultiples = std::make_index_sequence<static_cast<std::size_t>(P.multipleCount)>();
  constexpr auto kPoints = std::make_index_sequence<static_cast<std::size_t>(P.pointCount)>();
  const double reach = static_cast<Single>(P.multiples[P.multipleCount - 1]) * unit;
  if (!(reach >= 0.5)) {
    // Every offset rounds to nothing: the whole sprite is its centre (NaN draws only that).
    emit(x, y);
    return;
  }
  std::array<Long, kSize> xs{}, ys{};
  xs[0] = x;
  ys[0] = y;
  const double cx = x, cy = y;
  constexpr double kSafe = 2.0e9;  // every sum below this rounds into a Long
  if (reach < kSafe && std::fabs(cx) + reach < kSafe && std::fabs(cy) + reach < kSafe) {
    constexpr double kShift = 6755399441055744.0;  // round half to even, as RoundPoint
    [&]<std::size_t... J>(std::index_sequence<J...>) {
      (
          [&] {
            const double offset = static_cast<Single>(P.multiples[J]) * unit;
            xs[2 * J + 1] = static_cast<Long>((cx + offset + kShift) - kShift);
            xs[2 * J + 2] = static_cast<Long>((cx - offset + kShift) - kShift);
            ys[2 * J + 1] = static_cast<Long>((cy + offset + kShift) - kShift);
            ys[2 * J + 2] = static_cast<Long>((cy - offset + kShift) - kShift);
          }(),
          ...);
    }
    (kMultiples);
    if constexpr (std::remove_cvref_t<Emit>::kGathers) {
      if (emit.template Gather<P, kWithCentre>(xs, ys, kPoints)) return;
    }
    if (kDistinct && reach <= 8.0) {
      std::array<std::uint32_t, 17> done{};
      if constexpr (kWithCentre) {
        done[8] = std::uint32_t{1} << 8;
        emit(x, y);
      }
      EmitPoints<P, Draw::Distinct>(emit, x, y, xs.data(), ys.data(), nullptr, nullptr, done.data(),
                                    kPoints);
    } else {
      if constexpr (kWithCentre) emit(x, y);
      EmitPoints<P, Draw::Plain>(emit, x, y, xs.data(), ys.data(), nullptr, nullptr, nullptr,
                                 kPoints);
    }
    return;
  }
  // Far off the surface or enormous: some coordinates may not exist at all.
  std::array<bool, kSize> xOk{}, yOk{};
  xOk[0] = yOk[0] = true;
  [&]<std::size_t... J>(std::index_sequence<J...>) {
    (
        [&] {
          const double offset = static_cast<Single>(P.multiples[J]) * unit;
          xOk[2 * J + 1] = galaxy::RoundPoint(cx + offset, xs[2 * J + 1]);
          xOk[2 * J + 2] = galaxy::RoundPoint(cx - offset, xs[2 * J + 2]);
          yOk[2 * J + 1] = galaxy::RoundPoint(cy + offset, ys[2 * J + 1]);
          yOk[2 * J + 2] = galaxy::RoundPoint(cy - offset, ys[2 * J + 2]);
        }(),
        ...);
  }
  (kMultiples);
  if constexpr (kWithCentre) emit(x, y);
  EmitPoints<P, Draw::Checked>(emit, x, y, xs.data(), ys.data(), xOk.data(), yOk.data(), nullptr,
                               kPoints);
}

// Plots each point it is given.
struct PlotEmitter {
  static constexpr bool kGathers = false;
  Surface& surface;
  Integer pixelSize;
  Colour colour;
  void operator()(Long x, Long y) const { PlotDot(surface, pixelSize, x, y, colour); }
};

// The pixels of one nova picture, gathered before any is set. A nova's five layers lie almost
// on top of each other, so most of its points fall on pixels it already has: a 64 x 64 window
// of flags around its first centre holds each of those once, and the few points beyond the
// window (very large novas) are listed as they come.
class NovaPixels {
 public:
  static constexpr bool kGathers = true;

  NovaPixels(Long x, Long y)
      : originX_(std::int64_t{x} - kReach),
        originY_(std::int64_t{y} - kReach),
        packedOriginX_(originX_ + galaxy::kRecordMargin),
        packedOriginY_(originY_ + galaxy::kRecordMargin) {}

  void operator()(Long x, Long y) {
    const auto dx = static_cast<std::uint64_t>(x - originX_);
    const auto dy = static_cast<std::uint64_t>(y - originY_);
    if ((dx | dy) < kSide) {
      columns_[dx] |= std::uint64_t{1} << dy;
      usedColumns_ |= std::uint64_t{1} << dx;
    } else if (beyondCount_ < beyond_.size()) {
      beyond_[beyondCount_++] = {x, y};
    }
  }

  // Takes all points of picture P at once, from its rounded coordinates (xs, ys: the centre,
  // then each multiple of the unit added and subtracted, in ascending order), when they all
  // fall in the window; false, taking none, when some do not.
  template <const Picture& P, bool kWithCentre, std::size_t kSize, std::size_t... I>
  bool Gather(const std::array<Long, kSize>& xs, const std::array<Long, kSize>& ys,
              std::index_sequence<I...>) {
    // The largest offset rounds to the outermost coordinates; every other one lies between.
    if (static_cast<std::uint64_t>(xs[kSize - 1] - originX_) >= kSide ||
        static_cast<std::uint64_t>(xs[kSize - 2] - originX_) >= kSide ||
        static_cast<std::uint64_t>(ys[kSize - 1] - originY_) >= kSide ||
        static_cast<std::uint64_t>(ys[kSize - 2] - originY_) >= kSide) {
      return false;
    }
    std::array<std::size_t, kSize> column;
    std::array<std::uint64_t, kSize> row;
    for (std::size_t k = 0; k < kSize; ++k) {
      column[k] = static_cast<std::size_t>(xs[k] - originX_);
      row[k] = std::uint64_t{1} << (ys[k] - originY_);
      usedColumns_ |= std::uint64_t{1} << column[k];
    }
    if constexpr (kWithCentre) columns_[column[0]] |= row[0];
    ((columns_[column[P.points[I][0]]] |= row[P.points[I][1]]), ...);
    return true;
  }

  // Whether (x, y) is a pixel of the window that the picture sets.
  bool Sets(Long x, Long y) const {
    const auto dx = static_cast<std::uint64_t>(x - originX_);
    const auto dy = static_cast<std::uint64_t>(y - originY_);
    return (dx | dy) < kSide && ((columns_[dx] >> dy) & 1u) != 0;
  }

  // Whether a point recorded (PackPoint) is a pixel of the window that the picture sets.
  bool SetsRecorded(std::uint32_t packed) const {
    const auto dx = static_cast<std::uint64_t>(std::int64_t{packed >> 16} - packedOriginX_);
    const auto dy = static_cast<std::uint64_t>(std::int64_t{packed & 0xFFFFu} - packedOriginY_);
    return (dx | dy) < kSide && ((columns_[dx] >> dy) & 1u) != 0;
  }

  // Whether every pixel of the window can be recorded.
  bool WindowRecordable() const {
    return packedOriginX_ >= 0 && packedOriginY_ >= 0 && packedOriginX_ + kSide <= 65536 &&
           packedOriginY_ + kSide <= 65536;
  }

  // Hands every pixel of the window once to visit(x, y), then those beyond it to beyond(x, y).
  template <typename Visit, typename Beyond>
  void ForEach(Visit&& visit, Beyond&& beyond) const {
    for (std::uint64_t used = usedColumns_; used != 0; used &= used - 1) {
      const int dx = std::countr_zero(used);
      const auto x = static_cast<Long>(originX_ + dx);
      for (std::uint64_t rows = columns_[static_cast<std::size_t>(dx)]; rows != 0;
           rows &= rows - 1) {
        visit(x, static_cast<Long>(originY_ + std::countr_zero(rows)));
      }
    }
    for (std::size_t k = 0; k < beyondCount_; ++k) beyond(beyond_[k].x, beyond_[k].y);
  }

 private:
  static constexpr Long kReach = 32;
  static constexpr std::uint64_t kSide = 2 * kReach;
  std::int64_t originX_, originY_;
  std::int64_t packedOriginX_, packedOriginY_;  // the origin as PackPoint holds it
  std::uint64_t usedColumns_ = 0;
  std::array<std::uint64_t, kSide> columns_{};
  std::size_t beyondCount_ = 0;
  struct Point {
    Long x, y;
  };
  std::array<Point, galaxy::kNovaPoints> beyond_;
};

}  // namespace

int NewStarPicture(Integer framesLeft, Integer frames) {
  if (frames == 0) return 0;
  const double exact = static_cast<double>(framesLeft) / frames;
  if (!(exact >= static_cast<double>(0.1f))) return 0;
  const auto f = static_cast<Single>(exact);
  constexpr std::array<Single, 8> kSteps = {0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f};
  int picture = 1;
  for (Single step : kSteps) {
    if (f < step) break;
    ++picture;
  }
  return picture;
}

void DrawNewStar(Surface& surface, Integer pixelSize, const NewStarLook& look, Long x, Long y,
                 Single z, Integer framesLeft, Colour colour) {
  const int picture = z > 0.0f ? NewStarPicture(framesLeft, look.frames) : 0;
  const Single unit = picture > 0 ? look.focalLength / z * look.extMult : 0.0f;
  switch (picture) {
    case 1:
      return EmitPicture<kNewStar1, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 2:
      return EmitPicture<kNewStar2, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 3:
      return EmitPicture<kNewStar3, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 4:
      return EmitPicture<kNewStar4, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 5:
      return EmitPicture<kNewStar5, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 6:
      return EmitPicture<kNewStar6, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 7:
      return EmitPicture<kNewStar7, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 8:
      return EmitPicture<kNewStar8, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    case 9:
      return EmitPicture<kNewStar9, true>(PlotEmitter{surface, pixelSize, colour}, x, y, unit);
    default:
      return PlotDot(surface, pixelSize, x, y, colour);  // the centre only
  }
}

void Galaxies::DrawNova(std::size_t star, Single x, Single y, Single z, Integer framesLeft,
                        Colour colour) {
  const Single n = p_.NovaExtMult;
  const Single growth = novaGrowth_[static_cast<std::size_t>(
      ClampInteger(static_cast<Integer>(p_.NovaFrames - framesLeft + 1), 1, p_.NovaFrames))];
  const Single f = view_.FocalLength;
  // The core at the nova's depth, the middle layers 0.1 N nearer and farther, the outer layers
  // 0.2 N: their centres and units.
  constexpr int kLayers = 5;
  constexpr std::array<Single, kLayers> kOffsets = {0.0f, 0.1f, -0.1f, 0.2f, -0.2f};
  std::array<Long, kLayers> sx{}, sy{};
  std::array<Single, kLayers> unit{};
  std::array<bool, kLayers> shown{};
  int first = -1;
  for (int k = 0; k < kLayers; ++k) {
    const auto l = static_cast<std::size_t>(k);
    const Single depth = k == 0 ? z : z + kOffsets[l] * n;
    shown[l] = galaxy::ProjectView(view_, x, y, depth, sx[l], sy[l]);
    if (shown[l]) {
      unit[l] = f / depth * n * growth;
      if (first < 0) first = k;
    }
  }

  std::uint32_t* record = novaPixels_.data() + star * galaxy::kNovaPoints;
  const int recorded = novaPixelCount_[star];
  if (first < 0) {
    EraseNova(star);
    return;
  }
  const auto f0 = static_cast<std::size_t>(first);
  NovaPixels pixels(sx[f0], sy[f0]);
  if (shown[0]) EmitPicture<kNovaCore, true, false>(pixels, sx[0], sy[0], unit[0]);
  if (shown[1]) EmitPicture<kNovaMiddle, false, false>(pixels, sx[1], sy[1], unit[1]);
  if (shown[2]) EmitPicture<kNovaMiddle, false, false>(pixels, sx[2], sy[2], unit[2]);
  if (shown[3]) EmitPicture<kNovaOuter, false, false>(pixels, sx[3], sy[3], unit[3]);
  if (shown[4]) EmitPicture<kNovaOuter, false, false>(pixels, sx[4], sy[4], unit[4]);

  // The last picture goes, except where the new one covers it anyway; then the new one is set
  // and recorded.
  Surface& surface = surface_;
  const Integer pixelSize = view_.PixelSize;
  for (int k = 0; k < recorded; ++k) {
    if (pixels.SetsRecorded(record[k])) continue;
    PlotDot(surface, pixelSize, galaxy::UnpackX(record[k]), galaxy::UnpackY(record[k]), 0);
  }
  int count = 0;
  const auto plot = [&](Long px, Long py) {
    if (!galaxy::Recordable(px, py)) return;
    PlotDot(surface, pixelSize, px, py, colour);
    record[count++] = galaxy::PackPoint(px, py);
  };
  if (pixelSize == 1 && pixels.WindowRecordable()) {
    // The usual case, with nothing to check per pixel but the surface's own bounds.
    pixels.ForEach(
        [&](Long px, Long py) {
          surface.SetPixelV(px, py, colour);
          record[count++] = galaxy::PackPoint(px, py);
        },
        plot);
  } else {
    pixels.ForEach(plot, plot);
  }
  novaPixelCount_[star] = static_cast<std::uint8_t>(count);
}

void Galaxies::PrefetchNova(std::size_t star) const {
  const auto* record =
      reinterpret_cast<const char*>(novaPixels_.data() + star * galaxy::kNovaPoints);
  const int bytes = novaPixelCount_[star] * static_cast<int>(sizeof(std::uint32_t));
  for (int offset = 0; offset < bytes; offset += 64) __builtin_prefetch(record + offset);
}

void Galaxies::EraseNova(std::size_t star) {
  const std::uint32_t* record = novaPixels_.data() + star * galaxy::kNovaPoints;
  const int count = novaPixelCount_[star];
  for (int k = 0; k < count; ++k) {
    Plot(galaxy::UnpackX(record[k]), galaxy::UnpackY(record[k]), 0);
  }
  novaPixelCount_[star] = 0;
}

void RandomPointInBall(Single& x, Single& y, Single& z, Single radius) {
  x = y = z = 0.0f;
  if (!(radius > 0.0f) || !std::isfinite(radius)) return;
  do {
    x = (2.0f * Rnd() - 1.0f) * radius;
    y = (2.0f * Rnd() - 1.0f) * radius;
    z = (2.0f * Rnd() - 1.0f) * radius;
  } while (!(std::sqrt(x * x + y * y + z * z) <= radius));
}

void ScatterAmbientStar(Single& x, Single& y, Single& z, Single radius, Single symmetry,
                        Single aspectRatio) {
  RandomPointInBall(x, y, z, radius);
  const Single length = std::sqrt(x * x + y * y + z * z);
  // The centre itself has no direction to push along; it stays where it is.
  const Single k = length > 0.0f ? radius / length * symmetry : 0.0f;
  const Single keep = 1.0f - symmetry;
  x = (x * k + keep * x) * aspectRatio;
  y = y * k + keep * y;
  z = z * k + keep * z;
}

void Galaxies::UpdateStarBursts(Single tilt) {
  const std::size_t perSlot = static_cast<std::size_t>(p_.BurstStars);
  const auto slots = static_cast<Single>(burstSlots_.size());
  const auto chosen = static_cast<std::size_t>(std::min(Int(Rnd() * slots), slots - 1.0f));
  if (Rnd() * 10000.0f < static_cast<Single>(p_.BurstFreq) && burstSlots_[chosen].alive == 0) {
    BurstSlot& slot = burstSlots_[chosen];
    slot.age = 0;
    slot.alive = p_.BurstStars;
    PlaceGalaxyStar(slot.orbitRadius, slot.height);
    slot.depth = distance_;
    slot.angle = Rnd() * kTwoPi;
    slot.angularSpeed = (1.0f / slot.orbitRadius) * kTwoPi * p_.Rotation;
    for (std::size_t k = chosen * perSlot; k < (chosen + 1) * perSlot; ++k) {
      BurstParticle& particle = burstParticles_[k];
      particle.live = true;
      particle.shown = false;
      RandomVector(particle.vx, particle.vy, particle.vz, p_.BurstSpeed, view_.AspectRatio);
    }
  }

  const Single sinT = std::sin(tilt);
  const Single cosT = std::cos(tilt);
  for (std::size_t b = 0; b < burstSlots_.size(); ++b) {
    BurstSlot& slot = burstSlots_[b];
    if (slot.alive <= 0) continue;
    slot.age = MinInteger(static_cast<Integer>(slot.age + 1), 32000);
    slot.angle += slot.angularSpeed;
    slot.depth -= p_.Velocity;
    const galaxy::ViewPoint centre =
        galaxy::ViewOf(slot.orbitRadius, slot.height, slot.angle, slot.depth, sinT, cosT);
    const Colour colour = palette_.ColorAgeRamp[static_cast<std::size_t>(MinInteger(slot.age, 99))];
    const auto age = static_cast<Single>(slot.age);
    for (std::size_t k = b * perSlot; k < (b + 1) * perSlot; ++k) {
      BurstParticle& particle = burstParticles_[k];
      if (!particle.live) continue;
      if (particle.shown) Plot(particle.sx, particle.sy, 0);
      particle.shown = false;
      if (Rnd() < p_.BurstPersist) {
        const Single pz = age * particle.vz + centre.z;
        if (pz > kNearest) {
          const Single px = age * particle.vx + centre.x;
          const Single py = age * particle.vy + centre.y;
          if (Project(px, py, pz, particle.sx, particle.sy)) {
            particle.shown = true;
            Plot(particle.sx, particle.sy, colour);
          }
        }
      } else {
        particle.live = false;
        --slot.alive;
      }
    }
  }
}

void Galaxies::EmitCometParticle(CometParticle& particle, Single hx, Single hy, Single hz) const {
  RandomVector(particle.vx, particle.vy, particle.vz, p_.CometSpeed, view_.AspectRatio);
  if (p_.CometSWind > 0.0f) {
    // A push of the wind's length straight away from the scene centre (0, 0, F).
    const Single dz = hz - view_.FocalLength;
    const Single length = std::sqrt(hx * hx + hy * hy + dz * dz);
    if (length > 0.0f) {
      const Single w = p_.CometSWind / length;
      particle.vx += hx * w;
      particle.vy += hy * w;
      particle.vz += dz * w;
    }
  }
  particle.x = hx + particle.vx;
  particle.y = hy + particle.vy;
  particle.z = hz + particle.vz;
}

void Galaxies::UpdateComets(Single tilt) {
  const std::size_t perSlot = static_cast<std::size_t>(p_.CometStars);
  const Single sinT = std::sin(tilt);
  const Single cosT = std::cos(tilt);

  const auto slots = static_cast<Single>(cometSlots_.size());
  const auto chosen = static_cast<std::size_t>(std::min(Int(Rnd() * slots), slots - 1.0f));
  if (Rnd() * 10000.0f < static_cast<Single>(p_.CometFreq) && !cometSlots_[chosen].emitting &&
      cometSlots_[chosen].alive == 0) {
    CometSlot& slot = cometSlots_[chosen];
    slot.emitting = true;
    slot.alive = p_.CometStars;
    PlaceGalaxyStar(slot.orbitRadius, slot.height);
    slot.depth = distance_;
    slot.angle = Rnd() * kTwoPi;
    slot.angularSpeed = (1.0f / slot.orbitRadius) * kTwoPi * p_.CometOrbit;
    const galaxy::ViewPoint head =
        galaxy::ViewOf(slot.orbitRadius, slot.height, slot.angle, slot.depth, sinT, cosT);
    for (std::size_t k = chosen * perSlot; k < (chosen + 1) * perSlot; ++k) {
      CometParticle& particle = cometParticles_[k];
      particle.live = true;
      particle.shown = false;
      particle.age = 0;
      EmitCometParticle(particle, head.x, head.y, head.z);
    }
  }

  for (std::size_t c = 0; c < cometSlots_.size(); ++c) {
    CometSlot& slot = cometSlots_[c];
    if (slot.alive > 0) {
      slot.angle += slot.angularSpeed;
      slot.depth -= p_.Velocity;
      const galaxy::ViewPoint head =
          galaxy::ViewOf(slot.orbitRadius, slot.height, slot.angle, slot.depth, sinT, cosT);
      for (std::size_t k = c * perSlot; k < (c + 1) * perSlot; ++k) {
        CometParticle& particle = cometParticles_[k];
        if (!particle.live) continue;
        if (particle.shown) Plot(particle.sx, particle.sy, 0);
        particle.shown = false;
        if (Rnd() < p_.CometSPersist) {
          particle.x += particle.vx;
          particle.y += particle.vy;
          particle.z += particle.vz;
          if (particle.z > kNearest &&
              Project(particle.x, particle.y, particle.z, particle.sx, particle.sy)) {
            particle.shown = true;
            Plot(particle.sx, particle.sy,
                 palette_.ColorAgeRamp[static_cast<std::size_t>(MinInteger(particle.age, 99))]);
            particle.age = MinInteger(static_cast<Integer>(particle.age + 2), 32000);
          }
        } else if (slot.emitting) {
          particle.age = 0;
          EmitCometParticle(particle, head.x, head.y, head.z);
        } else {
          particle.live = false;
          --slot.alive;
        }
      }
    }
    if (Rnd() > p_.CometcPersist) slot.emitting = false;
  }
}

void Galaxies::PlaceAmbientStar(AmbientStar& star) const {
  const Single spread = ((1.0f - p_.AmbSymmetry) * Rnd() + p_.AmbSymmetry) * p_.AmbRadius;
  RandomPointInBall(star.x, star.y, star.z, spread);
  star.z = std::fabs(star.z) + distance_;
  star.colourAge = 0.0f;
  star.shown = false;
}

void Galaxies::UpdateAmbientStars() {
  for (AmbientStar& star : ambient_) {
    if (star.shown) Plot(star.sx, star.sy, 0);
    star.shown = false;
    if (Rnd() < p_.AmbPersist) {
      star.z -= p_.Velocity;
      if (star.z > kNearest && Project(star.x, star.y, star.z, star.sx, star.sy)) {
        star.shown = true;
        Plot(star.sx, star.sy, galaxy::RampColour(palette_, star.colourAge));
      }
    } else {
      ScatterAmbientStar(star.x, star.y, star.z, p_.AmbRadius, p_.AmbSymmetry, view_.AspectRatio);
      star.z = std::fabs(star.z) + distance_;
      star.colourAge = 0.0f;
    }
    star.colourAge += p_.AmbCAgeInc;
  }
}

}  // namespace lmvn
