#include "effects/gravity_wells.h"

#include <cmath>
#include <limits>

#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

constexpr Single kNearestDrawnDepth = 0.0001f;
constexpr Long kNoPixel = std::numeric_limits<Long>::min();
constexpr Long kRingBufferLimit = 32000;

}  // namespace

GravityWellParams GravityWellParamsFromSettings(const GravityWellSettings& s) {
  GravityWellParams p;
  p.Emitters = ClampInteger(s.Grav_Emitters, 1, 9);
  p.Attractors = ClampInteger(s.Grav_Attractors, 1, 9);
  p.Particles = ClampInteger(s.Grav_Pixels, 10, 9999);
  // Rounded to a whole number first; a value too large to round is clamped as it stands.
  Single speed = s.Grav_ESpeed;
  if (const auto whole = CInt(speed)) speed = *whole;
  p.EmitSpeed = ClampSingle(speed, 1.0f, 999.0f) * 0.001f;
  p.Gravity = ClampSingle(s.Grav_Gravity, 1.0f, 30000.0f) * 0.000001f;
  p.Refresh = ClampLong(s.Grav_Refresh, 0, 30000);
  p.AttractorRadius = ClampInteger(s.Grav_ARadius, 0, 99);
  p.ColorMult = ClampLong(s.Grav_ColorMult, 1, 9999) * 10;
  p.TrailLength = ClampLong(s.Grav_TrailLength, 1, 999);
  p.ColorComp = s.Grav_ColorComp;
  return p;
}

GravityWellParams GravityWellDemoParams(const GravityWellSettings& s) {
  GravityWellParams p;
  p.Emitters = 1;
  p.Attractors = 1;
  p.Particles = 1200;
  p.EmitSpeed = 40.0f * 0.001f;
  p.Gravity = 800.0f * 0.000001f;
  p.Refresh = 10000;
  p.AttractorRadius = 1;
  p.ColorMult = 600 * 10;
  p.TrailLength = 5;
  p.ColorComp = s.Grav_ColorComp;
  return p;
}

bool GravityUsesRingBuffer(Integer particles, Long trailLength) {
  return std::int64_t{particles} * trailLength <= kRingBufferLimit;
}

GravityWells::GravityWells(const GravityWellParams& params, const EffectContext& context)
    : p_(params), surface_(context.surface), view_(context.view), palette_(context.palette) {
  // The demonstration's values arrive unclamped; keep what the pools can hold.
  p_.Emitters = MaxInteger(p_.Emitters, 1);
  p_.Attractors = MaxInteger(p_.Attractors, 1);
  p_.Particles = MaxInteger(p_.Particles, 1);
  p_.TrailLength = ClampLong(p_.TrailLength, 1, 999);
  p_.Refresh = MaxLong(p_.Refresh, 0);
  switch (p_.TrailForm) {
    case GravityTrailForm::RingBuffer:
      ring_ = true;
      break;
    case GravityTrailForm::Shadow:
      ring_ = false;
      break;
    case GravityTrailForm::Automatic:
      ring_ = GravityUsesRingBuffer(p_.Particles, p_.TrailLength);
      break;
  }

  const auto attractors = static_cast<std::size_t>(p_.Attractors);
  for (auto* v : {&ax_, &ay_, &az_, &ag_}) v->assign(attractors, 0.0f);
  const auto emitters = static_cast<std::size_t>(p_.Emitters);
  for (auto* v : {&ex_, &ey_, &ez_}) v->assign(emitters, 0.0f);
  const auto n = static_cast<std::size_t>(p_.Particles);
  for (auto* v : {&x_, &y_, &z_, &vx_, &vy_, &vz_, &prevSpeed_}) v->assign(n, 0.0f);
  if (ring_) {
    trailX_.assign(n * static_cast<std::size_t>(p_.TrailLength), kNoPixel);
    trailY_.assign(trailX_.size(), 0);
  } else {
    for (auto* v : {&sx_, &sy_, &sz_, &svx_, &svy_, &svz_}) v->assign(n, 0.0f);
  }
  NewCycle();
}

void GravityWells::NewCycle() {
  const Single f = view_.FocalLength;
  for (std::size_t e = 0; e < ex_.size(); ++e) {
    ex_[e] = Rnd() * 1.5f - 0.75f;
    ey_[e] = Rnd() * 1.5f - 0.75f;
    ez_[e] = f + Rnd() * 1.5f;
  }
  for (std::size_t a = 0; a < ax_.size(); ++a) {
    ax_[a] = Rnd() * 1.5f - 0.75f;
    ay_[a] = Rnd() * 1.5f - 0.75f;
    az_[a] = f + Rnd() * 1.5f;
    ag_[a] = p_.Gravity;
  }
  const Long lastEmitter = static_cast<Long>(ex_.size()) - 1;
  for (std::size_t j = 0; j < x_.size(); ++j) {
    const auto e = static_cast<std::size_t>(ClampLong(
        static_cast<Long>(Int(Rnd() * static_cast<Single>(p_.Emitters))), 0, lastEmitter));
    x_[j] = ex_[e];
    y_[j] = ey_[e];
    z_[j] = ez_[e];
    RandomVector(vx_[j], vy_[j], vz_[j], p_.EmitSpeed, 1.0f);  // round in space, not on screen
    prevSpeed_[j] = 0.0f;
    if (!ring_) {
      sx_[j] = x_[j];
      sy_[j] = y_[j];
      sz_[j] = z_[j];
      svx_[j] = vx_[j];
      svy_[j] = vy_[j];
      svz_[j] = vz_[j];
    }
  }
  // The screen was cleared: nothing of the last cycle is left to erase.
  std::fill(trailX_.begin(), trailX_.end(), kNoPixel);
  frameCount_ = 0;
  refreshCount_ = 0;
  head_ = 0;
}

void GravityWells::SetAttractor(std::size_t a, Single x, Single y, Single z) {
  if (a >= ax_.size()) return;
  ax_[a] = x;
  ay_[a] = y;
  az_[a] = z;
}

void GravityWells::SetParticle(std::size_t j, Single x, Single y, Single z) {
  if (j >= x_.size()) return;
  x_[j] = x;
  y_[j] = y;
  z_[j] = z;
  vx_[j] = vy_[j] = vz_[j] = 0.0f;
  if (!ring_) {
    sx_[j] = x;
    sy_[j] = y;
    sz_[j] = z;
    svx_[j] = svy_[j] = svz_[j] = 0.0f;
  }
}

// The pull of every attractor, then the move. The particle and its shadow go through this
// same code, so the shadow retraces the particle's path bit for bit. An attractor that the
// particle sits on (or so near that the pull cannot be represented) is left out for the frame.
void GravityWells::Pull(Single& x, Single& y, Single& z, Single& vx, Single& vy, Single& vz) const {
  for (std::size_t a = 0; a < ax_.size(); ++a) {
    const Single dx = ax_[a] - x;
    const Single dy = ay_[a] - y;
    const Single dz = az_[a] - z;
    const Single d2 = dx * dx + dy * dy + dz * dz;
    if (!(d2 > 0.0f)) continue;
    const Single g = ag_[a] / d2;
    if (!(g <= std::numeric_limits<Single>::max())) continue;
    vx += dx * g;
    vy += dy * g;
    vz += dz * g;
  }
  x += vx;
  y += vy;
  z += vz;
}

void GravityWells::EraseOldest(std::size_t j) {
  if (ring_) {
    const std::size_t slot =
        j * static_cast<std::size_t>(p_.TrailLength) + static_cast<std::size_t>(head_);
    if (trailX_[slot] != kNoPixel) {
      PlotDot(surface_, view_.PixelSize, trailX_[slot], trailY_[slot], 0);
      trailX_[slot] = kNoPixel;
    }
    return;
  }
  // The shadow stands where the particle was TrailLength frames ago; on the first erase of a
  // cycle that is the emitter, where nothing was drawn.
  if (frameCount_ == p_.TrailLength) return;
  if (!(sz_[j] > kNearestDrawnDepth)) return;
  Long px = 0, py = 0;
  if (ProjectPoint(view_, sx_[j], sy_[j], sz_[j], px, py)) {
    PlotDot(surface_, view_.PixelSize, px, py, 0);
  }
}

Colour GravityWells::HueColour(std::size_t j) {
  switch (p_.ColorComp) {
    case 0:
      hueValue_ = std::sqrt(x_[j] * x_[j] + y_[j] * y_[j] + z_[j] * z_[j]) * 0.01f;
      break;
    case 1:
      hueValue_ = std::sqrt(vx_[j] * vx_[j] + vy_[j] * vy_[j] + vz_[j] * vz_[j]);
      break;
    case 2: {
      const Single speed = std::sqrt(vx_[j] * vx_[j] + vy_[j] * vy_[j] + vz_[j] * vz_[j]);
      hueValue_ = std::fabs(speed - prevSpeed_[j]) * 20.0f;
      prevSpeed_[j] = speed;
      break;
    }
    default:
      break;  // an unknown source keeps the value of the particle before
  }
  // A value too large for the hue keeps the colour of the particle before.
  const double hue = static_cast<double>(hueValue_ * static_cast<Single>(p_.ColorMult)) +
                     palette_.params.Adv_HueStart;
  Long whole = 0;
  if (detail::RoundToLong(hue, whole)) {
    const Long index = ((whole % 360) + 360) % 360;
    colour_ = palette_.HueWheel[static_cast<std::size_t>(index)];
  }
  return colour_;
}

void GravityWells::Frame() {
  if (p_.AttractorRadius > 0) {
    const Long r = p_.AttractorRadius;
    for (std::size_t a = 0; a < ax_.size(); ++a) {
      Long cx = 0, cy = 0;
      if (ProjectPoint(view_, ax_[a], ay_[a], az_[a], cx, cy)) {
        surface_.Ellipse(cx - r, cy - r, cx + r, cy + r, kCircleColour);
      }
    }
  }

  ++frameCount_;
  const bool trailsFull = frameCount_ >= p_.TrailLength;
  const std::size_t ringBase = static_cast<std::size_t>(head_);
  const auto trail = static_cast<std::size_t>(p_.TrailLength);
  for (std::size_t j = 0; j < x_.size(); ++j) {
    if (trailsFull) EraseOldest(j);
    Pull(x_[j], y_[j], z_[j], vx_[j], vy_[j], vz_[j]);
    if (!ring_ && trailsFull) Pull(sx_[j], sy_[j], sz_[j], svx_[j], svy_[j], svz_[j]);
    if (z_[j] > kNearestDrawnDepth) {
      const Colour colour = HueColour(j);
      Long px = 0, py = 0;
      if (ProjectPoint(view_, x_[j], y_[j], z_[j], px, py)) {
        if (ring_) {
          trailX_[j * trail + ringBase] = px;
          trailY_[j * trail + ringBase] = py;
        }
        PlotDot(surface_, view_.PixelSize, px, py, colour);
      }
    }
  }
  if (ring_) head_ = (head_ + 1) % p_.TrailLength;

  if (p_.Refresh > 0 && ++refreshCount_ == p_.Refresh) {
    surface_.Clear();
    ++cycles_;
    NewCycle();
  }
}

}  // namespace lmvn
