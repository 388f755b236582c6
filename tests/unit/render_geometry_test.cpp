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

TEST(ProjectPoint, TheRuleAndBadInput) {
  const SurfaceState st = MakeSurfaceState(640, 480, 1.5f, 1);
  Long sx = -1, sy = -1;
  ASSERT_TRUE(ProjectPoint(st, 1, -1, 1.5f, sx, sy));  // at the focal distance: the edges
  EXPECT_EQ(sx, 640);
  EXPECT_EQ(sy, 0);
  ASSERT_TRUE(ProjectPoint(MakeSurfaceState(512, 512, 1, 1), 1, 3, 512, sx, sy));
  EXPECT_EQ(sx, 256);  // 256.5 and 257.5 round to even
  EXPECT_EQ(sy, 258);

  // Symmetric about the centre; twice as far, half as far from it.
  ASSERT_TRUE(ProjectPoint(st, -0.5f, 0.25f, 0.75f, sx, sy));
  EXPECT_TRUE(sx == 0 && sy == 360) << sx << " " << sy;
  ASSERT_TRUE(ProjectPoint(st, -0.5f, 0.25f, 1.5f, sx, sy));
  EXPECT_TRUE(sx == 160 && sy == 300) << sx << " " << sy;

  const float nan = std::nanf("");
  const float bad[][3] = {{0, 0, 0},      {0, 0, -1},    {1, 1, nan},   {nan, 0, 1},
                          {kInf, 0, 1},   {0, -kInf, 1}, {1e30f, 0, 1}, {1e7f, 0, 1},
                          {1, 1, 1e-40f}, {0, 0, -kInf}};
  for (const auto& b : bad) {
    Long bx = 12345, by = 54321;
    EXPECT_FALSE(ProjectPoint(st, b[0], b[1], b[2], bx, by));
    EXPECT_TRUE(bx == 12345 && by == 54321);
  }
}

TEST(RandomVector, KeepsItsLength) {
  ProgramRandom().Seed(21);
  int negY = 0, negZ = 0;
  for (int i = 0; i < 20000; ++i) {
    float x, y, z;
    RandomVector(x, y, z, 0.3f, 0.75f);
    if (y == 0 && x != 0) continue;  // the sign draw was exactly one half
    EXPECT_NEAR(Dist(x / 0.75f, y, z), 0.3, 2e-6);
    negY += y < 0, negZ += z < 0;
  }
  EXPECT_NEAR(negY, 10000, 400);
  EXPECT_NEAR(negZ, 10000, 400);

  float x, y, z;
  RandomVector(x, y, z, 0.0f, 0.75f);
  EXPECT_TRUE(x == 0 && y == 0 && z == 0);
}

TEST(BSplineAndRotation, FixedPointsAndDistances) {
  for (float t = 0; t <= 1.0f; t += 0.0625f) {
    float x, y, z;
    BSplinePoint(x, y, z, t, 0.3f, -0.7f, 2.5f, 0.3f, -0.7f, 2.5f, 0.3f, -0.7f, 2.5f, 0.3f, -0.7f,
                 2.5f);
    EXPECT_TRUE(std::fabs(x - 0.3f) < 1e-6 && std::fabs(y + 0.7f) < 1e-6 &&
                std::fabs(z - 2.5f) < 3e-6);
  }
  float x, y, z;
  BSplinePoint(x, y, z, 1.0f, 0.1f, 0, 0, -0.4f, 0, 0, 0.9f, 0, 0, 0.2f, 0, 0);
  EXPECT_NEAR(x, (-0.4 + 4 * 0.9 + 0.2) / 6, 1e-6);  // where the next segment starts

  const float F = 1.25f;
  RotatePoint(x, y, z, 0.3f, -0.2f, 2.0f, 0, 0, F);
  EXPECT_TRUE(x == 0.3f && y == -0.2f && std::fabs(z - 2.0f) < 1e-6);
  RotatePoint(x, y, z, 1, 0, F, 0, 1.5707964f, F);  // a quarter turn about y: right to far
  EXPECT_TRUE(std::fabs(x) < 1e-6 && std::fabs(z - F - 1) < 1e-6);
  for (float a = -7; a < 7; a += 0.37f) {
    RotatePoint(x, y, z, 0.3f, -0.4f, F + 0.5f, a, 0.61f * a, F);
    EXPECT_NEAR(Dist(x, y, z - F), Dist(0.3, -0.4, 0.5), 2e-6);
  }
}

TEST(VectorAngles, DefinedEverywhere) {
  const float vectors[][3] = {{0.3f, 0.2f, 0.5f}, {0, 0, 0.4f},         {0, 0, -0.4f},
                              {0.5f, 0, 0},       {0, -0.5f, 0},        {0, 0, 0},
                              {kInf, 0, 1},       {std::nanf(""), 1, 1}};
  for (const auto& v : vectors) {
    float ax = -1, ay = -1;
    VectorAngles(v[0], v[1], v[2], ax, ay);
    EXPECT_TRUE(ax >= 0 && ax <= 6.2831855f && ay >= 0 && ay <= 6.2831855f)
        << v[0] << "," << v[1] << "," << v[2] << ": " << ax << " " << ay;
  }
  float ax, ay;
  VectorAngles(0, 0, 0, ax, ay);
  EXPECT_TRUE(ax == 0 && ay == 0);
  VectorAngles(0, 0, -0.4f, ax, ay);  // straight back: the half turn, not a division by zero
  EXPECT_NEAR(ax, 3.1415927f, 1e-6);
}

// Every point ends on the sphere through point 0, the shape balances about the centre, and
// nothing is written past the n points (views into larger buffers whose tails must survive).
TEST(SymmetrizeControlPoints, SymmetricAndWithinTheArrays) {
  const float F = 0.75f;
  for (std::size_t n : {2u, 3u, 4u, 5u, 6u, 7u, 10u, 11u, 20u, 21u, 34u, 200u}) {
    std::vector<float> bx(n + 40, 9.0f), by(n + 40, 9.0f), bz(n + 40, 9.0f);
    bx[0] = -0.25f, by[0] = 0.5f, bz[0] = 0.4f;
    const double r = Dist(-0.25, 0.5, 0.4 - 0.75);
    SymmetrizeControlPoints(std::span(bx.data(), n), std::span(by.data(), n),
                            std::span(bz.data(), n), F);
    for (std::size_t i = n; i < n + 40; ++i) ASSERT_TRUE(bx[i] == 9 && by[i] == 9 && bz[i] == 9);
    double sx = 0, sy = 0, sz = 0;
    int kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (bx[i] == 9 && by[i] == 9 && bz[i] == 9) {
        ++kept;
        continue;
      }
      EXPECT_NEAR(Dist(bx[i], by[i], bz[i] - F), r, 4e-6) << n << ":" << i;
      sx += bx[i], sy += by[i], sz += bz[i] - F;
    }
    const bool exact = n == 6 || n == 2 || n == 4 || n == 10 || n == 20 || n == 34;
    EXPECT_EQ(kept == 0, exact || n == 3 || n == 7 || n == 200) << n;  // 5, 11, 21 leave some
    EXPECT_TRUE(!exact || Dist(sx, sy, sz) < 1e-5) << n;
  }
}

}  // namespace
}  // namespace lmvn
