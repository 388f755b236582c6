#include "ui/advanced_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "settings/catalogue.h"
#include "settings/dialog_layout.h"
#include "settings/loaders.h"
#include "settings/store.h"
#include "settings/value_text.h"
#include "ui/screen_rules.h"
#include "ui/screens.h"

namespace lmvn::ui {

namespace {

// The frames per effect shown while cycling is off, and the least a cycle may last. (The
// store's own range starts at 0, which means "no cycling".)
constexpr int kCycleOffFrames = 2500;
constexpr double kLeastFramesPerEffect = 100;

const KeySpec& AdvancedKey(std::string_view name) {
  static const KeySpec missing{};
  const KeySpec* spec = FindKey(kSectionAdvanced, name);
  return spec ? *spec : missing;
}

QString Text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString Stored(std::string_view name) {
  return QString::fromStdString(
      ReadSettingString(kSettingsApp, kSectionAdvanced, name, AdvancedKey(name).defaultText));
}

// A key's default as its box shows it: decimal boxes show at least one decimal ("1.0").
QString DefaultText(std::string_view name) {
  const KeySpec& spec = AdvancedKey(name);
  QString text = Text(spec.defaultText);
  if (spec.type == KeyType::Single && !text.contains('.')) text += QStringLiteral(".0");
  return text;
}

// A box with its spinner (up and down arrows) on its right.
QWidget* WithSpinner(PropertyField* box) {
  auto* holder = new QWidget;
  auto* row = new QHBoxLayout(holder);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  row->addWidget(box);
  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  for (const int direction : {+1, -1}) {
    auto* arrow = new QToolButton(holder);
    arrow->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
    arrow->setAutoRepeat(true);
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->setFixedSize(16, 11);
    arrow->setAccessibleName(box->accessibleName() + (direction > 0 ? " up" : " down"));
    QObject::connect(arrow, &QToolButton::clicked, box, [box, direction] {
      const auto [low, high] = box->bounds();
      box->setText(
          QString::fromStdString(StepFieldText(box->field().kind, box->text().toStdString(),
                                               box->field().key->step, low, high, direction)));
    });
    arrows->addWidget(arrow);
  }
  row->addLayout(arrows);
  return holder;
}

// A key's label with an access key: '&' put before the character at `key`.
QString Keyed(std::string_view name, int key) {
  QString text = Text(AdvancedKey(name).label);
  text.insert(key, QLatin1Char('&'));
  return text;
}

QLabel* LabelFor(std::string_view name, int key, QWidget* buddy) {
  auto* label = new QLabel(Keyed(name, key));
  label->setBuddy(buddy);
  return label;
}

}  // namespace

// ---- AdvancedDialog

AdvancedDialog::AdvancedDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Lumivane Advanced Settings"));
  ApplyTopmostRule(this);
  FitWhenShown(this);
  palette_ = Palette(LoadColourSettings());

  MakeBox(kDelay, "Adv_TimeDelay", AdvancedKey("Adv_TimeDelay").min);
  MakeBox(kFramesPerEffect, "Adv_EffectCycle", kLeastFramesPerEffect);
  MakeBox(kPerfMult, "Adv_PerfMult", AdvancedKey("Adv_PerfMult").min);
  MakeBox(kHueStart, "Adv_HueStart", AdvancedKey("Adv_HueStart").min);

  // Frame delay and performance.
  auto* delayFrame = new QGroupBox(QStringLiteral("Frame Delay for Animation Smoothing"));
  auto* delayGrid = new QGridLayout(delayFrame);
  delayGrid->addWidget(LabelFor("Adv_TimeDelay", 2, fields_[kDelay]), 0, 0);
  delayGrid->addWidget(WithSpinner(fields_[kDelay]), 0, 1);
  delayGrid->addWidget(LabelFor("Adv_PerfMult", 12, fields_[kPerfMult]), 1, 0);
  delayGrid->addWidget(fields_[kPerfMult], 1, 1);

  // Hue wheel.
  auto* hueFrame = new QGroupBox(QStringLiteral("Hue Wheel Characteristics"));
  auto* hueRow = new QHBoxLayout(hueFrame);
  hueRow->addWidget(LabelFor("Adv_HueStart", 8, fields_[kHueStart]));
  hueRow->addWidget(WithSpinner(fields_[kHueStart]));
  hueSample_ = new QLabel;
  hueSample_->setFixedSize(28, 20);
  hueSample_->setFrameShape(QFrame::Box);
  hueSample_->setAutoFillBackground(true);
  hueSample_->setAccessibleName(QStringLiteral("Hue sample"));
  hueRow->addWidget(hueSample_);
  connect(fields_[kHueStart], &QLineEdit::textChanged, this, &AdvancedDialog::PaintHueSample);

  // Display.
  auto* displayFrame = new QGroupBox(QStringLiteral("Display Properties"));
  auto* displayRow = new QHBoxLayout(displayFrame);
  resize_ = new QCheckBox(Keyed("Adv_WindowResize", 14));  // Window can be &Resized
  displayRow->addWidget(resize_);

  // Cycling: the switch is the frame's own check box and governs everything inside it.
  cycle_ = new QGroupBox(QStringLiteral("&Cycle through Effects"));
  cycle_->setCheckable(true);
  auto* cycleColumn = new QVBoxLayout(cycle_);
  auto* framesRow = new QHBoxLayout;
  framesRow->addWidget(LabelFor("Adv_EffectCycle", 7, fields_[kFramesPerEffect]));
  framesRow->addWidget(WithSpinner(fields_[kFramesPerEffect]));
  cycleColumn->addLayout(framesRow);
  auto* include = new QGroupBox(QStringLiteral("Include the following Effects"));
  auto* includeGrid = new QGridLayout(include);
  struct Row {
    const char* caption;
    int box;
    int allThemesBox;  // -1 where the effect has no themes
    const char* name;
  };
  static constexpr Row kRows[] = {
      {"&Galaxies / All Themes:", 5, 7, "Galaxies"},
      {"Stars and Gravity &Wells:", 4, -1, "Stars and Gravity Wells"},
      {"B-Spline &Sparklers:", 3, -1, "B-Spline Sparklers"},
      {"B-Spline W&arp:", 2, -1, "B-Spline Warp"},
      {"S&tarfield:", 1, -1, "Starfield"},
      {"&Fireworks / All Themes:", 0, 6, "Fireworks"},
  };
  int r = 0;
  for (const Row& row : kRows) {
    auto* caption = new QLabel(QString::fromUtf8(row.caption));
    includeGrid->addWidget(caption, r, 0);
    auto* box = new QCheckBox;
    caption->setBuddy(box);
    box->setAccessibleName(QString::fromUtf8(row.name));
    effects_[static_cast<std::size_t>(row.box)] = box;
    includeGrid->addWidget(box, r, 1);
    if (row.allThemesBox >= 0) {
      auto* all = new QCheckBox;
      all->setAccessibleName(QString::fromUtf8(row.name) + QStringLiteral(", all themes"));
      effects_[static_cast<std::size_t>(row.allThemesBox)] = all;
      includeGrid->addWidget(all, r, 2);
    }
    ++r;
  }
  for (int i = 0; i < kEffectBoxes; ++i) {
    connect(effects_[static_cast<std::size_t>(i)], &QCheckBox::toggled, this,
            [this, i](bool checked) { EffectBoxToggled(i, checked); });
  }
  cycleColumn->addWidget(include);

  // Buttons.
  ok_ = new QPushButton(QStringLiteral("OK"));
  defaults_ = new QPushButton(QStringLiteral("&Defaults"));
  cancel_ = new QPushButton(QStringLiteral("Cancel"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &AdvancedDialog::Accept);
  connect(defaults_, &QPushButton::clicked, this, &AdvancedDialog::RestoreDefaults);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(defaults_);
  buttons->addWidget(cancel_);

  auto* left = new QVBoxLayout;
  left->addWidget(delayFrame);
  left->addWidget(hueFrame);
  left->addWidget(displayFrame);
  left->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addWidget(cycle_);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(columns);
  outer->addLayout(buttons);

  LoadFromStore();
}

// A box for a key, validated to the key's kind and range (from `low`); decimal boxes have no
// stepping.
PropertyField* AdvancedDialog::MakeBox(int index, std::string_view name, double low) {
  const KeySpec& key = AdvancedKey(name);
  DialogField& spec = specs_[static_cast<std::size_t>(index)];
  spec.key = &key;
  spec.kind = key.type == KeyType::Single    ? FieldKind::Single
              : key.type == KeyType::Integer ? FieldKind::Integer
                                             : FieldKind::Long;
  spec.index = index;
  spec.stepped = spec.kind != FieldKind::Single;
  auto* box = new PropertyField(spec, this);
  const double high = key.max;
  box->setBoundsProvider([low, high] { return std::make_pair(low, high); });
  box->setAccessibleName(Text(key.label));
  box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  box->setMaximumWidth(box->minimumWidth() + 16);
  fields_[static_cast<std::size_t>(index)] = box;
  return box;
}

void AdvancedDialog::LoadFromStore() {
  fields_[kDelay]->setText(Stored("Adv_TimeDelay"));
  const QString cycle = Stored("Adv_EffectCycle");
  if (cycle == QStringLiteral("0")) {
    fields_[kFramesPerEffect]->setText(QString::number(kCycleOffFrames));
    cycle_->setChecked(false);
  } else {
    fields_[kFramesPerEffect]->setText(cycle);
    cycle_->setChecked(true);
  }
  const KeySpec& pick = AdvancedKey("Adv_PickEffects");
  SetEffectMask(ReadSettingLong(kSettingsApp, kSectionAdvanced, pick.name,
                                LongFromText(pick.defaultText, 0)));
  resize_->setChecked(Stored("Adv_WindowResize") == QStringLiteral("1"));
  fields_[kPerfMult]->setText(Stored("Adv_PerfMult"));
  fields_[kHueStart]->setText(Stored("Adv_HueStart"));
  PaintHueSample();
}

void AdvancedDialog::SetEffectMask(long mask) {
  for (int i = 0; i < kEffectBoxes; ++i) {
    effects_[static_cast<std::size_t>(i)]->setChecked((mask >> i) & 1);
  }
}

long AdvancedDialog::EffectMask() const {
  long mask = 0;
  for (int i = 0; i < kEffectBoxes; ++i) {
    if (effects_[static_cast<std::size_t>(i)]->isChecked()) mask += 1L << i;
  }
  return mask;
}

// An "all themes" box is never checked without its effect's box.
void AdvancedDialog::EffectBoxToggled(int index, bool checked) {
  if (index == 0 && !checked) effects_[6]->setChecked(false);
  if (index == 6 && checked) effects_[0]->setChecked(true);
  if (index == 5 && !checked) effects_[7]->setChecked(false);
  if (index == 7 && checked) effects_[5]->setChecked(true);
}

void AdvancedDialog::PaintHueSample() {
  const auto hue = CLng(FieldNumber(fields_[kHueStart]->text().toStdString()));
  if (!hue || *hue < 0 || *hue >= static_cast<Long>(palette_.HueWheel.size())) return;
  const Colour c = palette_.HueWheel[static_cast<std::size_t>(*hue)];
  QPalette colours = hueSample_->palette();
  colours.setColor(QPalette::Window, QColor(RedOf(c), GreenOf(c), BlueOf(c)));
  hueSample_->setPalette(colours);
}

void AdvancedDialog::RestoreDefaults() {
  fields_[kDelay]->setText(DefaultText("Adv_TimeDelay"));
  cycle_->setChecked(false);
  fields_[kFramesPerEffect]->setText(QString::number(kCycleOffFrames));
  resize_->setChecked(false);
  fields_[kPerfMult]->setText(DefaultText("Adv_PerfMult"));
  fields_[kHueStart]->setText(DefaultText("Adv_HueStart"));
  SetEffectMask(LongFromText(AdvancedKey("Adv_PickEffects").defaultText, 0));
}

void AdvancedDialog::Accept() {
  // The box being edited has not lost the focus when OK is pressed from the keyboard.
  if (auto* editing = qobject_cast<PropertyField*>(focusWidget())) editing->validate();
  if (cycle_->isChecked()) {
    bool any = false;
    for (int i = 0; i < 6; ++i) any = any || effects_[static_cast<std::size_t>(i)]->isChecked();
    if (!any) {
      ShowExclamation(this, QStringLiteral("Please select one or more Effects."));
      return;
    }
  }
  // One write: all six values are stored, or none and the dialog stays open with them.
  const std::string texts[] = {
      fields_[kDelay]->text().toStdString(),
      cycle_->isChecked() ? fields_[kFramesPerEffect]->text().toStdString() : "0",
      std::to_string(EffectMask()),
      resize_->isChecked() ? "1" : "0",
      fields_[kPerfMult]->text().toStdString(),
      fields_[kHueStart]->text().toStdString()};
  const char* const names[] = {"Adv_TimeDelay",    "Adv_EffectCycle", "Adv_PickEffects",
                               "Adv_WindowResize", "Adv_PerfMult",    "Adv_HueStart"};
  std::vector<SettingWrite> writes;
  for (std::size_t i = 0; i < std::size(names); ++i) {
    writes.push_back({kSectionAdvanced, names[i], texts[i]});
  }
  if (!WriteSettings(kSettingsApp, writes)) {
    ShowWriteFailure(this, QStringLiteral("The Advanced settings"), SettingsFilePath(kSettingsApp));
    return;
  }
  accept();
}

void ShowAdvancedDialog(QWidget* parent) {
  AdvancedDialog dialog(parent);
  dialog.exec();
}

}  // namespace lmvn::ui
