// Every effect at its defaults at 1920 x 1080, one frame at a time as the saver runs it: between
// frames a sleep lets the X server and everything else run, which leaves the caches and the
// address translations cold. Here a sweep over 64 MB stands for that sleep (outside the timing),
// so a frame costs what the memory it touches costs, with the frame in 4 KB pages or in 2 MB
// ones. "pages" counts the 4 KB pages of the frame
// whose pixels a frame changed (a lower bound of those it writes), averaged over frames 301 to
// 350.
#include <benchmark/benchmark.h>
#include <sys/mman.h>

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

// Frame memory in pages of 2 MB where the system gives them (transparent huge pages on
// request): a frame then needs a handful of address translations instead of one per 4 KB.
class HugePageMemory final : public PixelMemory {
 public:
  ~HugePageMemory() override {
    if (base_ != nullptr) munmap(base_, bytes_);
  }
  std::uint32_t* Provide(int width, int height) override {
    constexpr std::size_t kHuge = 2u << 20;
    const std::size_t need = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (base_ != nullptr) munmap(base_, bytes_);
    bytes_ = (need + 2 * kHuge - 1) / kHuge * kHuge;
    base_ = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base_ == MAP_FAILED) {
      base_ = nullptr;
      return nullptr;
    }
    auto* aligned = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(base_) + kHuge - 1) /
                                            kHuge * kHuge);
    madvise(aligned, bytes_ - kHuge, MADV_HUGEPAGE);
    return reinterpret_cast<std::uint32_t*>(aligned);
  }

 private:
  void* base_ = nullptr;
  std::size_t bytes_ = 0;
};

struct Run {
  HugePageMemory huge;  // outlives the surface that uses it
  Surface surface{kWidth, kHeight};
  SurfaceState view = MakeSurfaceState(kWidth, kHeight, 1.0f, 1);
  Palette palette;
  SilentCueSink cues;
  EffectContext context{surface, view, palette, cues};
  std::unique_ptr<Effect> effect;

  explicit Run(EffectId id, bool hugePages = false) {
    if (hugePages) surface.UseMemory(&huge, PixelLayout::RedHigh);
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
  Run run(static_cast<EffectId>(state.range(0)), state.range(1) != 0);
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

// 0 Fireworks, 1 Starfield, 2 Warp, 3 Sparklers, 4 Gravity Wells, 5 Galaxies; then 0 for
// frame memory in 4 KB pages, 1 for 2 MB pages.
BENCHMARK(BM_EffectFrameCold)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectFrameWarm)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace
