// What the Properties dialog shows of the built-in themes: the names in its theme pickers, the
// theme texts it copies into the Fireworks and Galaxy fields, the galaxy profile sketch and the
// hue samples.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "settings/dialog_values.h"

namespace lmvn::ui {

// The theme names, "< NONE >" first; the list index is the theme number.
QStringList FireworksThemeNames();
QStringList GalaxyThemeNames();

// The comma-separated theme text of theme `n` (empty outside the built-in themes).
std::string FireworksThemeText(int n);
std::string GalaxyThemeText(int n);
// Tests put their own theme texts in place of the built-in ones (nullptr: the built-in ones).
void SetThemeTextsForTesting(std::function<std::string(int)> fireworks,
                             std::function<std::string(int)> galaxy);

// The key each theme field fills, by field position ("" for a field with no key: the Galaxy
// axial plane).
std::span<const std::string_view> FireworksThemeKeys();
std::span<const std::string_view> GalaxyThemeKeys();

// The trimmed k-th field of a theme text: the text between the k-th and the next comma after
// one comma has been appended; empty beyond the last field.
std::string ThemeField(std::string_view text, int k);

// Copies theme `text` into `values` of `section`: position i into keys[i]; switch fields as "1"
// or "0", list fields as their index, every other field as its trimmed text. Fields missing
// from the text change nothing.
void ApplyThemeText(DialogValues& values, std::string_view section,
                    std::span<const std::string_view> keys, std::string_view text);

// The side view of a galaxy's envelope for one Galaxy_Profile.
class ProfileSketch : public QWidget {
  Q_OBJECT
 public:
  explicit ProfileSketch(QWidget* parent = nullptr);
  void setProfile(int profile);
  int profile() const { return profile_; }
  QSize sizeHint() const override { return {128, 56}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int profile_ = 0;
};

// A colour sample: one colour, or the whole hue wheel of the colour weights.
class HueSample : public QWidget {
  Q_OBJECT
 public:
  explicit HueSample(QWidget* parent = nullptr);
  // The hue wheel of the weights (hue < 0), or its colour at hue 0..359.
  void setColour(int red, int green, int blue, int hue);
  QColor colour() const { return colour_; }
  QSize sizeHint() const override { return {48, 20}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int red_ = 100, green_ = 100, blue_ = 100, hue_ = -1;
  QColor colour_;
};

}  // namespace lmvn::ui
