// Galaxies: one frame at 1920 x 1080, at the defaults, for the heaviest theme and at the
// largest counts with every event at its most frequent. The galaxy runs 300 frames first so
// that trails, novas, bursts and comets are all under way.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "effects/galaxies.h"
#include "render/random.h"

namespace {

using namespace lmvn;

GalaxySettings Defaults() {
  // A store that does not exist reads as the catalogue defaults.
  ::setenv("XDG_CONFIG_HOME", "/nonexistent/lumivane-bench", 1);
  return LoadGalaxySettings(0, false, 1.0f);
}

void RunFrames(benchmark::State& state, const GalaxySettings& settings) {
  Surface surface(1920, 1080);
  const SurfaceState view = MakeSurfaceState(1920, 1080, 1.0f, 1);
  const Palette palette;
  SilentCueSink cues;
  const EffectContext context{surface, view, palette, cues};
  ProgramRandom().Seed(1);
  Galaxies galaxy(settings, context);
  for (int i = 0; i < 300; ++i) galaxy.Frame();
  for (auto _ : state) galaxy.Frame();
  state.SetLabel("1920x1080");
}

void BM_GalaxiesDefaults(benchmark::State& state) {
  RunFrames(state, Defaults());
}
BENCHMARK(BM_GalaxiesDefaults)->Unit(benchmark::kMillisecond);

void BM_GalaxiesTheme13(benchmark::State& state) {
  RunFrames(state, LoadGalaxySettings(13, false, 1.0f));
}
BENCHMARK(BM_GalaxiesTheme13)->Unit(benchmark::kMillisecond);

// 9999 stars, 999 ambient stars, every event at its most frequent.
void BM_GalaxiesMaximum(benchmark::State& state) {
  GalaxySettings s = Defaults();
  s.Galaxy_Stars = 9999;
  s.Galaxy_AmbStars = 999;
  s.Galaxy_NewFreq = 9999;
  s.Galaxy_NovaFreq = 9999;
  s.Galaxy_BurstFreq = 9999;
  s.Galaxy_CometFreq = 9999;
  RunFrames(state, s);
}
BENCHMARK(BM_GalaxiesMaximum)->Unit(benchmark::kMillisecond);

}  // namespace
