// Runs an effect the way the saver builds it: settings from a store in a fresh temporary
// folder plus per-run overrides, through the effect factory, on a small surface.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "effects/effect_factory.h"
#include "render/random.h"
#include "settings/catalogue.h"
#include "settings/store.h"
#include "settings_test_util.h"

namespace lmvn::testing {

class EffectHarness : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    ProgramRandom().Seed(20261206);
  }

  // The surface and view for the next effect.
  void Screen(int width, int height, Single focalLength = 1.0f, Integer pixelSize = 1) {
    surface_ = std::make_unique<Surface>(width, height);
    view_ = MakeSurfaceState(width, height, focalLength, pixelSize);
    context_ = std::make_unique<EffectContext>(EffectContext{*surface_, view_, palette_, cues_});
  }

  // Builds the effect through the factory (a surface of 320 x 200 unless Screen was called),
  // on a cleared surface as the driver does.
  template <class E>
  E& Make(EffectId id, bool demo = false, bool scale = false, Single perfMult = 1.0f) {
    if (!surface_) Screen(320, 200);
    surface_->Clear();
    EffectRequest request;
    request.id = id;
    request.demo = demo;
    request.scale = scale;
    request.perfMult = perfMult;
    effect_ = MakeEffect(request, overrides_, *context_);
    E* typed = dynamic_cast<E*>(effect_.get());
    EXPECT_NE(typed, nullptr);
    return *typed;
  }

  // Builds the effect from runtime values directly.
  template <class E, class P>
  E& MakeFrom(const P& params) {
    if (!surface_) Screen(320, 200);
    surface_->Clear();
    auto effect = std::make_unique<E>(params, *context_);
    E& typed = *effect;
    effect_ = std::move(effect);
    return typed;
  }

  void Run(int frames) {
    for (int i = 0; i < frames; ++i) effect_->Frame();
  }

  // Lit pixels of the surface that are black in `allowed`.
  long LitOutside(const Surface& allowed) const {
    long stray = 0;
    for (int y = 0; y < surface_->height(); ++y) {
      for (int x = 0; x < surface_->width(); ++x) {
        if (surface_->GetPixel(x, y) != 0 && allowed.GetPixel(x, y) == 0) ++stray;
      }
    }
    return stray;
  }

  // Makes the store hold, for every key of `section`, an odd text or a random number.
  void StoreOddValues(std::string_view section, std::mt19937& rng);

  // Runs the effect `rounds` times, each from odd stored values on a screen of odd size, focal
  // length and dot size, scaled by 9.9 every other round; `check` sees each run after `frames`
  // frames. The stored values must reach the effect: `count` gives at least 3 values.
  template <class E, class Count, class Check>
  void RunOddSettings(EffectId id, std::string_view section, int rounds, int frames, Count count,
                      Check check) {
    std::mt19937 rng(static_cast<unsigned>(id) + 5);
    std::set<Long> counts;
    for (int round = 0; round < rounds; ++round) {
      StoreOddValues(section, rng);
      const int width = 1 + static_cast<int>(rng() % 300),
                height = 1 + static_cast<int>(rng() % 200);
      const Single focal[] = {0.01f, 0.75f, 1.0f, 9999.0f};
      Screen(width, height, focal[rng() % 4], static_cast<Integer>(1 + rng() % 9));
      palette_.params.Adv_HueStart = static_cast<Integer>(rng());  // not clamped by its loader
      E& effect = Make<E>(id, false, round % 2 == 0, 9.9f);
      counts.insert(count(effect));
      Run(frames);
      check(effect);
    }
    EXPECT_GE(counts.size(), 3u);
  }

  // Overrides for keys of the effect's own section (section_, named by each fixture); several
  // at once as "Key=value Key=value".
  void Set(std::string_view key, std::string_view value) { overrides_.Set(section_, key, value); }
  void Set(std::string_view pairs) {
    std::istringstream in{std::string(pairs)};
    for (std::string pair; in >> pair;)
      Set(pair.substr(0, pair.find('=')), pair.substr(pair.find('=') + 1));
  }

  std::string_view section_;
  SettingOverrides overrides_;
  Palette palette_;
  SilentCueSink cues_;
  std::unique_ptr<Surface> surface_;
  SurfaceState view_{};
  std::unique_ptr<EffectContext> context_;
  std::unique_ptr<Effect> effect_;
};

// Texts that a damaged or hand-edited store may hold for any value.
inline const char* const kOddTexts[] = {
    "0",     "-1",       "1",          "-32768", "32767", "99999999", "-99999999", "1e38",
    "-1e38", "3.4e39",   "abc",        "",       " 12 ",  "0.0001",   "nan",       "inf",
    "-inf",  "0x7fffff", "2147483648", "1,5",    "9999",  "999",      "30000",     "0.5"};

inline void EffectHarness::StoreOddValues(std::string_view section, std::mt19937& rng) {
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kOddTexts) * 2);
  std::uniform_real_distribution<double> number(-2e5, 2e5);
  std::string file;
  file.append("[").append(section).append("]\n");
  for (const KeySpec& key : KeysOfSection(section)) {
    const std::size_t k = pick(rng);
    const std::string text =
        k < std::size(kOddTexts) ? kOddTexts[k] : std::to_string(number(rng) / (1 + k % 7));
    file.append(key.name).append("=").append(text).append("\n");
  }
  PutFile(file);  // the whole file at once: one write per round instead of one per key
}

}  // namespace lmvn::testing
