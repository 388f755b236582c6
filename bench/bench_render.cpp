// The innermost loops: pixel writes, dots, random directions, spline points and projection.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "render/colour.h"
#include "render/geometry.h"
#include "render/random.h"
#include "render/surface.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Scattered screen positions, drawn once so the loops measure the plotting alone. A quarter
// of them lie just beyond the edges, as a burst's sparks do.
struct Points {
  std::array<lmvn::Long, 4096> x{}, y{};
  Points() {
    lmvn::ProgramRandom().Seed(42);
    for (std::size_t i = 0; i < x.size(); ++i) {
      x[i] = static_cast<lmvn::Long>(lmvn::Rnd() * (kWidth + 200)) - 100;
      y[i] = static_cast<lmvn::Long>(lmvn::Rnd() * (kHeight + 200)) - 100;
    }
  }
};
const Points& Scattered() {
  static const Points points;
  return points;
}

void BM_SetPixelV(benchmark::State& state) {
  lmvn::Surface surface(kWidth, kHeight);
  const Points& p = Scattered();
  std::size_t i = 0;
  for (auto _ : state) {
    surface.SetPixelV(p.x[i], p.y[i], static_cast<lmvn::Colour>(i));
    i = (i + 1) & 4095;
  }
  benchmark::DoNotOptimize(surface.pixels());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetPixelV);

void BM_PlotDot(benchmark::State& state) {
  lmvn::Surface surface(kWidth, kHeight);
  const Points& p = Scattered();
  const auto size = static_cast<lmvn::Integer>(state.range(0));
  std::size_t i = 0;
  for (auto _ : state) {
    lmvn::PlotDot(surface, size, p.x[i], p.y[i], static_cast<lmvn::Colour>(i));
    i = (i + 1) & 4095;
  }
  benchmark::DoNotOptimize(surface.pixels());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlotDot)->Arg(1)->Arg(4)->Arg(9);

void BM_PlotBlock9(benchmark::State& state) {
  lmvn::Surface surface(kWidth, kHeight);
  const Points& p = Scattered();
  std::size_t i = 0;
  for (auto _ : state) {
    lmvn::PlotBlock(surface, 9, p.x[i], p.y[i], static_cast<lmvn::Colour>(i));
    i = (i + 1) & 4095;
  }
  benchmark::DoNotOptimize(surface.pixels());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlotBlock9);

void BM_FillDot(benchmark::State& state) {
  lmvn::Surface surface(kWidth, kHeight);
  const Points& p = Scattered();
  const auto diameter = static_cast<int>(state.range(0));
  std::size_t i = 0;
  for (auto _ : state) {
    surface.FillDot(p.x[i], p.y[i], diameter, static_cast<lmvn::Colour>(i));
    i = (i + 1) & 4095;
  }
  benchmark::DoNotOptimize(surface.pixels());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FillDot)->Arg(1)->Arg(3)->Arg(8);

void BM_RandomVector(benchmark::State& state) {
  lmvn::BuildTrigTables();
  lmvn::ProgramRandom().Seed(1);
  float x, y, z;
  for (auto _ : state) {
    lmvn::RandomVector(x, y, z, 0.01f, 0.5625f);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    benchmark::DoNotOptimize(z);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomVector);

void BM_BSplinePoint(benchmark::State& state) {
  float x, y, z;
  float t = 0;
  for (auto _ : state) {
    lmvn::BSplinePoint(x, y, z, t, 0.1f, 0.2f, 1.3f, -0.4f, 0.5f, 1.1f, 0.7f, -0.2f, 0.9f, 0.3f,
                       0.3f, 1.6f);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    benchmark::DoNotOptimize(z);
    t += 0.001f;
    if (t > 1) t = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BSplinePoint);

void BM_ProjectPoint(benchmark::State& state) {
  const lmvn::SurfaceState st = lmvn::MakeSurfaceState(kWidth, kHeight, 1.0f, 1);
  float x = -0.8f;
  lmvn::Long sx = 0, sy = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lmvn::ProjectPoint(st, x, 0.3f, 1.2f, sx, sy));
    x += 0.0001f;
    if (x > 0.8f) x = -0.8f;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProjectPoint);

void BM_PickColor(benchmark::State& state) {
  const lmvn::Palette palette;
  lmvn::ProgramRandom().Seed(2);
  for (auto _ : state) benchmark::DoNotOptimize(palette.PickColor(lmvn::RGB(200, 90, 40), 120));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PickColor);

}  // namespace
