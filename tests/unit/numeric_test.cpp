#include "render/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/random.h"

namespace lmvn {
namespace {

// Ties go to even; a result outside the type is reported, never wrapped.
TEST(Rounding, TiesGoToEvenAndOverflowIsReported) {
  constexpr double kOut = 1e99;  // no result
  const auto cint = [](double v) { return CInt(v) ? static_cast<double>(*CInt(v)) : kOut; };
  const auto clng = [](double v) { return CLng(v) ? static_cast<double>(*CLng(v)) : kOut; };
  const std::pair<double, double> ints[] = {
      {2.5, 2},        {3.5, 4},         {-2.5, -2},       {-3.5, -4},       {0.5, 0},
      {1.5, 2},        {2.4999, 2},      {32767.0, 32767}, {32767.4, 32767}, {-32768.5, -32768},
      {32767.5, kOut}, {-32769.0, kOut}, {40000.0, kOut}};
  for (const auto& [value, rounded] : ints) EXPECT_EQ(cint(value), rounded) << value;
  const std::pair<double, double> longs[] = {{1e6 + 0.5, 1000000},           {-7.6, -8},
                                             {-2147483648.0, -2147483648.0}, {2147483647.5, kOut},
                                             {std::nan(""), kOut},           {HUGE_VAL, kOut}};
  for (const auto& [value, rounded] : longs) EXPECT_EQ(clng(value), rounded) << value;
  EXPECT_EQ(CIntOr(1e9, 7), 7);
}

TEST(Rounding, FloorDivisionSignWrapAndClamp) {
  EXPECT_EQ(Int(-0.5), -1.0);
  EXPECT_EQ(Int(2.999f), 2.0f);
  EXPECT_EQ(FloorToLong(-1.25), -2);
  EXPECT_FALSE(FloorToLong(3e9));
  EXPECT_EQ(IDiv(-7, 2), -3);
  EXPECT_EQ(IDiv(7, -2), -3);
  EXPECT_FALSE(IDiv(1, 0));
  EXPECT_FALSE(IDiv(std::numeric_limits<Long>::min(), -1));
  EXPECT_TRUE(Sgn(-0.25f) == -1 && Sgn(0.0) == 0 && Sgn(12) == 1);
  EXPECT_EQ(Wrap16(32768), -32768);
  EXPECT_EQ(AddWrap16(32767, 1), -32768);
  EXPECT_EQ(Wrap16(-32769), 32767);
  EXPECT_EQ(ClampSingle(5.0f, 0.0f, 1.0f), 1.0f);
  EXPECT_EQ(ClampInteger(-3, 0, 10), 0);
  EXPECT_EQ(ClampSingle(std::nanf(""), 0.25f, 0.99f), 0.25f);
  EXPECT_EQ(ClampLong(20000, 100, 9999), 9999);
}

TEST(Random, DrawsStayInUnitIntervalAverageOneHalfAndRepeatWithTheSeed) {
  RandomGenerator a(42), b(42), c(43);
  bool differs = false;
  float low = 1.0f, high = 0.0f;
  double sum = 0;
  for (int i = 0; i < 200000; ++i) {
    const float x = a.Next();
    ASSERT_TRUE(x >= 0.0f && x < 1.0f) << x;
    ASSERT_EQ(x, b.Next());
    differs |= (x != c.Next());
    low = std::min(low, x);
    high = std::max(high, x);
    sum += x;
  }
  EXPECT_TRUE(differs);
  EXPECT_TRUE(low < 0.001f && high > 0.999f);
  EXPECT_NEAR(sum / 200000, 0.5, 0.01);
}

}  // namespace
}  // namespace lmvn
