// The command line of lumivane-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "effects/effect_catalogue.h"

namespace lmvn {

struct SettingOverride {
  std::string section, key, value;
};

struct RenderOptions {
  std::optional<EffectId> effect;  // empty: the stored AnimationType
  long frames = 300;
  int width = 1280;
  int height = 720;
  std::optional<std::uint64_t> seed;  // empty: from the clock
  std::vector<SettingOverride> overrides;
  std::string out;       // PNG of the last frame, or an animated WebP; empty: none
  long every = 0;        // with out: every K-th frame (numbered PNGs, or the WebP's frames)
  long theme = 0;        // a built-in theme (checked against the effect later); 0: the store
  bool scale = false;    // multiply the particle counts by Adv_PerfMult, as the cycling driver does
  bool demo = false;     // the effect's demonstration values
  bool cues = false;     // print one JSON line per sound cue
  bool preview = false;  // draw the preview miniature once instead of an effect
  bool bench = false;
  bool showSettings = false;
  bool help = false;
  // The saver's driver instead of one effect: --driver (the stored choice and cycling) or
  // --tour (the welcome tour); stops after `frames` frames shown in all or `runs` runs.
  bool driver = false;
  bool tour = false;
  long runs = 1000;
};

// Parses argv[1..]. Empty and a one-line message in `error` when the command line is wrong.
std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

// The PNG name of frame `frame` when every K-th frame is written: "out.png" -> "out-000120.png".
std::string NumberedFrameName(const std::string& out, long frame);

extern const char* const kRenderUsage;

}  // namespace lmvn
