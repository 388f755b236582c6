// lumivane-render: runs any effect off screen exactly as the saver would, and records,
// measures or inspects it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "effects/driver.h"
#include "effects/effect_factory.h"
#include "effects/preview.h"
#include "json_writer.h"
#include "png_writer.h"
#include "progress_bar.h"
#include "render/colour.h"
#include "render/random.h"
#include "render/surface.h"
#include "render_options.h"
#include "settings/catalogue.h"
#include "settings/loaders.h"
#include "settings/sound_cues.h"
#include "webp_writer.h"

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
  void PlayCue(Cue cue, CuePlace) override {
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

// Draws the preview miniature once into a surface of the given size and writes it. A side of
// 0 draws for a window of that size into the smallest surface there is (one pixel).
int RunPreview(const RenderOptions& options, const RuntimeSettings& runtime) {
  RandomGenerator& random = ProgramRandom();
  if (options.seed) {
    random.Seed(*options.seed);
  } else {
    random.SeedFromClock();
  }
  Surface surface(std::max(options.width, 1), std::max(options.height, 1));
  const Palette palette(runtime.colour);
  DrawPreview(surface, palette, options.width, options.height);
  std::string error;
  if (!options.out.empty() && !WritePng(surface, options.out, error)) return Fail(1, error);
  JsonWriter json;
  json.Field("preview", true);
  json.Field("width", options.width);
  json.Field("height", options.height);
  json.Field("seed", random.seed());
  json.Field("lit_pixels", surface.CountLitPixels());
  std::printf("%s\n", json.Finish().c_str());
  return 0;
}

// The saver's driver off screen: one JSON line per effect run.
int RunDriver(const RenderOptions& options, const RuntimeSettings& runtime,
              const SettingOverrides& overrides) {
  Surface surface(options.width, options.height);
  const SurfaceState view =
      MakeSurfaceState(options.width, options.height, runtime.FocalLength, runtime.PixelSize);
  const Palette palette(runtime.colour);
  SilentCueSink cues;
  EffectSequence sequence({surface, view, palette, cues}, overrides);
  sequence.Restart(runtime, options.tour);
  long shownFrames = 0;
  for (long run = 1; run <= options.runs && shownFrames < options.frames; ++run) {
    const EffectRun& plan = sequence.BeginRun();
    if (plan.shown) {
      while (shownFrames < options.frames) {
        ++shownFrames;
        if (sequence.Frame()) break;
      }
    }
    JsonWriter json;
    json.Field("run", run);
    json.Field("effect", static_cast<int>(plan.request.id));
    json.Field("theme", plan.request.theme);
    json.Field("shown", plan.shown);
    json.Field("frames", plan.shown ? sequence.framesThisRun() : 0);
    if (plan.shown && !sequence.built()) json.Field("built", false);
    std::printf("%s\n", json.Finish().c_str());
  }
  std::string error;
  if (!options.out.empty() && !WritePng(surface, options.out, error)) return Fail(1, error);
  return 0;
}

// Makes the folder that `out` goes into when it is missing, so that a recording lands where it
// was asked for; false with the reason when it cannot be made (nothing is drawn then).
bool MakeOutputFolder(const std::string& out, std::string& error) {
  const std::filesystem::path folder = std::filesystem::path(out).parent_path();
  if (folder.empty()) return true;
  std::error_code code;
  std::filesystem::create_directories(folder, code);
  if (!code && std::filesystem::is_directory(folder, code)) return true;
  error = "cannot make the folder " + folder.string() + " for --out" +
          (code ? ": " + code.message() : std::string(": a file of that name is in the way"));
  return false;
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
  if (!options.out.empty() && !MakeOutputFolder(options.out, error)) return Fail(1, error);

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

  if (options.preview) return RunPreview(options, runtime);

  RandomGenerator& random = ProgramRandom();
  if (options.seed) {
    random.Seed(*options.seed);
  } else {
    random.SeedFromClock();
  }
  if (options.driver) return RunDriver(options, runtime, overrides);

  const EffectId effect =
      options.effect.value_or(static_cast<EffectId>(ClampInteger(runtime.AnimationType, 0, 5)));

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
  long frameDelay = runtime.FrameDelay;
  if (options.demo) {
    // The welcome screen's surface: its own focal length, dot size and frame delay, and the
    // demonstration colours.
    const DemoSurfaceSetup demo = InitSurface(surface);
    view = demo.state;
    frameDelay = demo.FrameDelay;
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

  // An animated WebP holds every K-th frame, each shown for K frame delays.
  std::unique_ptr<WebpAnimation> animation;
  const long every = std::max(options.every, 1L);
  if (IsWebpName(options.out)) {
    animation = std::make_unique<WebpAnimation>(options.width, options.height);
  }
  const long frameDuration = std::clamp(frameDelay * every, 1L, 3600000L);

  std::vector<double> frameMs;
  if (options.bench) frameMs.reserve(static_cast<std::size_t>(options.frames));
  ProgressBar progress(options.frames);
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
    if (animation && frame % every == 0) {
      if (!animation->Add(surface, static_cast<int>(frameDuration), error)) return Fail(1, error);
    } else if (options.every > 0 && frame % options.every == 0) {
      if (!WritePng(surface, NumberedFrameName(options.out, frame), error)) {
        return Fail(1, error);
      }
    }
    progress.Update(frame);
  }
  progress.Finish();
  if (animation) {
    if (!animation->Write(options.out, kMaxWebpBytes, error)) return Fail(1, error);
  } else if (!options.out.empty() && !WritePng(surface, options.out, error)) {
    return Fail(1, error);
  }

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
