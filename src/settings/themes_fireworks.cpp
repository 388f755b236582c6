#include "settings/themes_fireworks.h"

#include <charconv>

#include "settings/value_text.h"

namespace lmvn {

const std::array<std::string_view, kFireworksThemeCount + 1> kFireworksThemeNames = {
    "< NONE >",
    "Generic:  Random Mixed Bag",
    "Sparkles:  Scintillators Only",
    "Explosive:  Jet Bursts Only",
    "White XMas:  Scintillators and Jets",
    "Mega Shells:  Multi-Bursts Only",
    "Ring World:  Ring-Bursts Only",
    "Disk World:  Disk-Bursts Only",
    "Sky Loopers:  Twister-Bursts Only",
    "Firecrackers:  Quickly Popping Bursts",
    "Sphere Space:  Large Expanding Spheres",
    "String Space:  Spline Warping Madness",
    "Ground Burst:  Explosions from the Ground",
    "Grand Finale:  Looks great on a P200-MMX",
};

const std::array<std::string_view, 39> kFireworksThemeKeys = {
    "FireWorks",       "FireSparks",        "FireLength",      "FireSymmetry",
    "FireSpeed",       "FirePersist",       "FireGravity",     "FireSizeDev",
    "FireDamping",     "FireLaunchPct",     "FireLaunchPixel", "FireLaunchRadius",
    "FireLaunchSteps", "FireLaunchPersist", "FireSplinePct",   "FireSplineKnot",
    "FirePatternPct",  "FireMultiPct",      "FireMultiAge",    "FireMultiBurst",
    "FireMultiMoment", "FireBurstPct",      "FireBurstAge",    "FireBurstCount",
    "FireBurstRadius", "FireBurstShell",    "FireScintPct",    "FireScintStyle",
    "FireSparkPct",    "FireSparkAge",      "FireSparkPix",    "FireRingPct",
    "FireRingEmb",     "FireRingDeg",       "FireTwistPct",    "FireTwistCnt",
    "FireTwistDeg",    "FireTwistRad",      "FireTwistExt",
};

namespace {

// Groups: main (0-8), launch (9-13), dispersion pattern (14-16), multi-burst (17-20), jet
// burst (21-25), scintillator (26-27), sparkler (28-30), rings (31-33), twisters (34-38).
constexpr std::string_view kThemes[kFireworksThemeCount] = {
    "15,400,10,1,16,0.96,0.03,2,0.2,    100,50,1,45,0.8,   0,10,25,  20,25,10,1,  10,40,6,2,1,  "
    "5,9,   10,30,9, 10,2,5,   10,10,15,2,20",
    "16,600,10,1,8,0.96,0.05,3,0.125,   100,50,1,40,0.75,  0,10,25,  0,25,10,1,   0,30,6,2,0,   "
    "100,9, 0,30,9,  0,3,5,    0,20,20,1,10",
    "8,500,10,1,10,0.96,0.05,3,0.3,     100,75,1,40,0.85,  0,10,0,   0,25,10,1,   100,40,6,4,0, "
    "0,9,   0,30,9,  0,3,5,    0,20,20,1,10",
    "12,500,10,1,10,0.96,0.05,3,0.2,    100,75,1,40,0.85,  0,10,25,  0,25,10,1,   50,30,6,3,0,  "
    "50,9,  0,30,9,  0,3,5,    0,20,20,1,10",
    "12,500,10,1,12,0.96,0.025,3,0.2,   100,50,1,50,0.85,  0,10,25,  100,30,12,1, 0,30,6,2,0,   "
    "0,9,   0,30,9,  0,3,5,    0,20,20,1,10",
    "8,600,8,1,10,0.98,0.02,3,0.075,    100,50,1,40,0.85,  0,10,0,   0,30,12,1,   0,30,6,2,0,   "
    "0,9,   0,30,9,  100,3,0,  0,20,20,1,10",
    "5,1400,10,0.5,10,0.98,0.01,4,0.01, 100,100,1,60,0.85, 0,10,0,   0,30,12,1,   0,30,6,2,0,   "
    "0,9,   0,30,9,  100,1,10, 0,20,20,1,10",
    "10,400,8,1,16,0.97,0.03,1,0.1,     100,50,1,40,0.85,  0,10,0,   0,30,12,1,   0,30,6,2,0,   "
    "0,9,   0,30,9,  0,3,5,    100,20,20,1,10",
    "20,350,8,1,4,0.75,0.1,10,0.3,      0,75,1,40,0.85,    0,10,20,  0,25,8,1,    0,30,6,2,0,   "
    "0,9,   0,30,9,  0,3,5,    0,20,20,1,10",
    "4,1600,5,1,2,0.985,0,25,0.02,      0,75,2,50,0.85,    0,10,0,   0,25,10,1,   0,30,6,2,0,   "
    "0,9,   0,30,9,  0,3,5,    0,20,20,1,10",
    "8,600,6,1,3,0.985,0,4,0.01,        0,50,2,40,0.75,    100,12,0, 0,25,10,1,   0,30,6,2,0,   "
    "0,9,   0,30,9,  0,3,5,    0,20,20,1,10",
    "15,400,12,1,16,0.96,0.02,2,0.2,    100,400,32,1,0.92, 0,10,20,  0,40,10,1,   0,30,5,2,0,   "
    "0,5,   0,30,9,  0,3,5,    0,20,20,1,10",
    "20,550,10,1,25,0.96,0.03,1,0.2,    100,50,1,40,0.8,   0,10,25,  20,30,14,1,  15,20,8,4,1,  "
    "5,5,   10,30,9, 10,2,5,   10,12,15,2,30",
};

std::optional<double> FieldNumber(std::string_view field) {
  if (!IsNumericText(field)) return std::nullopt;
  const std::string_view digits = TrimBlanks(field);
  double value = 0;
  const char* first = digits.data();
  if (!digits.empty() && digits.front() == '+') ++first;
  const auto result = std::from_chars(first, digits.data() + digits.size(), value);
  if (result.ec != std::errc()) return std::nullopt;
  return value;
}

class ThemeFiller {
 public:
  ThemeFiller(std::string_view text, Single perfMult) : text_(text), perfMult_(perfMult) {}

  void Fill(std::string_view key, Integer& out) const {
    const auto value = Field(key);
    if (!value) return;
    if (key == "FireSparks") {
      out = CIntOr(*value * static_cast<double>(perfMult_), CIntOr(*value, out));
    } else {
      out = CIntOr(*value, out);
    }
  }
  void Fill(std::string_view key, Single& out) const {
    const auto value = Field(key);
    if (value) out = static_cast<Single>(*value);
  }
  void Fill(std::string_view key, bool& out) const {
    const auto value = Field(key);
    if (value) out = CIntOr(*value, 0) > 0;
  }

 private:
  std::optional<double> Field(std::string_view key) const {
    for (std::size_t k = 0; k < kFireworksThemeKeys.size(); ++k) {
      if (kFireworksThemeKeys[k] == key)
        return FieldNumber(ThemeTextField(text_, static_cast<int>(k)));
    }
    return std::nullopt;
  }

  std::string_view text_;
  Single perfMult_;
};

}  // namespace

std::string_view FireworksTheme(Integer n) {
  if (n < 1 || n > kFireworksThemeCount) return {};
  return kThemes[n - 1];
}

std::string_view ThemeTextField(std::string_view text, int k) {
  if (k < 0) return {};
  std::size_t p = 0;  // just past the k-th comma (0: the start)
  for (int i = 0; i < k; ++i) {
    const auto comma = text.find(',', p);
    if (comma == std::string_view::npos) return {};  // fewer than k + 1 fields
    p = comma + 1;
  }
  auto q = text.find(',', p);
  if (q == std::string_view::npos) q = text.size();  // the appended comma
  std::string_view field = text.substr(p, q - p);
  const auto begin = field.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return field.substr(begin, field.find_last_not_of(' ') - begin + 1);
}

bool ApplyFireworksTheme(Integer n, Single perfMult, FireworksSettings& settings) {
  const std::string_view text = FireworksTheme(n);
  if (text.empty()) return false;
  const ThemeFiller filler(text, perfMult);
#define LMVN_FILL_THEME_MEMBER(name, ...) filler.Fill(#name, settings.name);
  LMVN_FIREWORKS_KEYS(LMVN_FILL_THEME_MEMBER)
#undef LMVN_FILL_THEME_MEMBER
  return true;
}

}  // namespace lmvn
