// lumivane-render: runs any effect off screen exactly as the saver would, and records,
// measures or inspects it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "effects/effect_factory.h"
#include "json_writer.h"
#include "png_writer.h"
#include "render/colour.h"
#include "render/random.h"
#include "render/surface.h"
#include "render_options.h"
#include "settings/catalogue.h"
#include "settings/loaders.h"
#include "settings/sound_cues.h"

namespace lmvn {
namespace {

constexpr int kUsageError = 2;
constexpr int kNotBuilt = 3;

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "lumivane-render: %s\n", message.c_str());
  return status;
}

void ShowSettings(const RuntimeSettings& runtime, const SettingOverrides& overrides) {
  JsonWriter json;
  auto field = [&json](std::string_view name, const auto& value) { json.Field(name, value); };
  VisitSettings(runtime.colour, field);
  json.Field("PixelSize", runtime.PixelSize);
  json.Field("FocalLength", runtime.FocalLength);
  json.Field("FrameDelay", runtime.FrameDelay);
  json.Field("FramesPerEffect", runtime.FramesPerEffect);
  json.Field("PerfMult", runtime.PerfMult);
  json.Field("LockMessage", runtime.LockMessage);
  json.Field("SoundOn", runtime.SoundOn);
  VisitSettings(runtime.SoundFiles, field);
  VisitSettings(LoadFireworksSettings(0, false, runtime.PerfMult, overrides), field);
  VisitSettings(LoadStarfieldSettings(false, runtime.PerfMult, overrides), field);
  VisitSettings(LoadWarpSettings(false, runtime.PerfMult, overrides), field);
  VisitSettings(LoadSparklerSettings(false, runtime.PerfMult, overrides), field);
  VisitSettings(LoadGravityWellSettings(false, runtime.PerfMult, overrides), field);
  VisitSettings(LoadGalaxySettings(0, false, runtime.PerfMult, overrides), field);
  std::printf("%s\n", json.Finish().c_str());
}

// Prints each cue raised as one JSON line (when asked to) with the frame that raised it (0:
// while the effect was set up) and the wave file the settings name for it.
class CueRecorder final : public CueSink {
 public:
  CueRecorder(SoundSettings sound, bool print) : sound_(std::move(sound)), print_(print) {}
  void PlayCue(Cue cue) override {
    if (!print_) return;
    JsonWriter json;
    json.Field("frame", frame);
    json.Field("cue", CueKey(cue));
    json.Field("file", CueFileSetting(sound_, cue));
    std::printf("%s\n", json.Finish().c_str());
  }
  long frame = 0;

 private:
  SoundSettings sound_;
  bool print_;
};

double Percentile(std::vector<double> samples, double p) {
  if (samples.empty()) return 0.0;
  const auto rank = static_cast<std::size_t>(p * static_cast<double>(samples.size() - 1) + 0.5);
  std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(rank),
                   samples.end());
  return samples[rank];
}

int Run(const std::vector<std::string>& args) {
  std::string error;
  const auto parsed = ParseRenderOptions(args, error);
  if (!parsed) return Fail(kUsageError, error);
  const RenderOptions& options = *parsed;
  if (options.help) {
    std::fputs(kRenderUsage, stdout);
    return 0;
  }

  SettingOverrides overrides;
  for (const SettingOverride& o : options.overrides) {
    const KeySpec* key = FindKey(o.section, o.key);
    if (!key) return Fail(kUsageError, "no setting " + o.section + "." + o.key);
    overrides.Set(o.section, o.key, o.value);
  }

  const RuntimeSettings runtime = LoadRuntimeSettings(overrides);
  if (options.showSettings) {
    ShowSettings(runtime, overrides);
    return 0;
  }

  const EffectId effect =
      options.effect.value_or(static_cast<EffectId>(ClampInteger(runtime.AnimationType, 0, 5)));
  RandomGenerator& random = ProgramRandom();
  if (options.seed) {
    random.Seed(*options.seed);
  } else {
    random.SeedFromClock();
  }

  if (options.theme > ThemeCount(effect)) {
    const Integer count = ThemeCount(effect);
    return Fail(kUsageError,
                "--theme " + std::to_string(options.theme) + ": " +
                    std::string(InfoOf(effect).title) +
                    (count > 0 ? " has themes 1 to " + std::to_string(count) : " has no themes"));
  }

  Surface surface(options.width, options.height);
  SurfaceState view =
      MakeSurfaceState(options.width, options.height, runtime.FocalLength, runtime.PixelSize);
  ColourParams colour = runtime.colour;
  if (options.demo) {
    // The welcome screen's surface: its own focal length and dot size, and the demonstration
    // colours.
    view = InitSurface(surface).state;
    ApplyDemoColourDefaults(colour);
    if (options.seed) random.Seed(*options.seed);  // InitSurface re-seeds from the clock
  }
  const Palette palette(colour);
  CueRecorder cues(LoadSoundSettings(overrides), options.cues);
  const EffectContext context{surface, view, palette, cues};
  EffectRequest request;
  request.id = effect;
  request.theme = static_cast<Integer>(options.theme);
  request.scale = options.scale;
  request.perfMult = runtime.PerfMult;
  request.demo = options.demo;
  auto run = MakeEffect(request, overrides, context);
  if (!run) {
    return Fail(kNotBuilt, "the " + std::string(InfoOf(effect).title) + " effect is not built yet");
  }

  std::vector<double> frameMs;
  if (options.bench) frameMs.reserve(static_cast<std::size_t>(options.frames));
  for (long frame = 1; frame <= options.frames; ++frame) {
    cues.frame = frame;
    if (options.bench) {
      const auto start = std::chrono::steady_clock::now();
      run->Frame();
      const auto end = std::chrono::steady_clock::now();
      frameMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    } else {
      run->Frame();
    }
    if (options.every > 0 && frame % options.every == 0) {
      if (!WritePng(surface, NumberedFrameName(options.out, frame), error)) {
        return Fail(1, error);
      }
    }
  }
  if (!options.out.empty() && !WritePng(surface, options.out, error)) return Fail(1, error);

  JsonWriter json;
  json.Field("effect", InfoOf(effect).name);
  json.Field("effect_number", static_cast<int>(effect));
  json.Field("theme", options.theme);
  json.Field("frames", options.frames);
  json.Field("width", options.width);
  json.Field("height", options.height);
  json.Field("seed", random.seed());
  json.Field("lit_pixels", surface.CountLitPixels());
  if (options.bench) {
    json.Field("ms_per_frame_median", Percentile(frameMs, 0.5));
    json.Field("ms_per_frame_p99", Percentile(frameMs, 0.99));
  }
  std::printf("%s\n", json.Finish().c_str());
  return 0;
}

}  // namespace
}  // namespace lmvn

int main(int argc, char** argv) {
  return lmvn::Run(std::vector<std::string>(argv + 1, argv + argc));
}
