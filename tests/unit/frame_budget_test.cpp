#include "effects/frame_budget.h"

#include <gtest/gtest.h>

namespace lmvn {
namespace {

TEST(FrameBudget, SpendsOnExactlyTheLastFrameOfEachRun) {
  FrameBudget budget(100);
  for (int run = 0; run < 2; ++run) {
    budget.Reset();
    for (int frame = 1; frame <= 250; ++frame) {
      EXPECT_EQ(budget.CycleFrameDue(), frame == 100) << frame;
    }
  }
}

TEST(FrameBudget, WithoutABudgetTheEffectRunsOn) {
  for (const Long frames : {0, -5}) {
    FrameBudget budget(frames);
    for (int frame = 0; frame < 1000; ++frame) ASSERT_FALSE(budget.CycleFrameDue());
  }
}

TEST(FrameBudget, AMissedResetNeverFiresAgainAndNeverOverflows) {
  FrameBudget budget(1);
  budget.CycleFrameCount = std::numeric_limits<Long>::max() - 1;
  for (int frame = 0; frame < 10; ++frame) EXPECT_FALSE(budget.CycleFrameDue());
  EXPECT_EQ(budget.CycleFrameCount, std::numeric_limits<Long>::max());
}

}  // namespace
}  // namespace lmvn
