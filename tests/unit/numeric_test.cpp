#include "render/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "render/random.h"

namespace lmvn {
namespace {

TEST(Rounding, TiesGoToEven) {
  EXPECT_EQ(CInt(2.5), 2);
  EXPECT_EQ(CInt(3.5), 4);
  EXPECT_EQ(CInt(-2.5), -2);
  EXPECT_EQ(CInt(-3.5), -4);
  EXPECT_EQ(CInt(0.5), 0);
  EXPECT_EQ(CInt(1.5), 2);
  EXPECT_EQ(CInt(2.4999), 2);
  EXPECT_EQ(CLng(1e6 + 0.5), 1000000);
  EXPECT_EQ(CLng(-7.6), -8);
}

TEST(Rounding, OverflowIsReportedNotWrapped) {
  EXPECT_EQ(CInt(32767.0), 32767);
  EXPECT_EQ(CInt(32767.4), 32767);
  EXPECT_FALSE(CInt(32767.5));  // rounds to 32768
  EXPECT_EQ(CInt(-32768.5), -32768);
  EXPECT_FALSE(CInt(-32769.0));
  EXPECT_FALSE(CInt(40000.0));
  EXPECT_FALSE(CLng(2147483647.5));
  EXPECT_EQ(CLng(-2147483648.0), std::numeric_limits<Long>::min());
  EXPECT_FALSE(CLng(std::nan("")));
  EXPECT_FALSE(CLng(std::numeric_limits<double>::infinity()));
  EXPECT_EQ(CIntOr(1e9, 7), 7);
}

TEST(Rounding, FloorAndIntegerDivision) {
  EXPECT_EQ(Int(-0.5), -1.0);
  EXPECT_EQ(Int(2.999f), 2.0f);
  EXPECT_EQ(FloorToLong(-1.25), -2);
  EXPECT_FALSE(FloorToLong(3e9));
  EXPECT_EQ(IDiv(-7, 2), -3);
  EXPECT_EQ(IDiv(7, -2), -3);
  EXPECT_FALSE(IDiv(1, 0));
  EXPECT_FALSE(IDiv(std::numeric_limits<Long>::min(), -1));
}

TEST(Numeric, SignWrapAndClamp) {
  EXPECT_EQ(Sgn(-0.25f), -1);
  EXPECT_EQ(Sgn(0.0), 0);
  EXPECT_EQ(Sgn(12), 1);
  EXPECT_EQ(Wrap16(32768), -32768);
  EXPECT_EQ(AddWrap16(32767, 1), -32768);
  EXPECT_EQ(Wrap16(-32769), 32767);
  EXPECT_EQ(ClampSingle(5.0f, 0.0f, 1.0f), 1.0f);
  EXPECT_EQ(ClampInteger(-3, 0, 10), 0);
  EXPECT_EQ(ClampSingle(std::nanf(""), 0.25f, 0.99f), 0.25f);
  EXPECT_EQ(ClampLong(20000, 100, 9999), 9999);
}

TEST(Random, DrawsStayInUnitIntervalAndRepeatWithTheSeed) {
  RandomGenerator a(42), b(42), c(43);
  bool differs = false;
  float low = 1.0f, high = 0.0f;
  for (int i = 0; i < 200000; ++i) {
    const float x = a.Next();
    ASSERT_GE(x, 0.0f);
    ASSERT_LT(x, 1.0f);
    ASSERT_EQ(x, b.Next());
    differs |= (x != c.Next());
    low = std::min(low, x);
    high = std::max(high, x);
  }
  EXPECT_TRUE(differs);
  EXPECT_LT(low, 0.001f);
  EXPECT_GT(high, 0.999f);
}

TEST(Random, MeanIsOneHalf) {
  RandomGenerator g(7);
  double sum = 0;
  const int n = 100000;
  for (int i = 0; i < n; ++i) sum += g.Next();
  EXPECT_NEAR(sum / n, 0.5, 0.01);
}

}  // namespace
}  // namespace lmvn
