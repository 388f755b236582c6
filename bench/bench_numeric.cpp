#include <benchmark/benchmark.h>

#include "render/numeric.h"
#include "render/random.h"

namespace {

void BM_Rnd(benchmark::State& state) {
  lmvn::ProgramRandom().Seed(1);
  for (auto _ : state) benchmark::DoNotOptimize(lmvn::Rnd());
}
BENCHMARK(BM_Rnd);

void BM_CLng(benchmark::State& state) {
  double x = 0.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lmvn::CLng(x));
    x += 1.25;
  }
}
BENCHMARK(BM_CLng);

}  // namespace
