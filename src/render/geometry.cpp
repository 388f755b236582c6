#include "render/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/random.h"

namespace lmvn {
namespace {

constexpr Single kPi = 3.1415927f;

struct TrigTables {
  std::array<Single, 1001> cos{};
  std::array<Single, 1001> sin{};
  TrigTables() {
    const Single step = kPi / 1000.0f;
    Single a = 0.0f;
    for (std::size_t i = 0; i < cos.size(); ++i) {
      cos[i] = static_cast<Single>(std::cos(static_cast<double>(a)));
      sin[i] = static_cast<Single>(std::sin(static_cast<double>(a)));
      a = a + step;
    }
  }
};

const TrigTables& Tables() {
  static const TrigTables tables;
  return tables;
}

// A table index 0..1000 from one draw: CInt(Rnd * 1000), rounding half to even. The draw
// is below 1, so the product stays below 1000.
std::size_t TableIndex() {
  const Single v = Rnd() * 1000.0f;
  const Single floor = std::floor(v);
  const Single diff = v - floor;  // exact
  auto index = static_cast<std::size_t>(floor);
  if (diff > 0.5f || (diff == 0.5f && (index & 1) != 0)) ++index;
  return index < 1000 ? index : 1000;
}

// arccos(t) formed as Atn(-t / Sqr(1 - t * t)) + 1.5707963705062866. At t = +-1 the quotient
// cannot be formed; the angle is then the limit (0 or pi). NaN gives 0.
double ArcCos(double t) {
  if (std::isnan(t)) return 0.0;
  const double rest = 1.0 - t * t;
  if (!(rest > 0.0)) return t > 0.0 ? 0.0 : 3.141592653589793;
  return std::atan(-t / std::sqrt(rest)) + 1.5707963705062866;
}

// One angle of VectorAngles: arccos(a / r) turned to the far half when b / r < 0, with r the
// length of (a, b). 0 when r is 0 or the values are not finite.
Single HalfTurnAngle(double a, double b) {
  const double r = std::sqrt(a * a + b * b);
  if (!(r > 0.0) || !std::isfinite(r)) return 0.0f;
  Single angle = static_cast<Single>(ArcCos(a / r));
  if (b / r < 0.0) angle = static_cast<Single>(6.2831855 - angle);
  return angle;
}

}  // namespace

const std::array<Single, 1001>& CosTable() {
  return Tables().cos;
}
const std::array<Single, 1001>& SinTable() {
  return Tables().sin;
}
void BuildTrigTables() {
  Tables();
}

void RandomVector(Single& outX, Single& outY, Single& outZ, Single magnitude, Single aspectRatio) {
  const auto& cosT = CosTable();
  const auto& sinT = SinTable();
  const std::size_t i = TableIndex();
  const std::size_t j = TableIndex();
  const int s = Sgn(static_cast<double>(Rnd()) - 0.5);
  outX = magnitude * cosT[j] * sinT[i] * aspectRatio;
  outY = static_cast<Single>(s) * magnitude * sinT[j] * sinT[i];
  outZ = magnitude * cosT[i];
}

namespace {
Single BSpline1(double t, double t2, double t3, double p0, double p1, double p2, double p3) {
  return static_cast<Single>(((-p0 + 3 * p1 - 3 * p2 + p3) * t3 + (3 * p0 - 6 * p1 + 3 * p2) * t2 +
                              (-3 * p0 + 3 * p2) * t + (p0 + 4 * p1 + p2)) *
                             0.16666667);
}
}  // namespace

void BSplinePoint(Single& outX, Single& outY, Single& outZ, Single t, Single x0, Single y0,
                  Single z0, Single x1, Single y1, Single z1, Single x2, Single y2, Single z2,
                  Single x3, Single y3, Single z3) {
  // t is a Single, so t * t is exact in double and t * t * t is t^3 correctly rounded.
  const double td = t;
  const double t2 = td * td;
  const double t3 = t2 * td;
  outX = BSpline1(td, t2, t3, x0, x1, x2, x3);
  outY = BSpline1(td, t2, t3, y0, y1, y2, y3);
  outZ = BSpline1(td, t2, t3, z0, z1, z2, z3);
}

void RotatePoint(Single& outX, Single& outY, Single& outZ, Single x, Single y, Single z,
                 Single angleX, Single angleY, Single focalLength) {
  const Single zc = z - focalLength;
  const double cy = std::cos(static_cast<double>(angleY));
  const double sy = std::sin(static_cast<double>(angleY));
  const double cx = std::cos(static_cast<double>(angleX));
  const double sx = std::sin(static_cast<double>(angleX));
  const double x1 = x * cy - zc * sy;
  const double z1 = x * sy + zc * cy;
  const double y2 = y * cx + z1 * sx;
  const double z2 = -y * sx + z1 * cx;
  outX = static_cast<Single>(x1);
  outY = static_cast<Single>(y2);
  outZ = static_cast<Single>(z2 + focalLength);
}

void VectorAngles(Single x, Single y, Single z, Single& angleX, Single& angleY) {
  const double xd = x, yd = y, zd = z;
  angleX = HalfTurnAngle(zd, yd);
  const double ax = angleX;
  const double zPrime = zd * std::cos(ax) - yd * std::sin(ax);
  angleY = HalfTurnAngle(zPrime, xd);
}

void SymmetrizeControlPoints(std::span<Single> X, std::span<Single> Y, std::span<Single> Z,
                             Single focalLength) {
  const std::int64_t n = static_cast<std::int64_t>(std::min({X.size(), Y.size(), Z.size()}));
  if (n < 2) return;
  if (n == 2) {
    X[1] = -X[0];
    Y[1] = -Y[0];
    Z[1] = 2 * focalLength - Z[0];
    return;
  }
  const std::optional<Integer> rings = CInt(std::sqrt((n - 2) * 0.5));
  if (!rings) return;
  const std::int64_t k = *rings;
  const std::int64_t q = n == 6 ? 4 : 2 * k;
  if (k < 1 || q < 1) return;

  const Single x0 = X[0], y0 = Y[0], zc = Z[0] - focalLength;
  const double xd = x0, yd = y0, zd = zc;
  const double r = std::sqrt(xd * xd + yd * yd + zd * zd);
  Single angleX = 0.0f, angleY = 0.0f;
  VectorAngles(x0, y0, zc, angleX, angleY);

  RotatePoint(X[0], Y[0], Z[0], 0.0f, 0.0f, static_cast<Single>(focalLength - r), angleX, angleY,
              focalLength);
  RotatePoint(X[1], Y[1], Z[1], 0.0f, 0.0f, static_cast<Single>(focalLength + r), angleX, angleY,
              focalLength);

  const Single phiStep = 2.0f * kPi / static_cast<Single>(q);
  Single phi = 0.0f;
  for (std::int64_t j = 1; j <= k; ++j) {
    const double ringAngle =
        static_cast<double>(static_cast<Single>(j) * kPi / static_cast<Single>(k + 1));
    const double rr = r * std::sin(ringAngle);
    const auto zr = static_cast<Single>(focalLength - r * std::cos(ringAngle));
    for (std::int64_t i = (j - 1) * q + 2; i <= j * q + 1; ++i) {
      if (i >= n) return;  // the rest of the ring lies past the arrays
      const auto at = static_cast<std::size_t>(i);
      const double p = phi;
      RotatePoint(X[at], Y[at], Z[at], static_cast<Single>(rr * std::cos(p)),
                  static_cast<Single>(rr * std::sin(p)), zr, angleX, angleY, focalLength);
      phi = phi + phiStep;
    }
  }
}

Point3 RandomControlPoint(Single extent, Single focalLength) {
  Point3 p;
  p.x = Rnd() * extent * 2.0f - extent;
  p.y = Rnd() * extent * 2.0f - extent;
  p.z = Rnd() * extent * 2.0f + focalLength - extent;
  return p;
}

void AdvanceSegment(Point3* controls, Single extent, Single focalLength) {
  controls[0] = controls[1];
  controls[1] = controls[2];
  controls[2] = controls[3];
  controls[3] = RandomControlPoint(extent, focalLength);
}

}  // namespace lmvn
