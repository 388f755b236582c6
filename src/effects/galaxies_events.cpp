// Galaxies: the new-star and nova sprites, star bursts, comets and ambient stars.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

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
  static constexpr int kCoordinates = 2 * kMaxMultiples + 1;
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
      picture.multiples[static_cast<std::size_t>(j)] = picture.multiples[static_cast<std::size_t>(j - 1)];
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

// The new-star pictures, from the smallest (only the centre) to the full cross.
constexpr std::array<Picture, 10> kNewStarPictures = {{
    Picture{},
    Sprite(H(1)),
    Sprite(C(1)),
    Sprite(C(1), H(2)),
    Sprite(C(1), C(2)),
    Sprite(C(1), C(2), D(4)),
    Sprite(C(1), C(2), D(4), C(8)),
    Sprite(C(1), C(2), D(4), C(8), C(14)),
    Sprite(C(1), C(2), D(4), C(8), C(16), D(7)),
    Sprite(C(1), C(2), D(4), C(8), C(16), D(7), C(32), D(11)),
}};

// The nova's layers: the core (with its centre point), the middle layers at +-0.1 N and the
// outer layers at +-0.2 N of depth.
constexpr Picture kNovaCore = Sprite(C(16), D(16), D(7), C(11), K(2, 24), K(24, 2), C(32));
constexpr Picture kNovaMiddle = Sprite(K(3, 10), K(10, 3), K(7, 5), K(5, 7), C(24));
constexpr Picture kNovaOuter = Sprite(C(2), K(3, 5), K(5, 3));

// The rounded coordinates of one draw along one axis: value[i] for coordinate index i, and
// for each index the first index with the same value (kNone when the value cannot be
// represented). The multiples ascend, so equal values are neighbours along each direction.
struct Axis {
  static constexpr unsigned char kNone = 0xFF;
  std::array<Long, Picture::kCoordinates> value;
  std::array<unsigned char, Picture::kCoordinates> first;

  void Fill(const Picture& picture, Long centre, Single unit) {
    value[0] = centre;
    first[0] = 0;
    const double c = centre;
    for (int side = 1; side <= 2; ++side) {
      unsigned char previous = 0;  // the nearest coordinate towards the centre
      for (int j = 0; j < picture.multipleCount; ++j) {
        const auto i = static_cast<std::size_t>(2 * j + side);
        const double offset =
            static_cast<Single>(picture.multiples[static_cast<std::size_t>(j)]) * unit;
        if (!galaxy::RoundPoint(side == 1 ? c + offset : c - offset, value[i])) {
          first[i] = kNone;
          continue;
        }
        first[i] = (previous != kNone && value[previous] == value[i]) ? first[previous]
                                                                        : static_cast<unsigned char>(i);
        previous = static_cast<unsigned char>(i);
      }
    }
  }
};

// The points of `picture` around (x, y) with unit E; each coordinate is CLng(centre +- mE),
// and a point whose coordinate cannot be represented is left out. Points that land on the same
// pixel are set once.
void PlotPicture(Surface& surface, Integer pixelSize, const Picture& picture, Long x, Long y,
                 Single unit, Colour colour) {
  Axis xs, ys;
  xs.Fill(picture, x, unit);
  ys.Fill(picture, y, unit);
  std::array<std::uint32_t, Picture::kCoordinates> done{};  // done[ix] bit iy: pixel set
  for (int i = 0; i < picture.pointCount; ++i) {
    const auto& point = picture.points[static_cast<std::size_t>(i)];
    const unsigned char ix = xs.first[point[0]], iy = ys.first[point[1]];
    if (ix == Axis::kNone || iy == Axis::kNone) continue;
    const std::uint32_t bit = std::uint32_t{1} << iy;
    if ((done[ix] & bit) != 0) continue;
    done[ix] |= bit;
    PlotDot(surface, pixelSize, xs.value[ix], ys.value[iy], colour);
  }
}

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
  PlotDot(surface, pixelSize, x, y, colour);
  if (!(z > 0.0f)) return;
  const Single unit = look.focalLength / z * look.extMult;
  const Picture& picture =
      kNewStarPictures[static_cast<std::size_t>(NewStarPicture(framesLeft, look.frames))];
  PlotPicture(surface, pixelSize, picture, x, y, unit, colour);
}

void Galaxies::DrawNova(Single x, Single y, Single z, Integer framesLeft, Colour colour) {
  const Single n = p_.NovaExtMult;
  const Single growth =
      std::pow(static_cast<Single>(p_.NovaFrames - framesLeft + 1), static_cast<Single>(0.6375f));
  struct Layer {
    Single offset;
    const Picture* picture;
  };
  const std::array<Layer, 5> layers = {{{0.0f, &kNovaCore},
                                        {0.1f, &kNovaMiddle},
                                        {-0.1f, &kNovaMiddle},
                                        {0.2f, &kNovaOuter},
                                        {-0.2f, &kNovaOuter}}};
  for (const Layer& layer : layers) {
    const Single depth = layer.offset == 0.0f ? z : z + layer.offset * n;
    Long sx = 0, sy = 0;
    if (!Project(x, y, depth, sx, sy)) continue;
    if (layer.picture == &kNovaCore) Plot(sx, sy, colour);
    const Single unit = view_.FocalLength / depth * n * growth;
    PlotPicture(surface_, view_.PixelSize, *layer.picture, sx, sy, unit, colour);
  }
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
          if (ProjectPoint(view_, px, py, pz, particle.sx, particle.sy)) {
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
              ProjectPoint(view_, particle.x, particle.y, particle.z, particle.sx, particle.sy)) {
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
  const Single spread =
      ((1.0f - p_.AmbSymmetry) * Rnd() + p_.AmbSymmetry) * p_.AmbRadius;
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
      if (star.z > kNearest && ProjectPoint(view_, star.x, star.y, star.z, star.sx, star.sy)) {
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
