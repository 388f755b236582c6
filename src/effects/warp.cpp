#include "effects/warp.h"

#include <limits>

#include "effects/sparklers.h"
#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

constexpr Single kNearestDrawnDepth = 0.0001f;

bool IsSymmetricType(WarpType type) {
  return type == WarpType::CentralSymmetric || type == WarpType::SymmetricReflection ||
         type == WarpType::ExtendedSymmetric;
}

}  // namespace

Integer WarpGuideCount(const WarpParams& p) {
  const Integer works = MaxInteger(p.Works, 1);
  return IsSymmetricType(p.Type) ? SymmetricSplineCount(works) : works;
}

WarpParams WarpParamsFromSettings(const WarpSettings& s) {
  WarpParams p;
  p.Works = ClampInteger(s.Warp_Works, 1, 999);
  p.Sparks = ClampInteger(s.Warp_Sparks, 10, 999);
  p.TrailLength = ClampInteger(s.Warp_Length, 1, 99);
  p.SplineIncs = ClampInteger(s.Warp_SplineIncs, 1, 999);
  p.Speed = ClampSingle(s.Warp_Speed, 1.0f, 999.0f);
  p.Persist = ClampSingle(s.Warp_Persist, 0.25f, 0.99f);
  p.SizeDev = ClampInteger(s.Warp_SizeDev, 1, 999);
  p.DampingFactor = (1.0f - ClampSingle(s.Warp_Damping, 0.0f, 1.0f)) * 0.5f + 0.5f;
  p.Type = s.Warp_Type >= 0 && s.Warp_Type <= 4 ? static_cast<WarpType>(s.Warp_Type)
                                                : WarpType::ExtendedSymmetric;
  p.CyclePct = s.Warp_CyclePct;
  p.HueLock = s.Warp_HueLock;
  // The slots of all guides must stay countable in 16 bits: fewer sparks per guide, never
  // fewer guides, since the guides make the shape of the picture.
  const Long guides = WarpGuideCount(p);
  if (Long{p.Sparks} * guides > kWarpMaxSlots) {
    p.Sparks = static_cast<Integer>(kWarpMaxSlots / guides);
  }
  return p;
}

Warp::Warp(const WarpParams& params, const EffectContext& context)
    : p_(params), surface_(context.surface), view_(context.view), palette_(context.palette) {
  // Parameters built by hand arrive unchecked; keep what the pools and counters can hold.
  if (static_cast<Integer>(p_.Type) < 0 || static_cast<Integer>(p_.Type) > 4) {
    p_.Type = WarpType::ExtendedSymmetric;
  }
  p_.Works = WarpGuideCount(p_);
  p_.Sparks = ClampInteger(p_.Sparks, 1, static_cast<Integer>(kWarpMaxSlots / p_.Works));
  p_.TrailLength = MaxInteger(p_.TrailLength, 1);
  p_.SplineIncs = MaxInteger(p_.SplineIncs, 1);

  const auto works = static_cast<std::size_t>(p_.Works);
  guides_.assign(works, Guide{});
  gx_.assign(works, 0.0f);
  gy_.assign(works, 0.0f);
  gz_.assign(works, 0.0f);
  slots_.assign(works * static_cast<std::size_t>(p_.Sparks), Slot{});

  control_.assign(works * 4, Point3{});
  for (Point3& cp : control_) cp = RandomControlPoint(1.0f, view_.FocalLength);

  const Single cycleChance = static_cast<Single>(p_.CyclePct) / 100.0f;
  for (Guide& g : guides_) {
    palette_.ChooseColorScheme(g.Colour, g.Solid, g.Hue);
    g.SpeedScale = (Rnd() * static_cast<Single>(p_.SizeDev) + 1.0f) * 0.002f;
    g.Speed = g.SpeedScale * p_.Speed;
    g.Cycling = Rnd() < cycleChance;
    g.HueIndex = 0;
  }
}

bool Warp::Symmetric() const {
  return IsSymmetricType(p_.Type);
}

void Warp::PlaceGuides() {
  const std::size_t moving = Symmetric() ? 1 : guides_.size();
  for (std::size_t i = 0; i < moving; ++i) {
    const Point3* c = &control_[i * 4];
    BSplinePoint(gx_[i], gy_[i], gz_[i], t_, c[0].x, c[0].y, c[0].z, c[1].x, c[1].y, c[1].z, c[2].x,
                 c[2].y, c[2].z, c[3].x, c[3].y, c[3].z);
  }
  if (Symmetric()) SymmetrizeControlPoints(gx_, gy_, gz_, view_.FocalLength);
  for (std::size_t i = 0; i < guides_.size(); ++i) {
    guides_[i].X = gx_[i];
    guides_[i].Y = gy_[i];
    guides_[i].Z = gz_[i];
  }
}

void Warp::Launch(std::size_t i) {
  Guide& g = guides_[i];
  const auto sparks = static_cast<std::size_t>(p_.Sparks);
  const auto pick = static_cast<std::size_t>(
      ClampLong(static_cast<Long>(Int(static_cast<Single>(p_.Sparks) * Rnd())), 0,
                static_cast<Long>(sparks) - 1));
  Slot& slot = slots_[i * sparks + pick];
  if (slot.InUse) return;

  slot.HeadActive = true;
  slot.InUse = true;
  slot.TailActive = false;
  slot.Age = 0;
  slot.TailCount = p_.TrailLength;
  slot.TailSteps = 0;

  const Single f = view_.FocalLength;
  const Single s = g.Speed;
  switch (p_.Type) {
    case WarpType::CentralRandom:
    case WarpType::CentralSymmetric:
      slot.HeadX = 0.0f;
      slot.HeadY = 0.0f;
      slot.HeadZ = f;
      slot.HeadVX = g.X * s;
      slot.HeadVY = g.Y * s;
      slot.HeadVZ = (g.Z - f) * p_.Speed * g.SpeedScale;
      break;
    case WarpType::CentralReflection:
    case WarpType::SymmetricReflection:
      slot.HeadX = -g.X;
      slot.HeadY = -g.Y;
      slot.HeadZ = g.Z;
      slot.HeadVX = g.X * s;
      slot.HeadVY = g.Y * s;
      slot.HeadVZ = (slot.HeadZ - g.Z) * p_.Speed * g.SpeedScale;
      break;
    case WarpType::ExtendedSymmetric:
      slot.HeadX = g.X * 0.5f;
      slot.HeadY = g.Y * 0.5f;
      slot.HeadZ = (g.Z + f) * 0.5f;
      slot.HeadVX = g.X * s;
      slot.HeadVY = g.Y * s;
      slot.HeadVZ = (slot.HeadZ - f) * p_.Speed * g.SpeedScale * 2.0f;
      break;
  }
  slot.TailX = slot.HeadX;
  slot.TailY = slot.HeadY;
  slot.TailZ = slot.HeadZ;
  slot.TailVX = slot.HeadVX;
  slot.TailVY = slot.HeadVY;
  slot.TailVZ = slot.HeadVZ;

  if (g.Cycling && p_.HueLock) {
    slot.Colour = palette_.HueWheel[static_cast<std::size_t>(sharedHue_)];
  } else if (g.Cycling) {
    g.HueIndex = static_cast<Integer>((g.HueIndex + 1) % 360);
    slot.Colour = palette_.HueWheel[static_cast<std::size_t>(g.HueIndex)];
  } else {
    slot.Colour = palette_.SchemeColor(g.Solid, g.Colour, g.Hue);
  }
}

void Warp::Advance(Slot& slot) {
  if (slot.HeadActive) {
    slot.HeadX += slot.HeadVX;
    slot.HeadY += slot.HeadVY;
    slot.HeadZ += slot.HeadVZ;
    if (slot.Age < std::numeric_limits<Long>::max()) ++slot.Age;
    Long sx = 0, sy = 0;
    const bool projected = ProjectThroughEye(view_, slot.HeadX, slot.HeadY, slot.HeadZ, sx, sy);
    const bool expired = Rnd() > p_.Persist;
    const bool died = expired || !projected || sx < 0 || sx > view_.ScreenWidth || sy < 0 ||
                      sy > view_.ScreenHeight;
    if (slot.Age == p_.TrailLength || died) slot.TailActive = true;
    if (died) {
      slot.HeadActive = false;
      slot.TailCount = p_.TrailLength;
    } else {
      if (slot.HeadZ > kNearestDrawnDepth) PlotDot(surface_, view_.PixelSize, sx, sy, slot.Colour);
      slot.HeadVX *= p_.DampingFactor;
      slot.HeadVY *= p_.DampingFactor;
      slot.HeadVZ *= p_.DampingFactor;
    }
  }
  if (slot.TailActive) {
    // The tail passes exactly over the head's earlier positions and wipes those the head drew:
    // not the start point, not the point where the head died nor the path beyond it, and not
    // where the head was too near the eye to be drawn.
    const Long m = slot.TailSteps;
    Long sx = 0, sy = 0;
    if (m > 0 && (slot.HeadActive || m < slot.Age) && slot.TailZ > kNearestDrawnDepth &&
        ProjectThroughEye(view_, slot.TailX, slot.TailY, slot.TailZ, sx, sy)) {
      PlotDot(surface_, view_.PixelSize, sx, sy, 0);
    }
    if (!slot.HeadActive && --slot.TailCount <= 0) {
      slot.TailActive = false;
      slot.InUse = false;
    }
    slot.TailX += slot.TailVX;
    slot.TailY += slot.TailVY;
    slot.TailZ += slot.TailVZ;
    slot.TailVX *= p_.DampingFactor;
    slot.TailVY *= p_.DampingFactor;
    slot.TailVZ *= p_.DampingFactor;
    if (slot.TailSteps < std::numeric_limits<Long>::max()) ++slot.TailSteps;
  }
}

void Warp::Frame() {
  if (p_.HueLock) sharedHue_ = static_cast<Integer>((sharedHue_ + 1) % 360);
  PlaceGuides();

  const auto sparks = static_cast<std::size_t>(p_.Sparks);
  for (std::size_t i = 0; i < guides_.size(); ++i) {
    Launch(i);
    Slot* block = &slots_[i * sparks];
    for (std::size_t k = 0; k < sparks; ++k) {
      if (block[k].InUse) Advance(block[k]);
    }
  }

  t_ += 1.0f / static_cast<Single>(p_.SplineIncs);
  if (++step_ >= p_.SplineIncs) {
    const std::size_t rows = Symmetric() ? 1 : guides_.size();
    for (std::size_t r = 0; r < rows; ++r) {
      AdvanceSegment(&control_[r * 4], 1.0f, view_.FocalLength);
    }
    t_ = 0.0f;
    step_ = 0;
  }
}

}  // namespace lmvn
