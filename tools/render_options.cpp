#include "render_options.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

#include "png_writer.h"
#include "render/surface.h"
#include "settings/file_path.h"
#include "webp_writer.h"

namespace lmvn {

const char* const kRenderUsage =
    "usage: lumivane-render [--effect N|NAME] [--theme N] [--scale] [--demo] [--frames N]\n"
    "                       [--size WxH] [--seed N] [--set Section.Key=Value]...\n"
    "                       [--out FILE.png|FILE.webp [--every K]] [--cues] [--bench]\n"
    "                       [--show-settings]\n"
    "       lumivane-render --preview [--size WxH] [--seed N] [--out FILE.png]\n"
    "       lumivane-render --driver|--tour [--runs K] [--frames N] [--size WxH] ...\n"
    "Runs an effect off screen exactly as the saver would, with the settings of the store.\n"
    "  --effect N|NAME   0-5 or fireworks, starfield, warp, sparklers, gravity, galaxies\n"
    "                    (default: the stored AnimationType)\n"
    "  --theme N         a built-in theme instead of the stored values: Fireworks 1-13,\n"
    "                    Galaxies 1-16; 0 (the default) reads the store\n"
    "  --scale           multiply the particle counts by Adv_PerfMult, as when cycling\n"
    "  --demo            run the effect's welcome-screen demonstration values\n"
    "  --frames N        frames to run (default 300)\n"
    "  --size WxH        surface size in pixels (default 1280x720)\n"
    "  --seed N          random seed (default: from the clock)\n"
    "  --set S.K=V       use V for key K of section S in this run; the store is not written\n"
    "  --out FILE.png    write the last frame; with --every K, every K-th frame as\n"
    "                    FILE-NNNNNN.png\n"
    "  --out FILE.webp   write every frame (with --every K, every K-th) as an animated WebP\n"
    "                    shown at the frame delay's pace; at most 4096 frames and about\n"
    "                    64 MB, refused before drawing when larger\n"
    "  --cues            print one JSON line per sound cue raised, sound on or off\n"
    "  --preview         draw the preview miniature once (a side may be 0)\n"
    "  --bench           measure the effect's own time per frame\n"
    "  --show-settings   print the loaded settings as JSON and exit\n"
    "  --driver          run the saver's driver (chosen effect or cycling) and print one\n"
    "                    JSON line per effect run\n"
    "  --tour            the same with the first-run welcome tour\n"
    "  --runs K          with --driver or --tour: stop after K runs (default 1000)\n";

namespace {

constexpr int kMaxSide = Surface::kMaxSide;  // the largest surface there is
constexpr long kMaxFrames = 100000000;
constexpr long kMaxTheme = 32767;  // checked against the effect's own themes once it is known

template <typename T>
bool ParseNumber(std::string_view text, T& out) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

bool ParseSize(std::string_view text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string_view::npos) return false;
  return ParseNumber(text.substr(0, x), width) && ParseNumber(text.substr(x + 1), height) &&
         width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide;
}

bool ParseOverride(std::string_view text, SettingOverride& out) {
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string_view name = text.substr(0, eq);
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) return false;
  out.section = std::string(name.substr(0, dot));
  out.key = std::string(name.substr(dot + 1));
  out.value = std::string(text.substr(eq + 1));
  return true;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error) {
  RenderOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string_view& out) {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string_view v;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--bench") {
      options.bench = true;
    } else if (arg == "--preview") {
      options.preview = true;
    } else if (arg == "--scale") {
      options.scale = true;
    } else if (arg == "--demo") {
      options.demo = true;
    } else if (arg == "--cues") {
      options.cues = true;
    } else if (arg == "--theme") {
      if (!value(v)) return std::nullopt;
      if (!ParseNumber(v, options.theme) || options.theme < 0 || options.theme > kMaxTheme) {
        error = "--theme takes a theme number (Fireworks 1-13, Galaxies 1-16; 0: the store)";
        return std::nullopt;
      }
    } else if (arg == "--show-settings") {
      options.showSettings = true;
    } else if (arg == "--driver") {
      options.driver = true;
    } else if (arg == "--tour") {
      options.driver = true;
      options.tour = true;
    } else if (arg == "--runs") {
      if (!value(v)) return std::nullopt;
      if (!ParseNumber(v, options.runs) || options.runs < 0 || options.runs > kMaxFrames) {
        error = "--runs takes a whole number from 0 to " + std::to_string(kMaxFrames);
        return std::nullopt;
      }
    } else if (arg == "--effect") {
      if (!value(v)) return std::nullopt;
      options.effect = ParseEffect(v);
      if (!options.effect) {
        error = "unknown effect '" + std::string(v) +
                "' (use 0-5 or fireworks, starfield, warp, sparklers, gravity, galaxies)";
        return std::nullopt;
      }
    } else if (arg == "--frames") {
      if (!value(v)) return std::nullopt;
      if (!ParseNumber(v, options.frames) || options.frames < 0 || options.frames > kMaxFrames) {
        error = "--frames takes a whole number from 0 to " + std::to_string(kMaxFrames);
        return std::nullopt;
      }
    } else if (arg == "--size") {
      if (!value(v)) return std::nullopt;
      if (!ParseSize(v, options.width, options.height)) {
        error = "--size takes WxH with each side from 1 to " + std::to_string(kMaxSide);
        return std::nullopt;
      }
    } else if (arg == "--seed") {
      if (!value(v)) return std::nullopt;
      std::uint64_t seed = 0;
      if (!ParseNumber(v, seed)) {
        error = "--seed takes a whole number from 0 to " +
                std::to_string(std::numeric_limits<std::uint64_t>::max());
        return std::nullopt;
      }
      options.seed = seed;
    } else if (arg == "--set") {
      if (!value(v)) return std::nullopt;
      SettingOverride override;
      if (!ParseOverride(v, override)) {
        error = "--set takes Section.Key=Value, for example Starfield.Star_Stars=500";
        return std::nullopt;
      }
      options.overrides.push_back(std::move(override));
    } else if (arg == "--out") {
      if (!value(v)) return std::nullopt;
      if (v.empty()) {
        error = "--out needs a file name";
        return std::nullopt;
      }
      options.out = std::string(v);
    } else if (arg == "--every") {
      if (!value(v)) return std::nullopt;
      if (!ParseNumber(v, options.every) || options.every < 1) {
        error = "--every takes a whole number of at least 1";
        return std::nullopt;
      }
    } else {
      error = "unknown option '" + arg + "' (try --help)";
      return std::nullopt;
    }
  }
  if (!options.preview && (options.width == 0 || options.height == 0)) {
    error = "--size takes WxH with each side from 1 to " + std::to_string(kMaxSide);
    return std::nullopt;
  }
  if (options.theme > 0) {
    const Integer themes = options.effect ? ThemeCount(*options.effect) : 0;
    if (options.theme > themes) {
      error = themes > 0 ? "--theme takes 1 to " + std::to_string(themes) + " for this effect"
                         : "--theme needs --effect with built-in themes (fireworks, galaxies)";
      return std::nullopt;
    }
  }
  if (options.driver &&
      (options.effect || options.bench || options.theme || options.scale || options.demo)) {
    error =
        "--driver and --tour choose their own effects: no --effect, --theme, --scale, --demo or "
        "--bench";
    return std::nullopt;
  }
  if (options.every > 0 && options.out.empty()) {
    error = "--every needs --out";
    return std::nullopt;
  }
  if (!options.out.empty() && !IsPngName(options.out) && !IsWebpName(options.out)) {
    // The file's contents follow its name: a name that is neither would get misleading bytes.
    error = "--out " + options.out + ": the name must end in .png or .webp";
    return std::nullopt;
  }
  if (IsWebpName(options.out)) {
    // An animation: refused before anything is drawn when it would be too large.
    if (options.driver || options.preview || options.showSettings) {
      error =
          "--out FILE.webp records one effect: not with --driver, --tour, --preview or "
          "--show-settings";
      return std::nullopt;
    }
    const long written = options.frames / std::max(options.every, 1L);
    const std::uint64_t bytes = EstimatedWebpBytes(written, options.width, options.height);
    if (written < 1) {
      error = "--out FILE.webp needs at least one frame to write (--frames at least --every)";
    } else if (written > kMaxWebpFrames) {
      error = "--out FILE.webp would hold " + std::to_string(written) + " frames, more than " +
              std::to_string(kMaxWebpFrames) + " (use fewer --frames or --every K)";
    } else if (bytes > kMaxWebpBytes) {
      error = "--out FILE.webp would take about " + std::to_string(bytes >> 20) +
              " MB, more than " + std::to_string(kMaxWebpBytes >> 20) +
              " MB (use fewer --frames, --every K or a smaller --size)";
    }
    if (!error.empty()) return std::nullopt;
  }
  return options;
}

std::string NumberedFrameName(const std::string& out, long frame) {
  std::string number = std::to_string(frame);
  if (number.size() < 6) number.insert(0, 6 - number.size(), '0');
  const std::string_view name = FileName(out);
  const auto dotInName = name.rfind('.');
  if (dotInName == std::string_view::npos) return out + "-" + number;
  const std::size_t dot = out.size() - name.size() + dotInName;
  return out.substr(0, dot) + "-" + number + out.substr(dot);
}

}  // namespace lmvn
