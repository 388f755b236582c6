#include "effects/starfield.h"

#include <cmath>

#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

constexpr Single kTwoPi = 6.2831855f;
constexpr Single kFarDepth = 0.9999f;
constexpr Single kNearestDepth = 0.002f;

}  // namespace

Starfield::Starfield(const StarfieldSettings& settings, const EffectContext& context)
    : s_(settings), surface_(context.surface), view_(context.view), palette_(context.palette) {
  s_.Star_Stars = ClampInteger(s_.Star_Stars, 10, 999);
  s_.Star_Speed = ClampSingle(s_.Star_Speed, 0.0001f, 1.0f);
  s_.Star_Comet_Percent = ClampInteger(s_.Star_Comet_Percent, 0, 100);
  s_.Star_Comet_Lifespan = ClampInteger(s_.Star_Comet_Lifespan, 10, 999);
  s_.Star_Comet_Expansion = ClampInteger(s_.Star_Comet_Expansion, 1, 99);
  s_.Star_Dyson_Percent = ClampInteger(s_.Star_Dyson_Percent, 0, 100);
  s_.Star_Dyson_Laterals = ClampInteger(s_.Star_Dyson_Laterals, 1, 20);
  s_.Star_Dyson_LatPixels = ClampInteger(s_.Star_Dyson_LatPixels, 1, 50);
  s_.Star_Dyson_RotAngle = ClampInteger(s_.Star_Dyson_RotAngle, 0, 90);
  s_.Star_Dyson_Radius = ClampInteger(s_.Star_Dyson_Radius, 1, 50);

  rotStep_ = (kTwoPi / 360.0f) * static_cast<Single>(s_.Star_Dyson_RotAngle);
  sphereSize_ = static_cast<Integer>(s_.Star_Dyson_Laterals * s_.Star_Dyson_LatPixels + 2);
  cometSpread_ = static_cast<Single>(s_.Star_Comet_Expansion) * 0.0001f;
  cometChance_ = static_cast<Single>(s_.Star_Comet_Percent) * 0.01f;
  farZ_ = view_.FocalLength + kFarDepth;

  stars_.assign(static_cast<std::size_t>(s_.Star_Stars), Star{});
  reserve_.reserve(stars_.size());

  // The comet first: comet stars are born at its head.
  cometFrame_ = 0;
  if (s_.Star_Comet_NonBallistic) {
    for (Point3& cp : cp_) {
      cp.x = Rnd() - 0.5f;
      cp.y = Rnd() - 0.5f;
      cp.z = farZ_;
    }
    BSplinePoint(head_.x, head_.y, head_.z, 0.0f, cp_[0].x, cp_[0].y, cp_[0].z, cp_[1].x, cp_[1].y,
                 cp_[1].z, cp_[2].x, cp_[2].y, cp_[2].z, cp_[3].x, cp_[3].y, cp_[3].z);
  } else {
    NewCometPath();
  }

  for (std::size_t i = 0; i < stars_.size(); ++i) {
    Birth(stars_[i], static_cast<Integer>(i), true);
  }
}

void Starfield::NewCometPath() {
  const Single life = static_cast<Single>(s_.Star_Comet_Lifespan);
  const Single r = Rnd();
  const Single s1 = 2.0f * Rnd() - 1.0f;
  const Single s2 = 2.0f * Rnd() - 1.0f;
  const Single across = (s2 - s1) / life;
  const Single step = 2.0f / life;
  if (r < 0.25f) {  // from the top
    head_ = {s1, -1.0f, farZ_};
    headV_ = {across, step, 0.0f};
  } else if (r < 0.5f) {  // from the right
    head_ = {1.0f, s1, farZ_};
    headV_ = {-step, across, 0.0f};
  } else if (r < 0.75f) {  // from the bottom
    head_ = {s1, 1.0f, farZ_};
    headV_ = {across, -step, 0.0f};
  } else {  // from the left
    head_ = {-1.0f, s1, farZ_};
    headV_ = {step, across, 0.0f};
  }
}

void Starfield::Birth(Star& star, Integer index, bool atSetup) {
  if (Rnd() * 100.0f < static_cast<Single>(s_.Star_Dyson_Percent)) {
    reserve_.push_back(index);  // stays dark until a sphere takes it
    return;
  }
  if (Rnd() < cometChance_) {
    star.X = head_.x;
    star.Y = head_.y;
    star.Z = head_.z;
    // Rnd() * 1000 rounds to 0..1000, always inside the half-turn tables.
    const auto a = static_cast<std::size_t>(CLngOr(Rnd() * 1000.0f, 0));
    star.VX = cometSpread_ * CosTable()[a];
    star.VY = static_cast<Single>(Sgn(Rnd() - 0.5f)) * cometSpread_ * SinTable()[a];
  } else {
    star.X = 2.0f * Rnd() - 1.0f;
    star.Y = 2.0f * Rnd() - 1.0f;
    star.VX = 0.0f;
    star.VY = 0.0f;
    star.Z = atSetup ? view_.FocalLength + Rnd() * kFarDepth : farZ_;
  }
  star.Active = true;
  star.DysonMember = false;
  star.Colour = palette_.PickColor(0, 0);
  if (atSetup) Draw(star);
}

int Starfield::DotWidth(Single focalLength, Single z) {
  constexpr Single kMaxWidth = 65536.0f;
  const Single width = (1.0f + focalLength) / z;
  if (!(width >= 1.0f)) return 1;  // also NaN
  if (!(width < kMaxWidth)) return static_cast<int>(kMaxWidth);
  return static_cast<int>(width);  // floor: the width is positive
}

bool Starfield::Leaves(const SurfaceState& view, Single z, Long sx, Long sy) {
  return z < kNearestDepth || sx < 0 || sx > view.ScreenWidth || sy < 0 || sy > view.ScreenHeight;
}

void Starfield::Draw(Star& star) {
  Long sx = 0, sy = 0;
  if (ProjectPoint(view_, star.X, star.Y, star.Z, sx, sy)) DrawAt(star, sx, sy);
}

void Starfield::DrawAt(Star& star, Long sx, Long sy) {
  star.DotX = sx;
  star.DotY = sy;
  star.DotWidth = DotWidth(view_.FocalLength, star.Z);
  surface_.FillDot(sx, sy, star.DotWidth, star.Colour);
}

void Starfield::Erase(Star& star) {
  if (star.DotWidth == 0) return;
  surface_.FillDot(star.DotX, star.DotY, star.DotWidth, 0);
  star.DotWidth = 0;
}

void Starfield::Frame() {
  for (std::size_t i = 0; i < stars_.size(); ++i) {
    Star& star = stars_[i];
    if (!star.Active) continue;
    Erase(star);
    if (star.DysonMember) {
      star.RingAngle += rotStep_;
      star.X = star.RingRadius * std::cos(star.RingAngle) + star.RingCentreX;
      star.Y = star.RingRadius * std::sin(star.RingAngle) + star.RingCentreY;
    } else {
      star.X += star.VX;
      star.Y += star.VY;
    }
    star.Z -= s_.Star_Speed;
    Long sx = 0, sy = 0;
    if (ProjectPoint(view_, star.X, star.Y, star.Z, sx, sy) && !Leaves(view_, star.Z, sx, sy)) {
      DrawAt(star, sx, sy);
    } else {
      star.Active = false;
      Birth(star, static_cast<Integer>(i), false);
      if (star.Active) Draw(star);
    }
  }

  if (static_cast<Integer>(reserve_.size()) >= sphereSize_) BuildSphere();
  MoveComet();
}

void Starfield::MoveComet() {
  ++cometFrame_;
  if (s_.Star_Comet_NonBallistic) {
    const Single t = static_cast<Single>(cometFrame_) / static_cast<Single>(s_.Star_Comet_Lifespan);
    BSplinePoint(head_.x, head_.y, head_.z, t, cp_[0].x, cp_[0].y, cp_[0].z, cp_[1].x, cp_[1].y,
                 cp_[1].z, cp_[2].x, cp_[2].y, cp_[2].z, cp_[3].x, cp_[3].y, cp_[3].z);
  } else {
    head_.x += headV_.x;
    head_.y += headV_.y;
    head_.z += headV_.z;
  }
  if (cometFrame_ > s_.Star_Comet_Lifespan) {
    cometFrame_ = 0;
    if (s_.Star_Comet_NonBallistic) {
      cp_[0] = cp_[1];
      cp_[1] = cp_[2];
      cp_[2] = cp_[3];
      cp_[3].x = Rnd() - 0.5f;
      cp_[3].y = Rnd() - 0.5f;
      cp_[3].z = farZ_;
    } else {
      NewCometPath();
    }
  }
}

void Starfield::PlaceDysonStar(Star& star, Single angle, Single latitude, Single ringRadius,
                               Single cx, Single cy) const {
  star.X = std::cos(angle) * ringRadius + cx;
  star.Y = std::sin(angle) * ringRadius + cy;
  star.Z = farZ_ - static_cast<Single>(s_.Star_Dyson_Radius) * 0.01f * (1.0f - std::cos(latitude));
  star.VX = 0.0f;
  star.VY = 0.0f;
  star.Active = true;
}

void Starfield::BuildSphere() {
  const std::size_t n = reserve_.size();
  const std::size_t size = static_cast<std::size_t>(sphereSize_);
  const Single radius = static_cast<Single>(s_.Star_Dyson_Radius) * 0.01f;
  const Single cx = Rnd() - 0.5f;
  const Single cy = Rnd() - 0.5f;
  const Colour c1 = palette_.PickColor(0, 0);
  const Colour c2 = palette_.PickColor(0, 0);
  const Single latStep = kTwoPi / static_cast<Single>((s_.Star_Dyson_LatPixels + 1) * 2);

  // The poles sit on the axis: the far one in c1, the near one 2R nearer in c2.
  Star& farPole = stars_[static_cast<std::size_t>(reserve_[n - 1])];
  farPole.Colour = c1;
  farPole.DysonMember = false;
  PlaceDysonStar(farPole, 0.0f, 0.0f, 0.0f, cx, cy);
  Star& nearPole = stars_[static_cast<std::size_t>(reserve_[n - 2])];
  nearPole.Colour = c2;
  nearPole.DysonMember = false;
  PlaceDysonStar(nearPole, 0.0f, kTwoPi / 2.0f, 0.0f, cx, cy);

  Single latitude = latStep;
  Single meridian = 0.0f;
  Integer lineCount = 0;
  Integer ring = 1;
  const auto first = static_cast<std::ptrdiff_t>(n - size);
  for (auto k = static_cast<std::ptrdiff_t>(n) - 3; k >= first; --k) {
    Star& star = stars_[static_cast<std::size_t>(reserve_[static_cast<std::size_t>(k)])];
    const Single ringRadius = radius * std::sin(latitude);
    PlaceDysonStar(star, meridian, latitude, ringRadius, cx, cy);
    star.Colour = BlendColor(c1, c2, ring, s_.Star_Dyson_LatPixels);
    ++lineCount;
    meridian += kTwoPi / static_cast<Single>(s_.Star_Dyson_Laterals);
    star.DysonMember = true;
    star.RingAngle = meridian;
    star.RingRadius = ringRadius;
    star.RingCentreX = cx;
    star.RingCentreY = cy;
    if (lineCount == s_.Star_Dyson_Laterals) {
      lineCount = 0;
      ++ring;
      latitude += latStep;
    }
  }
  reserve_.resize(n - size);
  ++spheresBuilt_;
}

Colour Starfield::BlendColor(Colour c1, Colour c2, Integer k, Integer latPixels) {
  const Single f = static_cast<Single>(k) / static_cast<Single>(latPixels + 1);
  const Long red = CLngOr((RedOf(c2) - RedOf(c1)) * f, 0) + RedOf(c1);
  const Long green = CLngOr(((c2 & 0xFF00) - (c1 & 0xFF00)) * f, 0) / 256 + GreenOf(c1);
  const Long blue = CLngOr(((c2 & 0xFF0000) - (c1 & 0xFF0000)) * f, 0) / 65536 + BlueOf(c1);
  return RGB(red, green, blue);
}

}  // namespace lmvn
