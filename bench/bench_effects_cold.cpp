// Every effect at its defaults at 1920 x 1080, one frame at a time as the saver runs it: between
// frames a sleep lets the X server and everything else run, which leaves the caches and the
// address translations cold. Here a sweep over 64 MB stands for that sleep (outside the timing),
// so a frame costs what the memory it touches costs. "pages" counts the 4 KB pages of the frame
// whose pixels a frame changed (a lower bound of those it writes), averaged over frames 301 to
// 350.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "effects/effect_factory.h"
#include "render/geometry.h"
#include "render/random.h"

namespace {

using namespace lmvn;

constexpr int kWidth = 1920, kHeight = 1080;

struct Run {
  Surface surface{kWidth, kHeight};
  SurfaceState view = MakeSurfaceState(kWidth, kHeight, 1.0f, 1);
  Palette palette;
  SilentCueSink cues;
  EffectContext context{surface, view, palette, cues};
  std::unique_ptr<Effect> effect;

  explicit Run(EffectId id) {
    ::setenv("XDG_CONFIG_HOME", "/nonexistent/lumivane-bench", 1);  // the defaults
    BuildTrigTables();
    ProgramRandom().Seed(1);
    EffectRequest request;
    request.id = id;
    effect = MakeEffect(request, SettingOverrides{}, context);
    for (int i = 0; i < 300; ++i) effect->Frame();  // under way
  }

  double PagesPerFrame() {
    constexpr std::size_t kPage = 1024;  // pixels
    const std::size_t size = static_cast<std::size_t>(kWidth) * kHeight;
    std::vector<std::uint32_t> before(surface.pixels(), surface.pixels() + size);
    std::size_t pages = 0;
    for (int frame = 0; frame < 50; ++frame) {
      effect->Frame();
      std::set<std::size_t> changed;
      for (std::size_t k = 0; k < size; ++k) {
        if (surface.pixels()[k] != before[k]) changed.insert(k / kPage);
        before[k] = surface.pixels()[k];
      }
      pages += changed.size();
    }
    return static_cast<double>(pages) / 50;
  }
};

void Sweep(std::vector<char>& memory) {
  for (std::size_t k = 0; k < memory.size(); k += 64) memory[k] = static_cast<char>(memory[k] + 1);
  benchmark::ClobberMemory();
}

void BM_EffectFrameCold(benchmark::State& state) {
  Run run(static_cast<EffectId>(state.range(0)));
  std::vector<char> memory(64u << 20);
  for (auto _ : state) {
    state.PauseTiming();
    Sweep(memory);
    state.ResumeTiming();
    run.effect->Frame();
  }
  state.counters["pages"] = Run(static_cast<EffectId>(state.range(0))).PagesPerFrame();
}

void BM_EffectFrameWarm(benchmark::State& state) {
  Run run(static_cast<EffectId>(state.range(0)));
  for (auto _ : state) run.effect->Frame();
}

// 0 Fireworks, 1 Starfield, 2 Warp, 3 Sparklers, 4 Gravity Wells, 5 Galaxies.
BENCHMARK(BM_EffectFrameCold)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectFrameWarm)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace
