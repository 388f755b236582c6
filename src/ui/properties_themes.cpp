#include "ui/properties_themes.h"

#include <QPainter>
#include <algorithm>
#include <array>

#include "render/colour.h"
#include "settings/dialog_layout.h"
#include "settings/theme_fields.h"
#include "settings/themes_fireworks.h"
#include "settings/themes_galaxy.h"
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

// The Galaxy key of every theme field, "" for the axial plane.
const std::array<std::string_view, kGalaxyThemeFields>& GalaxyKeys() {
  static const auto keys = [] {
    std::array<std::string_view, kGalaxyThemeFields> k{};
    for (int i = 0; i < kGalaxyThemeFields; ++i) k[static_cast<std::size_t>(i)] = GalaxyThemeKey(i);
    return k;
  }();
  return keys;
}

}  // namespace

QStringList FireworksThemeNames() {
  QStringList names;
  for (const std::string_view name : kFireworksThemeNames) {
    names << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  }
  return names;
}

QStringList GalaxyThemeNames() {
  QStringList names;
  for (Integer n = 0; n <= kGalaxyThemeCount; ++n) {
    const std::string_view name = GalaxyThemeName(n);
    names << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed();
  }
  return names;
}

std::string FireworksThemeText(int n) {
  if (FireworksOverride()) return FireworksOverride()(n);
  if (n < 1 || n > kFireworksThemeCount) return {};
  return std::string(FireworksTheme(static_cast<Integer>(n)));
}
std::string GalaxyThemeText(int n) {
  if (GalaxyOverride()) return GalaxyOverride()(n);
  if (n < 1 || n > kGalaxyThemeCount) return {};
  return GalaxyTheme(static_cast<Integer>(n));
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
  return GalaxyKeys();
}

void ApplyThemeText(DialogValues& values, std::string_view section,
                    std::span<const std::string_view> keys, std::string_view text) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].empty()) continue;
    const std::string value(ThemeField(text, static_cast<int>(i)));
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
