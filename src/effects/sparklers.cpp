#include "effects/sparklers.h"

#include <cmath>

#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

constexpr Single kNearestDrawnDepth = 0.0001f;

}  // namespace

SparklerParams SparklerParamsFromSettings(const SparklerSettings& s) {
  SparklerParams p;
  p.Splines = ClampInteger(s.B_Spline_Splines, 1, 999);
  p.Sparks = ClampInteger(s.B_Spline_Pixels, 10, 9999);
  p.StepsPerSegment = ClampInteger(s.B_Spline_SSpeed, 1, 999);
  p.LaunchSpeed = ClampSingle(s.B_Spline_ESpeed, 0.25f, 999.0f) * 0.001f;
  p.Persist = ClampSingle(s.B_Spline_Persist, 0.25f, 0.99f);
  p.Gravity = ClampSingle(s.B_Spline_Gravity, 0.0f, 9.99f) * 0.001f;
  p.DampingFactor = (1.0f - ClampSingle(s.B_Spline_Damping, 0.0f, 1.0f)) * 0.5f + 0.5f;
  p.SolarWind = static_cast<Single>(ClampInteger(s.B_Spline_AntiGrav, 0, 999));
  p.Extent = ClampSingle(s.B_Spline_MaxExtent, 0.001f, 99.0f);
  p.Symmetric = s.B_Spline_Symmetry;
  return p;
}

SparklerParams SparklerDemoParams() {
  SparklerParams p;
  p.Symmetric = Rnd() > 0.25f;
  p.Splines = CIntOr(Int(Rnd() * (p.Symmetric ? 25.0f : 5.0f)) + 6.0f, 6);
  p.Sparks = 1200;
  p.StepsPerSegment = 100;
  p.LaunchSpeed = 0.002f;
  p.Persist = 0.95f;
  p.Gravity = 0.0f;
  p.DampingFactor = 1.0f;
  const Single wind = Int(Rnd() * 4.0f + 1.0f);
  p.SolarWind = wind * wind;
  p.Extent = 0.7f;
  return p;
}

Integer SymmetricSplineCount(Integer requested) {
  if (requested < 4) return 2;
  if (requested < 6) return 4;
  if (requested < 10) return 6;
  const double rings = Int(std::sqrt((requested - 2) * 0.5));
  return CIntOr(2.0 * rings * rings + 2.0, 2);
}

bool ProjectThroughEye(const SurfaceState& view, Single x, Single y, Single z, Long& sx, Long& sy) {
  if (!(z != 0.0f) || std::isnan(z)) return false;
  Long px = 0, py = 0;
  if (!detail::RoundToLong(static_cast<double>(x / z * view.ProjScaleX) + view.CentreX, px) ||
      !detail::RoundToLong(static_cast<double>(y / z * view.ProjScaleY) + view.CentreY, py)) {
    return false;
  }
  sx = px;
  sy = py;
  return true;
}

Sparklers::Sparklers(const SparklerParams& params, const EffectContext& context)
    : p_(params), surface_(context.surface), view_(context.view), palette_(context.palette) {
  // The demonstration's values arrive unclamped; keep the counts the pools can hold.
  p_.Splines = MaxInteger(p_.Splines, 1);
  p_.Sparks = MaxInteger(p_.Sparks, 1);
  p_.StepsPerSegment = MaxInteger(p_.StepsPerSegment, 1);
  if (p_.Symmetric) p_.Splines = SymmetricSplineCount(p_.Splines);

  const auto emitters = static_cast<std::size_t>(p_.Splines);
  headX_.assign(emitters, 0.0f);
  headY_.assign(emitters, 0.0f);
  headZ_.assign(emitters, 0.0f);
  colour_.assign(emitters, 0);
  solid_.assign(emitters, 0);
  hue_.assign(emitters, 0);

  const std::size_t rows = p_.Symmetric ? 1 : emitters;
  control_.assign(rows * 4, Point3{});
  for (Point3& cp : control_) cp = RandomControlPoint(p_.Extent, view_.FocalLength);

  for (std::size_t i = 0; i < emitters; ++i) {
    Colour colour = 0;
    bool solid = false;
    Integer hue = 0;
    palette_.ChooseColorScheme(colour, solid, hue);
    if (p_.Symmetric) {
      // Spread the emitters evenly round the wheel.
      hue = CIntOr(static_cast<double>(i) / p_.Splines * 360.0 + 1.0, 1);
      colour = palette_.PickColor(1, hue);
    }
    colour_[i] = colour;
    solid_[i] = solid;
    hue_[i] = hue;
  }

  t_ = 0.0f;
  step_ = 0;
  PlaceEmitters();
  sparks_.assign(static_cast<std::size_t>(p_.Sparks), Spark{});
  for (Spark& spark : sparks_) Birth(spark);
}

void Sparklers::PlaceEmitters() {
  const std::size_t rows = control_.size() / 4;
  for (std::size_t r = 0; r < rows; ++r) {
    const Point3* c = &control_[r * 4];
    BSplinePoint(headX_[r], headY_[r], headZ_[r], t_, c[0].x, c[0].y, c[0].z, c[1].x, c[1].y,
                 c[1].z, c[2].x, c[2].y, c[2].z, c[3].x, c[3].y, c[3].z);
  }
  if (p_.Symmetric) SymmetrizeControlPoints(headX_, headY_, headZ_, view_.FocalLength);
}

void Sparklers::Birth(Spark& spark) {
  const auto k = static_cast<std::size_t>(
      ClampLong(static_cast<Long>(Int(Rnd() * static_cast<Single>(p_.Splines))), 0,
                static_cast<Long>(headX_.size()) - 1));
  spark.X = headX_[k];
  spark.Y = headY_[k];
  spark.Z = headZ_[k];
  RandomVector(spark.VX, spark.VY, spark.VZ, p_.LaunchSpeed, view_.AspectRatio);
  if (p_.SolarWind > 0.0f) {
    // A radial push of size LaunchSpeed * SolarWind whatever the distance; a spark born
    // exactly at the centre has no direction to be pushed in and keeps its launch velocity.
    const Single zc = spark.Z - view_.FocalLength;
    const Single d = std::sqrt(spark.X * spark.X + spark.Y * spark.Y + zc * zc);
    if (d > 0.0f) {
      const Single w = p_.LaunchSpeed * p_.SolarWind / d;
      if (std::isfinite(w)) {
        spark.VX += spark.X * w;
        spark.VY += spark.Y * w;
        spark.VZ += zc * w;
      }
    }
  }
  spark.Colour = palette_.SchemeColor(solid_[k] != 0, colour_[k], hue_[k]);
  ++births_;
}

void Sparklers::Erase(Spark& spark) {
  if (!spark.Drawn) return;
  PlotDot(surface_, view_.PixelSize, spark.DotX, spark.DotY, 0);
  spark.Drawn = false;
}

void Sparklers::Frame() {
  PlaceEmitters();

  const Long width = view_.ScreenWidth, height = view_.ScreenHeight;
  for (Spark& spark : sparks_) {
    Erase(spark);
    spark.X += spark.VX;
    spark.Y += spark.VY;
    spark.Z += spark.VZ;
    Long sx = 0, sy = 0;
    bool projected = ProjectThroughEye(view_, spark.X, spark.Y, spark.Z, sx, sy);
    const bool expired = Rnd() > p_.Persist;
    if (expired || !projected || sx < 0 || sx > width || sy < 0 || sy > height) {
      Birth(spark);
      projected = ProjectThroughEye(view_, spark.X, spark.Y, spark.Z, sx, sy);
    } else {
      spark.VY += p_.Gravity;
      spark.VX *= p_.DampingFactor;
      spark.VY *= p_.DampingFactor;
      spark.VZ *= p_.DampingFactor;
    }
    if (projected && spark.Z > kNearestDrawnDepth) {
      PlotDot(surface_, view_.PixelSize, sx, sy, spark.Colour);
      spark.Drawn = true;
      spark.DotX = sx;
      spark.DotY = sy;
    }
  }

  t_ += 1.0f / static_cast<Single>(p_.StepsPerSegment);
  if (++step_ >= p_.StepsPerSegment) {
    // The segment is done: every row moves on by one control point, so the emitters carry on
    // without a jump.
    const std::size_t rows = control_.size() / 4;
    for (std::size_t r = 0; r < rows; ++r) {
      AdvanceSegment(&control_[r * 4], p_.Extent, view_.FocalLength);
    }
    t_ = 0.0f;
    step_ = 0;
  }
}

}  // namespace lmvn
