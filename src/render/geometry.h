// Geometry of the small 3-D world: the trigonometric tables, the projection, random
// directions, the cubic B-spline, rotation about the scene centre and the symmetric control
// polygon.
//
// World coordinates are Singles with the eye at the origin looking along +z, x to the right,
// y downwards on the screen, and the scene centre at (0, 0, FocalLength).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "render/numeric.h"
#include "render/surface.h"

namespace lmvn {

// Cosine and sine of a_i for i = 0..1000, a_0 = 0, a_(i+1) = a_i + pi / 1000, the angle
// accumulated in a Single (pi as the Single 3.1415927): the half turn from 0 to pi. Built
// once on first use.
const std::array<Single, 1001>& CosTable();
const std::array<Single, 1001>& SinTable();
// Builds both tables now (start-up calls it so no frame pays for it).
void BuildTrigTables();

// The projection: sx = CLng(x / z * ProjScaleX + CentreX), sy likewise with y. False, and
// sx/sy untouched, when z <= 0 (or NaN) or a coordinate cannot be represented as a Long.
inline bool ProjectPoint(const SurfaceState& state, Single x, Single y, Single z, Long& sx,
                         Long& sy);

// A random offset of length magnitude (x scaled by aspectRatio so that it is round on the
// screen): three Rnd draws, polar index, azimuth index, then the sign of y.
void RandomVector(Single& outX, Single& outY, Single& outZ, Single magnitude, Single aspectRatio);

// The point at parameter t (0..1) of the uniform cubic B-spline segment with control points
// P0..P3, each coordinate formed in double precision and stored as a Single.
void BSplinePoint(Single& outX, Single& outY, Single& outZ, Single t, Single x0, Single y0,
                  Single z0, Single x1, Single y1, Single z1, Single x2, Single y2, Single z2,
                  Single x3, Single y3, Single z3);

// A control point of a B-spline path.
struct Point3 {
  Single x = 0, y = 0, z = 0;
};

// A random control point in the cube of half-side `extent` around the scene centre
// (0, 0, focalLength): three Rnd draws, for x, y and z in that order.
Point3 RandomControlPoint(Single extent, Single focalLength);

// Moves a path of four control points on by one segment, so that what follows it joins without
// a jump: P0..P2 take P1..P3 and P3 is a new RandomControlPoint.
void AdvanceSegment(Point3* controls, Single extent, Single focalLength);

// Rotates (x, y, z) about the scene centre (0, 0, focalLength): first about the y axis by
// angleY, then about the x axis by angleX.
void RotatePoint(Single& outX, Single& outY, Single& outZ, Single x, Single y, Single z,
                 Single angleX, Single angleY, Single focalLength);

// Two angles, each in [0, 2 pi), that orient a shape along the vector (x, y, z) relative to
// the scene centre. Where an angle is undefined (y = z = 0 for angleX, x = z' = 0 for angleY)
// it is 0; the angles are never NaN.
void VectorAngles(Single x, Single y, Single z, Single& angleX, Single& angleY);

// Rewrites the control points in place into a shape symmetric about the scene centre: two
// poles and rings of points on the sphere through point 0. n is the arrays' common length
// (the shortest, should they differ); points the rings do not reach keep their values, and
// ring points that would lie past the arrays' end are left out.
void SymmetrizeControlPoints(std::span<Single> X, std::span<Single> Y, std::span<Single> Z,
                             Single focalLength);

namespace detail {
// CLng for the hot paths: round half to even without a call, empty when out of range or NaN.
inline bool RoundToLong(double value, Long& out) {
  if (!(value >= -2147483648.5 && value < 2147483647.5)) return false;
  const double floor = std::floor(value);
  const double diff = value - floor;
  auto result = static_cast<std::int64_t>(floor);
  if (diff > 0.5 || (diff == 0.5 && (result & 1) != 0)) ++result;
  if (result < -2147483647 - 1 || result > 2147483647) return false;
  out = static_cast<Long>(result);
  return true;
}
}  // namespace detail

inline bool ProjectPoint(const SurfaceState& state, Single x, Single y, Single z, Long& sx,
                         Long& sy) {
  if (!(z > 0.0f)) return false;
  // The quotient and the scale are Single arithmetic; adding the Long centre is double.
  Long px = 0, py = 0;
  if (!detail::RoundToLong(static_cast<double>(x / z * state.ProjScaleX) + state.CentreX, px) ||
      !detail::RoundToLong(static_cast<double>(y / z * state.ProjScaleY) + state.CentreY, py)) {
    return false;
  }
  sx = px;
  sy = py;
  return true;
}

}  // namespace lmvn
