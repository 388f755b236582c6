#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/geometry.h"
#include "render/random.h"

namespace lmvn {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

double Dist(double x, double y, double z) {
  return std::sqrt(x * x + y * y + z * z);
}

TEST(TrigTables, HalfTurnInThousandSteps) {
  BuildTrigTables();
  const auto& c = CosTable();
  const auto& s = SinTable();
  EXPECT_EQ(c[0], 1.0f);
  EXPECT_EQ(s[0], 0.0f);
  EXPECT_NEAR(s[500], 1.0f, 1e-6);
  EXPECT_NEAR(c[500], 0.0f, 1e-5);
  EXPECT_NEAR(c[1000], -1.0f, 1e-6);
  EXPECT_NEAR(s[1000], 0.0f, 1e-4);  // the angle is accumulated in single precision
  for (std::size_t i = 0; i < c.size(); ++i) EXPECT_NEAR(c[i] * c[i] + s[i] * s[i], 1.0f, 1e-6);
  EXPECT_EQ(&CosTable(), &c);  // built once
}

TEST(ProjectPoint, CentreEdgesAndRounding) {
  const SurfaceState st = MakeSurfaceState(640, 480, 1.5f, 1);
  Long sx = -1, sy = -1;
  ASSERT_TRUE(ProjectPoint(st, 0, 0, 1.5f, sx, sy));
  EXPECT_EQ(sx, 320);
  EXPECT_EQ(sy, 240);
  // At the focal distance an offset of 1 reaches the edges.
  ASSERT_TRUE(ProjectPoint(st, 1, -1, 1.5f, sx, sy));
  EXPECT_EQ(sx, 640);
  EXPECT_EQ(sy, 0);

  // The rule, CLng of the single-precision quotient and scale plus the centre, over a wide
  // range of points including ones far beyond the screen.
  ProgramRandom().Seed(17);
  for (int i = 0; i < 20000; ++i) {
    const float x = (Rnd() - 0.5f) * 4000.0f, y = (Rnd() - 0.5f) * 40.0f, z = Rnd() * 0.01f;
    const std::optional<Long> ex = CLng(static_cast<double>(x / z * st.ProjScaleX) + st.CentreX);
    const std::optional<Long> ey = CLng(static_cast<double>(y / z * st.ProjScaleY) + st.CentreY);
    Long px = 7, py = 7;
    EXPECT_EQ(ProjectPoint(st, x, y, z, px, py), ex && ey);
    if (ex && ey) {
      EXPECT_EQ(px, *ex);
      EXPECT_EQ(py, *ey);
    }
  }

  // Halves round to even: 256 + 0.5 -> 256, 256 + 1.5 -> 258.
  const SurfaceState half = MakeSurfaceState(512, 512, 1, 1);
  ASSERT_TRUE(ProjectPoint(half, 1, 3, 512, sx, sy));
  EXPECT_EQ(sx, 256);
  EXPECT_EQ(sy, 258);
}

TEST(ProjectPoint, NothingToDrawForBadInput) {
  const SurfaceState st = MakeSurfaceState(640, 480, 1, 1);
  const float nan = std::nanf("");
  const float cases[][3] = {
      {0, 0, 0},      {0, 0, -0.0f},    {0, 0, -1},    {1, 1, nan},   {nan, 0, 1},
      {0, nan, 1},    {kInf, 0, 1},     {0, -kInf, 1}, {1e30f, 0, 1}, {0, -1e30f, 1},
      {1, 1, 1e-40f}, {1, 0, kInf * 0}, {1e7f, 0, 1},  {0, 0, -kInf}, {-1e9f, 0, 0.5f},
  };
  for (const auto& c : cases) {
    Long sx = 12345, sy = 54321;
    EXPECT_FALSE(ProjectPoint(st, c[0], c[1], c[2], sx, sy)) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_EQ(sx, 12345);
    EXPECT_EQ(sy, 54321);
  }
  // Far off screen but representable: still projected; the plotter drops it.
  Long sx = 0, sy = 0;
  EXPECT_TRUE(ProjectPoint(st, 1e5f, 0, 1, sx, sy));
  EXPECT_EQ(sx, 32000320);
}

TEST(RandomVector, KeepsItsLengthAndCoversAllDirections) {
  ProgramRandom().Seed(21);
  const float aspect = 0.75f;
  int negY = 0, posY = 0, negZ = 0, posZ = 0;
  for (int i = 0; i < 20000; ++i) {
    float x, y, z;
    RandomVector(x, y, z, 0.3f, aspect);
    if (y == 0 && x != 0) continue;  // the sign draw was exactly one half
    EXPECT_NEAR(Dist(x / aspect, y, z), 0.3, 2e-6);
    negY += y<0, posY += y> 0, negZ += z<0, posZ += z> 0;
  }
  EXPECT_GT(negY, 9000);
  EXPECT_GT(posY, 9000);
  EXPECT_GT(negZ, 9000);
  EXPECT_GT(posZ, 9000);

  float x = 1, y = 1, z = 1;
  RandomVector(x, y, z, 0.0f, aspect);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, 0.0f);
  EXPECT_EQ(z, 0.0f);
}

TEST(RandomVector, ThreeDrawsPolarAzimuthSign) {
  ProgramRandom().Seed(5);
  const float ri = Rnd(), rj = Rnd(), rs = Rnd(), after = Rnd();
  const auto i = static_cast<std::size_t>(*CInt(ri * 1000.0f));
  const auto j = static_cast<std::size_t>(*CInt(rj * 1000.0f));
  ProgramRandom().Seed(5);
  float x, y, z;
  RandomVector(x, y, z, 2.0f, 1.0f);
  EXPECT_EQ(Rnd(), after);
  EXPECT_FLOAT_EQ(z, 2.0f * CosTable()[i]);
  EXPECT_FLOAT_EQ(x, 2.0f * CosTable()[j] * SinTable()[i]);
  EXPECT_FLOAT_EQ(std::fabs(y), 2.0f * SinTable()[j] * SinTable()[i]);
  EXPECT_EQ(y < 0, rs < 0.5f);
}

TEST(BSplinePoint, EqualPointsAndJoints) {
  for (float t = 0; t <= 1.0f; t += 0.0625f) {
    float x, y, z;
    BSplinePoint(x, y, z, t, 0.3f, -0.7f, 2.5f, 0.3f, -0.7f, 2.5f, 0.3f, -0.7f, 2.5f, 0.3f, -0.7f,
                 2.5f);
    EXPECT_NEAR(x, 0.3f, 1e-6);
    EXPECT_NEAR(y, -0.7f, 1e-6);
    EXPECT_NEAR(z, 2.5f, 2e-6);
  }
  // Consecutive segments sharing three control points meet: the end of P0..P3 is the start of
  // P1..P4, (P1 + 4 P2 + P3) / 6.
  const float p[5] = {0.1f, -0.4f, 0.9f, 0.2f, -0.6f};
  float endX, startX, unused1, unused2;
  BSplinePoint(endX, unused1, unused2, 1.0f, p[0], 0, 0, p[1], 0, 0, p[2], 0, 0, p[3], 0, 0);
  BSplinePoint(startX, unused1, unused2, 0.0f, p[1], 0, 0, p[2], 0, 0, p[3], 0, 0, p[4], 0, 0);
  EXPECT_NEAR(endX, startX, 1e-6);
  EXPECT_NEAR(startX, (p[1] + 4 * p[2] + p[3]) / 6.0, 1e-6);
}

TEST(RotatePoint, ZeroAnglesKeepTheInputAndTurnsKeepTheDistance) {
  const float F = 1.25f;
  float x, y, z;
  RotatePoint(x, y, z, 0.3f, -0.2f, 2.0f, 0, 0, F);
  EXPECT_FLOAT_EQ(x, 0.3f);
  EXPECT_FLOAT_EQ(y, -0.2f);
  EXPECT_FLOAT_EQ(z, 2.0f);

  // A quarter turn about y takes the point right of the centre to the far side.
  RotatePoint(x, y, z, 1, 0, F, 0, 1.5707964f, F);
  EXPECT_NEAR(x, 0, 1e-6);
  EXPECT_NEAR(z, F + 1, 1e-6);
  // A quarter turn about x takes the far point down the screen (y grows downwards).
  RotatePoint(x, y, z, 0, 0, F + 1, 1.5707964f, 0, F);
  EXPECT_NEAR(y, 1, 1e-6);
  EXPECT_NEAR(z, F, 1e-6);

  for (float a = -7; a < 7; a += 0.37f) {
    RotatePoint(x, y, z, 0.3f, -0.4f, F + 0.5f, a, 0.61f * a, F);
    EXPECT_NEAR(Dist(x, y, z - F), Dist(0.3, -0.4, 0.5), 2e-6);
  }
}

TEST(VectorAngles, RangeAndDegenerateVectors) {
  const float vectors[][3] = {
      {0.3f, 0.2f, 0.5f},   {-0.3f, -0.4f, -0.2f}, {0.1f, -0.5f, 0.2f}, {0, 0, 0.4f},
      {0, 0, -0.4f},        {0.5f, 0, 0},          {0, 0.5f, 0},        {0, 0, 0},
      {-1e-30f, 1e-30f, 0}, {1e30f, 1e30f, 1e30f}, {kInf, 0, 1},        {std::nanf(""), 1, 1}};
  for (const auto& v : vectors) {
    float ax = -1, ay = -1;
    VectorAngles(v[0], v[1], v[2], ax, ay);
    SCOPED_TRACE(testing::Message() << v[0] << "," << v[1] << "," << v[2]);
    EXPECT_FALSE(std::isnan(ax) || std::isnan(ay));
    EXPECT_GE(ax, 0.0f);
    EXPECT_LE(ax, 6.2831855f);
    EXPECT_GE(ay, 0.0f);
    EXPECT_LE(ay, 6.2831855f);
  }
  float ax, ay;
  VectorAngles(0, 0, 0, ax, ay);
  EXPECT_EQ(ax, 0.0f);
  EXPECT_EQ(ay, 0.0f);
  VectorAngles(0, 0, 0.4f, ax, ay);  // straight ahead
  EXPECT_EQ(ax, 0.0f);
  EXPECT_EQ(ay, 0.0f);
  VectorAngles(0, 0, -0.4f, ax, ay);  // straight back: the half turn
  EXPECT_NEAR(ax, 3.1415927f, 1e-6);
  VectorAngles(0, -0.5f, 0, ax, ay);  // upwards: the far half of the turn
  EXPECT_NEAR(ax, 6.2831855f - 1.5707964f, 1e-6);
}

std::vector<float> Distances(const std::vector<float>& X, const std::vector<float>& Y,
                             const std::vector<float>& Z, float F) {
  std::vector<float> d;
  for (std::size_t i = 0; i < X.size(); ++i) {
    d.push_back(static_cast<float>(Dist(X[i], Y[i], Z[i] - F)));
  }
  return d;
}

TEST(SymmetrizeControlPoints, TwoPointsMirrorThroughTheCentre) {
  const float F = 0.8f;
  std::vector<float> X{0.3f, 9}, Y{-0.1f, 9}, Z{1.5f, 9};
  SymmetrizeControlPoints(X, Y, Z, F);
  EXPECT_EQ(X[1], -0.3f);
  EXPECT_EQ(Y[1], 0.1f);
  EXPECT_FLOAT_EQ(Z[1], 2 * F - 1.5f);
  EXPECT_EQ(X[0], 0.3f);  // point 0 stays

  std::vector<float> one{5}, none;
  SymmetrizeControlPoints(one, one, one, F);
  EXPECT_EQ(one[0], 5);
  SymmetrizeControlPoints(none, none, none, F);
}

TEST(SymmetrizeControlPoints, SixPointsMakeAnOctahedron) {
  const float F = 1.0f;
  std::vector<float> X{0.2f, 0, 0, 0, 0, 0}, Y{-0.3f, 0, 0, 0, 0, 0}, Z{1.4f, 0, 0, 0, 0, 0};
  const double r = Dist(0.2, -0.3, 0.4);
  SymmetrizeControlPoints(X, Y, Z, F);
  for (float d : Distances(X, Y, Z, F)) EXPECT_NEAR(d, r, 2e-6);
  // The poles are opposite; the four ring points are square to the axis and 90 degrees apart.
  EXPECT_NEAR(X[0] + X[1], 0, 1e-6);
  EXPECT_NEAR(Y[0] + Y[1], 0, 1e-6);
  EXPECT_NEAR(Z[0] + Z[1], 2 * F, 1e-6);
  auto dot = [&](std::size_t a, std::size_t b) {
    return X[a] * X[b] + Y[a] * Y[b] + (Z[a] - F) * (Z[b] - F);
  };
  for (std::size_t i = 2; i < 6; ++i) {
    EXPECT_NEAR(dot(0, i), 0, 1e-6);
    EXPECT_NEAR(dot(i, i == 5 ? 2 : i + 1), 0, 1e-6);
    EXPECT_NEAR(dot(i, i <= 3 ? i + 2 : i - 2), -r * r, 1e-6);
  }
}

// Exact fits: every point on the sphere through point 0 and the shape balanced about the
// centre (ring points pair up across it).
TEST(SymmetrizeControlPoints, ExactFitsAreSymmetric) {
  const float F = 0.75f;
  for (std::size_t n : {4u, 10u, 20u, 34u}) {
    SCOPED_TRACE(n);
    std::vector<float> X(n, 7.0f), Y(n, 7.0f), Z(n, 7.0f);
    X[0] = -0.25f, Y[0] = 0.5f, Z[0] = 0.4f;
    const double r = Dist(-0.25, 0.5, 0.4 - 0.75);
    SymmetrizeControlPoints(X, Y, Z, F);
    double sx = 0, sy = 0, sz = 0;
    for (std::size_t i = 0; i < n; ++i) {
      EXPECT_NEAR(Dist(X[i], Y[i], Z[i] - F), r, 4e-6) << i;
      sx += X[i], sy += Y[i], sz += Z[i] - F;
    }
    EXPECT_NEAR(sx, 0, 1e-5);
    EXPECT_NEAR(sy, 0, 1e-5);
    EXPECT_NEAR(sz, 0, 1e-5);
  }
}

// Rings that would run past the arrays stop at their end; points the rings miss keep their
// values. The arrays here are views of exactly n elements into larger buffers whose tails
// must stay untouched (and the sanitizer build checks the spans' bounds as well).
TEST(SymmetrizeControlPoints, RingsNeverRunPastTheArrays) {
  const float F = 1.0f;
  for (std::size_t n : {3u, 5u, 7u, 8u, 9u, 11u, 12u, 21u, 33u, 35u, 200u}) {
    SCOPED_TRACE(n);
    std::vector<float> bx(n + 40, 9.0f), by(n + 40, 9.0f), bz(n + 40, 9.0f);
    bx[0] = 0.1f, by[0] = 0.2f, bz[0] = 1.3f;
    const std::span<float> X(bx.data(), n), Y(by.data(), n), Z(bz.data(), n);
    SymmetrizeControlPoints(X, Y, Z, F);
    for (std::size_t i = n; i < n + 40; ++i) {
      ASSERT_EQ(bx[i], 9.0f);
      ASSERT_EQ(by[i], 9.0f);
      ASSERT_EQ(bz[i], 9.0f);
    }
    const double r = Dist(0.1, 0.2, 0.3);
    for (std::size_t i = 0; i < n; ++i) {
      const bool kept = X[i] == 9.0f && Y[i] == 9.0f && Z[i] == 9.0f;
      if (!kept) {
        EXPECT_NEAR(Dist(X[i], Y[i], Z[i] - F), r, 4e-6) << i;
      }
    }
  }
  // n = 5: one ring of two (indices 2 and 3); point 4 keeps its value.
  std::vector<float> X(5, 9.0f), Y(5, 9.0f), Z(5, 9.0f);
  X[0] = 0.1f, Y[0] = 0.2f, Z[0] = 1.0f;
  SymmetrizeControlPoints(X, Y, Z, F);
  EXPECT_NEAR(X[3], -X[2], 1e-6);
  EXPECT_EQ(X[4], 9.0f);

  // Arrays of different lengths: the shortest decides.
  std::vector<float> a(10, 0.5f), b(6, 0.5f), c(20, 0.5f);
  SymmetrizeControlPoints(a, b, c, F);
  EXPECT_EQ(a[6], 0.5f);
  EXPECT_EQ(c[6], 0.5f);
}

TEST(SymmetrizeControlPoints, DegeneratePointZero) {
  // Point 0 at the centre: radius 0, every point collapses onto the centre, no NaN.
  std::vector<float> X(10, 0.3f), Y(10, 0.3f), Z(10, 0.3f);
  X[0] = 0, Y[0] = 0, Z[0] = 1.0f;
  SymmetrizeControlPoints(X, Y, Z, 1.0f);
  for (std::size_t i = 0; i < 10; ++i) {
    EXPECT_NEAR(X[i], 0, 1e-7);
    EXPECT_NEAR(Y[i], 0, 1e-7);
    EXPECT_NEAR(Z[i], 1.0f, 1e-7);
  }
}

}  // namespace
}  // namespace lmvn
