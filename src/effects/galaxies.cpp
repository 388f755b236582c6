// Galaxies: the settings, the galaxy model and the frame loop. The sprites and the events
// (bursts, comets, ambient stars) are in galaxies_events.cpp.
#include <algorithm>
#include <cmath>
#include <limits>

#include "effects/galaxies.h"
#include "effects/galaxies_internal.h"
#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

// A value converted to a whole number and clamped. The range is applied first, so a value
// beyond the 16-bit range (or NaN, which takes the low end) still lands on a bound.
Integer WholeClamp(double value, Integer low, Integer high) {
  if (!(value >= low)) return low;
  if (value > high) return high;
  return CIntOr(value, low);
}

Long WholeClampLong(double value, Long low, Long high) {
  if (!(value >= low)) return low;
  if (value > high) return high;
  return CLngOr(value, low);
}

Single DegreesToRadians(Single degrees) {
  return degrees * galaxy::kTwoPi / 360.0f;
}

double SafeSqrt(double value) {
  return value > 0.0 ? std::sqrt(value) : 0.0;
}

// The height envelope H(r) of a galaxy profile with radius R.
double ProfileHeight(Integer profile, double r, double R) {
  switch (profile) {
    case 0: {  // "Standard": bulge, neck, disk
      const double a2 = (R / 0.714) * (R / 0.714) * 0.0625;
      if (r <= 0.25 * R) return 4 * 0.714 * SafeSqrt(a2 - r * r);
      if (r <= 0.5 * R) {
        const double d = 0.5 * R - r;
        return 1.4 * R - 4 * 0.714 * SafeSqrt(a2 - d * d);
      }
      const double d = r - 0.5 * R;
      return 0.4 * 2 * SafeSqrt(0.25 * R * R - d * d);
    }
    case 1: {  // "Top-Like"
      if (r < 0.1 * R) return 10 * 0.25 * SafeSqrt(0.01 * R * R - r * r) + 0.75 * R;
      if (r < 0.75 * R) {
        const double d = 0.75 * R - r;
        return 0.5 * R * (1 - SafeSqrt(0.4225 * R * R - d * d) / (0.65 * R)) + 0.25 * R;
      }
      const double d = r - 0.75 * R;
      return SafeSqrt(0.0625 * R * R - d * d);
    }
    case 2:  // "Spherical"
      return SafeSqrt(R * R - r * r);
    case 3:  // "Conical"
      return R - r;
    case 4:  // "Hyperbolic"
      return R - SafeSqrt(R * R - (R - r) * (R - r));
    case 5:  // "Outer-Hyperbolic"
      return R - SafeSqrt(R * R - r * r);
    default:  // 6 "Inner-Hyperbolic"
      return SafeSqrt(R * R - (R - r) * (R - r));
  }
}

// A hue in whole degrees, wrapped into the wheel: a computed value below 0 continues round
// the wheel instead of reading before it.
int WheelIndex(double value, Integer base) {
  Long hue = 0;
  if (detail::RoundToLong(value, hue)) return static_cast<int>(((hue % 360) + 360) % 360);
  if (!std::isfinite(value)) return base;
  const double wrapped = std::fmod(value, 360.0);  // beyond the 32-bit range
  return static_cast<int>(((CLngOr(wrapped, 0) % 360) + 360) % 360);
}

constexpr Integer kMaxAge = std::numeric_limits<Integer>::max();

}  // namespace

GalaxyParams ClampGalaxySettings(const GalaxySettings& s) {
  GalaxyParams p;
  p.Stars = ClampInteger(s.Galaxy_Stars, 10, 9999);
  p.Radius = static_cast<Single>(WholeClamp(s.Galaxy_Radius, 1, 9999)) * 0.01f;
  p.Rotation = static_cast<Single>(WholeClamp(s.Galaxy_Rotation, 0, 9999)) * 0.000001f;
  p.Distance = static_cast<Single>(WholeClamp(s.Galaxy_Distance, 0, 9999)) * 0.01f;
  p.Velocity = static_cast<Single>(WholeClamp(s.Galaxy_Velocity, 0, 9999)) * 0.00001f;
  p.Trail = ClampInteger(s.Galaxy_Trail, 1, 999);
  p.Trail = MinInteger(p.Trail, static_cast<Integer>(32000 / p.Stars));
  p.ColorMult = WholeClamp(s.Galaxy_ColorMult, 1, 9999);
  p.RadiusExp = ClampSingle(s.Galaxy_RadiusExp, 0.0f, 99.9f);
  p.HeightExp = ClampSingle(s.Galaxy_HeightExp, 0.0f, 99.9f);
  p.GHW_Ratio = ClampSingle(s.Galaxy_GHW_Ratio, 0.0f, 99.9f);
  p.AngleTilt = DegreesToRadians(ClampSingle(s.Galaxy_AngleTilt, 0.0f, 360.0f));
  p.AngleTInc = DegreesToRadians(ClampSingle(s.Galaxy_AngleTInc, 0.0f, 360.0f));
  p.HWheelIdx = ClampInteger(s.Galaxy_HWheelIdx, 0, 359);
  p.ColorComp = ClampInteger(s.Galaxy_ColorComp, 0, 4);
  p.Profile = ClampInteger(s.Galaxy_Profile, 0, 6);

  p.NewFreq = ClampInteger(s.Galaxy_NewFreq, 0, 9999);
  p.NewFrames = ClampInteger(s.Galaxy_NewFrames, 1, 999);
  p.NewExtMult = static_cast<Single>(WholeClamp(s.Galaxy_NewExtMult, 1, 9999)) * 0.001f;
  p.NovaFreq = ClampInteger(s.Galaxy_NovaFreq, 0, 9999);
  p.NovaFrames = ClampInteger(s.Galaxy_NovaFrames, 1, 999);
  p.NovaExtMult = static_cast<Single>(WholeClamp(s.Galaxy_NovaExtMult, 1, 9999)) * 0.0001f;
  p.BurstFreq = ClampInteger(s.Galaxy_BurstFreq, 0, 9999);
  p.BurstStars = ClampInteger(s.Galaxy_BurstStars, 1, 999);
  p.BurstSpeed = static_cast<Single>(WholeClamp(s.Galaxy_BurstSpeed, 1, 9999)) * 0.00001f;
  p.BurstPersist = ClampSingle(s.Galaxy_BurstPersist, 0.25f, 0.99f);
  p.CometFreq = ClampInteger(s.Galaxy_CometFreq, 0, 9999);
  p.CometStars = ClampInteger(s.Galaxy_CometStars, 1, 999);
  p.CometOrbit = ClampSingle(s.Galaxy_CometOrbit, 1.0f, 9999.0f) * 0.00001f;
  p.CometSpeed = ClampSingle(s.Galaxy_CometSpeed, 0.0f, 9999.0f) * 0.00001f;
  p.CometSWind = ClampSingle(s.Galaxy_CometSWind, 0.0f, 9999.0f) * 0.00001f;
  p.CometSPersist = ClampSingle(s.Galaxy_CometSPersist, 0.25f, 0.99f);
  p.CometcPersist = ClampSingle(s.Galaxy_CometCPersist, 0.25f, 0.9999f);
  p.AmbStars = ClampInteger(s.Galaxy_AmbStars, 0, 999);
  p.AmbRadius = static_cast<Single>(WholeClampLong(s.Galaxy_AmbRadius, 100, 99999)) * 0.01f;
  p.AmbSymmetry = ClampSingle(s.Galaxy_AmbSymmetry, 0.0f, 1.0f);
  p.AmbPersist = ClampSingle(s.Galaxy_AmbPersist, 0.25f, 1.0f);
  p.AmbCAgeInc = ClampSingle(s.Galaxy_AmbCAgeInc, 0.0f, 10.0f);
  return p;
}

GalaxySettings GalaxyDemoSettings() {
  GalaxySettings s;
  s.Galaxy_Stars = 1600;
  s.Galaxy_Radius = 225;
  s.Galaxy_Rotation = 1000;
  s.Galaxy_Distance = 200;
  s.Galaxy_Velocity = 100;
  s.Galaxy_Trail = 2;
  s.Galaxy_ColorMult = 2000;
  s.Galaxy_NewFreq = 300;
  s.Galaxy_NewFrames = 10;
  s.Galaxy_NewExtMult = 250;
  s.Galaxy_NovaFreq = 150;
  s.Galaxy_NovaFrames = 40;
  s.Galaxy_NovaExtMult = 600;
  s.Galaxy_BurstFreq = 200;
  s.Galaxy_BurstStars = 100;
  s.Galaxy_BurstSpeed = 500;
  s.Galaxy_BurstPersist = 0.95f;
  s.Galaxy_CometFreq = 250;
  s.Galaxy_CometStars = 50;
  s.Galaxy_CometOrbit = 150;
  s.Galaxy_CometSpeed = 200;
  s.Galaxy_CometSWind = 500;
  s.Galaxy_CometSPersist = 0.95f;
  s.Galaxy_CometCPersist = 0.998f;
  s.Galaxy_RadiusExp = 1.5f;
  s.Galaxy_HeightExp = 2.0f;
  s.Galaxy_GHW_Ratio = 0.8f;
  s.Galaxy_AngleTilt = 20;
  s.Galaxy_AngleTInc = 0.1075f;
  s.Galaxy_HWheelIdx = 240;
  s.Galaxy_AmbStars = 150;
  s.Galaxy_AmbRadius = 2500;
  s.Galaxy_AmbSymmetry = 0.0f;
  s.Galaxy_AmbPersist = 0.99f;
  s.Galaxy_AmbCAgeInc = 0.5f;
  s.Galaxy_ColorComp = 3;
  s.Galaxy_Profile = 0;
  return s;
}

Integer EventSlotCount(Integer perSlot) {
  const Integer n = MaxInteger(perSlot, 1);
  return CIntOr(2000.0 / n, 2000);
}

std::size_t EventPoolSize(Integer perSlot) {
  const Integer n = MaxInteger(perSlot, 1);
  return static_cast<std::size_t>(EventSlotCount(n)) * static_cast<std::size_t>(n);
}

Galaxies::Galaxies(const GalaxySettings& settings, const EffectContext& context)
    : p_(ClampGalaxySettings(settings)),
      surface_(context.surface),
      view_(context.view),
      palette_(context.palette) {
  cm_ = static_cast<Single>(p_.ColorMult) * 0.1f;
  novaStep_ = 100.0f / static_cast<Single>(p_.NovaFrames);
  newLook_ = {view_.FocalLength, p_.NewFrames, p_.NewExtMult};

  // Every pool is sized once for the whole run; a new galaxy only resets them.
  stars_.assign(static_cast<std::size_t>(p_.Stars), Star{});
  const std::size_t trail = static_cast<std::size_t>(p_.Stars) * static_cast<std::size_t>(p_.Trail);
  trail_.assign(trail, galaxy::kNoRecord);
  burstSlots_.assign(static_cast<std::size_t>(EventSlotCount(p_.BurstStars)), BurstSlot{});
  burstParticles_.assign(EventPoolSize(p_.BurstStars), BurstParticle{});
  cometSlots_.assign(static_cast<std::size_t>(EventSlotCount(p_.CometStars)), CometSlot{});
  cometParticles_.assign(EventPoolSize(p_.CometStars), CometParticle{});
  ambient_.assign(static_cast<std::size_t>(p_.AmbStars), AmbientStar{});
  if (p_.NovaFreq > 0) {
    novaPixels_.assign(stars_.size() * galaxy::kNovaPoints, 0);
    novaPixelCount_.assign(stars_.size(), 0);
    novaGrowth_.assign(static_cast<std::size_t>(p_.NovaFrames) + 1, 0.0f);
    for (std::size_t age = 1; age < novaGrowth_.size(); ++age) {
      novaGrowth_[age] = std::pow(static_cast<Single>(age), static_cast<Single>(0.6375f));
    }
  }
  Build();
}

void Galaxies::Build() {
  trailSlot_ = 0;
  tilt_ = -p_.AngleTilt;
  std::fill(burstSlots_.begin(), burstSlots_.end(), BurstSlot{});
  std::fill(burstParticles_.begin(), burstParticles_.end(), BurstParticle{});
  std::fill(cometSlots_.begin(), cometSlots_.end(), CometSlot{});
  std::fill(cometParticles_.begin(), cometParticles_.end(), CometParticle{});
  std::fill(trail_.begin(), trail_.end(), galaxy::kNoRecord);
  distance_ = p_.Distance;
  std::fill(novaPixelCount_.begin(), novaPixelCount_.end(), 0);
  for (Star& star : stars_) {
    star = Star{};
    InitGalaxyStar(star);
  }
  for (AmbientStar& star : ambient_) PlaceAmbientStar(star);
  ++galaxiesBuilt_;
}

void Galaxies::PlaceGalaxyStar(Single& r, Single& h) const {
  const double R = p_.Radius;
  r = static_cast<Single>(R * std::pow(static_cast<double>(Rnd()), p_.RadiusExp) + 0.000000001);
  const Single s = Rnd();
  const double magnitude = std::pow(static_cast<double>(Rnd()), p_.HeightExp);
  const double signedHeight = Sgn(s - 0.5f) * magnitude;
  h = static_cast<Single>(signedHeight * ProfileHeight(p_.Profile, r, R) * p_.GHW_Ratio);
}

Colour Galaxies::StarColour(Single r, Single h, Single angularSpeed) const {
  const Integer base = p_.HWheelIdx;
  double value = 0;
  switch (p_.ColorComp) {
    case 0:
      value = static_cast<double>(angularSpeed * cm_ * 10.0f) + base;
      break;
    case 1:
      value = std::sqrt(static_cast<double>(angularSpeed * cm_ * 1000.0f)) + base;
      break;
    case 2:
    case 3: {
      const double d = std::sqrt(static_cast<double>(r) * r + static_cast<double>(h) * h) /
                       static_cast<double>(p_.Radius);
      value = (p_.ColorComp == 2 ? (1 - d) : (1 - d) * (1 - d)) * cm_ + base;
      break;
    }
    default:
      return 0;  // "Black (Stars are Invisible)"
  }
  return palette_.HueWheel[static_cast<std::size_t>(WheelIndex(value, base))];
}

void Galaxies::InitGalaxyStar(Star& star) const {
  PlaceGalaxyStar(star.orbitRadius, star.height);
  star.angle = Rnd() * galaxy::kTwoPi;
  star.angularSpeed = (1.0f / star.orbitRadius) * galaxy::kTwoPi * p_.Rotation;
  star.age = 0;
  star.respawnCount = 0;
  star.newCount = 0;
  star.novaCount = 0;
  star.colour = StarColour(star.orbitRadius, star.height, star.angularSpeed);
}

void Galaxies::ShowNewStar(Star& star, Single sinT, Single cosT) {
  const galaxy::ViewPoint v = galaxy::ViewOf(star, distance_, sinT, cosT);
  if (Project(v.x, v.y, v.z, star.screenX, star.screenY)) {
    star.depth = v.z;
    DrawNewStar(surface_, view_.PixelSize, newLook_, star.screenX, star.screenY, v.z, star.newCount,
                galaxy::kWhite);
  } else {
    star.depth = 0;  // behind the eye: nothing shown, nothing to erase
  }
}

void Galaxies::Rebirth(std::size_t index, Single sinT, Single cosT) {
  Star& star = stars_[index];
  InitGalaxyStar(star);
  if (Rnd() * 9999.0f < static_cast<Single>(p_.NovaFreq)) {
    star.novaCount = p_.NovaFrames;
    const galaxy::ViewPoint v = galaxy::ViewOf(star, distance_, sinT, cosT);
    if (v.z > galaxy::kNearest) {
      star.depth = v.z;
      DrawNova(index, v.x, v.y, v.z, star.novaCount, galaxy::kWhite);
    } else {
      star.depth = 0;
    }
  } else {
    star.newCount = p_.NewFrames;
    ShowNewStar(star, sinT, cosT);
  }
}

void Galaxies::Frame() {
  const Single sinT = std::sin(tilt_);
  const Single cosT = std::cos(tilt_);
  // The tilt stays within one turn, so a tumble of 359 degrees per frame keeps turning back by
  // exactly one degree however long the galaxy lives.
  tilt_ = std::fmod(tilt_ + p_.AngleTInc, galaxy::kTwoPi);

  const std::size_t trail = static_cast<std::size_t>(p_.Trail);
  const Integer pixelSize = view_.PixelSize;
  constexpr std::size_t kAhead = 8;  // stars between fetching a nova's record and using it
  for (std::size_t i = 0; i < stars_.size(); ++i) {
    Star& star = stars_[i];
    const std::size_t slot = i * trail + static_cast<std::size_t>(trailSlot_);
    if (i + kAhead < stars_.size() && stars_[i + kAhead].novaCount > 0) PrefetchNova(i + kAhead);
    if (star.age < kMaxAge) ++star.age;

    // Erase what the star showed last frame.
    if (star.newCount > 0) {
      if (star.depth > 0) {
        DrawNewStar(surface_, pixelSize, newLook_, star.screenX, star.screenY, star.depth,
                    star.newCount, 0);
      }
      --star.newCount;
    } else if (star.novaCount > 0) {
      // A nova that goes on is erased when its next picture is drawn (DrawNova).
      if (--star.novaCount == 0 || star.respawnCount > 0) EraseNova(i);
    } else if (star.age > p_.Trail && trail_[slot] != galaxy::kNoRecord) {
      Plot(galaxy::UnpackX(trail_[slot]), galaxy::UnpackY(trail_[slot]), 0);
      trail_[slot] = galaxy::kNoRecord;
    }

    if (star.respawnCount > 0) {
      // Dying: the trail is erased one point per frame, then the star is reborn.
      if (--star.respawnCount == 0) Rebirth(i, sinT, cosT);
    } else if (star.novaCount > 0) {
      if (--star.novaCount == 0) {
        // An even nova count ends here: the star is placed again as a new star.
        EraseNova(i);
        InitGalaxyStar(star);
        star.newCount = p_.NewFrames;
        ShowNewStar(star, sinT, cosT);
      } else {
        star.angle += star.angularSpeed;
        const galaxy::ViewPoint v = galaxy::ViewOf(star, distance_, sinT, cosT);
        if (v.z > galaxy::kNearest) {
          star.depth = v.z;
          const Single age = static_cast<Single>(p_.NovaFrames - star.novaCount) * novaStep_;
          DrawNova(i, v.x, v.y, v.z, star.novaCount, galaxy::RampColour(palette_, age));
        } else {
          EraseNova(i);
          star.depth = 0;
        }
      }
    } else {
      star.angle += star.angularSpeed;
      const galaxy::ViewPoint v = galaxy::ViewOf(star, distance_, sinT, cosT);
      if (star.newCount > 0) {
        ShowNewStar(star, sinT, cosT);
      } else if (v.z > galaxy::kNearest) {
        Long sx = 0, sy = 0;
        if (Project(v.x, v.y, v.z, sx, sy)) {
          const std::uint32_t drawn = trail_[slot];
          if (drawn != galaxy::kNoRecord) Plot(galaxy::UnpackX(drawn), galaxy::UnpackY(drawn), 0);
          trail_[slot] = galaxy::Recordable(sx, sy) ? galaxy::PackPoint(sx, sy) : galaxy::kNoRecord;
          Plot(sx, sy, star.colour);
        }
      }
    }
  }

  if (p_.BurstFreq > 0) UpdateStarBursts(tilt_);
  if (p_.CometFreq > 0) UpdateComets(tilt_);
  UpdateAmbientStars();

  trailSlot_ = static_cast<Integer>((trailSlot_ + 1) % p_.Trail);
  SelectNewStars();
  distance_ -= p_.Velocity;
  if (distance_ < -0.5f * p_.Radius) {
    // The galaxy has flown past: start afresh on a clear surface.
    surface_.Clear();
    Build();
  }
}

void Galaxies::SelectNewStars() {
  const int extra = Rnd() * 100.0f < static_cast<Single>(p_.NewFreq % 100) ? 1 : 0;
  const Integer count = CIntOr(p_.NewFreq * 0.01 + extra, 0);
  const auto stars = static_cast<Single>(p_.Stars);
  for (Integer n = 0; n < count; ++n) {
    const auto k = static_cast<std::size_t>(std::min(Int(Rnd() * stars), stars - 1.0f));
    Star& star = stars_[k];
    if (star.age > p_.Trail && star.respawnCount == 0 && star.newCount == 0 &&
        star.novaCount == 0) {
      star.respawnCount = static_cast<Integer>(p_.Trail + 1);
    }
  }
}

void Galaxies::EraseAll() {
  for (std::size_t i = 0; i < stars_.size(); ++i) {
    Star& star = stars_[i];
    if (star.newCount > 0 && star.depth > 0) {
      DrawNewStar(surface_, view_.PixelSize, newLook_, star.screenX, star.screenY, star.depth,
                  star.newCount, 0);
    } else if (star.novaCount > 0) {
      EraseNova(i);
    }
  }
  for (const std::uint32_t drawn : trail_) {
    if (drawn != galaxy::kNoRecord) Plot(galaxy::UnpackX(drawn), galaxy::UnpackY(drawn), 0);
  }
  for (const BurstParticle& particle : burstParticles_) {
    if (particle.live && particle.shown) Plot(particle.sx, particle.sy, 0);
  }
  for (const CometParticle& particle : cometParticles_) {
    if (particle.live && particle.shown) Plot(particle.sx, particle.sy, 0);
  }
  for (const AmbientStar& star : ambient_) {
    if (star.shown) Plot(star.sx, star.sy, 0);
  }
}

}  // namespace lmvn
