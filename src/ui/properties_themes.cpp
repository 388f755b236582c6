#include "ui/properties_themes.h"

#include <QPainter>
#include <algorithm>
#include <array>

#include "render/colour.h"
#include "settings/dialog_layout.h"
#include "settings/themes_fireworks.h"
#include "settings/value_text.h"

namespace lmvn::ui {
namespace {

std::function<std::string(int)>& FireworksOverride() {
  static std::function<std::string(int)> texts;
  return texts;
}
std::function<std::string(int)>& GalaxyOverride() {
  static std::function<std::string(int)> texts;
  return texts;
}

constexpr std::array<std::string_view, 39> kFireworksThemeKeys = {
    "FireWorks",       "FireSparks",        "FireLength",      "FireSymmetry",
    "FireSpeed",       "FirePersist",       "FireGravity",     "FireSizeDev",
    "FireDamping",     "FireLaunchPct",     "FireLaunchPixel", "FireLaunchRadius",
    "FireLaunchSteps", "FireLaunchPersist", "FireSplinePct",   "FireSplineKnot",
    "FirePatternPct",  "FireMultiPct",      "FireMultiAge",    "FireMultiBurst",
    "FireMultiMoment", "FireBurstPct",      "FireBurstAge",    "FireBurstCount",
    "FireBurstRadius", "FireBurstShell",    "FireScintPct",    "FireScintStyle",
    "FireSparkPct",    "FireSparkAge",      "FireSparkPix",    "FireRingPct",
    "FireRingEmb",     "FireRingDeg",       "FireTwistPct",    "FireTwistCnt",
    "FireTwistDeg",    "FireTwistRad",      "FireTwistExt"};

constexpr std::array<std::string_view, 38> kGalaxyThemeKeys = {"Galaxy_Stars",
                                                               "Galaxy_Radius",
                                                               "Galaxy_Rotation",
                                                               "Galaxy_Distance",
                                                               "Galaxy_Velocity",
                                                               "Galaxy_Trail",
                                                               "",
                                                               "Galaxy_ColorMult",
                                                               "Galaxy_RadiusExp",
                                                               "Galaxy_HeightExp",
                                                               "Galaxy_GHW_Ratio",
                                                               "Galaxy_AngleTilt",
                                                               "Galaxy_AngleTInc",
                                                               "Galaxy_HWheelIdx",
                                                               "Galaxy_ColorComp",
                                                               "Galaxy_Profile",
                                                               "Galaxy_NewFreq",
                                                               "Galaxy_NewFrames",
                                                               "Galaxy_NewExtMult",
                                                               "Galaxy_NovaFreq",
                                                               "Galaxy_NovaFrames",
                                                               "Galaxy_NovaExtMult",
                                                               "Galaxy_BurstFreq",
                                                               "Galaxy_BurstStars",
                                                               "Galaxy_BurstSpeed",
                                                               "Galaxy_BurstPersist",
                                                               "Galaxy_CometFreq",
                                                               "Galaxy_CometStars",
                                                               "Galaxy_CometOrbit",
                                                               "Galaxy_CometSpeed",
                                                               "Galaxy_CometSWind",
                                                               "Galaxy_CometSPersist",
                                                               "Galaxy_CometCPersist",
                                                               "Galaxy_AmbStars",
                                                               "Galaxy_AmbRadius",
                                                               "Galaxy_AmbSymmetry",
                                                               "Galaxy_AmbPersist",
                                                               "Galaxy_AmbCAgeInc"};

}  // namespace

QStringList FireworksThemeNames() {
  return {"< NONE >",
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
          "Grand Finale:  Looks great on a P200-MMX"};
}

QStringList GalaxyThemeNames() {
  return {"< NONE >",
          "Classical",
          "Vast Red-Orange Disk",
          "Cool Green Sphere",
          "Holiday Ornament",
          "Dual-Dome Interior",
          "Solar Wind Comets",
          "Twisting Ring World",
          "Huge Hollow Shell",
          "Cylindrical Hourglass",
          "Cylinder-Disk Hybrid",
          "Rotating Comet Disk",
          "Spine-Disk Hybrid",
          "Polar Hemispheres",
          "Diamond in the Sky",
          "Unstable Activity",
          "Dark Matter Sparklers"};
}

// The theme tables are built by the settings layer; until the dialog is linked with them the
// pickers list the themes and fill no field (the Fireworks themes are linked).
std::string FireworksThemeText(int n) {
  if (FireworksOverride()) return FireworksOverride()(n);
  if (n < 1 || n > kFireworksThemeCount) return {};
  return std::string(FireworksTheme(static_cast<Integer>(n)));
}
std::string GalaxyThemeText(int n) {
  return GalaxyOverride() ? GalaxyOverride()(n) : std::string();
}

void SetThemeTextsForTesting(std::function<std::string(int)> fireworks,
                             std::function<std::string(int)> galaxy) {
  FireworksOverride() = std::move(fireworks);
  GalaxyOverride() = std::move(galaxy);
}

std::span<const std::string_view> FireworksThemeKeys() {
  return kFireworksThemeKeys;
}
std::span<const std::string_view> GalaxyThemeKeys() {
  return kGalaxyThemeKeys;
}

std::string ThemeField(std::string_view text, int k) {
  const std::string withComma = std::string(text) + ",";
  std::size_t start = 0;
  for (int i = 0; i < k; ++i) {
    const std::size_t comma = withComma.find(',', start);
    if (comma == std::string::npos || comma + 1 >= withComma.size()) return {};
    start = comma + 1;
  }
  const std::size_t end = withComma.find(',', start);
  if (end == std::string::npos) return {};
  return std::string(TrimBlanks(std::string_view(withComma).substr(start, end - start)));
}

void ApplyThemeText(DialogValues& values, std::string_view section,
                    std::span<const std::string_view> keys, std::string_view text) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].empty()) continue;
    const std::string value = ThemeField(text, static_cast<int>(i));
    if (value.empty()) continue;
    const DialogField* field = FindDialogField(section, keys[i]);
    if (field == nullptr) continue;
    switch (field->kind) {
      case FieldKind::Switch:
      case FieldKind::SwitchNonZero:
        values.Set(section, keys[i], IntegerFromText(value, 0) == 1 ? "1" : "0");
        break;
      case FieldKind::List:
        values.Set(section, keys[i], std::to_string(IntegerFromText(value, 0)));
        break;
      default:
        values.Set(section, keys[i], value);
    }
  }
}

ProfileSketch::ProfileSketch(QWidget* parent) : QWidget(parent) {
  setObjectName("picGalProfile");
  setAccessibleName("Galaxy profile sketch");
  setMinimumSize(64, 48);
  setAutoFillBackground(true);
}

void ProfileSketch::setProfile(int profile) {
  profile_ = profile;
  update();
}

void ProfileSketch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().base());
  painter.setPen(QPen(palette().text().color(), 1.5));
  painter.setClipRect(rect());
  const double w = width() - 1, h = height() - 1, k = h / w;
  constexpr double kPi = 3.1415927;
  // The box's circle rule: semi-axes r and r * a when a < 1, else r / a and r.
  const auto ellipse = [](double cx, double cy, double r, double a) {
    const double rx = a < 1 ? r : r / a, ry = a < 1 ? r * a : r;
    return QRectF(cx - rx, cy - ry, 2 * rx, 2 * ry);
  };
  const auto arc = [&](double cx, double cy, double r, double from, double to, double a) {
    const int start = static_cast<int>(from * 180 / kPi * 16);
    const int span = static_cast<int>((to - from) * 180 / kPi * 16);
    painter.drawArc(ellipse(cx, cy, r, a), start, span);
  };
  switch (profile_) {
    case 0:
      arc(0, 1.28 * h, 0.5 * w, kPi / 4, kPi / 2, 2.5 * k);
      arc(0.75 * w, 0.35 * h, 0.4 * w, kPi, 1.5 * kPi, k);
      arc(0.75 * w, h, 0.25 * w, 0, kPi / 2, k);
      break;
    case 1:
      arc(0, 0.25 * h, 0.1 * w, 0, kPi / 2, 2.5);
      arc(0.75 * w, 0.25 * h, 0.65 * w, kPi, 1.5 * kPi, 0.5 / 0.65);
      arc(0.75 * w, h, 0.25 * w, 0, kPi / 2, 1);
      break;
    case 2:
      painter.drawEllipse(ellipse(0, h, w, k));
      break;
    case 3:
      painter.drawLine(QPointF(0, 0), QPointF(w, h));
      break;
    case 4:
      painter.drawEllipse(ellipse(w, 0, w, k));
      break;
    case 5:
      painter.drawEllipse(ellipse(0, 0, w, k));
      break;
    case 6:
      painter.drawEllipse(ellipse(w, h, w, k));
      break;
    default:
      break;
  }
}

HueSample::HueSample(QWidget* parent) : QWidget(parent) {
  setMinimumSize(24, 16);
}

void HueSample::setColour(int red, int green, int blue, int hue) {
  red_ = red;
  green_ = green;
  blue_ = blue;
  hue_ = hue;
  ColourParams params;
  params.ColorRed = static_cast<Integer>(std::clamp(red, 0, 100));
  params.ColorGrn = static_cast<Integer>(std::clamp(green, 0, 100));
  params.ColorBlu = static_cast<Integer>(std::clamp(blue, 0, 100));
  const Palette palette(params);
  const Colour c =
      palette.HueWheel[static_cast<std::size_t>(std::clamp(hue < 0 ? 0 : hue, 0, 359))];
  colour_ = QColor(static_cast<int>(c & 0xff), static_cast<int>((c >> 8) & 0xff),
                   static_cast<int>((c >> 16) & 0xff));
  update();
}

void HueSample::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (hue_ >= 0) {
    painter.fillRect(rect(), colour_);
  } else {
    // The whole wheel of these weights, hue 0 at the left.
    ColourParams params;
    params.ColorRed = static_cast<Integer>(std::clamp(red_, 0, 100));
    params.ColorGrn = static_cast<Integer>(std::clamp(green_, 0, 100));
    params.ColorBlu = static_cast<Integer>(std::clamp(blue_, 0, 100));
    const Palette palette(params);
    for (int x = 0; x < width(); ++x) {
      const Colour c = palette.HueWheel[static_cast<std::size_t>(x * 360 / std::max(width(), 1))];
      painter.setPen(QColor(static_cast<int>(c & 0xff), static_cast<int>((c >> 8) & 0xff),
                            static_cast<int>((c >> 16) & 0xff)));
      painter.drawLine(x, 0, x, height());
    }
  }
  painter.setPen(palette().mid().color());
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace lmvn::ui
