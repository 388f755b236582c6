// The Advanced dialog (frmAdvanced): frame delay, effect cycling and the effects cycled
// through, performance multiplier, initial hue and the resizable saver window. It writes
// section Advanced of the store when OK is pressed.
#pragma once

#include <QDialog>
#include <array>

#include "render/colour.h"
#include "settings/dialog_layout.h"
#include "ui/properties_field.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace lmvn::ui {

class AdvancedDialog : public QDialog {
  Q_OBJECT
 public:
  // The fields, by their index in the dialog.
  enum Field { kDelay = 0, kFramesPerEffect = 1, kPerfMult = 2, kHueStart = 3 };
  static constexpr int kEffectBoxes = 8;

  explicit AdvancedDialog(QWidget* parent = nullptr);

  PropertyField* field(int index) const { return fields_[static_cast<std::size_t>(index)]; }
  QGroupBox* cycleSwitch() const { return cycle_; }
  QCheckBox* effectBox(int index) const { return effects_[static_cast<std::size_t>(index)]; }
  QCheckBox* resizeSwitch() const { return resize_; }
  QLabel* hueSample() const { return hueSample_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* defaultsButton() const { return defaults_; }
  QPushButton* cancelButton() const { return cancel_; }
  // The sum of 2 to the power i over the checked effect boxes i.
  long EffectMask() const;

 protected:
 private:
  PropertyField* MakeBox(int index, std::string_view name, double low);
  void LoadFromStore();
  void SetEffectMask(long mask);
  void EffectBoxToggled(int index, bool checked);
  void PaintHueSample();
  void RestoreDefaults();
  void Accept();

  // The four boxes, with the field descriptions they keep a reference to.
  std::array<DialogField, 4> specs_{};
  std::array<PropertyField*, 4> fields_{};
  std::array<QCheckBox*, kEffectBoxes> effects_{};
  QGroupBox* cycle_ = nullptr;
  QCheckBox* resize_ = nullptr;
  QLabel* hueSample_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* defaults_ = nullptr;
  QPushButton* cancel_ = nullptr;
  Palette palette_;
};

}  // namespace lmvn::ui
